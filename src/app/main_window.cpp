#include "app/main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMimeData>
#include <QPalette>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTextEdit>
#include <QTimer>

#include "adjust/adjust_edits.h"
#include "adjust/background_window.h"
#include "adjust/fine_adjust.h"
#include "adjust/zoom_window.h"
#include "app/caption_wrap.h"
#include "app/edit_keys_widget.h"
#include "app/key_preview_widget.h"
#include "app/pattern_box_widget.h"
#include "app/stage_layout_widget.h"
#include "compose/animation_preview.h"
#include "compose/nudge_command.h"
#include "compose/offset_model.h"
#include "compose/onion_skin.h"
#include "compose/pattern_cursor.h"
#include "compose/step_time.h"
#include "export/export_progress_window.h"
#include "export/export_settings_window.h"
#include "export/frame_export.h"
#include "export/output_format.h"
#include "import/file_drop.h"
#include "import/import_edits.h"
#include "import/picker_window.h"
#include "model/edit_history.h"
#include "model/typing_edit.h"
#include "raster/colour.h"
#include "state/ask_before_load.h"
#include "state/quick_save.h"
#include "state/recorded_load_save.h"
#include "state/state_window.h"
#include "widgets/base_name_validator.h"
#include "widgets/folder_lists_widget.h"
#include "widgets/surface_widget.h"

namespace koma {

namespace {

constexpr int kClientWidth = 957;
constexpr int kClientHeight = 751;

struct Place {
    int x, y;
};
// Slot thumbnails 1 to 9 and the labels beside them.
constexpr std::array<Place, 9> kFramePics{{{608, 16},
                                           {608, 112},
                                           {608, 208},
                                           {608, 304},
                                           {608, 400},
                                           {832, 16},
                                           {832, 112},
                                           {832, 208},
                                           {832, 304}}};
constexpr std::array<Place, 9> kNumberLabels{{{552, 32},
                                              {552, 128},
                                              {552, 224},
                                              {552, 320},
                                              {552, 408},
                                              {776, 24},
                                              {776, 128},
                                              {776, 216},
                                              {776, 320}}};

void set_text_kept(QLineEdit* edit, const TextBox& box) {
    if (edit->text() != box.text()) {
        edit->setText(box.text());
        // Text set by the program (a state file, a read-out) shows from its first character;
        // text the user is typing keeps its caret.
        if (!edit->hasFocus()) {
            edit->setCursorPosition(0);
        }
    }
    edit->setReadOnly(box.read_only());
}

void sync_bar(QScrollBar* bar, const ScrollBar& model_bar) {
    bar->setRange(model_bar.min(), model_bar.max());
    bar->setValue(model_bar.value());
}

// The question about unsaved changes: save, do not save, or cancel (also Escape).
UnsavedAnswer ask_save_question(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Question, QCoreApplication::applicationName(), text,
                    QMessageBox::NoButton, parent);
    QPushButton* save = box.addButton(QCoreApplication::translate("koma::Form1", "保存する"),
                                      QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(QCoreApplication::translate("koma::Form1", "保存しない"),
                                         QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QCoreApplication::translate("koma::Form1", "キャンセル"),
                                        QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save) {
        return UnsavedAnswer::Save;
    }
    return box.clickedButton() == discard ? UnsavedAnswer::Discard : UnsavedAnswer::Cancel;
}

}  // namespace

Form1::Form1(EditingModel& model, QWidget* parent) : QWidget(parent), model_(model) {
    setWindowTitle(tr("ムクリ工房簡易アニメータ"));
    setFixedSize(kClientWidth, kClientHeight);
    QPalette face = palette();
    face.setColor(QPalette::Window, QColor::fromRgb(kFaceColour));
    setPalette(face);
    setAutoFillBackground(true);

    build_controls();
    connect_input();
    connect(&model_, &EditingModel::changed, this, &Form1::refresh);
    connect(&model_, &EditingModel::focus_requested, this, [this](const QString& control) {
        if (control == QLatin1String("pic_dummy")) {
            pic_dummy->setFocus(Qt::OtherFocusReason);
        }
    });
    auto* export_lists = new FolderListsBinding(model_.export_lists, Drive1, Dir1, this,
                                                [this] { model_.notify(); });
    export_lists->set_input_runner([this](const std::function<void()>& change) {
        run_edit(model_, export_folder_edit(model_, change));
    });
    connect(&model_, &EditingModel::changed, export_lists, &FolderListsBinding::refresh);
    new StageLayout(*this);
    connect_history();
    refresh();
}

void Form1::connect_history() {
    setAcceptDrops(true);
    show_message = [this](const QString& message) {
        QMessageBox::warning(this, QCoreApplication::applicationName(), message);
    };
    ask_unsaved = [this] {
        return ask_save_question(this,
                                 tr("変更が保存されていません。\n保存してから終了しますか？"));
    };
    ask_unsaved_load = [this](const QString& path) {
        return ask_save_question(
            this, tr("変更が保存されていません。\n保存してから「%1」を読み込みますか？")
                      .arg(QFileInfo(path).fileName()));
    };
    ask_overwrite_changed = [this](const QString& path) {
        QMessageBox box(QMessageBox::Question, QCoreApplication::applicationName(),
                        tr("「%1」はほかのプログラムで変更されています。\n上書きしますか？")
                            .arg(QFileInfo(path).fileName()),
                        QMessageBox::NoButton, this);
        QPushButton* overwrite = box.addButton(tr("上書きする"), QMessageBox::AcceptRole);
        QPushButton* cancel = box.addButton(tr("キャンセル"), QMessageBox::RejectRole);
        box.setDefaultButton(cancel);
        box.setEscapeButton(cancel);
        box.exec();
        return box.clickedButton() == overwrite;
    };
    new EditKeys(this, [this](EditKey key) {
        EditHistory* history = model_.history;
        switch (key) {
            case EditKey::Undo:
                if (history != nullptr) {
                    history->begin_merge_session();
                    history->undo();
                }
                break;
            case EditKey::Redo:
                if (history != nullptr) {
                    history->begin_merge_session();
                    history->redo();
                }
                break;
            case EditKey::Save:
                quick_save();
                break;
            case EditKey::Open:
                open_state_window(model_, 1, this);
                break;
        }
    });
    if (model_.history != nullptr) {
        // Every LOAD over unsaved changes (state window, drop, recent list) asks through here.
        model_.history->ask_before_replacing = [window =
                                                    QPointer<Form1>(this)](const QString& path) {
            return window ? window->ask_unsaved_load(path) : UnsavedAnswer::Cancel;
        };
        model_.history->ask_before_overwriting = [window =
                                                      QPointer<Form1>(this)](const QString& path) {
            return window && window->ask_overwrite_changed(path);
        };
        connect(model_.history, &EditHistory::saved, this, [this] {
            if (close_after_save_) {
                close_after_save_ = false;
                // After the state window's handler has finished.
                QTimer::singleShot(0, this, &QWidget::close);
            }
        });
    }
}

bool Form1::quick_save() {
    const auto saved = koma::quick_save(model_);
    if (!saved) {
        show_message(saved.error());
        return false;
    }
    switch (*saved) {
        case QuickSave::NeedsName:
            open_state_window(model_, 2, this);
            return false;
        case QuickSave::Kept:
            return false;
        case QuickSave::Written:
            break;
    }
    return true;
}

int Form1::slot_at(const QPoint& pos) const {
    for (int i = 0; i < kSlotCount; ++i) {
        if (pic[i]->isVisible() && pic[i]->geometry().contains(pos)) {
            return i;
        }
    }
    return -1;
}

void Form1::drop_files(const QStringList& paths, const QPoint& pos) {
    const FileDrop drop = plan_file_drop(paths, slot_at(pos));
    switch (drop.kind) {
        case FileDrop::Kind::Refused:
            show_message(drop.message);
            return;
        case FileDrop::Kind::LoadState:
            load_state_file(drop.state_file);
            return;
        case FileDrop::Kind::LoadImages: {
            // As the picker's file click does when it opens.
            leave_fine_adjust(model_);
            QStringList failures;
            run_edit(model_, slot_load_edit(model_, [&] {
                         failures = load_dropped_images(model_, drop.images);
                     }));
            model_.notify();
            if (!failures.isEmpty()) {
                show_message(failures.join(QLatin1Char('\n')));
            }
            return;
        }
    }
}

void Form1::load_state_file(const QString& path) {
    const auto go = ask_before_load(model_, path);
    if (!go) {
        show_message(go.error());
        return;
    }
    if (*go == BeforeLoad::Cancelled) {
        return;
    }
    if (*go == BeforeLoad::SaveFirst) {
        Form3* save = open_state_window(model_, 2, this);
        save->state().read_after_save(path);
        save->refresh();
        show_message(save->state().take_notice());
        return;
    }
    // As LOAD: the main window leaves fine adjustment first, as the state window's creation
    // makes it.
    leave_fine_adjust(model_);
    model_.work_path = path;
    model_.state_mode = 1;
    StateReadReport report;
    const auto read = recorded_load_save(model_, &report);
    model_.notify();
    const QString message =
        state_read_message(read ? StateOutcome(report) : std::unexpected(read.error()));
    if (!message.isEmpty()) {
        show_message(message);
    }
}

void Form1::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    const bool local =
        !urls.isEmpty() &&
        std::all_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); });
    if (local) {
        event->acceptProposedAction();
    }
}

void Form1::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            paths << url.toLocalFile();
        }
    }
    event->acceptProposedAction();
    drop_files(paths, event->position().toPoint());
}

QLabel* Form1::add_label(const QString& text, int x, int y, int w, int h) {
    auto* label = new QLabel(text, this);
    if (w > 0 && h > 0) {
        label->setGeometry(x, y, w, h);
    } else {
        label->move(x, y);
        label->adjustSize();
    }
    return label;
}

QLineEdit* Form1::add_text_box(const QString& text, int x, int y, int w, int h) {
    auto* edit = new QLineEdit(text, this);
    edit->setGeometry(x, y, w, h);
    return edit;
}

QPushButton* Form1::add_button(const QString& caption, int x, int y, int w, int h) {
    auto* button = new QPushButton(this);
    button->setGeometry(x, y, w, h);
    button->setText(wrap_caption(caption, button->fontMetrics(), w - 6));
    // Screen readers read the caption whole, not as the lines it is wrapped into.
    button->setAccessibleName(caption);
    return button;
}

void Form1::set_caption(QPushButton* button, const Button& model_button) {
    const QString wrapped =
        wrap_caption(model_button.caption, button->fontMetrics(), button->width() - 6);
    if (button->text() != wrapped) {
        button->setText(wrapped);
        button->setAccessibleName(model_button.caption);
    }
    button->setVisible(model_button.visible);
    button->setEnabled(model_button.enabled);
}

void Form1::build_controls() {
    // A stage too large for the screen is shown scaled down (see StageLayout).
    win_main = new SurfaceWidget(&model_.win_main, SurfaceWidget::Mode::Fit, this);
    win_main->setGeometry(40, 152, 462, 110);
    pic[kBackgroundSlot] =
        new SurfaceWidget(&model_.pic[kBackgroundSlot], SurfaceWidget::Mode::Fit, this);
    pic[kBackgroundSlot]->setGeometry(40, 8, 462, 110);
    for (int i = 1; i <= 9; ++i) {
        pic[i] = new SurfaceWidget(&model_.pic[i], SurfaceWidget::Mode::Fit, this);
        pic[i]->setGeometry(kFramePics[i - 1].x, kFramePics[i - 1].y, 80, 80);
        add_label(QString::number(i), kNumberLabels[i - 1].x, kNumberLabels[i - 1].y, 49, 49);
    }
    pic[kForegroundSlot] =
        new SurfaceWidget(&model_.pic[kForegroundSlot], SurfaceWidget::Mode::Fit, this);
    pic[kForegroundSlot]->setGeometry(48, 320, 454, 94);

    add_label(tr("アニメパターン"), 32, 520);
    pattern_anime = add_text_box(QString(), 40, 544, 225, 25);
    pattern_anime->setMaxLength(kMaxSteps);
    style_pattern_box(pattern_anime);

    pointer_k = new SurfaceWidget(&model_.pointer_k, SurfaceWidget::Mode::Clip, this);
    pointer_k->setGeometry(model_.pointer_k_left, 536, 8, 8);

    anime = add_button(model_.anime.caption, 192, 576, 73, 81);
    Timer1 = new QTimer(this);
    Timer1->setTimerType(Qt::PreciseTimer);

    const std::array<QString, 4> arrows{QStringLiteral("↑"), QStringLiteral("↓"),
                                        QStringLiteral("←"), QStringLiteral("→")};
    const std::array<Place, 4> arrow_places{{{120, 571}, {120, 628}, {84, 600}, {152, 600}}};
    for (int i = 0; i < 4; ++i) {
        bt_arrow[i] = add_button(arrows[i], arrow_places[i].x, arrow_places[i].y, 33, 33);
    }
    bt_set2 = add_button(model_.bt_set2.caption, 8, 576, 70, 81);

    add_label(QStringLiteral("TOTAL"), 48, 664);
    add_label(QStringLiteral("THIS"), 192, 664);
    add_label(QStringLiteral("x:"), 16, 680);
    add_label(QStringLiteral("y:"), 68, 680);
    add_label(QStringLiteral("x:"), 152, 680);
    add_label(QStringLiteral("y:"), 204, 680);
    total_adjust_x = add_text_box(QStringLiteral("0"), 32, 684, 33, 18);
    total_adjust_y = add_text_box(QStringLiteral("0"), 88, 684, 33, 18);
    this_adjust_x = add_text_box(QStringLiteral("0"), 168, 684, 33, 18);
    this_adjust_y = add_text_box(QStringLiteral("0"), 224, 684, 33, 18);

    add_label(tr("コマ間隔"), 80, 474);
    size_move = add_text_box(QStringLiteral("0"), 160, 474, 33, 22);
    sc_bar = new QScrollBar(Qt::Horizontal, this);
    sc_bar->setGeometry(64, 500, 169, 17);
    adjust_x = new QScrollBar(Qt::Horizontal, this);
    adjust_x->setGeometry(40, 288, 193, 25);
    adjust_y = new QScrollBar(Qt::Vertical, this);
    adjust_y->setGeometry(8, 152, 25, 113);
    for (QScrollBar* bar : {sc_bar, adjust_x, adjust_y}) {
        bar->setSingleStep(1);
        bar->setPageStep(1);
    }
    offset_x = add_text_box(QStringLiteral("0"), 256, 288, 33, 18);
    offset_y = add_text_box(QStringLiteral("0"), 312, 288, 33, 18);
    add_label(QStringLiteral("x:"), 240, 284);
    add_label(QStringLiteral("y:"), 292, 284);
    bt_set = add_button(tr("調整"), 0, 272, 33, 41);
    bt_reset = add_button(tr("リセット"), 344, 280, 49, 33);
    bt_zoom = add_button(model_.bt_zoom.caption, 0, 328, 41, 89);
    Command1 = add_button(tr("背景設定"), 8, 8, 25, 105);

    add_label(tr("保存先パス"), 272, 424);
    Drive1 = new QComboBox(this);
    Drive1->setGeometry(272, 448, 201, 20);
    Dir1 = new QListWidget(this);
    Dir1->setGeometry(272, 480, 201, 188);
    basename = add_text_box(QStringLiteral("sample"), 272, 696, 201, 41);
    basename->setValidator(new BaseNameValidator(basename));
    bt_exec = add_button(tr("コマ作成"), 824, 552, 121, 113);
    add_label(tr("出力形式"), 760, 448);
    output_bmp = add_button(model_.output_bmp.caption, 760, 480, 49, 33);
    output_GIF = add_button(model_.output_GIF.caption, 816, 480, 49, 33);
    path_ref = add_label(QString(), 672, 512, 145, 17);
    bt_load = add_button(QStringLiteral("LOAD"), 736, 552, 65, 49);
    bt_save = add_button(QStringLiteral("SAVE"), 736, 616, 65, 49);
    bt_settings = add_button(tr("出力設定"), 760, 400, 105, 33);
    // Free space right of the decorative box under the format buttons.
    bt_language = add_button(tr("表示言語"), 864, 704, 81, 33);
    bt_language->setVisible(model_.language_choice != nullptr);
    output_shown = add_label(QString(), 816, 448, 64, 17);
    output_shown->hide();
    // Free space right of the export folder, left of LOAD and SAVE.
    status_line = add_label(QString(), 488, 624, 240, 40);
    status_line->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    status_line->setTextFormat(Qt::PlainText);
    stage_scale = add_label(QString(), 40, 264, 200, 17);
    stage_scale->hide();
    // Free space under the read-outs of fine adjustment.
    add_label(tr("このコマの時間"), 8, 716);
    step_time = add_text_box(QString(), 104, 712, 57, 24);
    step_time->setMaxLength(8);
    add_label(tr("ミリ秒"), 168, 716);
    // Free space between the export folder and the thumbnails.
    add_label(tr("再生速度"), 488, 502);
    preview_speed = new QComboBox(this);
    preview_speed->setGeometry(552, 498, 81, 24);
    for (const char* speed :
         {QT_TR_NOOP("1/4倍"), QT_TR_NOOP("1/2倍"), QT_TR_NOOP("1倍"), QT_TR_NOOP("2倍")}) {
        preview_speed->addItem(tr(speed));
    }
    onion_skin = new QCheckBox(tr("オニオンスキン (F3)"), this);
    onion_skin->setGeometry(488, 532, 176, 22);
    onion_next = new QCheckBox(tr("次のコマも"), this);
    onion_next->setGeometry(504, 556, 160, 22);
    // Free space above the status line.
    follow_files = new QCheckBox(tr("ファイルの変更を反映"), this);
    follow_files->setGeometry(488, 600, 240, 20);

    pic_dummy = new QWidget(this);
    pic_dummy->setGeometry(8, 16, 2, 2);
    pic_dummy->setFocusPolicy(Qt::StrongFocus);

    // Controls without behaviour of their own.
    auto* picture_gif = new QWidget(this);
    picture_gif->setGeometry(568, 672, 57, 57);
    auto* mng_textbox = new QTextEdit(this);
    mng_textbox->setGeometry(760, 688, 57, 49);
    auto* image1 = new QWidget(this);
    image1->setGeometry(880, 440, 49, 33);
    auto* image2 = new QWidget(this);
    image2->setGeometry(880, 480, 49, 33);

    // The pointer arrow stands in front of the pattern box it points into.
    pointer_k->raise();
    add_tool_tips();
}

void Form1::add_tool_tips() {
    win_main->setToolTip(tr("ステージ: 各コマがここに合成されます"));
    pic[kBackgroundSlot]->setToolTip(
        tr("背景の画像: クリックで読み込み、画像を落としても入ります"));
    for (int i = 1; i <= 9; ++i) {
        pic[i]->setToolTip(
            tr("パターン%1の画像: クリックで読み込み、画像を落としても入ります").arg(i));
    }
    pic[kForegroundSlot]->setToolTip(
        tr("前景の画像: クリックで読み込み、画像を落としても入ります"));
    pattern_anime->setToolTip(tr("アニメパターン: 各コマに出す画像の番号 1 ～ 9 を並べます"));
    anime->setToolTip(tr("アニメパターンを再生します。もう一度押すと止まります"));
    const std::array<const char*, 4> arrows{
        QT_TR_NOOP("カーソルのコマを 1 ピクセル上へ動かします"),
        QT_TR_NOOP("カーソルのコマを 1 ピクセル下へ動かします"),
        QT_TR_NOOP("カーソルのコマを 1 ピクセル左へ動かします"),
        QT_TR_NOOP("カーソルのコマを 1 ピクセル右へ動かします")};
    for (int i = 0; i < 4; ++i) {
        bt_arrow[i]->setToolTip(tr(arrows[i]));
    }
    bt_set2->setToolTip(tr("微調整: ← → でコマを選び、矢印ボタンでそのコマの位置を動かします"));
    total_adjust_x->setToolTip(tr("このコマまでの横の移動の合計（ピクセル）"));
    total_adjust_y->setToolTip(tr("このコマまでの縦の移動の合計（ピクセル、上が正）"));
    this_adjust_x->setToolTip(tr("このコマだけの横の移動（ピクセル）"));
    this_adjust_y->setToolTip(tr("このコマだけの縦の移動（ピクセル、上が正）"));
    size_move->setToolTip(tr("コマ間隔: 1 コマごとに横へ進むピクセル数"));
    sc_bar->setToolTip(tr("コマ間隔: 1 コマごとに横へ進むピクセル数"));
    adjust_x->setToolTip(tr("パターン画像の横の基準位置"));
    adjust_y->setToolTip(tr("パターン画像の縦の基準位置"));
    offset_x->setToolTip(tr("横の基準位置（ピクセル）"));
    offset_y->setToolTip(tr("縦の基準位置（ピクセル、上が正）"));
    bt_set->setToolTip(tr("パターン１を背景に重ねて基準位置を合わせます"));
    bt_reset->setToolTip(tr("基準位置とコマ間隔を 0 に戻します"));
    bt_zoom->setToolTip(tr("ステージを 4 倍に拡大した窓を開閉します"));
    Command1->setToolTip(tr("背景の設定: 無地の背景の色と大きさ"));
    Drive1->setToolTip(tr("書き出し先のドライブ"));
    Dir1->setToolTip(tr("書き出し先のフォルダ（ダブルクリックで開きます）"));
    basename->setToolTip(tr("書き出すファイルの名前（番号と拡張子が付きます）"));
    bt_exec->setToolTip(tr("パターンの各コマを保存先に書き出します"));
    output_bmp->setToolTip(tr("押すと書き出しが BMP の連番になります"));
    output_GIF->setToolTip(tr("押すと書き出しがアニメーション GIF になります"));
    path_ref->setToolTip(tr("状態ファイルに記録されるフォルダ"));
    bt_load->setToolTip(tr("状態ファイルを読み込みます (Ctrl+O)"));
    bt_save->setToolTip(tr("状態ファイルに保存します (Ctrl+S で上書き)"));
    bt_settings->setToolTip(tr("出力形式、1コマの時間、繰り返し回数、透明、再生順を決めます"));
    status_line->setToolTip(tr("状態ファイルの名前（未保存なら *）と最後の知らせ"));
    step_time->setToolTip(tr("カーソルのコマの時間（ミリ秒）。空なら1コマの時間です"));
    preview_speed->setToolTip(tr("アニメテストの再生速度（書き出しには影響しません）"));
    onion_skin->setToolTip(tr("前のコマを薄く重ねて表示します"));
    bt_language->setToolTip(tr("ウィンドウの文字の言語を選びます"));
    follow_files->setToolTip(
        tr("ほかのプログラムで保存された画像をスロットに読み込み直し、"
           "未保存の変更がなければ状態ファイルも読み込み直します"));
    onion_next->setToolTip(tr("次のコマも薄く重ねて表示します"));
}

void Form1::connect_input() {
    for (int i = 0; i < kSlotCount; ++i) {
        connect(pic[i], &SurfaceWidget::clicked, this, [this, i] { open_picker(model_, i, this); });
    }
    // Boxes also lose the focus while the window is being destroyed: this must not reach into
    // the window then, only into the model, which outlives it.
    const auto new_session = [model = &model_] {
        if (model->history != nullptr) {
            model->history->begin_merge_session();
        }
    };
    const std::array<std::pair<QLineEdit*, TypedBox>, 3> typed{{{pattern_anime, TypedBox::Pattern},
                                                                {size_move, TypedBox::Travel},
                                                                {basename, TypedBox::BaseName}}};
    for (const auto& [edit, box] : typed) {
        connect(edit, &QLineEdit::textEdited, this, [this, box](const QString& text) {
            forward([&] { run_edit(model_, typing_edit(model_, box, text)); });
        });
        if (box == TypedBox::Travel) {
            // Left, the box shows the travel in force, within the typing's step. The views hear
            // of it from the event loop, when the window is either whole or gone.
            connect(edit, &QLineEdit::editingFinished, this, [model = &model_] {
                run_edit(*model, typing_edit(*model, TypedBox::Travel,
                                             [model] { size_move_lost_focus(*model); }));
                QMetaObject::invokeMethod(
                    model, [model] { model->notify(); }, Qt::QueuedConnection);
            });
        }
        // Typing merges into one step until the box is left.
        connect(edit, &QLineEdit::editingFinished, this, new_session);
    }
    const std::array<std::pair<QScrollBar*, OffsetBar>, 3> bars{
        {{sc_bar, OffsetBar::Travel}, {adjust_x, OffsetBar::BaseX}, {adjust_y, OffsetBar::BaseY}}};
    for (const auto& [bar, which] : bars) {
        connect(bar, &QScrollBar::valueChanged, this, [this, bar, which, new_session](int v) {
            // The moves of one drag merge; every other move is a step of its own.
            if (!bar->isSliderDown()) {
                new_session();
            }
            forward([&] { run_edit(model_, bar_edit(model_, which, v)); });
        });
        connect(bar, &QScrollBar::sliderPressed, this, new_session);
        connect(bar, &QScrollBar::sliderReleased, this, new_session);
    }
    connect(output_bmp, &QPushButton::clicked, this,
            [this] { forward([&] { output_bmp_Click(model_); }); });
    connect(output_GIF, &QPushButton::clicked, this,
            [this] { forward([&] { output_GIF_Click(model_); }); });
    connect(bt_exec, &QPushButton::clicked, this, [this] {
        // The export stops the preview in the model; the timer itself must not tick while the
        // progress dialog lets the event loop run. notify() below agrees with the model again.
        Timer1->stop();
        const auto outcome = export_with_progress(model_, this);
        model_.notify();
        const ExportMessage message = export_message(outcome);
        if (message.is_error) {
            QMessageBox::warning(this, QCoreApplication::applicationName(), message.text);
        } else if (!message.text.isEmpty()) {
            QMessageBox::information(this, QCoreApplication::applicationName(), message.text);
        }
    });
    auto* zoom_host = new ZoomWindowHost(model_, this);
    connect(bt_zoom, &QPushButton::clicked, this, [this, zoom_host] {
        std::expected<void, QString> opened;
        forward([&] { opened = bt_zoom_Click(model_, *zoom_host); });
        if (!opened) {
            QApplication::beep();
            QMessageBox::warning(this, QCoreApplication::applicationName(), opened.error());
        }
    });
    auto* background_host = new BackgroundWindowHost(model_, this);
    connect(Command1, &QPushButton::clicked, this,
            [this, background_host] { forward([&] { background_host->show_window(); }); });
    auto* settings_host = new ExportSettingsWindowHost(model_, this);
    connect(bt_settings, &QPushButton::clicked, this,
            [this, settings_host] { forward([&] { settings_host->show_window(); }); });
    connect(bt_save, &QPushButton::clicked, this, [this] { open_state_window(model_, 2, this); });
    connect(bt_load, &QPushButton::clicked, this, [this] { open_state_window(model_, 1, this); });
    connect(bt_language, &QPushButton::clicked, this, [this] {
        if (model_.language_choice != nullptr) {
            language_window_.show([this] { return new LanguageWindow(*model_.language_choice); });
        }
    });

    connect(anime, &QPushButton::clicked, this, [this] { forward([&] { anime_click(model_); }); });
    connect(step_time, &QLineEdit::textEdited, this, [this](const QString& text) {
        forward([&] { run_edit(model_, step_time_edit(model_, text)); });
    });
    // Left, the box shows the step's time in force; a text that is no time is told. As with the
    // travel, this must reach only the model and the box that sends it.
    connect(step_time, &QLineEdit::editingFinished, this, [model = &model_, box = step_time] {
        step_time_left(*model, box->text());
        QMetaObject::invokeMethod(
            model, [model] { model->notify(); }, Qt::QueuedConnection);
    });
    connect(step_time, &QLineEdit::editingFinished, this, new_session);
    connect(preview_speed, &QComboBox::activated, this, [this](int row) {
        constexpr std::array speeds{PreviewSpeed::Quarter, PreviewSpeed::Half, PreviewSpeed::Normal,
                                    PreviewSpeed::Double};
        if (row >= 0 && row < static_cast<int>(speeds.size())) {
            forward([&] { set_preview_speed(model_, speeds[static_cast<size_t>(row)]); });
        }
    });
    connect(onion_skin, &QCheckBox::toggled, this,
            [this](bool on) { forward([&] { model_.onion_skin = on; }); });
    connect(onion_next, &QCheckBox::toggled, this,
            [this](bool on) { forward([&] { model_.onion_next = on; }); });
    auto* onion_key = new QShortcut(QKeySequence(Qt::Key_F3), this);
    connect(onion_key, &QShortcut::activated, this,
            [this] { forward([&] { toggle_onion_skin(model_); }); });
    connect(Timer1, &QTimer::timeout, this, [this] { forward([&] { timer1_tick(model_); }); });
    for (int i = 0; i < 4; ++i) {
        connect(bt_arrow[i], &QPushButton::clicked, this, [this, i] {
            forward([&] { run_edit(model_, std::make_unique<NudgeCommand>(model_, i)); });
        });
    }
    connect(bt_set, &QPushButton::clicked, this,
            [this] { forward([&] { bt_set_click(model_); }); });
    connect(bt_set2, &QPushButton::clicked, this,
            [this] { forward([&] { bt_set2_click(model_); }); });
    connect(bt_reset, &QPushButton::clicked, this,
            [this] { forward([&] { run_edit(model_, reset_edit(model_)); }); });
    // Key preview: Left and Right reach the pattern cursor before the focused control.
    new KeyPreview(this, [this](int key_code) {
        if (form1_key_down(model_, key_code)) {
            model_.notify();
        }
    });
    bind_pattern_selection(pattern_anime, model_);
    connect(follow_files, &QCheckBox::toggled, this,
            [this](bool on) { forward([&] { model_.follow_files = on; }); });
}

void Form1::closeEvent(QCloseEvent* event) {
    if (model_.history != nullptr && !model_.history->is_clean()) {
        switch (ask_unsaved()) {
            case UnsavedAnswer::Cancel:
                event->ignore();
                return;
            case UnsavedAnswer::Save:
                if (!quick_save()) {
                    // The state window is open for a name (or the write failed): the program
                    // closes once that save has been made.
                    close_after_save_ = model_.history->saved_path().isEmpty();
                    for (Form3* state : findChildren<Form3*>(Qt::FindDirectChildrenOnly)) {
                        // Closed without saving: closing the program is called off.
                        connect(state, &QObject::destroyed, this,
                                [this] { close_after_save_ = false; });
                    }
                    event->ignore();
                    return;
                }
                break;
            case UnsavedAnswer::Discard:
                break;
        }
    }
    // The secondary windows have no owner; left open they would keep the program running
    // without its main window. Each closes as by its close box, so its unload handler runs.
    std::vector<QPointer<QWidget>> others;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != this && window->isVisible()) {
            others.emplace_back(window);
        }
    }
    for (const QPointer<QWidget>& window : others) {
        if (window) {
            window->close();
        }
    }
    event->accept();
}

void Form1::refresh() {
    const QList<QWidget*> children = findChildren<QWidget*>();
    std::vector<std::unique_ptr<QSignalBlocker>> blockers;
    blockers.reserve(static_cast<size_t>(children.size()));
    for (QWidget* child : children) {
        blockers.push_back(std::make_unique<QSignalBlocker>(child));
    }

    set_text_kept(pattern_anime, model_.pattern_anime);
    const TextBox& pattern = model_.pattern_anime;
    const bool same_selection = pattern_anime->hasSelectedText() &&
                                pattern_anime->selectionStart() == pattern.sel_start() &&
                                pattern_anime->selectedText().size() == pattern.sel_length();
    if (pattern.sel_length() > 0) {
        // Setting an equal selection again would turn a selection made leftwards around.
        if (!same_selection) {
            pattern_anime->setSelection(pattern.sel_start(), pattern.sel_length());
        }
    } else if (pattern_anime->hasSelectedText()) {
        pattern_anime->deselect();
    }
    set_text_kept(size_move, model_.size_move);
    set_text_kept(offset_x, model_.offset_x);
    set_text_kept(offset_y, model_.offset_y);
    set_text_kept(total_adjust_x, model_.total_adjust_x);
    set_text_kept(total_adjust_y, model_.total_adjust_y);
    set_text_kept(this_adjust_x, model_.this_adjust_x);
    set_text_kept(this_adjust_y, model_.this_adjust_y);
    set_text_kept(basename, model_.basename);
    sync_bar(sc_bar, model_.sc_bar);
    sync_bar(adjust_x, model_.adjust_x);
    sync_bar(adjust_y, model_.adjust_y);
    set_caption(anime, model_.anime);
    set_caption(bt_set2, model_.bt_set2);
    set_caption(bt_zoom, model_.bt_zoom);
    set_caption(output_bmp, model_.output_bmp);
    set_caption(output_GIF, model_.output_GIF);
    path_ref->setText(model_.path_ref.caption);
    follow_files->setChecked(model_.follow_files);
    const StatusLine& status = model_.status;
    QStringList status_lines{status.project_text()};
    if (!status.message().isEmpty()) {
        status_lines << status.message();
    }
    // A long name or folder keeps both of its ends; the whole text is in the tool tip.
    status_line->setToolTip(status_lines.join(QLatin1Char('\n')));
    for (QString& line : status_lines) {
        line = status_line->fontMetrics().elidedText(line, Qt::ElideMiddle, status_line->width());
    }
    status_line->setText(status_lines.join(QLatin1Char('\n')));
    QPalette status_colours = status_line->palette();
    status_colours.setColor(QPalette::WindowText, status.failed()
                                                      ? QColor(0xb0, 0, 0)
                                                      : palette().color(QPalette::WindowText));
    status_line->setPalette(status_colours);
    const bool fine = model_.fine_adjust != 0;
    step_time->setEnabled(fine);
    step_time->setPlaceholderText(fine ? QString::number(model_.export_settings.frame_ms)
                                       : QString());
    // What is being typed stays until it is a time the step does not hold (undo, for one) or
    // the box is left; a text on its way to a time (1 on the way to 120) is no time yet.
    const QString shown_time = step_time_text(model_);
    const std::optional<int> typed_time = read_step_time(step_time->text());
    if (!step_time->hasFocus() ||
        (typed_time && *typed_time != read_step_time(shown_time).value_or(0))) {
        if (step_time->text() != shown_time) {
            step_time->setText(shown_time);
        }
    }
    preview_speed->setCurrentIndex(static_cast<int>(model_.preview_speed));
    onion_skin->setChecked(model_.onion_skin);
    onion_next->setChecked(model_.onion_next);
    onion_next->setEnabled(model_.onion_skin);
    win_main->set_overlay(onion_skin_overlay(model_));
    const OutputFormat in_force = format_in_force(model_);
    output_shown->setText(is_extra_format(in_force) ? format_caption(in_force) : QString());
    output_shown->setVisible(is_extra_format(in_force));
    // The arrow's place is kept relative to the pattern box's designed left edge, so it
    // follows the box when a big stage moves the controls below it.
    pointer_k->move(pattern_anime->x() + model_.pointer_k_left - kPatternBoxLeft,
                    pattern_anime->y() - pointer_k->height());

    if (model_.timer1_interval <= 0) {
        Timer1->stop();
        Timer1->setInterval(0);
    } else if (!Timer1->isActive() || Timer1->interval() != model_.timer1_interval) {
        Timer1->start(model_.timer1_interval);
    }

    win_main->update();
    for (SurfaceWidget* slot : pic) {
        slot->update();
    }
}

}  // namespace koma
