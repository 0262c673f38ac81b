#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <expected>
#include <optional>

#include "model/export_settings.h"
#include "model/play_direction.h"

namespace koma {

/// What "koma export" was asked to do.
struct ExportRequest {
    QString state_file;
    /// --format; the state file's format when not given.
    std::optional<OutputFormat> format;
    /// --frame-ms, --loop, --transparent; the state file's settings when not given.
    std::optional<int> frame_ms;
    std::optional<int> loop_count;
    bool transparent = false;
    /// --direction; the state file's direction when not given.
    std::optional<PlayDirection> direction;
    /// --effort; the state file's setting when not given.
    std::optional<CodingEffort> effort;
    std::optional<QString> out_dir;
    std::optional<QString> basename;
    /// Whether to show the steps on `err` as one line rewritten in place ("step 12/91"); only
    /// for a terminal, so that what scripts read stays as it is.
    bool show_progress = false;
};

/// Reads the arguments after "export": one state file and the options
/// --format bmp|gif|png|apng|webp, --out DIR, --basename NAME, --frame-ms N (kMinFrameMs to
/// kMaxFrameMs), --loop N (0 to kMaxLoopCount; 0 forever), --direction forward|pingpong and
/// --effort default|max (both in any letter case), each also written --option=value, and the
/// flag --transparent, each at most once. Fails with a one-line message for anything else, a value
/// out of range included.
std::expected<ExportRequest, QString> parse_export_arguments(const QStringList& arguments);

/// Reads the state file as LOAD does, then exports as "コマ作成" does, with the format, frame
/// time, loop count, transparency, direction and effort asked for, each by default as the state
/// file sets it (BMP, 80 ms, forever, opaque, forward, default effort where it sets nothing).
/// The steps' own times are always the state file's. Every notice of the export is printed once
/// on `err` ("koma: note: ..."). The export folder is --out when given, else the folder the
/// state file names when it exists, else the current folder; the base name is --basename when
/// given, else the state file's. Prints the path of every file written to `out`. Returns
/// kExitSuccess (also when the pattern is empty and nothing is written, which is said on
/// `err`), kExitStateUnread when the state file is missing, unreadable or damaged, and
/// kExitOutputFailed when the export fails; errors are one line on `err`.
int run_export_command(const ExportRequest& request, QTextStream& out, QTextStream& err);

}  // namespace koma
