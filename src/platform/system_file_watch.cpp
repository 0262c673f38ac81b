#include "platform/system_file_watch.h"

#include <QFileInfo>
#include <QSet>

namespace koma {

namespace {

QString folder_of(const QString& path) { return QFileInfo(path).absolutePath(); }

}  // namespace

SystemFileWatch::SystemFileWatch(QObject* parent) : FileWatch(parent) {
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &SystemFileWatch::file_changed);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this,
            &SystemFileWatch::folder_changed);
}

void SystemFileWatch::watch(const QStringList& paths) {
    const QSet<QString> wanted(paths.begin(), paths.end());
    if (!watcher_.files().isEmpty()) watcher_.removePaths(watcher_.files());
    if (!watcher_.directories().isEmpty()) watcher_.removePaths(watcher_.directories());
    QHash<QString, FileStamp> stamps;
    folders_.clear();
    for (const QString& path : wanted) {
        // A file watched before keeps the stamp it was last seen with, so that a change made
        // while the list was being rebuilt is still told.
        stamps.insert(path, stamps_.contains(path) ? stamps_.value(path) : file_stamp(path));
        folders_[folder_of(path)].append(path);
    }
    stamps_ = std::move(stamps);
    for (auto it = folders_.cbegin(); it != folders_.cend(); ++it) {
        if (QFileInfo(it.key()).isDir()) watcher_.addPath(it.key());
    }
    for (const QString& path : wanted) {
        if (stamps_.value(path).exists) watcher_.addPath(path);
        // A change between the stamp above and the watch that now stands is not lost.
        look_at(path, false);
    }
}

void SystemFileWatch::file_changed(const QString& path) {
    if (stamps_.contains(path)) look_at(path, true);
}

void SystemFileWatch::folder_changed(const QString& folder) {
    // Copied: a listener may call watch() again.
    const QStringList files = folders_.value(folder);
    for (const QString& path : files) {
        if (stamps_.contains(path)) look_at(path, false);
    }
}

void SystemFileWatch::look_at(const QString& path, bool force) {
    const FileStamp before = stamps_.value(path);
    const FileStamp now = file_stamp(path);
    stamps_.insert(path, now);
    if (now.exists) {
        // The file system watches a file by its inode: after a rename put another file under
        // this name, the old watch (if the old file is still open somewhere) sees nothing of it.
        const bool watched = watcher_.files().contains(path);
        const bool other_file = before.inode != now.inode || before.device != now.device;
        if (watched && other_file) watcher_.removePath(path);
        if (!watched || other_file) watcher_.addPath(path);
    }
    if (now != before || force) emit touched(path);
}

}  // namespace koma
