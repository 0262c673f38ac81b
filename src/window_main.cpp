// The windows' side of the program, built as a module of its own that main.cpp loads only when
// a window opens: the command line never maps the widget libraries.
#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>

#include "app/edit_history.h"
#include "app/editing_model.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "state/state_argument.h"

extern "C" __attribute__((visibility("default"))) int koma_window_main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("koma"));
    QApplication::setApplicationVersion(QStringLiteral(KOMA_VERSION));

    koma::EditingModel model(QCoreApplication::applicationDirPath());
    koma::Form1_Load(model);
    // "koma FILE.pst" opens that state file as LOAD would.
    const auto state_read = koma::load_state_argument(model, QCoreApplication::arguments());
    // The history starts after the opened file: that file is what Ctrl+S writes.
    koma::EditHistory history(model);
    if (state_read && koma::names_state_file(QCoreApplication::arguments()) &&
        QFileInfo(model.work_path).isFile()) {
        history.mark_saved(model.work_path);
    }
    koma::Form1 window(model);
    window.show();
    if (const QString message = koma::state_read_message(state_read); !message.isEmpty()) {
        QMessageBox::warning(&window, QString(), message);
    }
    return QApplication::exec();
}
