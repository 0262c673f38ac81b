#pragma once

#include <QWidget>
#include <array>
#include <functional>

#include "app/language_window.h"
#include "model/edit_history.h"
#include "model/editing_model.h"
#include "widgets/single_window.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QScrollBar;
class QTextEdit;
class QTimer;

namespace koma {

class SurfaceWidget;

/// The main window "Form1": a thin view of the EditingModel. It places every control at its
/// fixed pixel position, refreshes the widgets from the model whenever the model changes, and
/// forwards user input to the handlers.
class Form1 : public QWidget {
    Q_OBJECT
  public:
    explicit Form1(EditingModel& model, QWidget* parent = nullptr);

    EditingModel& model() { return model_; }

    /// Copies every control value of the model into the widgets, with their signals blocked.
    void refresh();

    /// The answers to the question asked when the window closes with unsaved changes.
    using UnsavedAnswer = koma::UnsavedAnswer;
    /// Asks whether to save unsaved changes before closing; a message box unless replaced.
    std::function<UnsavedAnswer()> ask_unsaved;
    /// Asks whether to save unsaved changes before the state file at `path` replaces them (the
    /// history's question before a LOAD); a message box unless replaced.
    std::function<UnsavedAnswer(const QString& path)> ask_unsaved_load;
    /// Shows a message to the user (a refused drop, a failed save); a message box unless
    /// replaced.
    std::function<void(const QString&)> show_message;
    /// Asks whether Ctrl+S may write over the state file at `path`, which another program
    /// changed since it was read or written here (the history's ask_before_overwriting); a
    /// message box unless replaced.
    std::function<bool(const QString& path)> ask_overwrite_changed;

    /// Ctrl+S: writes the state file last read or written, else opens the state window as
    /// "SAVE" does. Returns whether the file was written.
    bool quick_save();
    /// Handles files dropped at `pos` (window coordinates): images into the slot there, a state
    /// file read as "LOAD" reads it. A drop that cannot be used is refused with a message.
    void drop_files(const QStringList& paths, const QPoint& pos);
    /// Reads the state file at `path` as "LOAD" does, asking first when that would replace
    /// unsaved changes (ask_before_load); a project that must be named first opens the state
    /// window as "SAVE" does and is read after that save. Tells what did not load in a message.
    void load_state_file(const QString& path);

    // The widgets, by the names of the controls they show (for the views' own tests).
    SurfaceWidget* win_main = nullptr;
    std::array<SurfaceWidget*, kSlotCount> pic{};
    SurfaceWidget* pointer_k = nullptr;
    QWidget* pic_dummy = nullptr;
    QLineEdit* pattern_anime = nullptr;
    QLineEdit* size_move = nullptr;
    QLineEdit* offset_x = nullptr;
    QLineEdit* offset_y = nullptr;
    QLineEdit* total_adjust_x = nullptr;
    QLineEdit* total_adjust_y = nullptr;
    QLineEdit* this_adjust_x = nullptr;
    QLineEdit* this_adjust_y = nullptr;
    QLineEdit* basename = nullptr;
    QScrollBar* sc_bar = nullptr;
    QScrollBar* adjust_x = nullptr;
    QScrollBar* adjust_y = nullptr;
    QPushButton* anime = nullptr;
    std::array<QPushButton*, 4> bt_arrow{};
    QPushButton* bt_set = nullptr;
    QPushButton* bt_set2 = nullptr;
    QPushButton* bt_reset = nullptr;
    QPushButton* bt_zoom = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* bt_exec = nullptr;
    QPushButton* output_bmp = nullptr;
    QPushButton* output_GIF = nullptr;
    QPushButton* bt_load = nullptr;
    QPushButton* bt_save = nullptr;
    QComboBox* Drive1 = nullptr;
    QListWidget* Dir1 = nullptr;
    QLabel* path_ref = nullptr;
    /// "出力設定": opens the export settings window.
    QPushButton* bt_settings = nullptr;
    /// "表示言語": opens the language window; shown while the model offers a choice of language
    /// (EditingModel::language_choice).
    QPushButton* bt_language = nullptr;
    /// Names the format in force while the settings chose one the format buttons cannot
    /// (PNG, APNG, WebP); hidden otherwise.
    QLabel* output_shown = nullptr;
    /// The status line: the project (the state file's name, " *" while unsaved) over the last
    /// report of the model's status line, each shortened in the middle to its width.
    QLabel* status_line = nullptr;
    /// Beside the stage: the scale it is shown at when it is too large for the screen; hidden
    /// otherwise (see StageLayout).
    QLabel* stage_scale = nullptr;
    /// Under the read-outs of fine adjustment: the time of the step under the edit cursor in
    /// milliseconds, empty for the frame time (shown greyed); usable in fine adjustment only.
    QLineEdit* step_time = nullptr;
    /// Free space beside the export folder: the preview's speed (1/4, 1/2, 1, 2 times), the onion
    /// skin (also F3) and whether it shows the next step too.
    QComboBox* preview_speed = nullptr;
    QCheckBox* onion_skin = nullptr;
    QCheckBox* onion_next = nullptr;
    /// Whether slots follow their files (EditingModel::follow_files).
    QCheckBox* follow_files = nullptr;
    QTimer* Timer1 = nullptr;

  protected:
    /// Closing the main window closes every other window too, so the program ends.
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void build_controls();
    /// Says on each control what it does, as the mouse rests on it.
    void add_tool_tips();
    void connect_input();
    QLabel* add_label(const QString& text, int x, int y, int w = 0, int h = 0);
    QLineEdit* add_text_box(const QString& text, int x, int y, int w, int h);
    QPushButton* add_button(const QString& caption, int x, int y, int w, int h);
    void set_caption(QPushButton* button, const Button& model_button);
    void connect_history();
    /// The slot whose surface is at `pos` (window coordinates), or -1.
    int slot_at(const QPoint& pos) const;
    /// Runs a handler for user input, then tells every view.
    template <typename F>
    void forward(F&& handler) {
        handler();
        model_.notify();
    }

    EditingModel& model_;
    /// Closing waits for the state window's SAVE; the window closes once it has saved.
    bool close_after_save_ = false;
    SingleWindow<LanguageWindow> language_window_;
};

}  // namespace koma
