#include "model/controls.h"

#include <algorithm>

namespace koma {

void ScrollBar::set_value(int value) {
    value = std::clamp(value, values_->min, values_->max);
    if (value == values_->value) {
        return;
    }
    values_->value = value;
    if (on_change) {
        on_change();
    }
}

void ScrollBar::set_min(int min) {
    values_->min = min;
    values_->max = std::max(values_->max, min);
    set_value(values_->value);
}

void ScrollBar::set_max(int max) {
    values_->max = max;
    values_->min = std::min(values_->min, max);
    set_value(values_->value);
}

void TextBox::set_text(const QString& text) {
    QString cut = text;
    if (max_length_ > 0 && cut.size() > max_length_) {
        cut.truncate(max_length_);
    }
    if (cut == *text_) {
        return;
    }
    *text_ = std::move(cut);
    select(sel_start_, sel_length_);
    if (on_change) {
        on_change();
    }
}

int TextBox::sel_start() const { return std::min(sel_start_, static_cast<int>(text_->size())); }

int TextBox::sel_length() const {
    return std::clamp(sel_length_, 0, static_cast<int>(text_->size()) - sel_start());
}

void TextBox::select(int start, int length) {
    const int size = static_cast<int>(text_->size());
    sel_start_ = std::clamp(start, 0, size);
    sel_length_ = std::clamp(length, 0, size - sel_start_);
}

}  // namespace koma
