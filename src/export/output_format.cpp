#include "export/output_format.h"

#include <QCoreApplication>

namespace koma {

void output_bmp_Click(EditingModel& model) {
    model.output_bmp.visible = false;
    model.output_GIF.visible = true;
    model.gif_mode = 0;
    model.export_settings.extra_format = OutputFormat::Bmp;
}

void output_GIF_Click(EditingModel& model) {
    model.output_bmp.visible = true;
    model.output_GIF.visible = false;
    model.gif_mode = -1;
    model.export_settings.extra_format = OutputFormat::Gif;
}

QString format_caption(OutputFormat format) {
    switch (format) {
        case OutputFormat::Bmp:
            return QCoreApplication::translate("Captions", "ＢＭＰ");
        case OutputFormat::Gif:
            return QStringLiteral("GIF");
        case OutputFormat::Png:
            return QCoreApplication::translate("Captions", "PNG 連番");
        case OutputFormat::Apng:
            return QStringLiteral("APNG");
        case OutputFormat::Webp:
            return QStringLiteral("WebP");
        case OutputFormat::Avif:
            return QStringLiteral("AVIF");
        case OutputFormat::Mp4:
            return QStringLiteral("MP4");
        case OutputFormat::Webm:
            return QStringLiteral("WebM");
        case OutputFormat::Sheet:
            return QCoreApplication::translate("OutputFormat", "シート");
    }
    return {};
}

}  // namespace koma
