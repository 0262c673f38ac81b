#include "app/controls.h"

#include <algorithm>

namespace koma {

void ScrollBar::set_value(int value) {
    value = std::clamp(value, min_, max_);
    if (value == value_) {
        return;
    }
    value_ = value;
    if (on_change) {
        on_change();
    }
}

void ScrollBar::set_min(int min) {
    min_ = min;
    max_ = std::max(max_, min_);
    set_value(value_);
}

void ScrollBar::set_max(int max) {
    max_ = max;
    min_ = std::min(min_, max_);
    set_value(value_);
}

void TextBox::set_text(const QString& text) {
    QString cut = text;
    if (max_length_ > 0 && cut.size() > max_length_) {
        cut.truncate(max_length_);
    }
    if (cut == text_) {
        return;
    }
    text_ = std::move(cut);
    select(sel_start_, sel_length_);
    if (on_change) {
        on_change();
    }
}

void TextBox::select(int start, int length) {
    const int size = static_cast<int>(text_.size());
    sel_start_ = std::clamp(start, 0, size);
    sel_length_ = std::clamp(length, 0, size - sel_start_);
}

}  // namespace koma
