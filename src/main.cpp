#include <cstdio>

#include "app/window_module.h"
#include "cli/command_line.h"

int main(int argc, char** argv) {
    // The command line needs no display: it returns before any window system is touched, and
    // the windows, with the widget libraries they need, are loaded only when one opens.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    if (koma::wants_command_line(arguments)) {
        return koma::command_line_main(argc, argv);
    }
    const auto window_main =
        koma::load_window_module(koma::running_program_path(argc > 0 ? argv[0] : nullptr));
    if (!window_main) {
        std::fprintf(stderr, "koma: %s\n", qPrintable(window_main.error()));
        return 1;
    }
    return (*window_main)(argc, argv);
}
