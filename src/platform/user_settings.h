#pragma once

#include <QSettings>
#include <QString>
#include <memory>

namespace koma {

/// The user's settings of koma (QSettings, organisation and application "koma"), or, when
/// `file` is not empty, the INI file at `file` instead (tests keep theirs apart that way).
std::unique_ptr<QSettings> open_user_settings(const QString& file = {});

}  // namespace koma
