#include "model/folder_lists.h"

namespace koma {

FolderLists::FolderLists(const FileSystem* fs) : fs_(fs ? fs : &machine_file_system()) {}

FolderLists::FolderLists(FolderChoice* choice, const FileSystem* fs)
    : fs_(fs ? fs : &machine_file_system()), choice_(choice) {}

void FolderLists::set_file_system(const FileSystem* fs) { fs_ = fs ? fs : &machine_file_system(); }

QStringList FolderLists::drives() const {
    QStringList roots = fs_->roots();
    if (!choice_->drive.isEmpty() && !roots.contains(choice_->drive)) {
        roots.append(choice_->drive);
    }
    return roots;
}

std::vector<FolderItem> FolderLists::folder_items() const {
    std::vector<FolderItem> items;
    if (choice_->path.isEmpty()) {
        return items;
    }
    // The chain starts at the drive when the folder lies on it, else at "/".
    QString top = QStringLiteral("/");
    if (!choice_->drive.isEmpty() && fs_->root_of(choice_->path) == choice_->drive) {
        top = choice_->drive;
    }
    items.push_back({top, top, 0, choice_->path == top});
    QString walked = top;
    const QString rest = choice_->path.mid(top.size());
    for (const QString& part : rest.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        walked = child_path(walked, part);
        items.push_back({part, walked, static_cast<int>(items.size()), false});
    }
    items.back().current = true;
    const int child_depth = static_cast<int>(items.size());
    if (const auto entries = fs_->list(choice_->path)) {
        for (const QString& folder : entries->folders) {
            items.push_back({folder, child_path(choice_->path, folder), child_depth, false});
        }
    }
    return items;
}

void FolderLists::set_drive(const QString& drive) {
    if (drive == choice_->drive) {
        return;
    }
    const QString previous = choice_->drive;
    choice_->drive = drive;
    if (!fs_->root_ready(drive)) {
        if (falling_back_) {
            choice_->drive = previous;
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
        if (choice_->drive == drive) {
            choice_->drive = previous;
        }
        return;
    }
    if (!fs_->list(drive)) {
        choice_->drive = previous;
        return;
    }
    set_path(drive);
}

void FolderLists::set_path(const QString& path) {
    if (path == choice_->path) {
        return;
    }
    choice_->path = path;
    if (on_folder_change) {
        on_folder_change();
    }
}

}  // namespace koma
