#pragma once

#include <QStringList>
#include <QTextStream>

namespace koma {

/// Exit codes of the command line.
enum ExitCode : int {
    kExitSuccess = 0,
    kExitUsage = 1,         ///< the command line itself is wrong
    kExitStateUnread = 2,   ///< the state file cannot be read
    kExitOutputFailed = 3,  ///< the export could not write its files
    kExitSlotsMissing = 4,  ///< the files were written, but some slot images did not load
};

/// Whether the arguments (program name first) ask for the command line instead of the window:
/// the first argument is "export", "--help", "-h", "--version" or "--recent".
bool wants_command_line(const QStringList& arguments);

/// Runs the command line: "export", "--help"/"-h", "--version" or "--recent" (see the help
/// text). Normal
/// output goes to `out`, every error as one line to `err`; returns the exit code. When
/// `err_is_terminal`, an export also shows its steps on `err` while it runs.
int run_command_line(const QStringList& arguments, QTextStream& out, QTextStream& err,
                     bool err_is_terminal = false);

/// The program's entry point for the command line: creates a QCoreApplication (no display is
/// needed), runs run_command_line on the process's arguments with stdout and stderr (progress
/// only when stderr is a terminal), and
/// returns the exit code. Must be called before any other application object exists.
int command_line_main(int argc, char** argv);

}  // namespace koma
