#include "compose/offset_model.h"

#include <algorithm>
#include <cstdint>

#include "compose/adjust_view.h"
#include "compose/number_reading.h"

namespace koma {

namespace {

// Whether adding `delta` to `value` carries it past the signed 16-bit limit it moves towards.
bool leaves_int16(int64_t value, int delta) {
    const int64_t moved = value + delta;
    return (delta > 0 && moved > INT16_MAX) || (delta < 0 && moved < INT16_MIN);
}

// Checks one axis: the entry at `step` and, for every k from step to `last`, the running sum
// 0..k and the frame position base(k) + sum. `base` gives the part of the position that does
// not come from the table.
template <typename Base>
bool axis_can_move(const std::array<int16_t, kMaxSteps>& table, int step, int last, int delta,
                   Base base) {
    if (delta == 0) {
        return true;
    }
    if (leaves_int16(table[step], delta)) {
        return false;
    }
    int64_t sum = 0;
    for (int k = 0; k <= last; ++k) {
        sum += table[k];
        if (k >= step && (leaves_int16(sum, delta) || leaves_int16(base(k) + sum, delta))) {
            return false;
        }
    }
    return true;
}

}  // namespace

void adjust_x_change(EditingModel& m) {
    m.offset_x.set_text(QString::number(m.adjust_x.value()));
    adjust_view(m);
}

void adjust_y_change(EditingModel& m) {
    m.offset_y.set_text(QString::number(-m.adjust_y.value()));
    adjust_view(m);
}

void sc_bar_change(EditingModel& m) { m.size_move.set_text(QString::number(m.sc_bar.value())); }

void size_move_change(EditingModel& m) {
    const int v = read_rounded_number(m.size_move.text());
    if (v >= kTypedTravelMin && v <= kTypedTravelMax) {
        m.sc_bar.set_value(v);
    }
}

void size_move_lost_focus(EditingModel& m) { sc_bar_change(m); }

bool nudge_step(EditingModel& m, int step, int dx, int dy) {
    if (step < 0 || step >= kMaxSteps) {
        return false;
    }
    const int length = std::min<int>(static_cast<int>(m.pattern_anime.text().size()), kMaxSteps);
    const int last = std::max(step, length - 1);
    const int64_t travel = m.sc_bar.value();
    const int64_t base_x = m.adjust_x.value();
    const int64_t base_y = m.adjust_y.value();
    const bool x_ok =
        axis_can_move(m.step_dx, step, last, dx, [&](int k) { return travel * k + base_x; });
    const bool y_ok = axis_can_move(m.step_dy, step, last, dy, [&](int) { return base_y; });
    if (!x_ok || !y_ok) {
        return false;
    }
    m.step_dx[step] = static_cast<int16_t>(m.step_dx[step] + dx);
    m.step_dy[step] = static_cast<int16_t>(m.step_dy[step] + dy);
    return true;
}

}  // namespace koma
