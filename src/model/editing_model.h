#pragma once

#include <QCoreApplication>
#include <QObject>
#include <QString>
#include <array>
#include <cstdint>

#include "model/controls.h"
#include "model/folder_lists.h"
#include "model/preview_speed.h"
#include "model/project_state.h"
#include "model/status_line.h"
#include "raster/surface.h"

namespace koma {

class EditHistory;
class LanguageChoice;
class RecentProjects;

/// The surface of image slot `slot` (0 to 10) while nothing is loaded into it: blank, in the
/// size the slot has at start-up.
Surface blank_slot_surface(int slot);

/// The whole editing state of the main window: the project (ProjectState), the shared variables,
/// the slot and stage surfaces and the values of the main window's controls, as plain data.
///
/// The project's values are reached under the names the handlers use (`step_dx`, `bg_color`,
/// the controls `sc_bar`, `pattern_anime`, ...), which are references into `project` or controls
/// that show its fields; `project` itself is what a snapshot copies and undo puts back.
///
/// Behaviour lives in handler functions over this model, each subsystem in its own folder.
/// Control values run their change handlers when they really change (see controls.h). A view
/// that forwards user input to a handler calls notify() afterwards, and every view listening to
/// changed() refreshes itself from the model.
class EditingModel : public QObject {
    Q_OBJECT
  public:
    /// `program_folder` is the folder that holds the program; start-up puts the export lists and
    /// `path_ref` at the start folder, which is that folder until set_start_folder() says
    /// otherwise.
    explicit EditingModel(QString program_folder, QObject* parent = nullptr);

    /// The project: what a state file holds and undo restores.
    ProjectState project;

    // The project's values under their own names.
    std::array<QString, 12>& slot_files = project.slot_files;
    std::array<int16_t, kMaxSteps>& step_dx = project.step_dx;
    std::array<int16_t, kMaxSteps>& step_dy = project.step_dy;
    uint32_t& bg_color = project.bg_color;  ///< 0x00BBGGRR
    int16_t& bg_from_file = project.bg_from_file;
    int16_t& stage_width = project.stage_width;    ///< twips
    int16_t& stage_height = project.stage_height;  ///< twips
    /// Format, frame time, loop count and transparency of exports, kept with the project.
    ExportSettings& export_settings = project.export_settings;
    /// Each step's own time in milliseconds, 0 for the frame time.
    std::array<uint16_t, kMaxSteps>& step_ms = project.step_ms;

    // Shared variables.
    int16_t pattern_pos = 0;
    int16_t anim_running = 0;
    int16_t edit_cursor = 0;
    int16_t fine_adjust = 0;
    int16_t adjust_mode = 0;
    int16_t zoom_open = 0;
    QString work_path;
    int16_t state_mode = 0;
    /// The state file the project belongs to, "" for none: the file it was last read from or
    /// written to, which Ctrl+S writes. Not part of the project (a state file does not hold
    /// it), but a snapshot keeps it, so undoing a LOAD gives back the file it replaced.
    QString state_file;
    int16_t gif_mode = 0;

    /// The preview's speed against the times the steps are exported with; not saved.
    PreviewSpeed preview_speed = PreviewSpeed::Normal;
    /// The step the preview's last tick showed, -1 before the first tick: the timer's interval
    /// is that step's time (the frame time before the first tick).
    int16_t preview_step = -1;
    /// Whether a ping-pong preview is on its way back from the last step.
    bool preview_returning = false;
    /// Onion skin: while fine adjustment is on, the views show the step before the one on the
    /// stage faintly over it, and with onion_next the step after it too. Not saved; the stage
    /// itself never shows it.
    bool onion_skin = false;
    bool onion_next = false;

    std::array<QString, 12> slot_names;

    /// The image picker's file type as the user left it: the combo box's text and the file
    /// pattern in force. Empty until the user chose or typed one; the next picker starts there.
    QString picker_filter_text;
    QString picker_file_pattern;

    /// The main window's status line.
    StatusLine status;

    /// Whether slots follow their files (and a project without unsaved changes its state file)
    /// when another program changes them: a choice of the user's, not part of the project.
    bool follow_files = true;

    // Surfaces.
    std::array<Surface, kSlotCount> pic;
    Surface win_main;
    Surface pointer_k;
    /// Left edge of pointer_k in main-window pixels.
    int pointer_k_left = 42;
    /// The zoom window's persistent drawing surface.
    Surface zoom_surface;

    // Controls of the main window.
    ScrollBar sc_bar{&project.sc_bar};
    ScrollBar adjust_x{&project.adjust_x};
    ScrollBar adjust_y{&project.adjust_y};
    TextBox pattern_anime{&project.pattern_anime, kMaxSteps};
    TextBox size_move{&project.size_move};
    /// The six read-outs are read-only.
    TextBox offset_x{&project.offset_x};
    TextBox offset_y{&project.offset_y};
    TextBox total_adjust_x{&project.total_adjust_x};
    TextBox total_adjust_y{&project.total_adjust_y};
    TextBox this_adjust_x{&project.this_adjust_x};
    TextBox this_adjust_y{&project.this_adjust_y};
    TextBox basename{&project.basename};
    Button anime{QCoreApplication::translate("Captions", "アニメテスト")};
    Button bt_set2{QCoreApplication::translate("Captions", "微調整ＯＮ")};
    Button bt_zoom{QCoreApplication::translate("Captions", "ズーム")};
    Button output_bmp{QCoreApplication::translate("Captions", "ＢＭＰ"), false};
    Button output_GIF{QStringLiteral("GIF")};
    BoundLabel path_ref{project.path_ref};
    /// Drive1 and Dir1 of the main window: the export folder.
    FolderLists export_lists{&project.export_folder};
    /// Timer1's interval in milliseconds; 0 means no ticks.
    int timer1_interval = 0;

    // Which secondary windows are open.
    bool picker_open = false;
    bool state_window_open = false;
    bool background_window_open = false;
    bool export_settings_open = false;

    /// Runs after undo or redo put a snapshot back: shows the stage as the current mode shows it.
    /// Installed with the controls' handlers; null does nothing.
    std::function<void()> on_restore;

    /// The undo history that records this model's edits, while one is attached (see
    /// EditHistory); null runs edits without one.
    EditHistory* history = nullptr;
    /// The list of state files read or written lately, while one is attached (the windows);
    /// null keeps no list.
    RecentProjects* recent = nullptr;
    /// The user's choice of the windows' language, while one is attached (the windows); null
    /// offers no choice.
    LanguageChoice* language_choice = nullptr;

    const QString& program_folder() const { return program_folder_; }
    /// Where the folder lists start when nothing else says (see start_folder() in platform).
    const QString& start_folder() const { return start_folder_; }
    void set_start_folder(const QString& folder) { start_folder_ = folder; }

    /// Tells every view that the model changed.
    void notify() { emit changed(); }
    /// Asks the main window to give the keyboard focus to a control (by its name, for example
    /// "pic_dummy").
    void request_focus(const QString& control) {
        last_focus_request = control;
        emit focus_requested(control);
    }
    QString last_focus_request;

  signals:
    void changed();
    void focus_requested(const QString& control);
    /// The zoom surface was redrawn and should be shown.
    void zoom_repainted();

  private:
    QString program_folder_;
    QString start_folder_;
};

}  // namespace koma
