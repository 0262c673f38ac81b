#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <cstdint>

#include "app/controls.h"
#include "app/export_settings.h"
#include "import/folder_lists.h"
#include "platform/surface.h"

namespace koma {

class EditHistory;

/// Steps a pattern can have; the per-step tables have this many entries (0 to 90).
inline constexpr int kMaxSteps = 91;
/// Image slots: 0 background, 1 to 9 frames, 10 foreground.
inline constexpr int kSlotCount = 11;
inline constexpr int kBackgroundSlot = 0;
inline constexpr int kForegroundSlot = 10;

/// The whole editing state of the main window: the shared variables, the slot and stage
/// surfaces and the values of the main window's controls, as plain data.
///
/// Behaviour lives in handler functions over this model, each subsystem in its own folder.
/// Control values run their change handlers when they really change (see controls.h). A view
/// that forwards user input to a handler calls notify() afterwards, and every view listening to
/// changed() refreshes itself from the model.
class EditingModel : public QObject {
    Q_OBJECT
public:
    /// `program_folder` is the folder that holds the program; start-up puts the export lists and
    /// `path_ref` there.
    explicit EditingModel(QString program_folder, QObject* parent = nullptr);

    // Shared variables.
    int16_t pattern_pos = 0;
    int16_t anim_running = 0;
    int16_t edit_cursor = 0;
    int16_t fine_adjust = 0;
    int16_t adjust_mode = 0;
    int16_t zoom_open = 0;
    QString work_path;
    int16_t state_mode = 0;
    uint32_t bg_color = 0xFFFFFF;  ///< 0x00BBGGRR
    int16_t bg_from_file = -1;
    int16_t stage_width = 80;   ///< twips
    int16_t stage_height = 50;  ///< twips
    int16_t gif_mode = 0;
    /// Format, frame time, loop count and transparency of exports, kept with the project.
    ExportSettings export_settings;

    std::array<QString, 12> slot_names;
    std::array<QString, 12> slot_files;
    std::array<int16_t, kMaxSteps> step_dx{};
    std::array<int16_t, kMaxSteps> step_dy{};

    // Surfaces.
    std::array<Surface, kSlotCount> pic;
    Surface win_main;
    Surface pointer_k;
    /// Left edge of pointer_k in main-window pixels.
    int pointer_k_left = 42;
    /// The zoom window's persistent drawing surface.
    Surface zoom_surface;

    // Controls of the main window.
    ScrollBar sc_bar{-15, 15, 0};
    ScrollBar adjust_x{-60, 100, 0};
    ScrollBar adjust_y{-100, 100, 0};
    TextBox pattern_anime{QString(), kMaxSteps};
    TextBox size_move{QStringLiteral("0")};
    TextBox offset_x{QStringLiteral("0")};
    TextBox offset_y{QStringLiteral("0")};
    TextBox total_adjust_x{QStringLiteral("0")};
    TextBox total_adjust_y{QStringLiteral("0")};
    TextBox this_adjust_x{QStringLiteral("0")};
    TextBox this_adjust_y{QStringLiteral("0")};
    TextBox basename{QStringLiteral("sample")};
    Button anime{QStringLiteral("アニメテスト")};
    Button bt_set2{QStringLiteral("微調整ＯＮ")};
    Button bt_zoom{QStringLiteral("ズーム")};
    Button output_bmp{QStringLiteral("ＢＭＰ"), false};
    Button output_GIF{QStringLiteral("GIF")};
    Label path_ref;
    /// Drive1 and Dir1 of the main window: the export folder.
    FolderLists export_lists;
    /// Timer1's interval in milliseconds; 0 means no ticks.
    int timer1_interval = 0;

    // Which secondary windows are open.
    bool picker_open = false;
    bool state_window_open = false;
    bool background_window_open = false;
    bool export_settings_open = false;

    /// The undo history that records this model's edits, while one is attached (see
    /// EditHistory); null runs edits without one.
    EditHistory* history = nullptr;

    const QString& program_folder() const { return program_folder_; }

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
};

}  // namespace koma
