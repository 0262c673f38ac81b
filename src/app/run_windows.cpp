#include "app/run_windows.h"

#include <QApplication>

#include "app/main_window.h"
#include "app/recovery_question.h"
#include "app/start_session.h"
#include "compose/startup.h"
#include "import/follow_files_setting.h"
#include "import/slot_follower.h"
#include "model/edit_history.h"
#include "model/editing_model.h"
#include "model/settings_language_choice.h"
#include "model/translations.h"
#include "platform/start_folder.h"
#include "platform/system_file_watch.h"
#include "state/recovery_folder.h"
#include "state/recovery_keeper.h"
#include "state/settings_recent_projects.h"
#include "state/state_file_watch.h"

namespace koma {

int run_windows(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("koma"));
    QApplication::setApplicationVersion(QStringLiteral(KOMA_VERSION));
    // The language is settled before any text is made; a new choice holds from the next start.
    SettingsLanguageChoice language_choice;
    install_translations(start_language(language_choice, system_ui_languages()));

    EditingModel model(QCoreApplication::applicationDirPath());
    // An installed program's folder takes no files of the user's: the lists start in the
    // pictures folder instead.
    model.set_start_folder(start_folder(model.program_folder(), pictures_folder()));
    Form1_Load(model);
    SettingsRecentProjects recent;
    model.recent = &recent;
    model.language_choice = &language_choice;
    const FollowFilesSetting follow_setting;
    model.follow_files = follow_setting.load();
    EditHistory history(model);
    Form1 window(model);
    window.show();
    // Slots follow their files, and the project its state file, while the window is open.
    SystemFileWatch slot_files;
    SlotFollower follower(model, slot_files);
    SystemFileWatch state_file;
    StateFileWatch state_watch(model, state_file);
    QObject::connect(&model, &EditingModel::changed, &follower,
                     [&model, &follow_setting, kept = model.follow_files]() mutable {
                         if (model.follow_files != kept) {
                             kept = model.follow_files;
                             follow_setting.save(kept);
                         }
                     });

    RecoveryFolder store(recovery_folder_path());
    RecoveryKeeper keeper(model, store);
    // "koma FILE.pst" opens that state file as LOAD would, after the recovery question.
    start_session(window, store, keeper, QCoreApplication::arguments(),
                  [&window](const RecoveryCopy& newest, std::size_t count) {
                      return ask_restore(&window, newest, count);
                  });
    const int status = QApplication::exec();
    // The window closed normally, whatever was answered about unsaved changes: nothing is left
    // to recover.
    keeper.finish();
    return status;
}

}  // namespace koma
