#include "app/run_windows.h"

#include <QApplication>

#include "app/main_window.h"
#include "app/recovery_question.h"
#include "app/start_session.h"
#include "compose/startup.h"
#include "model/edit_history.h"
#include "model/editing_model.h"
#include "platform/start_folder.h"
#include "state/recovery_folder.h"
#include "state/recovery_keeper.h"
#include "state/settings_recent_projects.h"

namespace koma {

int run_windows(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("koma"));
    QApplication::setApplicationVersion(QStringLiteral(KOMA_VERSION));

    EditingModel model(QCoreApplication::applicationDirPath());
    // An installed program's folder takes no files of the user's: the lists start in the
    // pictures folder instead.
    model.set_start_folder(start_folder(model.program_folder(), pictures_folder()));
    Form1_Load(model);
    SettingsRecentProjects recent;
    model.recent = &recent;
    EditHistory history(model);
    Form1 window(model);
    window.show();

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
