#pragma once

namespace koma {

/// Opens the main window (with the state file named by the first argument, when there is one),
/// runs the window system's event loop and returns the program's exit code. Creates the
/// QApplication, so no other application object may exist.
int run_windows(int argc, char** argv);

}  // namespace koma
