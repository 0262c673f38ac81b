#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "platform/file_system.h"

namespace koma {

/// Whether the file name `name` matches `pattern`: wildcards "*" (any run) and "?" (any one
/// character), without regard to letter case; several patterns may be joined by ";".
bool matches_pattern(const QString& name, const QString& pattern);

/// A file list: the names of the files in one folder that match its pattern, one selected.
class FileList {
  public:
    /// `fs` must outlive the list; null means the machine's file system.
    explicit FileList(const FileSystem* fs = nullptr);
    void set_file_system(const FileSystem* fs);

    const QString& folder() const { return folder_; }
    const QString& pattern() const { return pattern_; }
    /// Reloads from `folder`, with no file selected.
    void set_folder(const QString& folder);
    /// Reloads with a new pattern, with no file selected.
    void set_pattern(const QString& pattern);

    const QStringList& names() const { return names_; }
    /// The selected index, -1 for none.
    int selected() const { return selected_; }
    /// The selected file's name, "" for none.
    QString file_name() const;
    /// Why the folder could not be listed at the last reload ("" when it could).
    const QString& error() const { return error_; }

    /// Selects the file at `index` and runs on_select (the list's click). An index outside the
    /// list clears the selection and runs nothing.
    void select(int index);

    std::function<void()> on_select;

  private:
    void reload();

    const FileSystem* fs_;
    QString folder_;
    QString pattern_;
    QStringList names_;
    QString error_;
    int selected_ = -1;
};

}  // namespace koma
