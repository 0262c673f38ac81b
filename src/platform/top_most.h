#pragma once

class QWindow;

namespace koma {

/// Keeps `window` above all other windows (the window system's stay-on-top hint) and shows it
/// on top; position and size are not changed. Returns true when the window carries the hint
/// afterwards; a window manager that ignores the hint cannot be detected and still reports
/// true. A null window is refused with false.
bool TopMostOn(QWindow* window);

/// Takes the stay-on-top hint away from `window` and sends it to the bottom of the stack; it
/// stays shown, position and size unchanged. Returns true when the window no longer carries the
/// hint; a null window is refused with false.
bool TopMostOff(QWindow* window);

}  // namespace koma
