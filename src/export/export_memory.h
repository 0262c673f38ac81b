#pragma once

#include <QSize>
#include <QString>
#include <cstdint>
#include <expected>

#include "model/export_settings.h"

namespace koma {

/// About how many bytes an export of `format` over a stage of `stage` pixels holds at its
/// peak: the background and the composed stage, what the writer keeps (the stages it compares
/// and codes, its captures, the file it builds), and the coverage of a transparent export.
/// The writer works on the stage made `scale` times larger each way (each pixel a scale x scale
/// block; 1 leaves it as it is), so its part grows with scale x scale. The figures come from
/// measured exports of large stages, rounded up; they are an estimate, not a bound.
int64_t export_memory_need(OutputFormat format, QSize stage, bool transparent, int scale = 1);

/// Refuses, with a message naming both in MiB, an export whose export_memory_need is more than
/// `budget_mb` megabytes (MiB).
std::expected<void, QString> check_export_memory(OutputFormat format, QSize stage, bool transparent,
                                                 int budget_mb, int scale = 1);

/// The message an export ends with when an allocation for it fails.
QString out_of_memory_message(QSize stage);

}  // namespace koma
