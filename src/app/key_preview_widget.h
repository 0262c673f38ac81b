#pragma once

#include <QObject>
#include <functional>

class QWidget;

namespace koma {

/// Key preview for a top-level widget: every key press meant for that window (or any control in
/// it) is shown to `on_key` first, before the focused control sees it, as the virtual-key number
/// (37 Left, 38 Up, 39 Right, 40 Down; 0 for keys the main window never handles). The key is
/// never consumed: after `on_key` returns it goes on to the control that then has the focus.
///
/// Works as an application event filter for as long as this object lives (make it a child of
/// the window). Keys from the window system arrive at the window first; keys sent straight to a
/// control (as tests do) are seen at that control. Either way each press is shown once, not again
/// while it travels up the parent chain.
class KeyPreview : public QObject {
    Q_OBJECT
  public:
    KeyPreview(QWidget* window, std::function<void(int key_code)> on_key);

  protected:
    bool eventFilter(QObject* receiver, QEvent* event) override;

  private:
    QWidget* window_;
    std::function<void(int)> on_key_;
    /// The press last shown; a press that goes on to a control or its parents is the same event.
    const QEvent* shown_ = nullptr;
};

}  // namespace koma
