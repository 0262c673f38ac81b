#pragma once

#include <QString>
#include <QStringList>

#include "model/recent_projects.h"

namespace koma {

/// The recent list kept in the user's settings (QSettings, organisation and application
/// "koma": ~/.config/koma/koma.conf), under "recent/files". Each change is written at once, so
/// several running windows and `koma --recent` see the same list.
class SettingsRecentProjects : public RecentProjects {
  public:
    /// The list in the user's settings.
    SettingsRecentProjects() = default;
    /// The list in the settings file at `file` (INI format), for tests.
    explicit SettingsRecentProjects(QString file) : file_(std::move(file)) {}

    /// The paths kept, the last first; entries that are not absolute paths are left out.
    QStringList paths() const override;
    void remember(const QString& path) override;

  private:
    QString file_;
};

}  // namespace koma
