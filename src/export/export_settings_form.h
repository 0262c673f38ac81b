#pragma once

#include <QString>
#include <expected>

#include "model/controls.h"
#include "model/editing_model.h"

namespace koma {

/// The control values of the export settings window "出力設定" as plain data. Its handlers
/// below read and write these and the editing model; the window only shows them.
struct ExportSettingsForm {
    /// The format list: ＢＭＰ, GIF, PNG 連番, APNG, WebP, AVIF, MP4, WebM, シート.
    OutputFormat format = OutputFormat::Bmp;
    /// "1コマの時間", milliseconds as typed.
    TextBox frame_ms{QStringLiteral("80")};
    /// "繰り返し回数", as typed; 0 plays forever.
    TextBox loop_count{QStringLiteral("0")};
    /// "背景を透明に".
    bool transparent = false;
    /// "再生順": forward or ping-pong.
    PlayDirection direction = PlayDirection::Forward;
    /// The PNG coders' effort: checked is CodingEffort::Max.
    bool max_effort = false;
    /// "拡大": how many times every format enlarges the stage, 1 to kMaxScale.
    int scale = 1;
    /// "メモリ上限", megabytes (the box takes kMinMemoryLimitMb to kMaxMemoryLimitMb only).
    int memory_limit_mb = 2048;
    /// The format in force when the form last looked at the model.
    OutputFormat format_seen = OutputFormat::Bmp;
};

/// The text box an "ＯＫ" was refused for.
enum class ExportSettingsField { FrameMs, LoopCount };

/// Why "ＯＫ" was refused: the box at fault and a message for the user.
struct ExportSettingsRefusal {
    ExportSettingsField field;
    QString message;
};

/// Loads the window each time it opens: the format in force, the frame time and loop count as
/// decimal text, the transparency, the direction, the effort, the scale, the memory budget.
/// Marks the window open in the editing model.
void export_settings_load(EditingModel& model, ExportSettingsForm& form);

/// The model changed while the window is open: when the format in force is no longer the one
/// the form last saw (a format button was clicked), the format list shows the new one, replacing
/// a choice not yet taken. Returns whether the form changed. The boxes are left as typed.
bool export_settings_follow(const EditingModel& model, ExportSettingsForm& form);

/// "ＯＫ". Each box must hold a whole number (blanks around it and full-width digits are
/// accepted) that its setting accepts: a frame time of kMinFrameMs to kMaxFrameMs ms, a loop
/// count of 0 to kMaxLoopCount. Otherwise the first offending box is selected whole and the
/// press is refused with its message, nothing changed. Accepted: the format, frame time, loop
/// count, transparency, direction, effort, scale and memory budget are set through their
/// handlers and the
/// window is marked closed.
std::expected<void, ExportSettingsRefusal> export_settings_ok(EditingModel& model,
                                                              ExportSettingsForm& form);

/// "キャンセル", and the close box: the window is marked closed; nothing changes.
void export_settings_cancel(EditingModel& model);

}  // namespace koma
