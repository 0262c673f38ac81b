#include "compose/startup.h"

#include "compose/install_handlers.h"

namespace koma {

void draw_pointer_arrow(Surface& pointer) {
    pointer.fill(kFaceColour);
    QImage& image = pointer.image();
    const QRgb red = qRgb(255, 0, 0);
    for (int i = 0; i < 4; ++i) {
        // A line from column i to column 7 - i leaves its end point out, as line drawing does.
        for (int row : {2 * i, 2 * i + 1}) {
            for (int col = i; col < 7 - i; ++col) {
                if (col < image.width() && row < image.height()) {
                    image.setPixel(col, row, red);
                }
            }
        }
    }
}

void Form1_Load(EditingModel& m) {
    install_handlers(m);

    m.adjust_mode = 0;
    m.fine_adjust = 0;
    m.zoom_open = 0;
    m.edit_cursor = 0;
    m.sc_bar.set_value(0);
    m.bg_color = 0xFFFFFF;
    m.bg_from_file = -1;
    m.stage_width = 80;
    m.stage_height = 50;
    // The program's folder, unless it cannot be written (an installed program): then the
    // user's own folder the program was given.
    const QString& start = m.start_folder();
    m.path_ref.caption = start;
    m.export_lists.set_drive(m.export_lists.file_system().root_of(start));
    m.export_lists.set_path(start);
    m.gif_mode = 0;
    draw_pointer_arrow(m.pointer_k);
}

}  // namespace koma
