#include "adjust/zoom.h"

#include "adjust/zoom_mirror.h"
#include "platform/top_most.h"

namespace koma {

namespace {

constexpr int kZoomFactor = 4;

void open_zoom(EditingModel& m, ZoomWindowPort& port) {
    m.zoom_open = 1;
    m.bt_zoom.caption = QStringLiteral("縮小");
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
    m.bt_zoom.caption = QStringLiteral("ズーム");
    port.unload();
}

}  // namespace

void bt_zoom_Click(EditingModel& m, ZoomWindowPort& port) {
    m.request_focus(QStringLiteral("pic_dummy"));
    if (m.zoom_open == 0) {
        open_zoom(m, port);
    } else {
        close_zoom(m, port);
    }
}

void Form4_Unload(EditingModel& m) {
    m.zoom_open = 0;
    m.bt_zoom.caption = QStringLiteral("ズーム");
}

}  // namespace koma
