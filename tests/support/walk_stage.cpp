#include "support/walk_stage.h"

#include "walk_art.h"

namespace koma::test {

QImage walk_stage(int step) {
    static const QImage background = art::walk_background();
    QImage stage = background.copy();
    const QImage figure = art::walk_figure(step % 8, 8).convertToFormat(QImage::Format_RGB32);
    const QRgb key = figure.pixel(0, 0);
    const int left = step * 5 % stage.width();
    const int top = stage.height() - figure.height() - 8;
    for (int y = 0; y < figure.height(); ++y) {
        for (int x = 0; x < figure.width(); ++x) {
            const QRgb pixel = figure.pixel(x, y);
            if (pixel != key) stage.setPixel((left + x) % stage.width(), top + y, pixel);
        }
    }
    return stage;
}

}  // namespace koma::test
