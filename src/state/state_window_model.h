#pragma once

#include <QString>
#include <cstdint>
#include <expected>
#include <utility>
#include <vector>

#include "model/controls.h"
#include "model/editing_model.h"
#include "model/file_list.h"
#include "model/folder_lists.h"
#include "state/read_state.h"

namespace koma {

/// The pattern of the state window's file list.
inline const QString kStateFilePattern = QStringLiteral("*.pst");

/// One line of the state window's list of recent state files.
struct RecentEntry {
    QString path;
    /// Whether a file is still there; a file that is gone cannot be chosen.
    bool exists = false;
};

/// The state window "状態のSAVE&LOAD" as plain data, with its handlers. The window names a state
/// file in a folder; "OK", Enter in file_name or a double-click on a listed file hands the full
/// path to load_save, which reads or writes as the main window's state_mode says. A read over
/// unsaved changes asks first (ask_before_load).
class StateWindowModel {
  public:
    /// A window for `main`. Nothing happens until load() and open() run. `fs` must outlive the
    /// window; null means the machine's file system.
    explicit StateWindowModel(EditingModel& main, const FileSystem* fs = nullptr);
    StateWindowModel(const StateWindowModel&) = delete;
    StateWindowModel& operator=(const StateWindowModel&) = delete;

    /// Drive1 and Dir1. A folder change lists the folder's files in File1, none selected, then
    /// writes the folder into the main window's path_ref. A root that is not ready falls back
    /// to the root of the program's folder (on_not_ready tells the user first).
    FolderLists lists;
    /// Combo1: shows the type of the listed files; it has no behaviour.
    QString combo_text = kStateFilePattern;
    /// File1: the folder's files that match its pattern, in any letter case.
    FileList File1;
    TextBox file_name;
    /// Set once "OK" or a double-click has run: the window is to close.
    bool close_requested = false;
    /// The state files read or written lately (the main window's recent list), the last first;
    /// filled when the window opens.
    std::vector<RecentEntry> recent;

    /// The creation steps: File1's pattern "*.pst", and the main window leaves fine adjustment
    /// with its edit cursor back at the first step.
    void load();
    /// The steps of "SAVE" (mode 2) and "LOAD" (mode 1), after load() when the window is new:
    /// the lists go (drive first) to the folder of the state file last read or written, else
    /// (none yet, or its folder is gone) to the model's start folder, and state_mode takes
    /// `mode`. The recent list is read again, and a read waiting for a save (read_after_save) is
    /// called off.
    void open(int16_t mode);

    /// A key typed into file_name: Enter (13) runs "OK"; other keys do nothing here.
    StateOutcome file_name_key_press(int key_ascii);
    /// The selected file changed (mouse or keys): file_name takes its name. A row outside the
    /// list clears the selection and leaves file_name as it is.
    void file1_click(int row);
    /// Reads or writes the file named in file_name, as it is, in the folder shown; then asks to
    /// close. Returns load_save's result.
    StateOutcome file1_double_click();
    /// "OK": completes file_name with ".pst" (see completed_state_name), reads or writes that
    /// file in the folder shown, then asks to close. Returns load_save's result.
    ///
    /// A read over unsaved changes asks first: cancelled, nothing happens and the window stays;
    /// when the project must be saved under a new name first, the window turns to SAVE with an
    /// empty name and reads the file once that save is made (read_after_save).
    StateOutcome command1_click();
    /// A double-click on line `row` of the recent list: reads that state file as LOAD does,
    /// whatever state_mode was (which becomes 1), then asks to close. A line outside the list,
    /// or a file that is gone, does nothing.
    StateOutcome recent_double_click(int row);

    /// Turns the window into SAVE for a project that must be saved under a name before the
    /// state file at `path` is read: state_mode 2, file_name empty, and a notice for the user.
    /// The next successful write then reads `path`; opening the window again calls it off.
    void read_after_save(const QString& path);
    /// What the window has to tell the user besides a result (see read_after_save); empty when
    /// nothing. Taking it clears it.
    QString take_notice() { return std::exchange(notice_, QString()); }

    EditingModel& main() { return main_; }

  private:
    StateOutcome run_load_save();
    /// Reads or writes `path` as state_mode says, with the question before a read.
    StateOutcome run_load_save_at(const QString& path);
    void folder_changed();
    void read_recent();

    EditingModel& main_;
    QString read_after_save_;
    QString notice_;
};

/// The name "OK" uses for `typed`: unchanged when it is longer than 4 characters and ends in
/// exactly ".pst" or ".PST"; otherwise `typed` + ".pst" (so "anim.Pst" gives "anim.Pst.pst",
/// ".pst" gives ".pst.pst" and "" gives ".pst").
QString completed_state_name(const QString& typed);

}  // namespace koma
