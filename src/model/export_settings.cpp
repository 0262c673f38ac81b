#include "model/export_settings.h"

#include <QCoreApplication>

#include "model/editing_model.h"

namespace koma {

std::expected<int, QString> check_frame_ms(int64_t ms) {
    if (ms < kMinFrameMs) {
        return std::unexpected(QCoreApplication::translate(
                                   "ExportSettings",
                                   "1コマの時間 %1 ミリ秒は短すぎます。%2 ミリ秒以上にしてください"
                                   "（それより短い時間は再生ソフトが守りません）。")
                                   .arg(ms)
                                   .arg(kMinFrameMs));
    }
    if (ms > kMaxFrameMs) {
        return std::unexpected(
            QCoreApplication::translate(
                "ExportSettings",
                "1コマの時間 %1 ミリ秒は長すぎます。%2 ミリ秒以下にしてください。")
                .arg(ms)
                .arg(kMaxFrameMs));
    }
    return static_cast<int>(ms);
}

std::expected<int, QString> check_loop_count(int64_t count) {
    if (count < 0 || count > kMaxLoopCount) {
        return std::unexpected(
            QCoreApplication::translate(
                "ExportSettings",
                "繰り返し回数 %1 は使えません。0 ～ %2 にしてください（0 は無限）。")
                .arg(count)
                .arg(kMaxLoopCount));
    }
    return static_cast<int>(count);
}

std::optional<int> check_memory_limit(int64_t mb) {
    if (mb < kMinMemoryLimitMb || mb > kMaxMemoryLimitMb) {
        return std::nullopt;
    }
    return static_cast<int>(mb);
}

std::expected<int, QString> check_scale(int64_t scale) {
    if (scale < 1 || scale > kMaxScale) {
        return std::unexpected(
            QCoreApplication::translate("ExportSettings",
                                        "拡大率 %1 は使えません。1 ～ %2 にしてください。")
                .arg(scale)
                .arg(kMaxScale));
    }
    return static_cast<int>(scale);
}

bool is_extra_format(OutputFormat format) {
    return format != OutputFormat::Bmp && format != OutputFormat::Gif;
}

OutputFormat format_in_force(const EditingModel& model) {
    const OutputFormat extra = model.export_settings.extra_format;
    if (is_extra_format(extra)) {
        return extra;
    }
    return model.gif_mode != 0 ? OutputFormat::Gif : OutputFormat::Bmp;
}

}  // namespace koma
