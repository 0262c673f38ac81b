#include "adjust/zoom_window.h"

#include <QCloseEvent>
#include <QPainter>
#include <QWindow>
#include <algorithm>

#include "compose/onion_skin.h"
#include "compose/zoom_mirror.h"

namespace koma {

Form4::Form4(EditingModel& model) : QWidget(nullptr), model_(model) {
    setWindowTitle(QStringLiteral("Form4"));
    setObjectName(QStringLiteral("Form4"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Nothing to type into: keep the keyboard with the main window.
    setFocusPolicy(Qt::NoFocus);
    connect(&model_, &EditingModel::zoom_repainted, this, qOverload<>(&QWidget::update));
    // The onion skin follows the model's modes and cursor, which change without a redraw.
    connect(&model_, &EditingModel::changed, this, qOverload<>(&QWidget::update));
}

void Form4::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    painter.drawImage(QPoint(0, 0), model_.zoom_surface.image());
    // Laid over the enlarged stage pixel for pixel, never into the zoom surface.
    const QImage onion = onion_skin_overlay(model_);
    if (!onion.isNull()) {
        painter.drawImage(QRect(QPoint(0, 0), zoom_picture_size(model_)), onion);
    }
}

void Form4::closeEvent(QCloseEvent* event) {
    Form4_Unload(model_);
    model_.notify();
    event->accept();
}

ZoomWindowHost::ZoomWindowHost(EditingModel& model, QObject* parent)
    : QObject(parent), model_(model) {}

ZoomWindowHost::~ZoomWindowHost() { delete form_.data(); }

QWindow* ZoomWindowHost::open() {
    // A window left over from an earlier opening goes first: every opening is a fresh window.
    delete form_.data();
    form_ = new Form4(model_);
    // The client area is exactly the zoom surface; the window manager adds its frame outside.
    form_->resize(std::max(model_.zoom_surface.width_px(), 1),
                  std::max(model_.zoom_surface.height_px(), 1));
    form_->show();
    return form_->windowHandle();
}

QWindow* ZoomWindowHost::window() const { return form_ ? form_->windowHandle() : nullptr; }

void ZoomWindowHost::unload() {
    if (form_) {
        form_->close();
    }
}

}  // namespace koma
