#include "app/stage_layout_widget.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>

#include "app/main_window.h"
#include "compose/pattern_cursor.h"
#include "widgets/surface_widget.h"

namespace koma {

namespace {

constexpr QRect kDesignStage(40, 152, 462, 110);
constexpr QSize kDesignClient(957, 751);
// The client area a 1920 x 1080 screen leaves a window, after a panel and the window's frame,
// and the largest stage shown in it.
constexpr QSize kFullHdClient(1900, 1000);
constexpr QSize kLargestShownStage = kFullHdClient - kDesignClient + kDesignStage.size();

// Keys belong to the main window (key preview), not to the scroll area.
class KeylessScrollArea : public QScrollArea {
  public:
    using QScrollArea::QScrollArea;

  protected:
    void keyPressEvent(QKeyEvent* event) override { event->ignore(); }
};

QSize extra(QSize stage) {
    return {std::max(0, stage.width() - kDesignStage.width()),
            std::max(0, stage.height() - kDesignStage.height())};
}

}  // namespace

QRect StageLayout::place(const QRect& design, QSize stage) {
    const QSize more = extra(stage);
    if (design.x() >= kDesignStage.right() + 1) {
        return design.translated(more.width(), 0);
    }
    if (design.y() >= kDesignStage.bottom() + 1) {
        return design.translated(0, more.height());
    }
    return design;
}

QSize StageLayout::client_size(QSize stage) { return kDesignClient + extra(stage); }

QSize StageLayout::shown_size(QSize stage, QSize room) {
    const QSize client = client_size(stage);
    if (client == kDesignClient ||
        (client.width() <= room.width() && client.height() <= room.height())) {
        return stage;
    }
    if (stage.width() <= kLargestShownStage.width() &&
        stage.height() <= kLargestShownStage.height()) {
        return stage;
    }
    return stage.scaled(kLargestShownStage, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

StageLayout::StageLayout(Form1& window) : QObject(&window), window_(window) {
    area_ = new KeylessScrollArea(&window);
    area_->setFrameShape(QFrame::NoFrame);
    area_->setFocusPolicy(Qt::NoFocus);
    area_->setWidgetResizable(false);
    canvas_ = new QWidget;
    canvas_->setPalette(window.palette());
    canvas_->setAutoFillBackground(true);
    canvas_->resize(kDesignClient);

    // Every control moves onto the canvas in its stacking order, keeping its position.
    const QObjectList children = window.children();
    for (QObject* child : children) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget == nullptr || widget == area_) {
            continue;
        }
        const bool hidden = widget->isHidden();
        design_.insert(widget, widget->geometry());
        widget->setParent(canvas_);
        if (!hidden) {
            widget->show();
        }
    }
    area_->setWidget(canvas_);
    area_->viewport()->setPalette(window.palette());
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(area_);

    connect(&window.model(), &EditingModel::changed, this, &StageLayout::apply);
    apply();
}

QSize StageLayout::room() const {
    const QScreen* screen = window_.screen();
    if (screen == nullptr) {
        return kFullHdClient;
    }
    // The frame is known once the window is shown; before, the title bar is guessed.
    QSize frame = window_.frameGeometry().size() - window_.size();
    if (frame.isEmpty()) {
        frame = QSize(0, 32);
    }
    return screen->availableGeometry().size() - frame;
}

void StageLayout::apply() {
    const Surface& stage_surface = window_.model().win_main;
    const QSize full(stage_surface.width_px(), stage_surface.height_px());
    const QSize stage = shown_size(full, room());
    QLabel* scale = window_.stage_scale;
    if (stage != full) {
        const int percent = std::max(1, qRound(100.0 * stage.width() / full.width()));
        scale->setText(QCoreApplication::translate("StageLayout", "縮小表示 %1%（%2 x %3）")
                           .arg(percent)
                           .arg(full.width())
                           .arg(full.height()));
    }
    scale->setVisible(stage != full);
    for (auto it = design_.cbegin(); it != design_.cend(); ++it) {
        QWidget* widget = it.key();
        const QRect design = it.value();
        if (widget == window_.win_main) {
            widget->setGeometry(QRect(kDesignStage.topLeft(), stage));
            continue;
        }
        if (widget == window_.pointer_k) {
            continue;  // placed against the pattern box below
        }
        const QRect placed = place(design, stage);
        if (widget->geometry() != placed) {
            widget->setGeometry(placed);
        }
    }
    // The arrow stands over its character of the pattern box wherever the box went; its own
    // left edge may lie right of the stage (far steps), which must not move it again.
    QWidget* arrow = window_.pointer_k;
    const QRect box = window_.pattern_anime->geometry();
    const QPoint at(box.x() + window_.model().pointer_k_left - kPatternBoxLeft,
                    box.y() - arrow->height());
    if (arrow->pos() != at) {
        arrow->move(at);
    }
    const QSize client = client_size(stage);
    if (client == applied_) {
        return;
    }
    applied_ = client;
    canvas_->resize(client);
    if (client == kDesignClient) {
        window_.setFixedSize(client);
        return;
    }
    // As large as the layout needs, no larger than the screen, never below the design.
    QSize size = client;
    if (const QScreen* screen = window_.screen()) {
        size = client.boundedTo(screen->availableGeometry().size().expandedTo(kDesignClient));
    }
    window_.setMinimumSize(kDesignClient);
    window_.setMaximumSize(client);
    window_.resize(size);
}

}  // namespace koma
