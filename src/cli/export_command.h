#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <expected>
#include <optional>

namespace koma {

/// What "koma export" was asked to do.
struct ExportRequest {
    QString state_file;
    bool gif = false;
    std::optional<QString> out_dir;
    std::optional<QString> basename;
    /// Whether to show the steps on `err` as one line rewritten in place ("step 12/91"); only
    /// for a terminal, so that what scripts read stays as it is.
    bool show_progress = false;
};

/// Reads the arguments after "export": one state file and the options --format bmp|gif,
/// --out DIR and --basename NAME (also written --option=value), each at most once. Fails with
/// a one-line message for anything else.
std::expected<ExportRequest, QString> parse_export_arguments(const QStringList& arguments);

/// Reads the state file as LOAD does, then exports as "コマ作成" does, in the format asked
/// (BMP by default: the state file does not hold the format). The export folder is --out when
/// given, else the folder the state file names when it exists, else the current folder; the
/// base name is --basename when given, else the state file's. Prints the path of every file
/// written to `out`. Returns kExitSuccess (also when the pattern is empty and nothing is
/// written, which is said on `err`), kExitStateUnread when the state file is missing,
/// unreadable or damaged, and kExitOutputFailed when the export fails; errors are one line on
/// `err`.
int run_export_command(const ExportRequest& request, QTextStream& out, QTextStream& err);

}  // namespace koma
