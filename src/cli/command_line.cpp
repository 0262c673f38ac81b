#include "cli/command_line.h"

#include <malloc.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

#include "cli/batch_export.h"
#include "cli/english_messages.h"
#include "state/settings_recent_projects.h"

namespace koma {

namespace {

const char* const kHelp =
    "Usage:\n"
    "  koma                 open the main window\n"
    "  koma FILE.pst        open the main window with that state file loaded\n"
    "  koma export STATE.pst [--format FORMAT] [--out DIR] [--basename NAME]\n"
    "                       [--frame-ms N] [--loop N] [--transparent] [--watch]\n"
    "                       [--direction forward|pingpong] [--effort default|max]\n"
    "                       [--scale N] [--sheet-columns N] [--quality N]\n"
    "                       [--memory-limit MB]\n"
    "                       export the animation of a state file without a window\n"
    "  koma export STATE.pst STATE.pst ... [the options above but --basename]\n"
    "                       export several state files at once\n"
    "  koma --recent        list the state files read or written lately, the last first,\n"
    "                       one per line\n"
    "  koma --help          show this help\n"
    "  koma --version       show the version\n"
    "\n"
    "export reads STATE.pst as the main window's LOAD does and exports as its export\n"
    "button does; every option not given is taken from the state file:\n"
    "  --format bmp         one 24-bit BMP file per step, NAME00.bmp, NAME01.bmp, ... (default)\n"
    "  --format gif         one animated GIF, NAME.gif\n"
    "  --format png         one PNG file per step, NAME00.png, NAME01.png, ...\n"
    "  --format apng        one animated PNG, NAME.png\n"
    "  --format webp        one lossless animated WebP, NAME.webp\n"
    "  --format avif        one lossless animated AVIF, NAME.avif (the loop count is not\n"
    "                       stored: players decide how often it plays)\n"
    "  --format mp4         one H.264 video (4:2:0, BT.709), NAME.mp4, index at the front\n"
    "  --format webm        one VP9 video (4:2:0, BT.709), NAME.webm\n"
    "                       (videos hold no transparency and no loop count; each step\n"
    "                       keeps its time as the frame's timestamps)\n"
    "  --format sheet       one sprite sheet, NAME_sheet.png, every frame in the order played\n"
    "                       in a grid, and NAME_sheet.json beside it in the JSON \"hash\" layout\n"
    "                       (frames \"NAME 00\", \"NAME 01\", ... with their cells and times)\n"
    "                       (format names in any letter case)\n"
    "  --out DIR            the folder to write into; by default the export folder the state\n"
    "                       file names when it exists, else the current folder\n"
    "  --basename NAME      the start of the file names; by default the state file's\n"
    "                       base name; it names a file in DIR: not empty, \".\" or \"..\",\n"
    "                       and no /, \\ or control characters (a state file with such a\n"
    "                       base name is not exported: status 2)\n"
    "  --frame-ms N         milliseconds each step is shown in an animation, 20 to 65535\n"
    "                       (default 80; GIF rounds to 10 ms and says so)\n"
    "  --loop N             how often an animation plays, 0 to 65535; 0 forever (default)\n"
    "  --transparent        the background's own pixels of its top-left colour (a plain\n"
    "                       background: all of it) become transparent; BMP stays opaque\n"
    "  --direction forward  the steps in pattern order, again and again (default)\n"
    "  --direction pingpong the steps there and back: 0 to the last, then back down to 1;\n"
    "                       a sequence numbers its files in the order played\n"
    "  --effort max         PNG and animated PNG files usually a little smaller, coded many\n"
    "                       times slower (--effort default: quick, the default)\n"
    "  --scale N            every format enlarged N times, 1 to 8 (default 1): each pixel\n"
    "                       an N x N block of its colour, nothing blurred; an enlarged image\n"
    "                       over 16384 pixels a side or 256 MiB is refused, naming the\n"
    "                       largest scale that fits\n"
    "  --sheet-columns N    frames in a row of the sprite sheet, 1 to 180 (default: the most\n"
    "                       square sheet)\n"
    "  --quality N          the videos' quality, 0 (smallest) to 100 (best), default 80:\n"
    "                       x264's crf 20 and VP9's crf 30; 100 is crf 1 and 0, 0 is crf 51\n"
    "                       and 63; refused with a lossless --format, which has no quality\n"
    "  --memory-limit MB    the most memory an export may take, 1 to 1048576 MiB (default:\n"
    "                       the state file's, else 2048); an export that would need more is\n"
    "                       refused before it starts, status 3, and one that runs out of\n"
    "                       memory on the way ends with status 3, every file as it was\n"
    "  --watch              after the export, keep running and export again whenever the\n"
    "                       state file or a slot image it names changes, one line per\n"
    "                       export with the time it took, until interrupted (Ctrl+C or\n"
    "                       SIGTERM end it with status 0); an export that fails says why\n"
    "                       and the command waits for the next change\n"
    "\n"
    "Steps given a time of their own in the window keep it in every animation; --frame-ms\n"
    "sets the time of the others.\n"
    "\n"
    "Several state files are exported each on its own, on up to one thread per processor\n"
    "core, with the same options; every line then starts with the state file it is about,\n"
    "and the exit status is the worst of theirs (2, then 3, then 4). State files that would\n"
    "write the same files are exported one after the other, in the order given.\n"
    "\n"
    "It prints the path of every file it writes, one per line. The files are put in place\n"
    "together once all are written: an export that fails leaves every file as it was.\n"
    "\n"
    "A slot image the state file names that is missing or cannot be decoded is told on one\n"
    "warning line (slot, path, reason); the slot stays empty and the files are still written.\n"
    "Slot images are PNG, BMP or JPEG files, told by their content; other formats and\n"
    "files cut short are not loaded.\n"
    "\n"
    "State files koma writes end in one extension record line, \"#KOMA#\",1,\"encoding=UTF-8\",\n"
    "... (key=value items); other files are read as code page 932 or UTF-8 by their bytes.\n"
    "\n"
    "Exit status: 0 done, 1 wrong command line, 2 the state file cannot be read,\n"
    "3 the files cannot be written, 4 written, but some slot images could not be loaded.\n";

/// The command line prints its own messages only: what the libraries say on the way (Qt's
/// warnings about a file it could not open, for one) is left out. Only a fatal message, after
/// which the program ends, is shown.
void quiet_message_handler(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "koma: %s\n", qPrintable(message));
    }
}

}  // namespace

bool wants_command_line(const QStringList& arguments) {
    if (arguments.size() < 2) {
        return false;
    }
    const QString& first = arguments[1];
    return first == QLatin1String("export") || first == QLatin1String("--help") ||
           first == QLatin1String("-h") || first == QLatin1String("--version") ||
           first == QLatin1String("--recent");
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
    if (command == QLatin1String("--recent")) {
        if (arguments.size() > 2) {
            err << "koma: --recent takes no arguments (see koma --help)\n";
            return kExitUsage;
        }
        for (const QString& path : SettingsRecentProjects().paths()) {
            out << QDir::toNativeSeparators(path) << "\n";
        }
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
    qInstallMessageHandler(quiet_message_handler);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("koma"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KOMA_VERSION));
    use_english_messages();
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int code =
        run_command_line(QCoreApplication::arguments(), out, err, isatty(STDERR_FILENO) == 1);
    out.flush();
    err.flush();
    return code;
}

}  // namespace koma
