#include "app/caption_wrap.h"

#include <QStringList>

namespace koma {

QString wrap_caption(const QString& caption, const QFontMetrics& metrics, int width) {
    QStringList lines;
    QString line;
    for (const QChar c : caption) {
        if (!line.isEmpty() && metrics.horizontalAdvance(line + c) > width) {
            const qsizetype space = line.lastIndexOf(QLatin1Char(' '));
            if (c == QLatin1Char(' ')) {
                lines << line;
                line.clear();
                continue;
            }
            if (space > 0) {
                // A caption with words breaks after the last one that fits.
                lines << line.left(space);
                line = line.mid(space + 1);
            } else {
                lines << line;
                line.clear();
            }
        }
        line += c;
    }
    lines << line;
    return lines.join(QLatin1Char('\n'));
}

}  // namespace koma
