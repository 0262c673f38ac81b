#pragma once

#include "model/editing_model.h"

namespace koma {

/// Shows the stage as the current mode would after the project changed under it (an undo or a
/// redo): in fine adjustment the step under the edit cursor is composed with its read-outs (the
/// cursor kept inside the pattern; an emptied pattern ends fine adjustment), in the adjust view
/// the view is drawn, otherwise an open zoom window mirrors the stage. A preview past the end of
/// a shortened pattern restarts at step 0.
void redraw_after_restore(EditingModel& model);

}  // namespace koma
