#include <QStringList>

#include "app/run_windows.h"
#include "cli/command_line.h"

int main(int argc, char** argv) {
    // The command line runs on a QCoreApplication and returns before any QApplication exists:
    // it loads no platform plugin and needs no display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    if (koma::wants_command_line(arguments)) {
        return koma::command_line_main(argc, argv);
    }
    return koma::run_windows(argc, argv);
}
