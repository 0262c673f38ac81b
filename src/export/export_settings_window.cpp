#include "export/export_settings_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <algorithm>

#include "export/output_format.h"
#include "model/edit_command.h"
#include "model/edit_history.h"

namespace koma {

namespace {

void show_text(QLineEdit* edit, const TextBox& box) {
    if (edit->text() != box.text()) {
        edit->setText(box.text());
    }
    if (box.sel_length() > 0) {
        edit->setSelection(box.sel_start(), box.sel_length());
    }
}

QLabel* add_label(const QString& text, QWidget* parent, int x, int y, int w, int h) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(x, y, w, h);
    return label;
}

}  // namespace

ExportSettingsWindow::ExportSettingsWindow(EditingModel& model, ExportSettingsForm& form)
    : QWidget(nullptr), model_(model), form_(form) {
    setWindowTitle(QStringLiteral("出力設定"));
    setObjectName(QStringLiteral("ExportSettingsWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    // Wider than the controls below need, for the scale beside the format list.
    setFixedSize(392, 268);

    show_refusal = [](const QString& message, QWidget* parent) {
        QMessageBox::warning(parent, QCoreApplication::applicationName(), message);
    };

    add_label(QStringLiteral("出力形式"), this, 16, 16, 104, 24);
    format = new QComboBox(this);
    format->setGeometry(128, 16, 113, 24);
    for (OutputFormat f : kFormats) {
        format->addItem(format_caption(f));
    }
    add_label(tr("拡大"), this, 256, 16, 40, 24);
    scale = new QComboBox(this);
    scale->setGeometry(300, 16, 76, 24);
    for (int k = 1; k <= kMaxScale; ++k) {
        scale->addItem(tr("%1 倍").arg(k));
    }
    add_label(QStringLiteral("1コマの時間"), this, 16, 52, 104, 24);
    frame_ms = new QLineEdit(this);
    frame_ms->setGeometry(128, 52, 65, 24);
    add_label(QStringLiteral("ミリ秒"), this, 200, 52, 104, 24);
    add_label(QStringLiteral("繰り返し回数"), this, 16, 88, 104, 24);
    loop_count = new QLineEdit(this);
    loop_count->setGeometry(128, 88, 65, 24);
    add_label(QStringLiteral("回（0 = 無限）"), this, 200, 88, 112, 24);
    transparent = new QCheckBox(QStringLiteral("背景を透明に"), this);
    transparent->setGeometry(16, 120, 225, 24);
    add_label(tr("再生順"), this, 16, 152, 104, 24);
    direction = new QComboBox(this);
    direction->setGeometry(128, 152, 145, 24);
    direction->addItem(tr("順方向"));
    direction->addItem(tr("往復（ピンポン）"));
    max_effort = new QCheckBox(tr("PNG・APNG を最小サイズに（時間がかかります）"), this);
    max_effort->setGeometry(16, 184, 296, 24);
    ok = new QPushButton(QStringLiteral("ＯＫ"), this);
    ok->setGeometry(64, 224, 81, 33);
    QFont bold = ok->font();
    bold.setBold(true);
    ok->setFont(bold);
    ok->setDefault(true);
    cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    cancel->setGeometry(176, 224, 81, 33);

    connect(format, &QComboBox::activated, this, [this](int row) {
        if (row >= 0 && row < static_cast<int>(kFormats.size())) {
            form_.format = kFormats[static_cast<size_t>(row)];
        }
    });
    connect(frame_ms, &QLineEdit::textEdited, this, [this](const QString& text) {
        form_.frame_ms.set_text(text);
        form_.frame_ms.select(0, 0);
    });
    connect(loop_count, &QLineEdit::textEdited, this, [this](const QString& text) {
        form_.loop_count.set_text(text);
        form_.loop_count.select(0, 0);
    });
    connect(transparent, &QCheckBox::toggled, this,
            [this](bool checked) { form_.transparent = checked; });
    connect(direction, &QComboBox::activated, this, [this](int row) {
        form_.direction = row == 1 ? PlayDirection::PingPong : PlayDirection::Forward;
    });
    connect(scale, &QComboBox::activated, this, [this](int row) { form_.scale = row + 1; });
    connect(max_effort, &QCheckBox::toggled, this,
            [this](bool checked) { form_.max_effort = checked; });
    connect(&model_, &EditingModel::changed, this, [this] {
        if (export_settings_follow(model_, form_)) {
            refresh();
        }
    });
    connect(ok, &QPushButton::clicked, this, &ExportSettingsWindow::on_ok);
    connect(cancel, &QPushButton::clicked, this, [this] { close(); });
    refresh();
}

void ExportSettingsWindow::refresh() {
    const QList<QWidget*> children = findChildren<QWidget*>();
    std::vector<std::unique_ptr<QSignalBlocker>> blockers;
    blockers.reserve(static_cast<size_t>(children.size()));
    for (QWidget* child : children) {
        blockers.push_back(std::make_unique<QSignalBlocker>(child));
    }
    const auto row = std::find(kFormats.begin(), kFormats.end(), form_.format) - kFormats.begin();
    format->setCurrentIndex(static_cast<int>(row));
    show_text(frame_ms, form_.frame_ms);
    show_text(loop_count, form_.loop_count);
    transparent->setChecked(form_.transparent);
    direction->setCurrentIndex(form_.direction == PlayDirection::PingPong ? 1 : 0);
    max_effort->setChecked(form_.max_effort);
    scale->setCurrentIndex(form_.scale - 1);
}

void ExportSettingsWindow::on_ok() {
    // The settings are the project's: taking them is a step of the history, so that an undo of
    // an earlier edit does not quietly take them back and the project counts as changed.
    std::expected<void, ExportSettingsRefusal> taken;
    run_edit(model_, value_edit(model_, tr("出力設定"),
                                [&] { taken = export_settings_ok(model_, form_); }));
    model_.notify();
    if (taken) {
        unloaded_ = true;
        close();
        return;
    }
    refresh();
    QLineEdit* offending =
        taken.error().field == ExportSettingsField::FrameMs ? frame_ms : loop_count;
    show_refusal(taken.error().message, this);
    offending->setFocus(Qt::OtherFocusReason);
    offending->selectAll();
}

void ExportSettingsWindow::closeEvent(QCloseEvent* event) {
    if (!unloaded_) {
        unloaded_ = true;
        export_settings_cancel(model_);
        model_.notify();
    }
    event->accept();
}

ExportSettingsWindowHost::ExportSettingsWindowHost(EditingModel& model, QObject* parent)
    : QObject(parent), model_(model) {}

void ExportSettingsWindowHost::show_window() {
    window_.show([this] {
        export_settings_load(model_, form_);
        return new ExportSettingsWindow(model_, form_);
    });
}

}  // namespace koma
