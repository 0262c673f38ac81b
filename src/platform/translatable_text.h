#pragma once

#include <QCoreApplication>
#include <QString>
#include <utility>

namespace koma {

/// A fixed message of the program's own, kept as its source text and put into the user's
/// language each time it is used: a message made before the translations are installed (a
/// constant) still reads in the language chosen at start. Define one with QT_TRANSLATE_NOOP so
/// that lupdate finds the text: `TranslatableText{"Context", QT_TRANSLATE_NOOP("Context", "...")}`.
struct TranslatableText {
    const char* context;
    const char* source;

    /// The text in the installed language; the source text without a translation.
    QString text() const { return QCoreApplication::translate(context, source); }
    operator QString() const { return text(); }

    /// text() with its %1, %2, ... filled in, as QString::arg does.
    template <typename... Args>
    QString arg(Args&&... args) const {
        return text().arg(std::forward<Args>(args)...);
    }
};

}  // namespace koma
