#pragma once

#include <QString>
#include <array>
#include <cstdint>

#include "model/export_settings.h"
#include "model/play_direction.h"

namespace koma {

/// Steps a pattern can have; the per-step tables have this many entries (0 to 90).
inline constexpr int kMaxSteps = 91;
/// Image slots: 0 background, 1 to 9 frames, 10 foreground.
inline constexpr int kSlotCount = 11;
inline constexpr int kBackgroundSlot = 0;
inline constexpr int kForegroundSlot = 10;

/// The range and value of one scroll bar.
struct BarValues {
    int min = 0;
    int max = 0;
    int value = 0;

    bool operator==(const BarValues&) const = default;
};

/// The drive and the folder chosen in a drive list and the folder list under it.
struct FolderChoice {
    QString drive;
    QString path;

    bool operator==(const FolderChoice&) const = default;
};

/// The project: everything a state file holds, and the values shown beside it as the last edit
/// left them. This is the one list of what a project is: the main window's controls (see
/// controls.h and EditingModel) show and change these values in place, a state file is written
/// from them and read into them, and one step of the undo history is a copy of this struct with
/// the slot images (ProjectSnapshot).
struct ProjectState {
    // What a state file holds.
    /// Path of the file loaded into each slot, "" for none; entries 0 to 10 are used.
    std::array<QString, 12> slot_files;
    /// The base offset (pixels) and the travel per step.
    BarValues adjust_x{-60, 100, 0};
    BarValues adjust_y{-100, 100, 0};
    BarValues sc_bar{-15, 15, 0};
    QString pattern_anime;
    /// The export folder: the main window's drive and folder lists.
    FolderChoice export_folder;
    QString basename = QStringLiteral("sample");
    /// The folder label under the export lists.
    QString path_ref;
    /// Per-step deltas in pixels, right and down positive.
    std::array<int16_t, kMaxSteps> step_dx{};
    std::array<int16_t, kMaxSteps> step_dy{};
    int16_t bg_from_file = -1;
    uint32_t bg_color = 0xFFFFFF;  ///< 0x00BBGGRR
    int16_t stage_width = 80;      ///< twips
    int16_t stage_height = 50;     ///< twips
    /// Format, frame time, loop count and transparency of exports (the extension record).
    ExportSettings export_settings;
    /// Milliseconds each step is shown (kMinFrameMs to kMaxFrameMs); 0 shows the step for the
    /// export settings' frame time (the extension record).
    std::array<uint16_t, kMaxSteps> step_ms{};
    /// The order the preview and every animated export play the steps in (the extension
    /// record).
    PlayDirection direction = PlayDirection::Forward;

    // Shown beside it: the travel as typed and the offset read-outs, which follow the values
    // above only at the next redraw.
    QString size_move = QStringLiteral("0");
    QString offset_x = QStringLiteral("0");
    QString offset_y = QStringLiteral("0");
    QString total_adjust_x = QStringLiteral("0");
    QString total_adjust_y = QStringLiteral("0");
    QString this_adjust_x = QStringLiteral("0");
    QString this_adjust_y = QStringLiteral("0");

    bool operator==(const ProjectState&) const = default;
};

}  // namespace koma
