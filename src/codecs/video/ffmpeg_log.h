#pragma once

#include <QString>

namespace koma {

/// Routes the FFmpeg libraries' log (their own and that of the encoders they drive) away from
/// stderr, for the whole process, once: informational lines and warnings are dropped, and the
/// last error line of each thread is kept for last_ffmpeg_error(). Safe to call many times.
void quiet_ffmpeg_log();

/// The last error line the FFmpeg libraries logged on this thread since clear_ffmpeg_error(),
/// without its line break; empty when there was none.
QString last_ffmpeg_error();

/// Forgets this thread's last error line.
void clear_ffmpeg_error();

}  // namespace koma
