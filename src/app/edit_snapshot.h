#pragma once

#include <QString>
#include <array>
#include <cstdint>

#include "app/editing_model.h"

namespace koma {

/// The values of one scroll bar, as a snapshot keeps them.
struct BarValues {
    int min = 0, max = 0, value = 0;
    bool operator==(const BarValues&) const = default;
};

/// Everything an edit of the project can change in the editing model: what a state file holds,
/// the slot and stage surfaces, the offset read-outs and the view flag an edit may switch off
/// (adjust_mode). The modes the user switches (fine adjustment, the preview, the zoom window,
/// the format buttons), the edit cursor and pattern_pos are not part of it.
///
/// Surfaces are kept as shared images: taking a snapshot copies no pixels.
struct EditSnapshot {
    std::array<QString, 12> slot_names;
    std::array<QString, 12> slot_files;
    std::array<Surface, kSlotCount> pic;
    Surface win_main;
    std::array<int16_t, kMaxSteps> step_dx{};
    std::array<int16_t, kMaxSteps> step_dy{};
    uint32_t bg_color = 0;
    int16_t bg_from_file = 0;
    int16_t stage_width = 0;
    int16_t stage_height = 0;
    int16_t adjust_mode = 0;
    ExportSettings export_settings;
    BarValues sc_bar, adjust_x, adjust_y;
    QString pattern_anime, size_move, offset_x, offset_y, total_adjust_x, total_adjust_y,
        this_adjust_x, this_adjust_y, basename;
    QString export_drive, export_path;
    QString path_ref;

    bool operator==(const EditSnapshot& other) const;
};

/// The snapshot of `model` as it is now.
EditSnapshot take_snapshot(const EditingModel& model);

/// Puts `target` back into `model` without running any change handler. `left` is the state
/// the undone or redone edit left behind: a view flag (adjust_mode) is put back only while it
/// is still as that edit left it, so a mode the user switched since stays. Then the stage is
/// shown as the current mode shows it (see redraw_after_restore).
void restore_snapshot(EditingModel& model, const EditSnapshot& target, const EditSnapshot& left);

/// Shows the stage as the current mode would after the project changed under it: in fine
/// adjustment the step under the edit cursor is composed with its read-outs (the cursor kept
/// inside the pattern; an emptied pattern ends fine adjustment), in the adjust view the view is
/// drawn, otherwise an open zoom window mirrors the stage. A preview past the end of a shortened
/// pattern restarts at step 0.
void redraw_after_restore(EditingModel& model);

}  // namespace koma
