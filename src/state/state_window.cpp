#include "state/state_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>

#include "widgets/folder_lists_widget.h"
#include "widgets/single_window.h"

namespace koma {

namespace {

constexpr int kTwips = 15;

QRect twips_rect(int left, int top, int width, int height) {
    return {left / kTwips, top / kTwips, width / kTwips, height / kTwips};
}

// The proportional Gothic face of the lists and the name box.
QFont list_font() {
    QFont font(QStringLiteral("IPAPGothic"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(9.75);
    return font;
}

}  // namespace

Form3::Form3(EditingModel& model, QWidget* owner, const FileSystem* fs)
    : QWidget(owner, Qt::Window), model_(model), state_(model, fs) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("状態のSAVE&LOAD"));
    setFixedSize(6960 / kTwips, 3210 / kTwips);
    show_message = [this](const QString& message) {
        QMessageBox::warning(this, QString(), message);
    };
    build_controls();
    connect_input();
    model_.state_window_open = true;
    state_.load();
    refresh();
}

Form3::~Form3() {
    // The children go after the window model; none of them may call into it on the way.
    for (QWidget* child : findChildren<QWidget*>()) {
        child->blockSignals(true);
    }
    model_.state_window_open = false;
}

void Form3::closeEvent(QCloseEvent* event) {
    closing_ = true;
    model_.state_window_open = false;
    QWidget::closeEvent(event);
}

void Form3::build_controls() {
    // Command1 comes first so that it holds the focus when the window opens.
    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setGeometry(twips_rect(5040, 960, 1695, 2055));
    QFont ok_font(QStringLiteral("Times New Roman"));
    ok_font.setStyleHint(QFont::Serif);
    ok_font.setPointSize(36);
    ok_font.setBold(true);
    Command1->setFont(ok_font);

    Drive1 = new QComboBox(this);
    Drive1->setGeometry(twips_rect(120, 120, 2175, 315));
    Dir1 = new QListWidget(this);
    Dir1->setGeometry(twips_rect(120, 600, 2175, 1890));
    Combo1 = new QComboBox(this);
    Combo1->setGeometry(twips_rect(2880, 120, 2055, 315));
    Combo1->addItem(state_.combo_text);
    File1 = new FileListWidget(this);
    File1->setGeometry(twips_rect(2880, 600, 2055, 1260));
    file_name = new QLineEdit(this);
    file_name->setGeometry(twips_rect(2880, 2640, 2055, 375));
    // In the free space above "OK".
    recent_list = new QListWidget(this);
    recent_list->setGeometry(336, 8, 113, 52);
    recent_list->setToolTip(tr("最近使った状態ファイル（ダブルクリックで読み込み）"));
    recent_list->setAccessibleName(tr("最近使った状態ファイル"));
    Command1->setToolTip(tr("名前の状態ファイルを読み込むか保存します"));
    Drive1->setToolTip(tr("ドライブ"));
    Dir1->setToolTip(tr("フォルダ（ダブルクリックで開きます）"));
    Combo1->setToolTip(tr("一覧に出すファイルの種類"));
    File1->setToolTip(tr("状態ファイル: クリックで名前に入り、ダブルクリックで実行します"));
    file_name->setToolTip(tr("状態ファイルの名前（.pst は付けなくてもかまいません）"));
    for (QWidget* w :
         std::initializer_list<QWidget*>{Drive1, Dir1, Combo1, File1, file_name, recent_list}) {
        w->setFont(list_font());
    }

    setTabOrder(Command1, Drive1);
    setTabOrder(Drive1, Dir1);
    setTabOrder(Dir1, Combo1);
    setTabOrder(Combo1, File1);
    setTabOrder(File1, file_name);
    setTabOrder(file_name, recent_list);
    Command1->setFocus(Qt::OtherFocusReason);
}

void Form3::connect_input() {
    // A drive that is not ready is told over this window; the lists then fall back to the
    // program's drive, and the file list and path_ref follow.
    lists_binding_ =
        new FolderListsBinding(state_.lists, Drive1, Dir1, this, [this] { finish({}); });
    file_binding_ = new FileListBinding(state_.File1, File1, [this](int row) {
        state_.file1_click(row);
        finish({});
    });
    connect(File1, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        state_.file1_click(File1->row(item));
        finish(state_.file1_double_click());
    });
    connect(file_name, &QLineEdit::textEdited, this, [this](const QString& text) {
        state_.file_name.set_text(text);
        finish({});
    });
    connect(file_name, &QLineEdit::returnPressed, this,
            [this] { finish(state_.file_name_key_press('\r')); });
    connect(Command1, &QPushButton::clicked, this, [this] { finish(state_.command1_click()); });
    connect(recent_list, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        finish(state_.recent_double_click(recent_list->row(item)));
    });
}

void Form3::finish(const StateOutcome& result) {
    refresh();
    model_.notify();
    // A failure, or a read that left some slot images out, is told in one message.
    if (const QString message = state_read_message(result); !message.isEmpty() && show_message) {
        show_message(message);
    }
    if (const QString notice = state_.take_notice(); !notice.isEmpty() && show_message) {
        show_message(notice);
    }
    if (state_.close_requested && !closing_) {
        close();
    }
}

void Form3::refresh() {
    lists_binding_->refresh();
    file_binding_->refresh();
    const QSignalBlocker block_name(file_name);
    if (file_name->text() != state_.file_name.text()) {
        file_name->setText(state_.file_name.text());
    }
    refresh_recent();
}

void Form3::refresh_recent() {
    const auto shown = [this](int row) {
        const QListWidgetItem* item = recent_list->item(row);
        const RecentEntry& entry = state_.recent[static_cast<size_t>(row)];
        return item->toolTip() == QDir::toNativeSeparators(entry.path) &&
               (item->flags() != Qt::NoItemFlags) == entry.exists;
    };
    bool same = recent_list->count() == static_cast<int>(state_.recent.size());
    for (int row = 0; same && row < recent_list->count(); ++row) {
        same = shown(row);
    }
    if (same) {
        // Rebuilding would lose the user's scrolling and selection.
        return;
    }
    const QSignalBlocker block(recent_list);
    recent_list->clear();
    for (const RecentEntry& entry : state_.recent) {
        const QString name = QFileInfo(entry.path).fileName();
        auto* item = new QListWidgetItem(entry.exists ? name : tr("%1（ありません）").arg(name),
                                         recent_list);
        item->setToolTip(QDir::toNativeSeparators(entry.path));
        if (!entry.exists) {
            // Shown, so the user sees it is gone, but it cannot be chosen.
            item->setFlags(Qt::NoItemFlags);
        }
    }
}

Form3* open_state_window(EditingModel& model, int16_t mode, QWidget* owner) {
    Form3* window = nullptr;
    for (Form3* candidate : owner->findChildren<Form3*>(Qt::FindDirectChildrenOnly)) {
        if (!candidate->closing()) {
            window = candidate;
        }
    }
    if (window == nullptr) {
        window = new Form3(model, owner);
    }
    window->state().open(mode);
    window->refresh();
    model.notify();
    bring_to_front(window);
    return window;
}

}  // namespace koma
