#pragma once

#include <QHash>
#include <QObject>
#include <QRect>
#include <QSize>

class QScrollArea;
class QWidget;

namespace koma {

class Form1;

/// Keeps the main window usable whatever the stage's size. The stage is shown at its place;
/// controls right of the default stage move right by the extra width it takes, controls below
/// it move down by the extra height, and the client area grows with them. A stage that would
/// make the window larger than the screen's available area is shown scaled down (smoothly, its
/// aspect kept) into the room the layout has on a 1920 x 1080 screen, with its scale shown
/// beside it; the stage itself keeps every pixel. Should the window still not fit a smaller
/// screen, it scrolls. A stage no larger than the default 462 x 110 leaves the fixed 957 x 751
/// layout exactly as designed.
///
/// Created once by the main window after its controls; it moves them onto a canvas inside a
/// scroll area and follows the model's changes.
class StageLayout : public QObject {
    Q_OBJECT
  public:
    explicit StageLayout(Form1& window);

    /// Places the controls for the stage's current size.
    void apply();
    QWidget* canvas() const { return canvas_; }
    QScrollArea* scroll_area() const { return area_; }

    /// Where a control designed at `design` goes for a stage of `stage` pixels.
    static QRect place(const QRect& design, QSize stage);
    /// The client area that shows a stage of `stage` pixels and every control.
    static QSize client_size(QSize stage);
    /// The size a stage of `stage` pixels is shown at where the window may take `room` (the
    /// screen's available area less the window's frame): its own size while the window fits,
    /// else scaled down into the largest stage a 1920 x 1080 screen's layout has room for.
    static QSize shown_size(QSize stage, QSize room);

  private:
    /// The client area the window may take on its screen.
    QSize room() const;

    Form1& window_;
    QScrollArea* area_ = nullptr;
    QWidget* canvas_ = nullptr;
    QHash<QWidget*, QRect> design_;
    QSize applied_;
};

}  // namespace koma
