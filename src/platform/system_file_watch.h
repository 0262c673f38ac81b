#pragma once

#include <QFileSystemWatcher>
#include <QHash>

#include "platform/file_stamp.h"
#include "platform/file_watch.h"

namespace koma {

/// The file system's own notices (QFileSystemWatcher) behind a FileWatch. Every watched file's
/// folder is watched as well: a file replaced by a rename (a new file under the old name) or
/// created where it was missing shows up as a change of its folder, and is told as soon as its
/// stamp (FileStamp) differs from the one seen before; the new file is then watched in place of
/// the old one. A file in a folder that does not exist is told only once its folder is there
/// when watch() is called again.
class SystemFileWatch : public FileWatch {
    Q_OBJECT
  public:
    explicit SystemFileWatch(QObject* parent = nullptr);

    void watch(const QStringList& paths) override;

  private:
    void file_changed(const QString& path);
    void folder_changed(const QString& folder);
    /// Compares `path`'s stamp with the one seen before; tells a change, and watches the file
    /// now under that name. With `force`, tells it even when the stamp is the same (a write
    /// within the clock's resolution).
    void look_at(const QString& path, bool force);

    QFileSystemWatcher watcher_;
    /// The watched files by the path given, with the stamp each had when last looked at.
    QHash<QString, FileStamp> stamps_;
    /// The folders watched, with the files of each that are watched.
    QHash<QString, QStringList> folders_;
};

}  // namespace koma
