#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "model/project_state.h"
#include "platform/file_system.h"
#include "platform/translatable_text.h"

namespace koma {

/// The one message the program shows for a root that cannot be read.
inline constexpr TranslatableText kDriveNotReadyMessage{
    "FolderLists", QT_TRANSLATE_NOOP("FolderLists", "ドライブの準備がまだです")};

/// One line of a folder list: the folders from the drive down to the current folder, then the
/// current folder's subfolders.
struct FolderItem {
    QString label;  ///< the folder's name ("/" for the top)
    QString path;   ///< full path, opened on activation
    int depth = 0;  ///< indentation level
    bool current = false;
};

/// A drive list above a folder list, as the main window, the picker and the state window have.
/// Drives are the machine's mounted roots. Changing the drive moves the folder to that root;
/// changing the folder runs on_folder_change.
class FolderLists {
  public:
    /// Lists keeping their own drive and folder. `fs` must outlive the lists; null means the
    /// machine's file system.
    explicit FolderLists(const FileSystem* fs = nullptr);
    /// Lists showing the drive and folder of `*choice` (a field of the ProjectState), which must
    /// outlive them: putting a choice there directly, as undo does, lists nothing and runs no
    /// handler.
    explicit FolderLists(FolderChoice* choice, const FileSystem* fs = nullptr);
    FolderLists(const FolderLists&) = delete;
    FolderLists& operator=(const FolderLists&) = delete;

    void set_file_system(const FileSystem* fs);
    const FileSystem& file_system() const { return *fs_; }
    /// The program's folder: a root that is not ready falls back to the root that holds it.
    void set_home_folder(const QString& folder) { home_folder_ = folder; }

    const QString& drive() const { return choice_->drive; }
    const QString& path() const { return choice_->path; }
    /// The drives to offer: the machine's roots, and the current drive should it be missing.
    QStringList drives() const;
    /// The folder list's lines for the current folder. A folder that cannot be listed shows no
    /// subfolders.
    std::vector<FolderItem> folder_items() const;

    /// The drive change: the folder list moves to the new root. A root that is not ready calls
    /// on_not_ready with kDriveNotReadyMessage, then changes the drive to the root of the home
    /// folder (which moves the folder there). When that root cannot be read either, or the new
    /// root fails to list for another reason, both lists stay as they were.
    void set_drive(const QString& drive);
    /// The folder change: runs on_folder_change when the folder really changes. Any path is
    /// taken, also one that does not exist (a saved state may name it); it then lists nothing.
    void set_path(const QString& path);
    std::function<void()> on_folder_change;
    /// Asked to tell the user (beep and message box) before the fall-back runs.
    std::function<void(const QString& message)> on_not_ready;

  private:
    const FileSystem* fs_;
    QString home_folder_ = QStringLiteral("/");
    FolderChoice own_;
    FolderChoice* choice_ = &own_;
    bool falling_back_ = false;
};

}  // namespace koma
