#include "state/settings_recent_projects.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <memory>

namespace koma {

namespace {

const QString kKey = QStringLiteral("recent/files");

std::unique_ptr<QSettings> open_settings(const QString& file) {
    if (file.isEmpty()) {
        return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                           QStringLiteral("koma"), QStringLiteral("koma"));
    }
    return std::make_unique<QSettings>(file, QSettings::IniFormat);
}

}  // namespace

QStringList SettingsRecentProjects::paths() const {
    const QStringList stored = open_settings(file_)->value(kKey).toStringList();
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
    const auto settings = open_settings(file_);
    settings->setValue(kKey, with_recent(paths(), absolute));
    settings->sync();
}

}  // namespace koma
