#include "adjust/zoom.h"

#include <QCoreApplication>

#include "codecs/image_limits.h"
#include "compose/zoom_mirror.h"
#include "platform/top_most.h"
#include "raster/twips.h"

namespace koma {

namespace {

constexpr int kZoomFactor = 4;

void open_zoom(EditingModel& m, ZoomWindowPort& port) {
    m.zoom_open = 1;
    m.bt_zoom.caption = QCoreApplication::translate("Captions", "縮小");
    // Each opening starts from a blank surface of the stage's size at that moment; a stage
    // that grows later is mirrored clipped to it.
    m.zoom_surface =
        Surface(m.win_main.width_twips() * kZoomFactor, m.win_main.height_twips() * kZoomFactor);
    TopMostOn(port.open());
    zoom_mirror(m);
}

void close_zoom(EditingModel& m, ZoomWindowPort& port) {
    TopMostOff(port.window());
    m.zoom_open = 0;
    m.bt_zoom.caption = QCoreApplication::translate("Captions", "ズーム");
    port.unload();
}

}  // namespace

bool zoom_surface_allowed(int64_t width_twips, int64_t height_twips) {
    // The same rounding as the surface that open_zoom makes.
    const int64_t width = twips_to_pixels(width_twips * kZoomFactor);
    const int64_t height = twips_to_pixels(height_twips * kZoomFactor);
    return width * height * 4 <= kMaxImageBytes;
}

std::expected<void, QString> bt_zoom_Click(EditingModel& m, ZoomWindowPort& port) {
    m.request_focus(QStringLiteral("pic_dummy"));
    if (m.zoom_open != 0) {
        close_zoom(m, port);
        return {};
    }
    if (!zoom_surface_allowed(m.win_main.width_twips(), m.win_main.height_twips())) {
        return std::unexpected(kZoomTooLarge);
    }
    open_zoom(m, port);
    return {};
}

void Form4_Unload(EditingModel& m) {
    m.zoom_open = 0;
    m.bt_zoom.caption = QCoreApplication::translate("Captions", "ズーム");
}

}  // namespace koma
