#include "model/base_name.h"

#include <QDir>

namespace koma {

bool base_name_char_allowed(QChar c) {
    return c != QLatin1Char('/') && c != QLatin1Char('\\') && c.category() != QChar::Other_Control;
}

QString base_name_fault(const QString& name) {
    if (name.isEmpty()) {
        return base_name_message::kEmpty;
    }
    for (const QChar c : name) {
        if (c.category() == QChar::Other_Control) {
            // The name itself is not shown: it could hold a line break or a terminal's escape.
            return base_name_message::kControl.arg(
                QString::number(c.unicode(), 16).toUpper().rightJustified(4, QLatin1Char('0')));
        }
    }
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\'))) {
        return base_name_message::kSeparator.arg(name);
    }
    if (name == QLatin1String(".") || name == QLatin1String("..")) {
        return base_name_message::kDots.arg(name);
    }
    return {};
}

bool lies_in_folder(const QString& path, const QString& folder) {
    if (path.contains(QChar(0)) || folder.contains(QChar(0))) {
        return false;
    }
    const QString clean_path = QDir::cleanPath(path);
    const QString clean_folder = QDir::cleanPath(folder);
    const qsizetype cut = clean_path.lastIndexOf(QLatin1Char('/'));
    if (cut < 0) {
        return false;
    }
    const QString parent = cut == 0 ? QStringLiteral("/") : clean_path.left(cut);
    const QString name = clean_path.mid(cut + 1);
    return parent == clean_folder && !name.isEmpty() && name != QLatin1String(".") &&
           name != QLatin1String("..");
}

}  // namespace koma
