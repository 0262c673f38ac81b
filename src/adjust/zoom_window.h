#pragma once

#include <QPointer>
#include <QWidget>

#include "adjust/zoom.h"

namespace koma {

/// The zoom window "Form4": shows the model's zoom surface 1:1 from its top-left corner and
/// repaints whenever the zoom mirror has drawn into it. The onion skin (onion_skin_overlay), when
/// there is one, is laid over the enlarged stage, four times enlarged as well. Closing it by the
/// window manager runs its unload handler; it deletes itself when closed.
class Form4 : public QWidget {
    Q_OBJECT
  public:
    explicit Form4(EditingModel& model);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    EditingModel& model_;
};

/// Creates and unloads Form4 for the `bt_zoom` handler. Lives as long as the main window; a
/// zoom window still open when it goes is destroyed with it.
class ZoomWindowHost : public QObject, public ZoomWindowPort {
    Q_OBJECT
  public:
    ZoomWindowHost(EditingModel& model, QObject* parent = nullptr);
    ~ZoomWindowHost() override;

    QWindow* open() override;
    QWindow* window() const override;
    void unload() override;

    /// The open zoom window, or nullptr.
    Form4* form() const { return form_; }

  private:
    EditingModel& model_;
    QPointer<Form4> form_;
};

}  // namespace koma
