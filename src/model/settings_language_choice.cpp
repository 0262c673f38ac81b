#include "model/settings_language_choice.h"

#include "platform/user_settings.h"

namespace koma {

namespace {

const QString kKey = QStringLiteral("ui/language");

}  // namespace

QString SettingsLanguageChoice::remembered() const {
    return open_user_settings(file_)->value(kKey).toString();
}

void SettingsLanguageChoice::remember(const QString& code) {
    const auto settings = open_user_settings(file_);
    if (code.isEmpty()) {
        settings->remove(kKey);
    } else {
        settings->setValue(kKey, code);
    }
    settings->sync();
}

}  // namespace koma
