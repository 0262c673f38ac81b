#pragma once

#include <QString>
#include <functional>

namespace koma {

/// A scroll bar's range and value as plain data. Changing the value runs `on_change`, whoever
/// changes it (the user or the program), but only when the value really changes, as the window
/// system's scroll bars do. Values are always kept inside [min, max].
class ScrollBar {
public:
    ScrollBar(int min, int max, int value) : min_(min), max_(max), value_(value) {}

    int min() const { return min_; }
    int max() const { return max_; }
    int value() const { return value_; }

    /// Sets the value, limited to the range; runs on_change if it changed.
    void set_value(int value);
    /// Sets a limit. A value that falls outside the new range is moved into it (and on_change
    /// runs). A minimum above the maximum, or the reverse, moves the other limit with it.
    void set_min(int min);
    void set_max(int max);

    std::function<void()> on_change;

private:
    int min_, max_, value_;
};

/// A text box as plain data: text, selection and read-only state. Setting the text runs
/// `on_change` when the text really changes. With a maximum length, longer text is cut.
class TextBox {
public:
    explicit TextBox(QString text = {}, int max_length = 0)
        : text_(std::move(text)), max_length_(max_length) {}

    const QString& text() const { return text_; }
    /// Sets the text (cut to the maximum length); runs on_change if it changed. The selection is
    /// kept inside the new text.
    void set_text(const QString& text);

    int sel_start() const { return sel_start_; }
    int sel_length() const { return sel_length_; }
    /// Selects `length` characters from `start`, limited to the text.
    void select(int start, int length);

    bool read_only() const { return read_only_; }
    void set_read_only(bool read_only) { read_only_ = read_only; }

    /// 0 means no limit.
    int max_length() const { return max_length_; }

    std::function<void()> on_change;

private:
    QString text_;
    int max_length_ = 0;
    int sel_start_ = 0;
    int sel_length_ = 0;
    bool read_only_ = false;
};

/// A button's caption and visibility.
struct Button {
    QString caption;
    bool visible = true;
    bool enabled = true;
};

/// A label's caption.
struct Label {
    QString caption;
};

}  // namespace koma
