#include "compose/compose_frame.h"

#include <algorithm>

#include "compose/pattern.h"
#include "compose/zoom_mirror.h"
#include "raster/masked_blit.h"
#include "raster/pixel_memory.h"
#include "raster/twips.h"

namespace koma {

bool place_frame(const EditingModel& m, int slot, FramePlacement& out) {
    return place_frame_at(m, m.pattern_pos, slot, out);
}

bool place_frame_at(const EditingModel& m, int pos, int slot, FramePlacement& out) {
    if (pos < 0 || pos >= kMaxSteps) {
        return false;
    }
    FramePlacement p;
    for (int k = 0; k <= pos; ++k) {
        p.sum_x += m.step_dx[k];
        p.sum_y += m.step_dy[k];
    }
    const int64_t raw = int64_t{m.sc_bar.value()} * pos + m.adjust_x.value() + p.sum_x;
    const int64_t frame_y = int64_t{m.adjust_y.value()} + p.sum_y;
    if (!fits_int16(p.sum_x) || !fits_int16(p.sum_y) || !fits_int16(raw) || !fits_int16(frame_y)) {
        return false;
    }
    p.frame_y = static_cast<int>(frame_y);

    const int64_t wt = m.win_main.width_twips();
    const int w = twips_to_pixels(wt);
    if (w > 0) {
        // Five stage widths keep the dividend positive for every raw position above -5 x W;
        // the remainder truncates towards zero and so keeps the sign of the dividend.
        p.frame_x =
            static_cast<int>(nearest_div(wt * 5 + raw * kTwipsPerPixel, kTwipsPerPixel) % w);
    }

    const int64_t ft = m.pic[slot].width_twips();
    if (ft + int64_t{p.frame_x} * kTwipsPerPixel > wt) {
        p.part_w =
            static_cast<int>(nearest_div(wt - int64_t{p.frame_x} * kTwipsPerPixel, kTwipsPerPixel));
        p.wrap_w =
            static_cast<int>(nearest_div(ft - int64_t{p.part_w} * kTwipsPerPixel, kTwipsPerPixel));
    } else {
        p.part_w = twips_to_pixels(ft);
        p.wrap_w = 0;
    }
    out = p;
    return true;
}

namespace {

/// Marks 255 in `mask` wherever MaskedBlit of the same arguments draws a pixel.
void cover_keyed(QImage& mask, int x, int y, int width, int height, const QImage& src, int src_x,
                 int src_y, QRgb key) {
    for (int row = 0; row < height; ++row) {
        const int sy = src_y + row;
        const int dy = y + row;
        if (sy < 0 || sy >= src.height() || dy < 0 || dy >= mask.height()) continue;
        const QRgb* s = reinterpret_cast<const QRgb*>(src.constScanLine(sy));
        uchar* d = mask.scanLine(dy);
        const int first = std::max({0, -x, -src_x});
        const int last = std::min({width, mask.width() - x, src.width() - src_x});
        // A select rather than a branch, so that the loop is vectorised.
        for (int col = first; col < last; ++col) {
            d[x + col] = s[src_x + col] != key ? uchar{255} : d[x + col];
        }
    }
}

}  // namespace

QImage stage_coverage(const EditingModel& m) {
    const auto step_slots = step_slot_table(m.pattern_anime.text());
    const int pos = m.pattern_pos;
    const int slot = (pos >= 0 && pos < kMaxSteps) ? step_slots[pos] : 0;
    FramePlacement p;
    if (!place_frame(m, slot, p)) {
        return {};
    }
    const QImage& stage = m.win_main.image();
    QImage mask = new_image(stage.size(), QImage::Format_Grayscale8);
    mask.fill(0);

    const QImage& background = m.pic[kBackgroundSlot].image();
    const int bw = std::min(background.width(), mask.width());
    const int bh = std::min(background.height(), mask.height());
    if (bw > 0 && bh > 0 && m.bg_from_file != 0) {
        // The key is the background's corner as it lies in the background; pixels of other
        // colours stay opaque.
        const QRgb key = background.pixel(0, 0);
        for (int y = 0; y < bh; ++y) {
            const QRgb* s = reinterpret_cast<const QRgb*>(background.constScanLine(y));
            uchar* d = mask.scanLine(y);
            for (int x = 0; x < bw; ++x) d[x] = s[x] == key ? 0 : 255;
        }
    }

    const QImage& frame = m.pic[slot].image();
    if (!frame.isNull()) {
        const QRgb key = frame.pixel(0, 0);
        cover_keyed(mask, p.frame_x, p.frame_y, p.part_w, frame.height(), frame, 0, 0, key);
        if (p.wrap_w > 0) {
            cover_keyed(mask, 0, p.frame_y, p.wrap_w, frame.height(), frame, p.part_w, 0, key);
        }
    }
    const QImage& foreground = m.pic[kForegroundSlot].image();
    if (!foreground.isNull()) {
        cover_keyed(mask, 0, 0, foreground.width(), foreground.height(), foreground, 0, 0,
                    foreground.pixel(0, 0));
    }
    return mask;
}

bool ComposeFrame(EditingModel& m, int update_readouts) {
    const auto step_slots = step_slot_table(m.pattern_anime.text());
    const int pos = m.pattern_pos;
    const int slot = (pos >= 0 && pos < kMaxSteps) ? step_slots[pos] : 0;
    FramePlacement p;
    if (!place_frame(m, slot, p)) {
        return false;
    }

    if (update_readouts == 1) {
        m.total_adjust_x.set_text(QString::number(p.sum_x));
        m.total_adjust_y.set_text(QString::number(-p.sum_y));
        m.this_adjust_x.set_text(QString::number(m.step_dx[pos]));
        m.this_adjust_y.set_text(QString::number(-m.step_dy[pos]));
    }

    QImage& stage = m.win_main.image();
    const QImage& background = m.pic[kBackgroundSlot].image();
    // The background is opaque: where it covers the whole stage, clearing first changes nothing.
    if (background.width() < stage.width() || background.height() < stage.height()) {
        m.win_main.clear();
    }
    PlainBlit(stage, 0, 0, background.width(), background.height(), background, 0, 0);

    const QImage& frame = m.pic[slot].image();
    if (!frame.isNull()) {
        const QRgb key = frame.pixel(0, 0);
        const int h = frame.height();
        MaskedBlit(stage, p.frame_x, p.frame_y, p.part_w, h, frame, 0, 0, key);
        if (p.wrap_w > 0) {
            MaskedBlit(stage, 0, p.frame_y, p.wrap_w, h, frame, p.part_w, 0, key);
        }
    }

    const QImage& foreground = m.pic[kForegroundSlot].image();
    if (!foreground.isNull()) {
        MaskedBlit(stage, 0, 0, foreground.width(), foreground.height(), foreground, 0, 0,
                   foreground.pixel(0, 0));
    }

    if (m.zoom_open == 1) {
        zoom_mirror(m);
    }
    return true;
}

}  // namespace koma
