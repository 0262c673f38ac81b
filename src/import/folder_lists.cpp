#include "import/folder_lists.h"

namespace koma {

void FolderLists::set_drive(const QString& drive) {
    if (drive == drive_) {
        return;
    }
    drive_ = drive;
    set_path(drive);
}

void FolderLists::set_path(const QString& path) {
    if (path == path_) {
        return;
    }
    path_ = path;
    if (on_folder_change) {
        on_folder_change();
    }
}

}  // namespace koma
