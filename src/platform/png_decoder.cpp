#include "platform/png_decoder.h"

#include <QImageReader>
#include <QPainter>

namespace koma {

int decode_png_into(const QString& path, Surface& target) {
    QImageReader reader(path, "png");
    QImage decoded = reader.read();
    if (decoded.isNull()) {
        return 1;
    }
    QPainter painter(&target.image());
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawImage(0, 0, decoded);
    return 0;
}

}  // namespace koma
