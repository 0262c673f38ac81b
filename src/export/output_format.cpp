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

}  // namespace koma
