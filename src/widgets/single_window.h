#pragma once

#include <QPointer>
#include <QWidget>

namespace koma {

/// Shows `window` and brings it to the front with the keyboard focus.
void bring_to_front(QWidget* window);

/// The one window of a kind that a button of the main window opens: a fresh window when none is
/// open, the same window brought to the front otherwise. A window still open when this goes is
/// destroyed with it.
template <class Window>
class SingleWindow {
  public:
    SingleWindow() = default;
    SingleWindow(const SingleWindow&) = delete;
    SingleWindow& operator=(const SingleWindow&) = delete;
    ~SingleWindow() { delete window_.data(); }

    /// Brings the open window to the front, or has `make` create a new one and shows it.
    template <class Make>
    Window* show(Make make) {
        if (window_) {
            bring_to_front(window_);
        } else {
            window_ = make();
            window_->show();
        }
        return window_;
    }

    /// The open window, or nullptr.
    Window* window() const { return window_; }

  private:
    QPointer<Window> window_;
};

}  // namespace koma
