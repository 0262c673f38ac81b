#include "import/follow_files_setting.h"

#include <memory>

#include "platform/user_settings.h"

namespace koma {

namespace {

const QString kKey = QStringLiteral("watch/follow_files");

}  // namespace

bool FollowFilesSetting::load() const {
    return open_user_settings(file_)->value(kKey, true).toBool();
}

void FollowFilesSetting::save(bool follow) const {
    const auto settings = open_user_settings(file_);
    settings->setValue(kKey, follow);
    settings->sync();
}

}  // namespace koma
