#include "import/follow_files_setting.h"

#include <QSettings>
#include <memory>

namespace koma {

namespace {

const QString kKey = QStringLiteral("watch/follow_files");

std::unique_ptr<QSettings> open_settings(const QString& file) {
    if (file.isEmpty()) {
        return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                           QStringLiteral("koma"), QStringLiteral("koma"));
    }
    return std::make_unique<QSettings>(file, QSettings::IniFormat);
}

}  // namespace

bool FollowFilesSetting::load() const { return open_settings(file_)->value(kKey, true).toBool(); }

void FollowFilesSetting::save(bool follow) const {
    const auto settings = open_settings(file_);
    settings->setValue(kKey, follow);
    settings->sync();
}

}  // namespace koma
