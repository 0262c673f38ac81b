#include "app/run_windows.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>

#include "app/main_window.h"
#include "compose/startup.h"
#include "model/edit_history.h"
#include "model/editing_model.h"
#include "platform/start_folder.h"
#include "state/state_argument.h"

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
    // "koma FILE.pst" opens that state file as LOAD would.
    const auto state_read = load_state_argument(model, QCoreApplication::arguments());
    // The history starts after the opened file: that file is what Ctrl+S writes.
    EditHistory history(model);
    if (state_read && names_state_file(QCoreApplication::arguments()) &&
        QFileInfo(model.work_path).isFile()) {
        history.mark_saved(model.work_path);
    }
    Form1 window(model);
    window.show();
    if (const QString message = state_read_message(state_read); !message.isEmpty()) {
        QMessageBox::warning(&window, QString(), message);
    }
    return QApplication::exec();
}

}  // namespace koma
