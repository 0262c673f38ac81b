#pragma once

#include <array>
#include <cstdint>

#include "model/editing_model.h"

namespace koma {

/// One step of the undo history: the project with the slot images and the stage, the state file
/// it belongs to (what Ctrl+S writes), and the view flag an edit may switch off (adjust_mode). The
/// modes the user switches (fine adjustment, the preview, the zoom window, the format buttons), the
/// edit cursor and pattern_pos are not part of it.
///
/// Surfaces are kept as shared images: taking a snapshot copies no pixels.
struct ProjectSnapshot {
    ProjectState project;
    QString state_file;
    std::array<Surface, kSlotCount> pic;
    Surface win_main;
    int16_t adjust_mode = 0;

    bool operator==(const ProjectSnapshot&) const = default;
};

/// The snapshot of `model` as it is now.
ProjectSnapshot take_snapshot(const EditingModel& model);

/// Puts `target` back into `model` without running any change handler. `left` is the state
/// the undone or redone edit left behind: the view flag (adjust_mode) is put back only while it
/// is still as that edit left it, so a mode the user switched since stays. Then the model's
/// on_restore shows the stage as the current mode shows it.
void restore_snapshot(EditingModel& model, const ProjectSnapshot& target,
                      const ProjectSnapshot& left);

}  // namespace koma
