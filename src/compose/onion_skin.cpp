#include "compose/onion_skin.h"

#include <algorithm>
#include <optional>

#include "compose/compose_frame.h"
#include "compose/pattern.h"

namespace koma {

namespace {

QRgb faint(QRgb colour, std::optional<QRgb> tint) {
    int r = qRed(colour);
    int g = qGreen(colour);
    int b = qBlue(colour);
    if (tint) {
        r = (r + qRed(*tint)) / 2;
        g = (g + qGreen(*tint)) / 2;
        b = (b + qBlue(*tint)) / 2;
    }
    return qPremultiply(qRgba(r, g, b, kOnionAlpha));
}

/// Draws the columns [src_x, src_x + width) of `frame` at (x, y), leaving out its key colour
/// and what falls outside `overlay`.
void draw_keyed(QImage& overlay, int x, int y, int width, const QImage& frame, int src_x,
                std::optional<QRgb> tint) {
    const QRgb key = frame.pixel(0, 0);
    const int first = std::max({0, -x, -src_x});
    const int last = std::min({width, overlay.width() - x, frame.width() - src_x});
    for (int row = 0; row < frame.height(); ++row) {
        const int dy = y + row;
        if (dy < 0 || dy >= overlay.height()) continue;
        const QRgb* s = reinterpret_cast<const QRgb*>(frame.constScanLine(row));
        QRgb* d = reinterpret_cast<QRgb*>(overlay.scanLine(dy));
        for (int col = first; col < last; ++col) {
            const QRgb colour = s[src_x + col];
            if (colour != key) d[x + col] = faint(colour, tint);
        }
    }
}

void draw_step(QImage& overlay, const EditingModel& m, int step, int slot,
               std::optional<QRgb> tint) {
    const QImage& frame = m.pic[slot].image();
    FramePlacement p;
    if (frame.isNull() || !place_frame_at(m, step, slot, p)) {
        return;
    }
    draw_keyed(overlay, p.frame_x, p.frame_y, p.part_w, frame, 0, tint);
    if (p.wrap_w > 0) {
        draw_keyed(overlay, 0, p.frame_y, p.wrap_w, frame, p.part_w, tint);
    }
}

}  // namespace

QImage onion_skin_overlay(const EditingModel& m) {
    const QString& pattern = m.pattern_anime.text();
    const int n = static_cast<int>(std::min<qsizetype>(pattern.size(), kMaxSteps));
    const int pos = m.pattern_pos;
    if (!m.onion_skin || m.fine_adjust == 0 || n < 2 || pos < 0 || pos >= n) {
        return {};
    }
    const QImage& stage = m.win_main.image();
    if (stage.isNull()) {
        return {};
    }
    QImage overlay(stage.size(), QImage::Format_ARGB32_Premultiplied);
    overlay.fill(Qt::transparent);
    const auto step_slots = step_slot_table(pattern);
    const int previous = (pos + n - 1) % n;
    const int next = (pos + 1) % n;
    if (m.onion_next && next != previous) {
        draw_step(overlay, m, next, step_slots[next], kOnionNextTint);
    }
    draw_step(overlay, m, previous, step_slots[previous], std::nullopt);
    return overlay;
}

void toggle_onion_skin(EditingModel& m) { m.onion_skin = !m.onion_skin; }

}  // namespace koma
