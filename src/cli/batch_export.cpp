#include "cli/batch_export.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "cli/command_line.h"
#include "cli/english_messages.h"
#include "compose/startup.h"
#include "export/frame_export.h"
#include "export/output_format.h"
#include "model/editing_model.h"
#include "state/load_save.h"

namespace koma {

namespace {

/// A message on one line: line breaks inside it become "; ".
QString one_line(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("; "));
    text.replace(QLatin1Char('\n'), QLatin1String("; "));
    return text;
}

/// The format named on the command line, in any letter case.
std::optional<OutputFormat> format_named(const QString& name) {
    const QString lower = name.toLower();
    if (lower == QLatin1String("bmp")) return OutputFormat::Bmp;
    if (lower == QLatin1String("gif")) return OutputFormat::Gif;
    if (lower == QLatin1String("png")) return OutputFormat::Png;
    if (lower == QLatin1String("apng")) return OutputFormat::Apng;
    if (lower == QLatin1String("webp")) return OutputFormat::Webp;
    return std::nullopt;
}

/// The direction named on the command line, in any letter case.
std::optional<PlayDirection> direction_named(const QString& name) {
    const QString lower = name.toLower();
    if (lower == QLatin1String("forward")) return PlayDirection::Forward;
    if (lower == QLatin1String("pingpong")) return PlayDirection::PingPong;
    return std::nullopt;
}

/// The options that take a value.
bool takes_value(const QString& option) {
    for (const char* known :
         {"--format", "--frame-ms", "--loop", "--out", "--basename", "--direction", "--effort"}) {
        if (option == QLatin1String(known)) return true;
    }
    return false;
}

/// A whole decimal number within low..high, or a one-line message.
std::expected<int, QString> number_in_range(const QString& option, const QString& value, int low,
                                            int high, const char* unit) {
    bool ok = false;
    const qlonglong number = value.toLongLong(&ok);
    const bool digits = !value.isEmpty() && std::all_of(value.begin(), value.end(), [](QChar c) {
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    });
    if (!ok || !digits || number < low || number > high) {
        return std::unexpected(
            QStringLiteral("%1 must be a whole number from %2 to %3%4, not \"%5\"")
                .arg(option)
                .arg(low)
                .arg(high)
                .arg(QString::fromLatin1(unit))
                .arg(value));
    }
    return static_cast<int>(number);
}

}  // namespace

std::expected<ExportRequest, QString> parse_export_arguments(const QStringList& arguments) {
    ExportRequest request;
    bool have_state = false;
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
        if (argument == QLatin1String("--transparent")) {
            if (request.transparent) {
                return std::unexpected(QStringLiteral("--transparent given twice"));
            }
            request.transparent = true;
            continue;
        }
        if (argument.startsWith(QLatin1String("--transparent="))) {
            return std::unexpected(QStringLiteral("--transparent takes no value"));
        }
        QString value;
        const qsizetype equals = argument.indexOf(QLatin1Char('='));
        if (equals >= 0) {
            value = argument.mid(equals + 1);
            argument.truncate(equals);
        }
        if (!takes_value(argument)) {
            return std::unexpected(QStringLiteral("unknown option %1").arg(argument));
        }
        if (equals < 0) {
            if (i + 1 == arguments.size()) {
                return std::unexpected(QStringLiteral("%1 needs a value").arg(argument));
            }
            value = arguments[++i];
        }
        if (argument == QLatin1String("--format")) {
            if (request.format) return std::unexpected(QStringLiteral("--format given twice"));
            request.format = format_named(value);
            if (!request.format) {
                return std::unexpected(
                    QStringLiteral("--format must be bmp, gif, png, apng or webp, not \"%1\"")
                        .arg(value));
            }
        } else if (argument == QLatin1String("--frame-ms")) {
            if (request.frame_ms) return std::unexpected(QStringLiteral("--frame-ms given twice"));
            auto ms = number_in_range(argument, value, kMinFrameMs, kMaxFrameMs, " ms");
            if (!ms) return std::unexpected(ms.error());
            request.frame_ms = *ms;
        } else if (argument == QLatin1String("--loop")) {
            if (request.loop_count) return std::unexpected(QStringLiteral("--loop given twice"));
            auto loops = number_in_range(argument, value, 0, kMaxLoopCount, "");
            if (!loops) return std::unexpected(loops.error());
            request.loop_count = *loops;
        } else if (argument == QLatin1String("--direction")) {
            if (request.direction) {
                return std::unexpected(QStringLiteral("--direction given twice"));
            }
            request.direction = direction_named(value);
            if (!request.direction) {
                return std::unexpected(
                    QStringLiteral("--direction must be forward or pingpong, not \"%1\"")
                        .arg(value));
            }
        } else if (argument == QLatin1String("--effort")) {
            if (request.effort) return std::unexpected(QStringLiteral("--effort given twice"));
            // In any letter case, as the format and the direction.
            if (value.compare(QLatin1String("default"), Qt::CaseInsensitive) == 0) {
                request.effort = CodingEffort::Default;
            } else if (value.compare(QLatin1String("max"), Qt::CaseInsensitive) == 0) {
                request.effort = CodingEffort::Max;
            } else {
                return std::unexpected(
                    QStringLiteral("--effort must be default or max, not \"%1\"").arg(value));
            }
        } else if (argument == QLatin1String("--out")) {
            if (request.out_dir) return std::unexpected(QStringLiteral("--out given twice"));
            if (value.isEmpty()) return std::unexpected(QStringLiteral("--out needs a folder"));
            request.out_dir = value;
        } else if (argument == QLatin1String("--basename")) {
            if (request.basename) {
                return std::unexpected(QStringLiteral("--basename given twice"));
            }
            request.basename = value;
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
    EditingModel model(QDir::currentPath());
    Form1_Load(model);
    model.work_path = state.absoluteFilePath();
    model.state_mode = 1;
    StateReadReport report;
    const auto loaded = load_save(model, &report);
    if (!loaded) {
        err << "koma: cannot read " << request.state_file << ": "
            << one_line(english_message(loaded.error())) << "\n";
        return kExitStateUnread;
    }
    for (const SlotLoadFailure& failure : report.slot_failures) {
        err << "koma: warning: slot " << failure.slot << " (" << english_slot_name(failure.slot)
            << ") not loaded: " << QDir::toNativeSeparators(failure.path) << ": "
            << one_line(english_message(failure.reason)) << "\n";
    }
    if (!report.background_refused.isEmpty()) {
        err << "koma: warning: " << one_line(english_message(report.background_refused)) << "\n";
    }

    if (request.format) {
        // The format buttons and the extra format are one choice, as in the window.
        if (*request.format == OutputFormat::Gif) {
            output_GIF_Click(model);
        } else if (*request.format == OutputFormat::Bmp) {
            output_bmp_Click(model);
        }
        model.export_settings.extra_format = *request.format;
    }
    if (request.frame_ms) model.export_settings.frame_ms = *request.frame_ms;
    if (request.loop_count) model.export_settings.loop_count = *request.loop_count;
    if (request.transparent) model.export_settings.transparent = true;
    if (request.direction) model.project.direction = *request.direction;
    if (request.effort) model.export_settings.effort = *request.effort;
    if (request.out_dir) {
        model.export_lists.set_path(QFileInfo(*request.out_dir).absoluteFilePath());
    } else if (!report.export_folder_missing.isEmpty()) {
        // Where a state file's export folder no longer exists, the command line writes into
        // the current folder, as command-line tools do.
        model.export_lists.set_path(QDir::currentPath());
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
    for (const ExportNotice& notice : exported->notices) {
        err << "koma: note: " << notice_line(notice) << "\n";
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
