#pragma once

#include <QString>

namespace koma {

/// Puts the running application's texts into the language `code` (one of ui_languages()):
/// installs koma's own translation, built into the program (none is needed for the source
/// language), and Qt's own for that language from Qt's translations folder (the buttons of
/// message boxes, the colour dialog), when it is installed. Call it once, before any window or
/// message is made. Returns false, and leaves koma's texts in the source language, when koma's
/// translation of `code` cannot be loaded.
bool install_translations(const QString& code);

}  // namespace koma
