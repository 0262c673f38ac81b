#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <expected>
#include <functional>
#include <memory>
#include <optional>

#include "model/export_settings.h"
#include "model/play_direction.h"

namespace koma {

class EditingModel;
struct StateReadReport;

/// What "koma export" was asked to do.
struct ExportRequest {
    /// The state files, as given; at least one, none twice.
    QStringList state_files;
    /// --watch: export again whenever a state file or a slot image it names changes.
    bool watch = false;
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
    /// --memory-limit, megabytes; the state file's budget when not given.
    std::optional<int> memory_limit_mb;
    /// --scale; the state file's scale when not given.
    std::optional<int> scale;
    /// --sheet-columns: the sprite sheet's columns; the most square grid when not given.
    std::optional<int> sheet_columns;
    /// --quality: the videos' quality (0 to 100); the codec's default when not given.
    std::optional<int> quality;
    std::optional<QString> out_dir;
    std::optional<QString> basename;
    /// Whether to show the steps on `err` as one line rewritten in place ("step 12/91"); only
    /// for a terminal, so that what scripts read stays as it is.
    bool show_progress = false;
};

/// Reads the arguments after "export": one or more state files (none named twice) and the
/// options --format bmp|gif|png|apng|webp|avif|mp4|webm|sheet, --out DIR, --basename NAME (only
/// with one state file), --frame-ms N (kMinFrameMs to kMaxFrameMs), --loop N (0 to
/// kMaxLoopCount; 0 forever), --direction forward|pingpong and --effort default|max (both in any
/// letter case), --memory-limit MB (kMinMemoryLimitMb to kMaxMemoryLimitMb), --scale N (1 to
/// kMaxScale), --sheet-columns N (1 to 180), --quality N (0 to 100; refused with a --format that
/// is not mp4 or webm), each also
/// written --option=value, and the flags --transparent and --watch, each at most once. Fails with a
/// one-line message for anything else, a value out of range included.
std::expected<ExportRequest, QString> parse_export_arguments(const QStringList& arguments);

/// A state file read for export, on a model of its own.
struct LoadedExport {
    LoadedExport();
    ~LoadedExport();
    LoadedExport(LoadedExport&&) noexcept;
    LoadedExport& operator=(LoadedExport&&) noexcept;

    std::unique_ptr<EditingModel> model;
    std::unique_ptr<StateReadReport> report;
    /// The files the export reads: the state file and the slot images it names (where they
    /// were looked for when missing), absolute.
    QStringList inputs;
};

/// How one state file's lines are printed: `label` (the state file as given) starts every line
/// when several files are exported; empty, the lines are those of a single export.
struct ExportLines {
    QTextStream& out;
    QTextStream& err;
    QString label;
};

/// Reads `state_file` as LOAD does into a model of its own and applies the request's options,
/// as run_export_command does. Prints the read's warnings (slots not loaded, a refused
/// background) on `lines.err` unless `quiet`. Fails with kExitStateUnread, its reason printed
/// (also when `quiet`).
std::expected<LoadedExport, int> load_for_export(const ExportRequest& request,
                                                 const QString& state_file,
                                                 const ExportLines& lines, bool quiet = false);

/// Whether a read left something out that a file still being written would explain: a slot
/// image that did not load.
bool read_incomplete(const LoadedExport& loaded);

/// What export_loaded wrote.
struct ExportDone {
    int code = 0;
    /// The files written.
    QStringList files;
};

/// Exports what load_for_export read, as "コマ作成" does; prints the notices and the errors on
/// `lines.err`, and the files written on `lines.out` unless `list_files` is false. `cancelled`
/// is asked as the export goes (see bt_exec_Click). Returns kExitSuccess, kExitSlotsMissing
/// when the read left slots empty, or kExitOutputFailed (a cancelled export too).
ExportDone export_loaded(LoadedExport& loaded, const ExportRequest& request,
                         const QString& state_file, const ExportLines& lines,
                         const std::function<bool()>& cancelled = {}, bool list_files = true);

/// Of two exit statuses, the one that says more is wrong: 2, then 3, then 4, then 0 (1 never
/// comes from an export).
int worse_status(int a, int b);

/// Reads the state file as LOAD does, then exports as "コマ作成" does, with the format, frame
/// time, loop count, transparency, direction and effort asked for, each by default as the state
/// file sets it (BMP, 80 ms, forever, opaque, forward, default effort where it sets nothing). The
/// steps' own times are always the state file's. Every notice of the export is printed once on
/// `err` ("koma: note: ..."). The export folder is --out when
/// given, else the folder the state file names when it exists, else the current folder; the
/// base name is --basename when given, else the state file's. Prints the path of every file
/// written to `out`. Returns kExitSuccess (also when the pattern is empty and nothing is
/// written, which is said on `err`), kExitStateUnread when the state file is missing,
/// unreadable or damaged, and kExitOutputFailed when the export fails; errors are one line on
/// `err`.
///
/// Several state files are exported each on its own model, several at once (see
/// export_in_threads); every line then starts with the state file it is about, and the status
/// is the worst of theirs (worse_status). With --watch, see run_watch_export.
int run_export_command(const ExportRequest& request, QTextStream& out, QTextStream& err);

}  // namespace koma
