#pragma once

#include <QWidget>

#include "raster/surface.h"

namespace koma {

/// Shows a Surface of the model. In Fit mode an image larger than the widget is scaled down to
/// fit (aspect kept); otherwise it is drawn 1:1 from the top-left corner and clipped. Clicks are
/// reported, nothing else.
class SurfaceWidget : public QWidget {
    Q_OBJECT
  public:
    enum class Mode { Clip, Fit };

    SurfaceWidget(const Surface* surface, Mode mode, QWidget* parent = nullptr);

    void set_surface(const Surface* surface);
    const Surface* surface() const { return surface_; }

  signals:
    void clicked();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    const Surface* surface_;
    Mode mode_;
};

}  // namespace koma
