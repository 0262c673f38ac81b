#pragma once

#include <QWidget>

#include "raster/surface.h"

namespace koma {

/// Shows a Surface of the model. In Fit mode an image larger than the widget is scaled down to
/// fit (aspect kept); otherwise it is drawn 1:1 from the top-left corner and clipped. An overlay
/// (an image of the surface's size with alpha) may be laid over it, drawn over the same pixels;
/// the surface itself is never changed. Clicks are reported, nothing else.
class SurfaceWidget : public QWidget {
    Q_OBJECT
  public:
    enum class Mode { Clip, Fit };

    SurfaceWidget(const Surface* surface, Mode mode, QWidget* parent = nullptr);

    void set_surface(const Surface* surface);
    const Surface* surface() const { return surface_; }

    /// Lays `overlay` over the surface from the next paint on; a null image lays nothing.
    void set_overlay(const QImage& overlay);
    const QImage& overlay() const { return overlay_; }

  signals:
    void clicked();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    const Surface* surface_;
    Mode mode_;
    QImage overlay_;
};

}  // namespace koma
