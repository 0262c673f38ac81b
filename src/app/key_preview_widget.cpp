#include "app/key_preview_widget.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

namespace koma {

namespace {

int virtual_key(int qt_key) {
    switch (qt_key) {
        case Qt::Key_Left:
            return 37;
        case Qt::Key_Up:
            return 38;
        case Qt::Key_Right:
            return 39;
        case Qt::Key_Down:
            return 40;
        default:
            return 0;
    }
}

}  // namespace

KeyPreview::KeyPreview(QWidget* window, std::function<void(int)> on_key)
    : QObject(window), window_(window), on_key_(std::move(on_key)) {
    qApp->installEventFilter(this);
}

bool KeyPreview::eventFilter(QObject* receiver, QEvent* event) {
    if (event->type() == QEvent::KeyRelease) {
        // A release ends the press; the next press may reuse the same address.
        shown_ = nullptr;
        return false;
    }
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    const QWindow* handle = window_->windowHandle();
    const bool at_window = handle != nullptr && receiver == handle;
    if (!at_window) {
        const auto* widget = qobject_cast<const QWidget*>(receiver);
        if (widget == nullptr || widget->window() != window_ || event == shown_) {
            return false;
        }
    }
    // A press arriving at the window is always new (auto-repeat may reuse the address of the
    // previous one); the window then hands the same event on to the focused control.
    shown_ = event;
    on_key_(virtual_key(static_cast<const QKeyEvent*>(event)->key()));
    return false;
}

}  // namespace koma
