#pragma once

#include <QString>

#include "model/ui_language.h"

namespace koma {

/// The user's choice of language kept in the user's settings (QSettings, organisation and
/// application "koma", key "ui/language").
class SettingsLanguageChoice : public LanguageChoice {
  public:
    /// The choice in the user's settings.
    SettingsLanguageChoice() = default;
    /// The choice in the settings file at `file` (INI format), for tests.
    explicit SettingsLanguageChoice(QString file) : file_(std::move(file)) {}

    QString remembered() const override;
    void remember(const QString& code) override;

  private:
    QString file_;
};

}  // namespace koma
