#pragma once

#include <QString>
#include <QStringList>
#include <expected>
#include <string>
#include <vector>

namespace koma {

/// The entry point of the window module: opens the main window (with the state file named by
/// the first argument, when there is one), runs the window system's event loop and returns the
/// program's exit code.
using WindowMain = int (*)(int argc, char** argv);

/// Name under which the window module exports its WindowMain.
inline constexpr const char* kWindowMainSymbol = "koma_window_main";

/// Where the window module of a program at `program_path` may lie, in the order they are tried:
/// the private library folder of an installed program (`../lib/koma` from the program's folder),
/// then the program's own folder (a build tree).
std::vector<std::string> window_module_candidates(const std::string& program_path);

/// The path of the running program (from /proc/self/exe; `argv0` where that cannot be read).
std::string running_program_path(const char* argv0);

/// Loads the window module of the program at `program_path` from the first candidate that
/// exists and finds its entry point. Fails with one line naming the paths tried, or the loader's
/// reason, when no candidate exists, it cannot be loaded or it lacks the entry point.
std::expected<WindowMain, QString> load_window_module(const std::string& program_path);

}  // namespace koma
