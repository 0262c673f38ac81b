#include "codecs/frame_writer.h"

#include "platform/replace_file.h"
#include "raster/pixel_memory.h"

namespace koma {

std::expected<void, QString> FrameWriter::write_file(const QString& path,
                                                     const QByteArray& bytes) const {
    return staged_ != nullptr ? staged_->write(path, bytes) : replace_file_contents(path, bytes);
}

std::expected<QStringList, QString> FrameWriter::write_animation(
    const QString& path, const std::expected<QByteArray, QString>& bytes) const {
    if (!bytes) return std::unexpected(QStringLiteral("%1: %2").arg(path, bytes.error()));
    if (auto written = write_file(path, *bytes); !written) {
        return std::unexpected(written.error());
    }
    return QStringList{path};
}

QImage stage_with_alpha(const QImage& stage, const QImage& coverage) {
    if (coverage.isNull()) {
        return stage;
    }
    Q_ASSERT(coverage.size() == stage.size() && coverage.format() == QImage::Format_Grayscale8);
    QImage out = new_image(stage.size(), QImage::Format_ARGB32);
    const int width = stage.width();
    for (int y = 0; y < stage.height(); ++y) {
        const QRgb* s = reinterpret_cast<const QRgb*>(stage.constScanLine(y));
        const uchar* c = coverage.constScanLine(y);
        QRgb* d = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < width; ++x) {
            d[x] = c[x] ? (s[x] | 0xFF000000u) : 0u;
        }
    }
    return out;
}

}  // namespace koma
