#include "model/project_snapshot.h"

namespace koma {

ProjectSnapshot take_snapshot(const EditingModel& m) {
    return {m.project, m.state_file, m.pic, m.win_main, m.adjust_mode};
}

void restore_snapshot(EditingModel& m, const ProjectSnapshot& s, const ProjectSnapshot& left) {
    // The controls show the project's fields in place: putting the values back runs none of
    // their handlers.
    m.project = s.project;
    m.state_file = s.state_file;
    m.pic = s.pic;
    m.win_main = s.win_main;
    if (m.adjust_mode == left.adjust_mode) {
        m.adjust_mode = s.adjust_mode;
    }
    if (m.on_restore) {
        m.on_restore();
    }
}

}  // namespace koma
