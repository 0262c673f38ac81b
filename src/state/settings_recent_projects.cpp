#include "state/settings_recent_projects.h"

#include <QDir>
#include <QFileInfo>
#include <memory>

#include "platform/user_settings.h"

namespace koma {

namespace {

const QString kKey = QStringLiteral("recent/files");

}  // namespace

QStringList SettingsRecentProjects::paths() const {
    const QStringList stored = open_user_settings(file_)->value(kKey).toStringList();
    QStringList paths;
    for (const QString& path : stored) {
        if (!path.isEmpty() && QDir::isAbsolutePath(path) && !paths.contains(path)) {
            paths << path;
        }
    }
    return paths.mid(0, kRecentLimit);
}

void SettingsRecentProjects::remember(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const auto settings = open_user_settings(file_);
    settings->setValue(kKey, with_recent(paths(), absolute));
    settings->sync();
}

}  // namespace koma
