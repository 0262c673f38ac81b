#include "export/export_settings_form.h"

#include <QCoreApplication>
#include <optional>

#include "export/export_settings_edit.h"
#include "export/output_format.h"

namespace koma {

namespace {

/// The whole number a box holds, or nothing when it holds anything else.
std::optional<int64_t> whole_number(const QString& text) {
    // Compatibility normalisation turns full-width digits and signs into ASCII ones.
    const QString plain = text.normalized(QString::NormalizationForm_KC).trimmed();
    bool ok = false;
    const qlonglong value = plain.toLongLong(&ok, 10);
    if (!ok) {
        return std::nullopt;
    }
    return value;
}

ExportSettingsRefusal refuse(TextBox& box, ExportSettingsField field, QString message) {
    box.select(0, static_cast<int>(box.text().size()));
    return {field, std::move(message)};
}

}  // namespace

void export_settings_load(EditingModel& model, ExportSettingsForm& form) {
    const ExportSettings& settings = model.export_settings;
    form.format = format_in_force(model);
    form.format_seen = form.format;
    form.frame_ms.set_text(QString::number(settings.frame_ms));
    form.frame_ms.select(0, 0);
    form.loop_count.set_text(QString::number(settings.loop_count));
    form.loop_count.select(0, 0);
    form.transparent = settings.transparent;
    form.max_effort = settings.effort == CodingEffort::Max;
    form.direction = model.project.direction;
    form.scale = settings.scale;
    form.memory_limit_mb = settings.memory_limit_mb;
    model.export_settings_open = true;
}

bool export_settings_follow(const EditingModel& model, ExportSettingsForm& form) {
    const OutputFormat in_force = format_in_force(model);
    if (in_force == form.format_seen) {
        return false;
    }
    form.format = in_force;
    form.format_seen = in_force;
    return true;
}

std::expected<void, ExportSettingsRefusal> export_settings_ok(EditingModel& model,
                                                              ExportSettingsForm& form) {
    const std::optional<int64_t> ms = whole_number(form.frame_ms.text());
    if (!ms) {
        return std::unexpected(refuse(
            form.frame_ms, ExportSettingsField::FrameMs,
            QCoreApplication::translate(
                "ExportSettings", "1コマの時間に「%1」は使えません。ミリ秒を整数で入れてください。")
                .arg(form.frame_ms.text())));
    }
    if (const auto checked = check_frame_ms(*ms); !checked) {
        return std::unexpected(
            refuse(form.frame_ms, ExportSettingsField::FrameMs, checked.error()));
    }
    const std::optional<int64_t> loops = whole_number(form.loop_count.text());
    if (!loops) {
        return std::unexpected(
            refuse(form.loop_count, ExportSettingsField::LoopCount,
                   QCoreApplication::translate(
                       "ExportSettings",
                       "繰り返し回数に「%1」は使えません。回数を整数で入れてください"
                       "（0 は無限）。")
                       .arg(form.loop_count.text())));
    }
    if (const auto checked = check_loop_count(*loops); !checked) {
        return std::unexpected(
            refuse(form.loop_count, ExportSettingsField::LoopCount, checked.error()));
    }

    // Both values were checked above, so neither setter can refuse now.
    choose_output_format(model, form.format);
    (void)set_frame_ms(model, *ms);
    (void)set_loop_count(model, *loops);
    set_transparent(model, form.transparent);
    set_effort(model, form.max_effort ? CodingEffort::Max : CodingEffort::Default);
    set_direction(model, form.direction);
    // The list offers only scales set_scale takes.
    (void)set_scale(model, form.scale);
    set_memory_limit(model, form.memory_limit_mb);
    model.export_settings_open = false;
    return {};
}

void export_settings_cancel(EditingModel& model) { model.export_settings_open = false; }

}  // namespace koma
