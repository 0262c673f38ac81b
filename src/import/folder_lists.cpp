#include "import/folder_lists.h"

namespace koma {

FolderLists::FolderLists(const FileSystem* fs) : fs_(fs ? fs : &machine_file_system()) {}

void FolderLists::set_file_system(const FileSystem* fs) { fs_ = fs ? fs : &machine_file_system(); }

QStringList FolderLists::drives() const {
    QStringList roots = fs_->roots();
    if (!drive_.isEmpty() && !roots.contains(drive_)) {
        roots.append(drive_);
    }
    return roots;
}

std::vector<FolderItem> FolderLists::folder_items() const {
    std::vector<FolderItem> items;
    if (path_.isEmpty()) {
        return items;
    }
    // The chain starts at the drive when the folder lies on it, else at "/".
    QString top = QStringLiteral("/");
    if (!drive_.isEmpty() && fs_->root_of(path_) == drive_) {
        top = drive_;
    }
    items.push_back({top, top, 0, path_ == top});
    QString walked = top;
    const QString rest = path_.mid(top.size());
    for (const QString& part : rest.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        walked = child_path(walked, part);
        items.push_back({part, walked, static_cast<int>(items.size()), false});
    }
    items.back().current = true;
    const int child_depth = static_cast<int>(items.size());
    if (const auto entries = fs_->list(path_)) {
        for (const QString& folder : entries->folders) {
            items.push_back({folder, child_path(path_, folder), child_depth, false});
        }
    }
    return items;
}

void FolderLists::set_drive(const QString& drive) {
    if (drive == drive_) {
        return;
    }
    const QString previous = drive_;
    drive_ = drive;
    if (!fs_->root_ready(drive)) {
        if (falling_back_) {
            drive_ = previous;
            return;
        }
        if (on_not_ready) {
            on_not_ready(kDriveNotReadyMessage);
        }
        // The fall-back is a drive change of its own; should its root fail too, it stops
        // there instead of asking again.
        falling_back_ = true;
        set_drive(fs_->root_of(home_folder_));
        falling_back_ = false;
        if (drive_ == drive) {
            drive_ = previous;
        }
        return;
    }
    if (!fs_->list(drive)) {
        drive_ = previous;
        return;
    }
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
