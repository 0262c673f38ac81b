#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>

#include "app/edit_history.h"
#include "app/editing_model.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "cli/command_line.h"
#include "state/state_argument.h"

int main(int argc, char** argv) {
    // The command line needs no display: it returns before any window system is touched.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    if (koma::wants_command_line(arguments)) {
        return koma::command_line_main(argc, argv);
    }

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
