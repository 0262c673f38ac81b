#include "state/state_window_model.h"

#include <QDir>

#include "adjust/fine_adjust.h"
#include "state/folder_drive.h"
#include "state/load_save.h"

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

StateWindowModel::StateWindowModel(EditingModel& main) : main_(main) {
    lists.on_folder_change = [this] {
        reload_files();
        main_.path_ref.caption = lists.path();
    };
}

void StateWindowModel::load() {
    file_pattern = QStringLiteral("*.pst");
    leave_fine_adjust(main_);
}

void StateWindowModel::open(int16_t mode) {
    const QString& home = main_.program_folder();
    lists.set_drive(drive_of_folder(home));
    lists.set_path(home);
    main_.state_mode = mode;
}

void StateWindowModel::reload_files() {
    files.clear();
    file_index = -1;
    if (lists.path().isEmpty()) {
        return;
    }
    QDir folder(lists.path());
    folder.setNameFilters({file_pattern});
    // Without QDir::CaseSensitive the pattern matches in any letter case.
    folder.setFilter(QDir::Files);
    folder.setSorting(QDir::Name | QDir::IgnoreCase);
    files = folder.entryList();
}

std::expected<void, QString> StateWindowModel::file_name_key_press(int key_ascii) {
    if (key_ascii == kEnter) {
        return command1_click();
    }
    return {};
}

void StateWindowModel::file1_click(int row) {
    if (row < 0 || row >= files.size()) {
        return;
    }
    file_index = row;
    file_name.set_text(files[row]);
}

std::expected<void, QString> StateWindowModel::run_load_save() {
    // The separator is always added, as for a folder at the top of a drive.
    main_.work_path = lists.path() + QLatin1Char('/') + file_name.text();
    auto result = load_save(main_);
    close_requested = true;
    return result;
}

std::expected<void, QString> StateWindowModel::file1_double_click() { return run_load_save(); }

std::expected<void, QString> StateWindowModel::command1_click() {
    file_name.set_text(completed_state_name(file_name.text()));
    return run_load_save();
}

}  // namespace koma
