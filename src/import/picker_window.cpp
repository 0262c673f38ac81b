#include "import/picker_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>

#include "import/import_edits.h"
#include "model/edit_history.h"
#include "widgets/folder_lists_widget.h"
#include "widgets/single_window.h"

namespace koma {

namespace {

QFont gothic(double points) {
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"),
                      QStringLiteral("IPAGothic")});
    font.setPointSizeF(points);
    return font;
}

}  // namespace

Form2::Form2(EditingModel& model, QWidget* parent, const FileSystem* fs, int slot)
    : QWidget(parent, Qt::Window),
      model_(model),
      picker_(std::make_unique<PickerModel>(model, fs)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("ファイルを開く"));
    setFixedSize(481, 222);

    Drive1 = new QComboBox(this);
    Drive1->setGeometry(24, 24, 145, 21);
    Dir1 = new QListWidget(this);
    Dir1->setGeometry(24, 64, 145, 111);
    Combo1 = new QComboBox(this);
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    // No completion: text typed in lower case must stay as typed.
    Combo1->setCompleter(nullptr);
    Combo1->setGeometry(216, 24, 137, 21);
    File1 = new FileListWidget(this);
    File1->setGeometry(216, 64, 137, 110);
    for (QWidget* w : std::initializer_list<QWidget*>{Drive1, Dir1, Combo1, File1}) {
        w->setFont(gothic(9.75));
    }
    Label2 = new QLabel(QStringLiteral("0"), this);
    Label2->setGeometry(376, 16, 89, 17);
    Label2->setFont(gothic(12));
    HScroll1 = new QScrollBar(Qt::Horizontal, this);
    HScroll1->setGeometry(368, 40, 105, 17);
    HScroll1->setRange(0, 10);
    HScroll1->setSingleStep(1);
    HScroll1->setPageStep(1);
    Command2 = new QPushButton(QStringLiteral("next"), this);
    Command2->setGeometry(360, 64, 113, 33);
    QFont next_font = gothic(24);
    next_font.setBold(true);
    Command2->setFont(next_font);
    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setGeometry(360, 104, 113, 89);
    QFont ok_font(QStringLiteral("Times New Roman"));
    ok_font.setPointSize(36);
    ok_font.setBold(true);
    Command1->setFont(ok_font);
    notice = new QLabel(this);
    notice->setGeometry(8, 198, 465, 20);
    notice->setStyleSheet(QStringLiteral("color: #b00000"));
    Drive1->setToolTip(tr("ドライブ"));
    Dir1->setToolTip(tr("フォルダ（ダブルクリックで開きます）"));
    Combo1->setToolTip(tr("一覧に出すファイルの種類（*.BMP、*.JPG、*.PNG）"));
    File1->setToolTip(tr("クリックした画像を、選んだ枠に読み込みます"));
    Label2->setToolTip(tr("読み込む先の枠の名前"));
    HScroll1->setToolTip(tr("読み込む先の枠を選びます"));
    Command2->setToolTip(tr("次の枠へ進みます"));
    Command1->setToolTip(tr("窓を閉じます"));

    picker_->Form2_Load(slot);
    lists_binding_ =
        new FolderListsBinding(picker_->lists, Drive1, Dir1, this, [this] { model_.notify(); });
    file_binding_ = new FileListBinding(picker_->File1, File1, [this](int row) {
        forward(
            [&] { run_edit(model_, slot_load_edit(model_, [&] { picker_->File1_Click(row); })); });
    });

    connect(HScroll1, &QScrollBar::valueChanged, this,
            [this](int v) { forward([&] { picker_->HScroll1.set_value(v); }); });
    connect(Command2, &QPushButton::clicked, this,
            [this] { forward([&] { picker_->Command2_Click(); }); });
    connect(Command1, &QPushButton::clicked, this, &QWidget::close);
    connect(Combo1, &QComboBox::activated, this,
            [this](int item) { forward([&] { picker_->Combo1_Click(item); }); });
    connect(Combo1->lineEdit(), &QLineEdit::textEdited, this,
            [this](const QString& text) { forward([&] { picker_->set_combo_text(text); }); });
    connect(&model_, &EditingModel::changed, this, &Form2::refresh);
    refresh();
}

Form2::~Form2() {
    // The children go after the picker model; none of them may call into it on the way.
    for (QWidget* child : findChildren<QWidget*>()) {
        child->blockSignals(true);
    }
    picker_.reset();
}

void Form2::closeEvent(QCloseEvent* event) {
    closed_ = true;
    model_.picker_open = false;
    QWidget::closeEvent(event);
    model_.notify();
}

void Form2::refresh() {
    if (closed_) {
        return;
    }
    const PickerModel& p = *picker_;
    lists_binding_->refresh();
    file_binding_->refresh();
    {
        const QSignalBlocker block(HScroll1);
        HScroll1->setValue(p.HScroll1.value());
    }
    Label2->setText(p.Label2.caption);
    {
        const QSignalBlocker block(Combo1);
        QStringList shown;
        for (int i = 0; i < Combo1->count(); ++i) {
            shown.append(Combo1->itemText(i));
        }
        if (shown != p.Combo1_items) {
            Combo1->clear();
            Combo1->addItems(p.Combo1_items);
        }
        if (Combo1->currentText() != p.Combo1_text) {
            Combo1->setEditText(p.Combo1_text);
        }
    }
    notice->setText(p.notice);
}

Form2* open_picker(EditingModel& model, int slot, QWidget* main_window) {
    Form2* picker = nullptr;
    if (main_window != nullptr) {
        for (Form2* open : main_window->findChildren<Form2*>(Qt::FindDirectChildrenOnly)) {
            if (!open->closed()) {
                picker = open;
            }
        }
    }
    if (picker == nullptr) {
        picker = new Form2(model, main_window, nullptr, slot);
    }
    bring_to_front(picker);
    picker->picker().open_slot(slot);
    model.notify();
    return picker;
}

}  // namespace koma
