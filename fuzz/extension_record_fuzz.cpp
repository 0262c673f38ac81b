// The extension record on arbitrary bytes: splitting a state file's last line off and applying
// its items must never fail or leave a setting outside its range, and the record written for
// the result must read back to the same settings.
#include <cstdlib>

#include "compose/startup.h"
#include "state/extension_record.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

void check_ranges(const koma::EditingModel& model) {
    const koma::ExportSettings& s = model.export_settings;
    check(s.frame_ms >= koma::kMinFrameMs && s.frame_ms <= koma::kMaxFrameMs);
    check(s.loop_count >= 0 && s.loop_count <= koma::kMaxLoopCount);
    check(s.memory_limit_mb >= koma::kMinMemoryLimitMb &&
          s.memory_limit_mb <= koma::kMaxMemoryLimitMb);
    for (const uint16_t ms : model.step_ms) {
        check(ms == 0 || (ms >= koma::kMinFrameMs && ms <= koma::kMaxFrameMs));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const koma::StateBytes parts = koma::split_extension_record(bytes);
    check(parts.body.size() <= bytes.size() && bytes.startsWith(parts.body));
    if (!parts.record) return 0;

    koma::EditingModel first(QStringLiteral("/nonexistent-koma-folder"));
    koma::Form1_Load(first);
    koma::apply_extension_record(first, *parts.record);
    check_ranges(first);

    const QByteArray written = koma::extension_record_text(first).toUtf8();
    const koma::StateBytes again = koma::split_extension_record(written);
    check(again.record.has_value() && again.body.isEmpty());
    koma::EditingModel second(QStringLiteral("/nonexistent-koma-folder"));
    koma::Form1_Load(second);
    koma::apply_extension_record(second, *again.record);
    check(second.export_settings == first.export_settings);
    check(second.step_ms == first.step_ms);
    check(second.project.direction == first.project.direction);
    return 0;
}
