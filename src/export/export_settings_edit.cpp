#include "export/export_settings_edit.h"

#include <algorithm>

#include "compose/animation_preview.h"
#include "export/output_format.h"

namespace koma {

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
        case OutputFormat::Avif:
        case OutputFormat::Mp4:
        case OutputFormat::Webm:
        case OutputFormat::Sheet:
            model.export_settings.extra_format = format;
            return;
    }
}

std::expected<void, QString> set_scale(EditingModel& model, int64_t scale) {
    const auto checked = check_scale(scale);
    if (!checked) return std::unexpected(checked.error());
    model.export_settings.scale = *checked;
    return {};
}

std::expected<void, QString> set_frame_ms(EditingModel& model, int64_t ms) {
    const auto checked = check_frame_ms(ms);
    if (!checked) {
        return std::unexpected(checked.error());
    }
    model.export_settings.frame_ms = *checked;
    // The export stops the timer without ending the test; such a paused preview stays paused.
    retime_preview(model);
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

void set_effort(EditingModel& model, CodingEffort effort) { model.export_settings.effort = effort; }

void set_memory_limit(EditingModel& model, int64_t mb) {
    model.export_settings.memory_limit_mb =
        static_cast<int>(std::clamp<int64_t>(mb, kMinMemoryLimitMb, kMaxMemoryLimitMb));
}

void set_direction(EditingModel& model, PlayDirection direction) {
    model.project.direction = direction;
}

}  // namespace koma
