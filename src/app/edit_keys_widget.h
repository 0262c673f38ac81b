#pragma once

#include <QObject>
#include <functional>

class QWidget;

namespace koma {

/// The keys of the main window that act on the project, whichever control has the focus.
enum class EditKey {
    Undo,  ///< Ctrl+Z
    Redo,  ///< Ctrl+Shift+Z, Ctrl+Y
    Save,  ///< Ctrl+S
    Open,  ///< Ctrl+O
};

/// Catches the edit keys for a top-level widget before any of its controls sees them (so a
/// text box's own undo never runs) and hands them to `on_key`. Other keys pass untouched.
/// Works as an application event filter while it lives (make it a child of the window).
class EditKeys : public QObject {
    Q_OBJECT
  public:
    EditKeys(QWidget* window, std::function<void(EditKey)> on_key);

  protected:
    bool eventFilter(QObject* receiver, QEvent* event) override;

  private:
    QWidget* window_;
    std::function<void(EditKey)> on_key_;
};

}  // namespace koma
