#include "model/ui_language.h"

#include <QLocale>
#include <QRegularExpression>

namespace koma {

const std::vector<UiLanguage>& ui_languages() {
    static const std::vector<UiLanguage> all{{kSourceLanguage, QStringLiteral("日本語")},
                                             {QStringLiteral("en"), QStringLiteral("English")}};
    return all;
}

bool has_ui_language(const QString& code) {
    for (const UiLanguage& language : ui_languages()) {
        if (language.code == code) return true;
    }
    return false;
}

QString start_language(const LanguageChoice& choice, const QStringList& system_languages) {
    if (const QString remembered = choice.remembered(); has_ui_language(remembered)) {
        return remembered;
    }
    for (const QString& entry : system_languages) {
        // "en-US", "en_GB.UTF-8", "pt-Latn-BR": the language is the part before the first mark.
        const QString code =
            entry.section(QRegularExpression(QStringLiteral("[-_.@]")), 0, 0).toLower();
        if (code == QLatin1String("c") || code == QLatin1String("posix")) {
            break;
        }
        if (has_ui_language(code)) {
            return code;
        }
    }
    return kSourceLanguage;
}

QStringList system_ui_languages() {
    const QLocale system = QLocale::system();
    // The C locale names no language; gettext ignores LANGUAGE under it, and so do we.
    if (system.language() == QLocale::C) {
        return {};
    }
    return system.uiLanguages();
}

}  // namespace koma
