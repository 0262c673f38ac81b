#pragma once

#include <QString>
#include <functional>

#include "model/project_state.h"

namespace koma {

/// A scroll bar's range and value as plain data. Changing the value runs `on_change`, whoever
/// changes it (the user or the program), but only when the value really changes, as the window
/// system's scroll bars do. Values are always kept inside [min, max].
///
/// A scroll bar either keeps its values itself or shows values that live elsewhere (a field of
/// the ProjectState): putting new values there directly, as undo does, runs no handler.
class ScrollBar {
  public:
    /// A scroll bar keeping its own values.
    ScrollBar(int min, int max, int value) : own_{min, max, value} {}
    /// A scroll bar showing `*values`, which must outlive it.
    explicit ScrollBar(BarValues* values) : values_(values) {}
    ScrollBar(const ScrollBar&) = delete;
    ScrollBar& operator=(const ScrollBar&) = delete;

    int min() const { return values_->min; }
    int max() const { return values_->max; }
    int value() const { return values_->value; }

    /// Sets the value, limited to the range; runs on_change if it changed.
    void set_value(int value);
    /// Sets a limit. A value that falls outside the new range is moved into it (and on_change
    /// runs). A minimum above the maximum, or the reverse, moves the other limit with it.
    void set_min(int min);
    void set_max(int max);

    std::function<void()> on_change;

  private:
    BarValues own_;
    BarValues* values_ = &own_;
};

/// A text box as plain data: text, selection and read-only state. Setting the text runs
/// `on_change` when the text really changes. With a maximum length, longer text is cut.
///
/// Like a ScrollBar, a text box keeps its text itself or shows a text that lives elsewhere; the
/// selection and the read-only state are always its own. The selection never reaches past the
/// end of the text, also when the text was put back directly.
class TextBox {
  public:
    /// A text box keeping its own text.
    explicit TextBox(QString text = {}, int max_length = 0)
        : own_(std::move(text)), max_length_(max_length) {}
    /// A text box showing `*text`, which must outlive it.
    explicit TextBox(QString* text, int max_length = 0) : text_(text), max_length_(max_length) {}
    TextBox(const TextBox&) = delete;
    TextBox& operator=(const TextBox&) = delete;

    const QString& text() const { return *text_; }
    /// Sets the text (cut to the maximum length); runs on_change if it changed. The selection is
    /// kept inside the new text.
    void set_text(const QString& text);

    int sel_start() const;
    int sel_length() const;
    /// Selects `length` characters from `start`, limited to the text.
    void select(int start, int length);

    bool read_only() const { return read_only_; }
    void set_read_only(bool read_only) { read_only_ = read_only; }

    /// 0 means no limit.
    int max_length() const { return max_length_; }

    std::function<void()> on_change;

  private:
    QString own_;
    QString* text_ = &own_;
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

/// A label whose caption lives elsewhere (a field of the ProjectState), which must outlive it.
struct BoundLabel {
    QString& caption;
};

}  // namespace koma
