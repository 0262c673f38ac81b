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
#include <QSpinBox>
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
    setWindowTitle(tr("出力設定"));
    setObjectName(QStringLiteral("ExportSettingsWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    // Wider than the controls below need, for the scale beside the format list.
    setFixedSize(392, 300);

    show_refusal = [](const QString& message, QWidget* parent) {
        QMessageBox::warning(parent, QCoreApplication::applicationName(), message);
    };

    add_label(tr("出力形式"), this, 16, 16, 104, 24);
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
    add_label(tr("1コマの時間"), this, 16, 52, 104, 24);
    frame_ms = new QLineEdit(this);
    frame_ms->setGeometry(128, 52, 65, 24);
    add_label(tr("ミリ秒"), this, 200, 52, 104, 24);
    add_label(tr("繰り返し回数"), this, 16, 88, 104, 24);
    loop_count = new QLineEdit(this);
    loop_count->setGeometry(128, 88, 65, 24);
    add_label(tr("回（0 = 無限）"), this, 200, 88, 112, 24);
    transparent = new QCheckBox(tr("背景を透明に"), this);
    transparent->setGeometry(16, 120, 225, 24);
    add_label(tr("再生順"), this, 16, 152, 104, 24);
    direction = new QComboBox(this);
    direction->setGeometry(128, 152, 145, 24);
    direction->addItem(tr("順方向"));
    direction->addItem(tr("往復（ピンポン）"));
    max_effort = new QCheckBox(tr("PNG・APNG を最小サイズに（時間がかかります）"), this);
    max_effort->setGeometry(16, 184, 296, 24);
    add_label(tr("メモリ上限"), this, 16, 216, 104, 24);
    memory_limit = new QSpinBox(this);
    memory_limit->setGeometry(128, 216, 113, 24);
    memory_limit->setRange(kMinMemoryLimitMb, kMaxMemoryLimitMb);
    memory_limit->setSuffix(QStringLiteral(" MB"));
    memory_limit->setToolTip(tr("書き出しに使うメモリがこれを超えるときは、書き出す前に止めます"));
    ok = new QPushButton(tr("ＯＫ"), this);
    ok->setGeometry(64, 256, 81, 33);
    QFont bold = ok->font();
    bold.setBold(true);
    ok->setFont(bold);
    ok->setDefault(true);
    cancel = new QPushButton(tr("キャンセル"), this);
    cancel->setGeometry(176, 256, 81, 33);
    format->setToolTip(tr("書き出すファイルの形式"));
    frame_ms->setToolTip(tr("アニメーションの1コマの時間（ミリ秒）"));
    loop_count->setToolTip(tr("アニメーションを繰り返す回数（0 は無限）"));
    transparent->setToolTip(tr("背景の色を透明にして書き出します（BMP を除く）"));
    direction->setToolTip(tr("コマを順に再生するか、往復させるか"));
    scale->setToolTip(
        tr("書き出す絵を整数倍に拡大します。1 画素が N x N の四角になり、ぼけません"));
    ok->setToolTip(tr("この設定を使います"));
    cancel->setToolTip(tr("何も変えずに窓を閉じます"));
    max_effort->setToolTip(
        tr("PNG と APNG の圧縮を最後まで試して、いちばん小さいファイルにします"));

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
    connect(memory_limit, &QSpinBox::valueChanged, this,
            [this](int mb) { form_.memory_limit_mb = mb; });
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
    memory_limit->setValue(form_.memory_limit_mb);
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
