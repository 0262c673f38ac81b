#include "state/state_window_model.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "compose/pattern_cursor.h"
#include "model/edit_history.h"
#include "model/recent_projects.h"
#include "state/ask_before_load.h"
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
    read_after_save_.clear();
    read_recent();
}

void StateWindowModel::read_recent() {
    recent.clear();
    if (main_.recent == nullptr) {
        return;
    }
    for (const QString& path : main_.recent->paths()) {
        recent.push_back({path, QFileInfo(path).isFile()});
    }
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
    return run_load_save_at(lists.path() + QLatin1Char('/') + file_name.text());
}

StateOutcome StateWindowModel::run_load_save_at(const QString& path) {
    main_.work_path = path;
    if (main_.state_mode == 1) {
        const auto go = ask_before_load(main_, path);
        if (!go) {
            // Nothing was saved and nothing read: the window stays for another try.
            return std::unexpected(go.error());
        }
        if (*go == BeforeLoad::Cancelled) {
            return {};
        }
        if (*go == BeforeLoad::SaveFirst) {
            open(2);
            read_after_save(path);
            return {};
        }
    }
    if (main_.state_mode == 2 && !read_after_save_.isEmpty() &&
        QFileInfo(path).absoluteFilePath() == QFileInfo(read_after_save_).absoluteFilePath()) {
        // Saving there would put the project over the file it is about to be replaced by.
        return std::unexpected(
            QCoreApplication::translate(
                "koma::StateWindowModel",
                "「%1」はこのあと読み込むファイルです。\n別の名前で保存してください。")
                .arg(QFileInfo(path).fileName()));
    }
    StateReadReport report;
    auto result = recorded_load_save(main_, &report);
    if (result && main_.state_mode == 2 && !read_after_save_.isEmpty()) {
        // The project is saved now; nothing unsaved is left to ask about.
        main_.state_mode = 1;
        main_.work_path = std::exchange(read_after_save_, QString());
        report = {};
        result = recorded_load_save(main_, &report);
    }
    close_requested = true;
    if (!result) {
        return std::unexpected(result.error());
    }
    return report;
}

StateOutcome StateWindowModel::recent_double_click(int row) {
    if (row < 0 || row >= static_cast<int>(recent.size()) || !recent[row].exists) {
        return {};
    }
    main_.state_mode = 1;
    return run_load_save_at(recent[row].path);
}

void StateWindowModel::read_after_save(const QString& path) {
    main_.state_mode = 2;
    read_after_save_ = path;
    file_name.set_text(QString());
    notice_ =
        QCoreApplication::translate(
            "koma::StateWindowModel",
            "読み込む前に、いまの作業を保存します。\n保存する名前を付けて「OK」を押してください。"
            "保存したあと「%1」を読み込みます。")
            .arg(QFileInfo(path).fileName());
}

StateOutcome StateWindowModel::file1_double_click() { return run_load_save(); }

StateOutcome StateWindowModel::command1_click() {
    file_name.set_text(completed_state_name(file_name.text()));
    return run_load_save();
}

}  // namespace koma
