#include "codecs/video/ffmpeg_log.h"

extern "C" {
#include <libavutil/log.h>
}

#include <cstdarg>
#include <mutex>

namespace koma {

namespace {

thread_local char last_error[512] = {};

void keep_errors(void*, int level, const char* format, va_list arguments) {
    if (level > AV_LOG_ERROR) return;
    int print_prefix = 1;
    // No "[name @ address]" prefix: the line may end up in a message to the user.
    av_log_format_line2(nullptr, level, format, arguments, last_error, sizeof last_error,
                        &print_prefix);
}

}  // namespace

void quiet_ffmpeg_log() {
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_callback(keep_errors); });
}

QString last_ffmpeg_error() { return QString::fromUtf8(last_error).trimmed(); }

void clear_ffmpeg_error() { last_error[0] = '\0'; }

}  // namespace koma
