#include "cli/export_command.h"

#include <QDir>
#include <QFileInfo>

#include "app/editing_model.h"
#include "app/startup.h"
#include "cli/command_line.h"
#include "export/frame_export.h"
#include "export/output_format.h"
#include "state/load_save.h"

namespace koma {

namespace {

/// A message on one line: line breaks inside it become "; ".
QString one_line(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("; "));
    text.replace(QLatin1Char('\n'), QLatin1String("; "));
    return text;
}

}  // namespace

std::expected<ExportRequest, QString> parse_export_arguments(const QStringList& arguments) {
    ExportRequest request;
    bool have_state = false;
    bool have_format = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString argument = arguments[i];
        if (!argument.startsWith(QLatin1String("--"))) {
            if (have_state) {
                return std::unexpected(
                    QStringLiteral("more than one state file: \"%1\"").arg(argument));
            }
            request.state_file = argument;
            have_state = true;
            continue;
        }
        QString value;
        const qsizetype equals = argument.indexOf(QLatin1Char('='));
        if (equals >= 0) {
            value = argument.mid(equals + 1);
            argument.truncate(equals);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            return std::unexpected(QStringLiteral("%1 needs a value").arg(argument));
        }
        if (argument == QLatin1String("--format")) {
            if (have_format) return std::unexpected(QStringLiteral("--format given twice"));
            if (value != QLatin1String("bmp") && value != QLatin1String("gif")) {
                return std::unexpected(
                    QStringLiteral("--format must be bmp or gif, not \"%1\"").arg(value));
            }
            request.gif = value == QLatin1String("gif");
            have_format = true;
        } else if (argument == QLatin1String("--out")) {
            if (request.out_dir) return std::unexpected(QStringLiteral("--out given twice"));
            if (value.isEmpty()) return std::unexpected(QStringLiteral("--out needs a folder"));
            request.out_dir = value;
        } else if (argument == QLatin1String("--basename")) {
            if (request.basename) {
                return std::unexpected(QStringLiteral("--basename given twice"));
            }
            request.basename = value;
        } else {
            return std::unexpected(QStringLiteral("unknown option %1").arg(argument));
        }
    }
    if (!have_state) {
        return std::unexpected(QStringLiteral("export needs a state file"));
    }
    return request;
}

int run_export_command(const ExportRequest& request, QTextStream& out, QTextStream& err) {
    const QFileInfo state(request.state_file);
    if (!state.isFile()) {
        err << "koma: cannot read " << request.state_file << ": "
            << (state.exists() ? "not a file" : "no such file") << "\n";
        return kExitStateUnread;
    }
    // The command line has no window and no program folder of its own: where a state file's
    // export folder no longer exists, the export goes to the current folder instead.
    EditingModel model(QDir::currentPath());
    Form1_Load(model);
    model.work_path = state.absoluteFilePath();
    model.state_mode = 1;
    StateReadReport report;
    const auto loaded = load_save(model, &report);
    if (!loaded) {
        err << "koma: cannot read " << request.state_file << ": " << one_line(loaded.error())
            << "\n";
        return kExitStateUnread;
    }
    for (const SlotLoadFailure& failure : report.slot_failures) {
        err << "koma: warning: slot " << failure.slot << " (" << slot_caption(failure.slot)
            << ") not loaded: " << QDir::toNativeSeparators(failure.path) << ": "
            << one_line(failure.reason) << "\n";
    }
    if (!report.background_refused.isEmpty()) {
        err << "koma: warning: " << one_line(report.background_refused) << "\n";
    }

    if (request.gif) {
        output_GIF_Click(model);
    }
    if (request.out_dir) {
        model.export_lists.set_path(QFileInfo(*request.out_dir).absoluteFilePath());
    }
    if (request.basename) {
        model.basename.set_text(*request.basename);
    }
    // One line, rewritten with a carriage return, and wiped before anything else is printed.
    int progress_width = 0;
    ExportProgress progress;
    if (request.show_progress) {
        progress = [&](int done, int total) {
            const QString line = QStringLiteral("step %1/%2").arg(done).arg(total);
            progress_width = static_cast<int>(line.size());
            err << '\r' << line;
            err.flush();
        };
    }
    const auto exported = bt_exec_Click(model, progress);
    if (progress_width > 0) {
        err << '\r' << QString(progress_width, QLatin1Char(' ')) << '\r';
        err.flush();
    }
    if (!exported) {
        err << "koma: cannot export: " << one_line(exported.error()) << "\n";
        return kExitOutputFailed;
    }
    if (exported->files.isEmpty()) {
        err << "koma: nothing to export: the pattern of " << request.state_file << " is empty\n";
    }
    for (const QString& file : exported->files) {
        out << QDir::toNativeSeparators(file) << "\n";
    }
    return report.slot_failures.empty() ? kExitSuccess : kExitSlotsMissing;
}

}  // namespace koma
