#include "export/export_memory.h"

#include <algorithm>

namespace koma {

namespace {

// Stages of 4 bytes a pixel a writer holds besides the background and the composed stage.
// Measured peaks on a 4096 x 4096 stage: the BMP and PNG sequences 3 stages in all, GIF 5, the
// animated PNG 6 (7 transparent, with its trial layouts), WebP about 8.5 (libwebp's own frames).
// The encoders of the other formats hold frames of their own, measured on a 1920 x 1080 stage
// above the program's own 40 MB: a sprite sheet about 9 stages (a row of cells), VP9 25, H.264
// 39, libaom's AVIF 75.
int64_t writer_stages(OutputFormat format) {
    switch (format) {
        case OutputFormat::Bmp:
        case OutputFormat::Png:
            return 1;
        case OutputFormat::Gif:
            return 4;
        case OutputFormat::Apng:
            return 5;
        case OutputFormat::Webp:
            return 7;
        case OutputFormat::Sheet:
            return 10;
        case OutputFormat::Webm:
            return 25;
        case OutputFormat::Mp4:
            return 40;
        case OutputFormat::Avif:
            return 75;
    }
    return 7;
}

constexpr int64_t kMiB = 1024 * 1024;

}  // namespace

int64_t export_memory_need(OutputFormat format, QSize stage, bool transparent, int scale) {
    const int64_t pixels = int64_t{std::max(stage.width(), 0)} * std::max(stage.height(), 0);
    const int64_t scaled = pixels * scale * scale;
    int64_t need = 2 * 4 * pixels + writer_stages(format) * 4 * scaled;
    if (transparent) {
        // The coverage of each step, and the stage with its alpha as the writer takes it.
        need += pixels + (format == OutputFormat::Bmp ? 0 : 4 * scaled);
    }
    return need;
}

std::expected<void, QString> check_export_memory(OutputFormat format, QSize stage, bool transparent,
                                                 int budget_mb, int scale) {
    const int64_t need = export_memory_need(format, stage, transparent, scale);
    if (need <= int64_t{budget_mb} * kMiB) {
        return {};
    }
    return std::unexpected(
        QStringLiteral("a %1 x %2 stage needs about %3 MiB to export, more than the memory "
                       "budget of %4 MiB")
            .arg(stage.width() * scale)
            .arg(stage.height() * scale)
            .arg((need + kMiB - 1) / kMiB)
            .arg(budget_mb));
}

QString out_of_memory_message(QSize stage) {
    return QStringLiteral("not enough memory for a %1 x %2 stage")
        .arg(stage.width())
        .arg(stage.height());
}

}  // namespace koma
