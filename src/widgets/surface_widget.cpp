#include "widgets/surface_widget.h"

#include <QMouseEvent>
#include <QPainter>

namespace koma {

SurfaceWidget::SurfaceWidget(const Surface* surface, Mode mode, QWidget* parent)
    : QWidget(parent), surface_(surface), mode_(mode) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void SurfaceWidget::set_surface(const Surface* surface) {
    surface_ = surface;
    update();
}

void SurfaceWidget::set_overlay(const QImage& overlay) {
    if (overlay.isNull() && overlay_.isNull()) {
        return;
    }
    overlay_ = overlay;
    update();
}

void SurfaceWidget::paintEvent(QPaintEvent*) {
    if (surface_ == nullptr) {
        return;
    }
    QPainter painter(this);
    const QImage& image = surface_->image();
    if (image.isNull()) {
        return;
    }
    QRect shown(QPoint(0, 0), image.size());
    if (mode_ == Mode::Fit && (image.width() > width() || image.height() > height())) {
        shown.setSize(image.size().scaled(size(), Qt::KeepAspectRatio));
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    }
    painter.drawImage(shown, image);
    if (!overlay_.isNull()) {
        painter.drawImage(shown, overlay_);
    }
}

void SurfaceWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        emit clicked();
    }
    QWidget::mousePressEvent(event);
}

}  // namespace koma
