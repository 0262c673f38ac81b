#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace koma {

/// A language koma's windows speak.
struct UiLanguage {
    /// The code of the language, as translation files and QLocale name it: "ja", "en".
    QString code;
    /// The language's name in that language, as the language chooser lists it.
    QString name;
};

/// The code of the language the program's texts are written in; it needs no translation.
inline const QString kSourceLanguage = QStringLiteral("ja");

/// Every language koma has, the source language first.
const std::vector<UiLanguage>& ui_languages();

/// Whether koma has the language `code`.
bool has_ui_language(const QString& code);

/// The user's remembered choice of language. The real one keeps it in the user's settings;
/// tests use one of their own.
class LanguageChoice {
  public:
    virtual ~LanguageChoice() = default;
    /// The code chosen, or empty when the user never chose one.
    virtual QString remembered() const = 0;
    /// Keeps `code` as the choice (empty forgets it). It takes effect at the next start.
    virtual void remember(const QString& code) = 0;
};

/// The language of the windows at start: the remembered choice when koma has it; else the first
/// of `system_languages` (the system's UI languages in the user's order, such as "en-US" or
/// "de") whose language koma has, where a "C" or "POSIX" entry ends the search; else the
/// source language.
QString start_language(const LanguageChoice& choice, const QStringList& system_languages);

/// The system's UI languages in the user's order (LANGUAGE, LC_ALL, LC_MESSAGES, LANG, as
/// QLocale reports them); empty for the C and POSIX locales, which name no language.
QStringList system_ui_languages();

}  // namespace koma
