#include "adjust/background_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

#include "adjust/adjust_edits.h"
#include "model/edit_history.h"
#include "raster/colour.h"
#include "raster/twips.h"
#include "widgets/surface_widget.h"

namespace koma {

namespace {

/// A rectangle given in twips, as pixels.
QRect twip_rect(int left, int top, int width, int height) {
    return {twips_to_pixels(left), twips_to_pixels(top), twips_to_pixels(width),
            twips_to_pixels(height)};
}

void show_text(QLineEdit* edit, const TextBox& box, bool enabled) {
    if (edit->text() != box.text()) {
        edit->setText(box.text());
    }
    if (box.sel_length() > 0) {
        edit->setSelection(box.sel_start(), box.sel_length());
    }
    edit->setEnabled(enabled);
}

}  // namespace

Form5::Form5(EditingModel& model, BackgroundSettings& settings)
    : QWidget(nullptr), model_(model), settings_(settings), opened_(take_snapshot(model)) {
    setWindowTitle(tr("背景の設定"));
    setObjectName(QStringLiteral("Form5"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(twips_to_pixels(4680), twips_to_pixels(3120));

    show_refusal = [this](const QString& message) {
        auto* box =
            new QMessageBox(QMessageBox::Warning, windowTitle(), message, QMessageBox::Ok, this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    };
    pick_colour = [](const QColor& current, QWidget* parent) {
        return QColorDialog::getColor(current, parent);
    };

    Option1 = new QRadioButton(tr("無地"), this);
    Option1->setGeometry(twip_rect(480, 600, 1335, 375));
    Option2 = new QRadioButton(tr("指定ファイル"), this);
    Option2->setGeometry(twip_rect(480, 1680, 1815, 495));
    Text1 = new QLineEdit(this);
    Text1->setGeometry(twip_rect(2760, 360, 615, 375));
    Text2 = new QLineEdit(this);
    Text2->setGeometry(twip_rect(2760, 840, 615, 375));
    color_window = new SurfaceWidget(&settings_.color_window, SurfaceWidget::Mode::Clip, this);
    color_window->setGeometry(twip_rect(3600, 360, 735, 855));
    Label1 = new QLabel(tr("よこ"), this);
    Label1->setGeometry(twip_rect(2040, 360, 615, 375));
    Label2 = new QLabel(tr("たて"), this);
    Label2->setGeometry(twip_rect(2040, 840, 615, 375));
    Command1 = new QPushButton(tr("Ｏｋ"), this);
    Command1->setGeometry(twip_rect(960, 2520, 1095, 495));
    QFont bold = Command1->font();
    bold.setBold(true);
    Command1->setFont(bold);
    Command2 = new QPushButton(tr("キャンセル"), this);
    Command2->setGeometry(twip_rect(2760, 2520, 1095, 495));
    Option1->setToolTip(tr("背景を無地にします（色と大きさは右で決めます）"));
    Option2->setToolTip(tr("背景の枠に読み込んだ画像を背景にします"));
    Text1->setToolTip(tr("無地の背景の幅（ピクセル）"));
    Text2->setToolTip(tr("無地の背景の高さ（ピクセル）"));
    color_window->setToolTip(tr("無地の背景の色: クリックで色を選びます"));
    Command1->setToolTip(tr("この設定を使って窓を閉じます"));
    Command2->setToolTip(tr("何も変えずに窓を閉じます"));

    setTabOrder(Option1, Option2);
    setTabOrder(Option2, Text1);
    setTabOrder(Text1, Text2);
    setTabOrder(Text2, Command1);
    setTabOrder(Command1, Command2);

    connect(Option1, &QRadioButton::clicked, this, [this] {
        Form5_Option1_Click(model_, settings_);
        refresh();
        model_.notify();
    });
    connect(Option2, &QRadioButton::clicked, this, [this] {
        Form5_Option2_Click(model_, settings_);
        refresh();
        model_.notify();
    });
    connect(Text1, &QLineEdit::textEdited, this, [this](const QString& text) {
        settings_.Text1.set_text(text);
        settings_.Text1.select(0, 0);
    });
    connect(Text2, &QLineEdit::textEdited, this, [this](const QString& text) {
        settings_.Text2.set_text(text);
        settings_.Text2.select(0, 0);
    });
    connect(color_window, &SurfaceWidget::clicked, this, &Form5::on_swatch);
    connect(Command1, &QPushButton::clicked, this, &Form5::on_ok);
    connect(Command2, &QPushButton::clicked, this, [this] {
        Form5_Command2_Click(model_);
        model_.notify();
        close_unloaded();
    });
    refresh();
}

void Form5::refresh() {
    const QList<QWidget*> children = findChildren<QWidget*>();
    std::vector<std::unique_ptr<QSignalBlocker>> blockers;
    blockers.reserve(static_cast<size_t>(children.size()));
    for (QWidget* child : children) {
        blockers.push_back(std::make_unique<QSignalBlocker>(child));
    }
    Option1->setChecked(settings_.option == BackgroundOption::Plain);
    Option2->setChecked(settings_.option == BackgroundOption::File);
    show_text(Text1, settings_.Text1, settings_.inputs_enabled);
    show_text(Text2, settings_.Text2, settings_.inputs_enabled);
    color_window->setEnabled(settings_.inputs_enabled);
    color_window->update();
}

void Form5::on_swatch() {
    const QColor current = QColor::fromRgb(rgb_from_bgr(model_.bg_color));
    const QColor chosen = pick_colour(current, this);
    // A cancelled picker reports the colour it started from.
    const QColor reported = chosen.isValid() ? chosen : current;
    Form5_color_window_Click(model_, settings_, bgr_from_rgb(reported.rgb()));
    refresh();
    model_.notify();
}

void Form5::on_ok() {
    const BackgroundOkResult result = Form5_Command1_Click(model_, settings_);
    model_.notify();
    if (result == BackgroundOkResult::Closed) {
        close_unloaded();
        return;
    }
    QApplication::beep();
    refresh();
    QLineEdit* offending = result == BackgroundOkResult::RefusedText1 ? Text1 : Text2;
    offending->setFocus(Qt::OtherFocusReason);
    offending->selectAll();
    if (show_refusal) {
        show_refusal(settings_.refusal);
    }
}

void Form5::close_unloaded() {
    unloaded_ = true;
    close();
}

void Form5::closeEvent(QCloseEvent* event) {
    if (!unloaded_) {
        Form5_Command2_Click(model_);
        model_.notify();
    }
    if (!recorded_) {
        recorded_ = true;
        run_edit(model_, background_edit(model_, opened_));
        model_.notify();
    }
    event->accept();
}

BackgroundWindowHost::BackgroundWindowHost(EditingModel& model, QObject* parent)
    : QObject(parent), model_(model) {}

void BackgroundWindowHost::show_window() {
    form_.show([this] {
        Form5_Load(model_, settings_);
        return new Form5(model_, settings_);
    });
}

}  // namespace koma
