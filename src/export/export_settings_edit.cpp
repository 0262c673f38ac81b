#include "export/export_settings_edit.h"

#include "export/output_format.h"

namespace koma {

std::expected<int, QString> check_frame_ms(int64_t ms) {
    if (ms < kMinFrameMs) {
        return std::unexpected(
            QStringLiteral("1コマの時間 %1 ミリ秒は短すぎます。%2 ミリ秒以上にしてください"
                           "（それより短い時間は再生ソフトが守りません）。")
                .arg(ms)
                .arg(kMinFrameMs));
    }
    if (ms > kMaxFrameMs) {
        return std::unexpected(
            QStringLiteral("1コマの時間 %1 ミリ秒は長すぎます。%2 ミリ秒以下にしてください。")
                .arg(ms)
                .arg(kMaxFrameMs));
    }
    return static_cast<int>(ms);
}

std::expected<int, QString> check_loop_count(int64_t count) {
    if (count < 0 || count > kMaxLoopCount) {
        return std::unexpected(
            QStringLiteral("繰り返し回数 %1 は使えません。0 ～ %2 にしてください（0 は無限）。")
                .arg(count)
                .arg(kMaxLoopCount));
    }
    return static_cast<int>(count);
}

void choose_output_format(EditingModel& model, OutputFormat format) {
    switch (format) {
        case OutputFormat::Bmp:
            output_bmp_Click(model);
            return;
        case OutputFormat::Gif:
            output_GIF_Click(model);
            return;
        case OutputFormat::Png:
        case OutputFormat::Apng:
        case OutputFormat::Webp:
            model.export_settings.extra_format = format;
            return;
    }
}

std::expected<void, QString> set_frame_ms(EditingModel& model, int64_t ms) {
    const auto checked = check_frame_ms(ms);
    if (!checked) {
        return std::unexpected(checked.error());
    }
    model.export_settings.frame_ms = *checked;
    // The export stops the timer without ending the test; such a paused preview stays paused.
    if (model.timer1_interval > 0) {
        model.timer1_interval = *checked;
    }
    return {};
}

std::expected<void, QString> set_loop_count(EditingModel& model, int64_t count) {
    const auto checked = check_loop_count(count);
    if (!checked) {
        return std::unexpected(checked.error());
    }
    model.export_settings.loop_count = *checked;
    return {};
}

void set_transparent(EditingModel& model, bool transparent) {
    model.export_settings.transparent = transparent;
}

}  // namespace koma
