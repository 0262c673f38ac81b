#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <cstdint>
#include <functional>
#include <vector>

#include "cli/batch_export.h"

namespace koma {

/// How one state file's export went.
struct ThreadedExport {
    int code = 0;
    /// The files written.
    QStringList files;
    /// The files its export read (see LoadedExport::inputs); empty when the state file was not
    /// read.
    QStringList inputs;
    /// Milliseconds from reading the state file to the last file in place.
    int64_t elapsed_ms = 0;
    /// Nothing was exported: the read left out a slot image (read_incomplete) and `may_wait`
    /// said to wait for it, or the state file did not read. Nothing was printed either.
    bool waiting = false;
};

/// What export_each does besides exporting.
struct ExportEachOptions {
    /// Lines start with the state file (several files); empty labels print as one export does.
    bool label_lines = true;
    /// Print the files written (a --watch run prints one line per export instead).
    bool list_files = true;
    /// Asked of a state file whose read left something out, or did not read: true exports
    /// nothing and prints nothing for it (ThreadedExport::waiting), so that it is tried again.
    std::function<bool(const QString& state_file)> may_wait;
    /// Asked as the exports go: true stops them (see bt_exec_Click).
    std::function<bool()> cancelled;
};

/// Exports each of `state_files` with the options of `request`, each on a model of its own,
/// using up to one thread per processor core. Each file's lines are printed on `out` and `err`
/// whole and in the order of `state_files`, as soon as the files before it are done. Exports
/// that would write the same files (one folder, and one base name the start of the other's) run
/// one after the other in that order, and the later one is told to warn, so the files end up
/// as exporting the state files one by one leaves them. The result for each state file, in
/// that order.
std::vector<ThreadedExport> export_each(const ExportRequest& request,
                                        const QStringList& state_files, QTextStream& out,
                                        QTextStream& err, const ExportEachOptions& options);

/// "koma export A.pst B.pst ...": export_each over the request's state files, each line
/// starting with its state file. Returns the worst status (worse_status).
int export_in_threads(const ExportRequest& request, QTextStream& out, QTextStream& err);

}  // namespace koma
