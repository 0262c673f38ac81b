#pragma once

#include <QString>
#include <functional>

namespace koma {

/// A drive list above a folder list, as the main window, the picker and the state window have.
/// Drives are the machine's mounted roots. Changing the drive changes the folder to that drive;
/// changing the folder runs on_folder_change.
class FolderLists {
public:
    const QString& drive() const { return drive_; }
    const QString& path() const { return path_; }

    /// The drive change: the folder list moves to the new drive.
    void set_drive(const QString& drive);
    /// The folder change: runs on_folder_change when the folder really changes.
    void set_path(const QString& path);

    std::function<void()> on_folder_change;

private:
    QString drive_;
    QString path_;
};

}  // namespace koma
