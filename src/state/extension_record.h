#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>
#include <utility>

#include "model/editing_model.h"

namespace koma {

/// The first item of the extension record, the last line of every state file koma writes.
/// A reader that stops after the background record never reaches it.
inline constexpr char kExtensionTag[] = "#KOMA#";
/// The version koma writes. Readers take the keys they know from any version.
inline constexpr int kExtensionVersion = 1;

/// The extension record as read: its version and its key=value items in file order.
/// Items are ASCII text; an item without "=" has an empty value.
struct ExtensionRecord {
    int version = 0;
    QList<std::pair<QString, QString>> items;

    /// The value of the last item named `key`, or nothing.
    std::optional<QString> value(const QString& key) const;
};

/// A state file's bytes split into the records before the extension record and the record.
struct StateBytes {
    QByteArray body;
    /// Present when the last line begins with the tag. A record cut short holds the items
    /// that were complete.
    std::optional<ExtensionRecord> record;
};

/// Finds the extension record in the last non-empty line of `bytes`. Without it, `body` is
/// all of `bytes`.
StateBytes split_extension_record(const QByteArray& bytes);

/// The extension record for the model, ending in CR LF: the tag, the version, then
/// "encoding=UTF-8" and the project's settings as key=value items. The export settings are
/// written only where they differ from their defaults:
/// "format=png|apng|webp|avif|mp4|webm|sheet" (BMP and GIF are the format buttons' choice, not
/// the project's), "frame_ms=N", "loop=N", "transparent=1"; then the timing: "step_ms=T0 T1 ...
/// Tn", the times of steps 0 to n (n the last step with a time of its own) one space apart, when
/// some step has one, and "direction=pingpong" for a ping-pong project; "effort=max" when the PNG
/// coders are to look hardest; "scale=N" when the stage is enlarged (N 2 to kMaxScale); last
/// "memory_limit=MB", the memory budget of an export, when it is not 2048. The sheet's columns and
/// the videos' quality are not kept: they are the command line's.
QString extension_record_text(const EditingModel& model);

/// Takes the values of the keys koma knows from `record` into the model: the export settings
/// as a whole, so that a missing key, or one whose value does not parse or is out of range,
/// reads as its default. Unknown keys are left out. Without a format key the format buttons'
/// choice is in force. The steps' times are taken whole too: a step whose value is missing, not
/// a decimal number or outside kMinFrameMs..kMaxFrameMs has none (0); values past step 90 are
/// left out. The direction is ping-pong for "direction=pingpong" (any letter case) and forward
/// otherwise. A playing preview takes the times read. Never fails.
void apply_extension_record(EditingModel& model, const ExtensionRecord& record);

}  // namespace koma
