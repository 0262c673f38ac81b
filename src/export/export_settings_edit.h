#pragma once

#include <QString>
#include <cstdint>
#include <expected>

#include "model/editing_model.h"

namespace koma {

/// Chooses the format exports write. Bmp and Gif are the format buttons' own choice and go
/// through their click handlers, so gif_mode and the visible button follow; the other formats
/// are kept in the settings and leave gif_mode and the buttons as they are.
void choose_output_format(EditingModel& model, OutputFormat format);

/// Sets the frame time of the preview and of every animated format. A time outside
/// check_frame_ms's range is refused with its message and nothing changes. A preview that is
/// playing (its timer ticking) takes the new interval at once (see retime_preview); a stopped
/// one at its next start.
std::expected<void, QString> set_frame_ms(EditingModel& model, int64_t ms);

/// Sets how often an exported animation plays (0: forever). A count outside check_loop_count's
/// range is refused with its message and nothing changes.
std::expected<void, QString> set_loop_count(EditingModel& model, int64_t count);

/// Sets how many times every format enlarges the stage. A scale outside 1 to kMaxScale is
/// refused with check_scale's message and nothing changes. Whether the enlarged stage fits is
/// checked by the export (see scale_refusal), since the stage may still change.
std::expected<void, QString> set_scale(EditingModel& model, int64_t scale);

/// Sets whether the background's own key-coloured pixels are exported transparent.
void set_transparent(EditingModel& model, bool transparent);

/// Sets how hard the PNG sequence and the animated PNG look for small files.
void set_effort(EditingModel& model, CodingEffort effort);

/// Sets the memory budget of an export, in megabytes; a budget outside kMinMemoryLimitMb to
/// kMaxMemoryLimitMb is taken as the nearest end of that range.
void set_memory_limit(EditingModel& model, int64_t mb);

/// Sets the order the preview and every export play the steps in. A playing preview goes on
/// from the step it shows in that order.
void set_direction(EditingModel& model, PlayDirection direction);

}  // namespace koma
