#include "export/output_format.h"

namespace koma {

void output_bmp_Click(EditingModel& model) {
    model.output_bmp.visible = false;
    model.output_GIF.visible = true;
    model.gif_mode = 0;
}

void output_GIF_Click(EditingModel& model) {
    model.output_bmp.visible = true;
    model.output_GIF.visible = false;
    model.gif_mode = -1;
}

OutputFormat format_in_force(const EditingModel& model) {
    switch (model.export_settings.extra_format) {
        case OutputFormat::Png:
        case OutputFormat::Apng:
        case OutputFormat::Webp:
            return model.export_settings.extra_format;
        case OutputFormat::Bmp:
        case OutputFormat::Gif:
            break;
    }
    return model.gif_mode != 0 ? OutputFormat::Gif : OutputFormat::Bmp;
}

}  // namespace koma
