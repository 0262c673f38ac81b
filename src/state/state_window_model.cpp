#include "state/state_window_model.h"

#include <QFileInfo>

#include "compose/pattern_cursor.h"
#include "model/edit_history.h"
#include "state/recorded_load_save.h"

namespace koma {

namespace {

constexpr int kEnter = 13;

}  // namespace

QString completed_state_name(const QString& typed) {
    const QString ext = typed.size() > 4 ? typed.right(4) : QString();
    if (ext == QLatin1String(".pst") || ext == QLatin1String(".PST")) {
        return typed;
    }
    return typed + QStringLiteral(".pst");
}

StateWindowModel::StateWindowModel(EditingModel& main, const FileSystem* fs)
    : lists(fs), File1(fs), main_(main) {
    lists.set_home_folder(main_.program_folder());
    lists.on_folder_change = [this] { folder_changed(); };
}

void StateWindowModel::load() {
    File1.set_pattern(kStateFilePattern);
    leave_fine_adjust(main_);
}

void StateWindowModel::open(int16_t mode) {
    QString home = QFileInfo(last_state_file(main_)).absolutePath();
    if (last_state_file(main_).isEmpty() || !lists.file_system().list(home)) {
        home = main_.start_folder();
    }
    lists.set_drive(lists.file_system().root_of(home));
    lists.set_path(home);
    main_.state_mode = mode;
}

void StateWindowModel::folder_changed() {
    File1.set_folder(lists.path());
    main_.path_ref.caption = lists.path();
}

StateOutcome StateWindowModel::file_name_key_press(int key_ascii) {
    if (key_ascii == kEnter) {
        return command1_click();
    }
    return {};
}

void StateWindowModel::file1_click(int row) {
    File1.select(row);
    const QString name = File1.file_name();
    if (!name.isEmpty()) {
        file_name.set_text(name);
    }
}

StateOutcome StateWindowModel::run_load_save() {
    // The separator is always added, as for a folder at the top of a drive.
    main_.work_path = lists.path() + QLatin1Char('/') + file_name.text();
    StateReadReport report;
    auto result = recorded_load_save(main_, &report);
    close_requested = true;
    if (!result) {
        return std::unexpected(result.error());
    }
    return report;
}

StateOutcome StateWindowModel::file1_double_click() { return run_load_save(); }

StateOutcome StateWindowModel::command1_click() {
    file_name.set_text(completed_state_name(file_name.text()));
    return run_load_save();
}

}  // namespace koma
