#include "platform/user_settings.h"

namespace koma {

std::unique_ptr<QSettings> open_user_settings(const QString& file) {
    if (file.isEmpty()) {
        return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                           QStringLiteral("koma"), QStringLiteral("koma"));
    }
    return std::make_unique<QSettings>(file, QSettings::IniFormat);
}

}  // namespace koma
