#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "platform/file_system.h"

namespace koma {

/// The one message the program shows for a root that cannot be read.
inline const QString kDriveNotReadyMessage = QStringLiteral("ドライブの準備がまだです");

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
    /// `fs` must outlive the lists; null means the machine's file system.
    explicit FolderLists(const FileSystem* fs = nullptr);

    void set_file_system(const FileSystem* fs);
    const FileSystem& file_system() const { return *fs_; }
    /// The program's folder: a root that is not ready falls back to the root that holds it.
    void set_home_folder(const QString& folder) { home_folder_ = folder; }

    const QString& drive() const { return drive_; }
    const QString& path() const { return path_; }
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
    /// Puts back a drive and folder shown before, as they were, without listing anything and
    /// without running on_folder_change (an undone edit).
    void restore(const QString& drive, const QString& path) {
        drive_ = drive;
        path_ = path;
    }

    std::function<void()> on_folder_change;
    /// Asked to tell the user (beep and message box) before the fall-back runs.
    std::function<void(const QString& message)> on_not_ready;

  private:
    const FileSystem* fs_;
    QString home_folder_ = QStringLiteral("/");
    QString drive_;
    QString path_;
    bool falling_back_ = false;
};

}  // namespace koma
