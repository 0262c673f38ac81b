#pragma once

#include <QString>

namespace koma {

/// Whether slots follow their files (EditingModel::follow_files), kept in the user's settings
/// (QSettings, organisation and application "koma", key "watch/follow_files") so that the
/// choice holds at the next start.
class FollowFilesSetting {
  public:
    /// The choice in the user's settings.
    FollowFilesSetting() = default;
    /// The choice in the settings file at `file` (INI format), for tests.
    explicit FollowFilesSetting(QString file) : file_(std::move(file)) {}

    /// The choice kept; on when none was ever made.
    bool load() const;
    /// Keeps `follow` as the choice, written at once.
    void save(bool follow) const;

  private:
    QString file_;
};

}  // namespace koma
