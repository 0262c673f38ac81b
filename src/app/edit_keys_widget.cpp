#include "app/edit_keys_widget.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>
#include <optional>

namespace koma {

namespace {

std::optional<EditKey> edit_key(const QKeyEvent* key) {
    const Qt::KeyboardModifiers mods =
        key->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    // Both redo keys work whatever the platform's own choice is.
    if (key->matches(QKeySequence::Redo) ||
        (key->key() == Qt::Key_Z && mods == (Qt::ControlModifier | Qt::ShiftModifier)) ||
        (key->key() == Qt::Key_Y && mods == Qt::ControlModifier)) {
        return EditKey::Redo;
    }
    if (key->matches(QKeySequence::Undo)) {
        return EditKey::Undo;
    }
    if (key->matches(QKeySequence::Save)) {
        return EditKey::Save;
    }
    if (key->matches(QKeySequence::Open)) {
        return EditKey::Open;
    }
    return std::nullopt;
}

}  // namespace

EditKeys::EditKeys(QWidget* window, std::function<void(EditKey)> on_key)
    : QObject(window), window_(window), on_key_(std::move(on_key)) {
    qApp->installEventFilter(this);
}

bool EditKeys::eventFilter(QObject* receiver, QEvent* event) {
    const bool press = event->type() == QEvent::KeyPress;
    if (!press && event->type() != QEvent::ShortcutOverride) {
        return false;
    }
    const QWindow* handle = window_->windowHandle();
    if (handle == nullptr || receiver != handle) {
        const auto* widget = qobject_cast<const QWidget*>(receiver);
        if (widget == nullptr || widget->window() != window_) {
            return false;
        }
    }
    const auto key = edit_key(static_cast<const QKeyEvent*>(event));
    if (!key) {
        return false;
    }
    if (press) {
        on_key_(*key);
    }
    // Consumed: a text box neither claims the key as its own shortcut nor undoes by itself.
    return true;
}

}  // namespace koma
