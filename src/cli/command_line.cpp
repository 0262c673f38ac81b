#include "cli/command_line.h"

#include <malloc.h>
#include <unistd.h>

#include <QCoreApplication>
#include <cstdio>

#include "cli/batch_export.h"

namespace koma {

namespace {

const char* const kHelp =
    "Usage:\n"
    "  koma                 open the main window\n"
    "  koma FILE.pst        open the main window with that state file loaded\n"
    "  koma export STATE.pst [--format bmp|gif] [--out DIR] [--basename NAME]\n"
    "                       [--frame-ms N] [--loop N] [--transparent]\n"
    "                       [--effort default|max]\n"
    "                       (--format also png|apng|webp)\n"
    "                       export the animation of a state file without a window\n"
    "  koma --help          show this help\n"
    "  koma --version       show the version\n"
    "\n"
    "export reads STATE.pst as LOAD does and exports as \"コマ作成\" does; every option\n"
    "not given is taken from the state file:\n"
    "  --format bmp         one 24-bit BMP file per step, NAME00.bmp, NAME01.bmp, ... (default)\n"
    "  --format gif         one animated GIF, NAME.gif\n"
    "  --format png         one PNG file per step, NAME00.png, NAME01.png, ...\n"
    "  --format apng        one animated PNG, NAME.png\n"
    "  --format webp        one lossless animated WebP, NAME.webp\n"
    "  --out DIR            the folder to write into; by default the export folder the state\n"
    "                       file names when it exists, else the current folder\n"
    "  --basename NAME      the start of the file names; by default the state file's\n"
    "                       base name\n"
    "  --frame-ms N         milliseconds each step is shown in an animation, 20 to 65535\n"
    "                       (default 80; GIF rounds to 10 ms and says so)\n"
    "  --loop N             how often an animation plays, 0 to 65535; 0 forever (default)\n"
    "  --transparent        the background's own pixels of its top-left colour (a plain\n"
    "                       background: all of it) become transparent; BMP stays opaque\n"
    "  --effort max         PNG and animated PNG files usually a little smaller, coded many\n"
    "                       times slower (--effort default: quick, the default)\n"
    "\n"
    "It prints the path of every file it writes, one per line.\n"
    "\n"
    "A slot image the state file names that is missing or cannot be decoded is told on one\n"
    "warning line (slot, path, reason); the slot stays empty and the files are still written.\n"
    "\n"
    "State files koma writes end in one extension record line, \"#KOMA#\",1,\"encoding=UTF-8\",\n"
    "... (key=value items); other files are read as code page 932 or UTF-8 by their bytes.\n"
    "\n"
    "Exit status: 0 done, 1 wrong command line, 2 the state file cannot be read,\n"
    "3 the files cannot be written, 4 written, but some slot images could not be loaded.\n";

}  // namespace

bool wants_command_line(const QStringList& arguments) {
    if (arguments.size() < 2) {
        return false;
    }
    const QString& first = arguments[1];
    return first == QLatin1String("export") || first == QLatin1String("--help") ||
           first == QLatin1String("-h") || first == QLatin1String("--version");
}

int run_command_line(const QStringList& arguments, QTextStream& out, QTextStream& err,
                     bool err_is_terminal) {
    const QString command = arguments.value(1);
    if (command == QLatin1String("--help") || command == QLatin1String("-h")) {
        out << QString::fromUtf8(kHelp);
        return kExitSuccess;
    }
    if (command == QLatin1String("--version")) {
        out << "koma " << KOMA_VERSION << "\n";
        return kExitSuccess;
    }
    if (command == QLatin1String("export")) {
        auto request = parse_export_arguments(arguments.mid(2));
        if (!request) {
            err << "koma: " << request.error() << " (see koma --help)\n";
            return kExitUsage;
        }
        request->show_progress = err_is_terminal;
        return run_export_command(*request, out, err);
    }
    err << "koma: unknown command \"" << command << "\" (see koma --help)\n";
    return kExitUsage;
}

int command_line_main(int argc, char** argv) {
    // A run lives for one export: memory it frees is kept for the next step's images instead of
    // going back to the system and being faulted in again, page by page.
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("koma"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KOMA_VERSION));
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int code =
        run_command_line(QCoreApplication::arguments(), out, err, isatty(STDERR_FILENO) == 1);
    out.flush();
    err.flush();
    return code;
}

}  // namespace koma
