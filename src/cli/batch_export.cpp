#include "cli/batch_export.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "cli/command_line.h"
#include "cli/english_messages.h"
#include "cli/export_threads.h"
#include "cli/watch_export.h"
#include "compose/startup.h"
#include "export/frame_export.h"
#include "export/output_format.h"
#include "model/base_name.h"
#include "model/editing_model.h"
#include "state/load_save.h"
#include "state/read_state.h"

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
    if (lower == QLatin1String("avif")) return OutputFormat::Avif;
    if (lower == QLatin1String("mp4")) return OutputFormat::Mp4;
    if (lower == QLatin1String("webm")) return OutputFormat::Webm;
    if (lower == QLatin1String("sheet")) return OutputFormat::Sheet;
    return std::nullopt;
}

/// The name of `format` on the command line.
QString format_name(OutputFormat format) {
    for (const char* name : {"bmp", "gif", "png", "apng", "webp", "avif", "mp4", "webm", "sheet"}) {
        if (format_named(QLatin1String(name)) == format) return QLatin1String(name);
    }
    return {};
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
         {"--format", "--frame-ms", "--loop", "--out", "--basename", "--direction", "--effort",
          "--memory-limit", "--scale", "--sheet-columns", "--quality"}) {
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

/// "koma: " and, with several state files, the one a line is about.
QString prefix(const ExportLines& lines) {
    return lines.label.isEmpty() ? QStringLiteral("koma: ")
                                 : QStringLiteral("koma: %1: ").arg(lines.label);
}

/// Where a slot's file is looked for, for a slot that did not find it: the path as stored (a
/// relative one from the state file's folder) and the same name in the state file's folder.
QStringList places_of(const QString& stored, const QDir& state_folder) {
    const QString resolved = QDir::isRelativePath(stored) ? state_folder.filePath(stored) : stored;
    QStringList places{QDir::cleanPath(resolved)};
    const qsizetype cut =
        std::max(stored.lastIndexOf(QLatin1Char('/')), stored.lastIndexOf(QLatin1Char('\\')));
    const QString name = stored.mid(cut + 1);
    if (!name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")) {
        const QString moved = QDir::cleanPath(state_folder.filePath(name));
        if (!places.contains(moved)) places << moved;
    }
    return places;
}

}  // namespace

std::expected<ExportRequest, QString> parse_export_arguments(const QStringList& arguments) {
    ExportRequest request;
    QStringList seen;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString argument = arguments[i];
        if (!argument.startsWith(QLatin1String("--"))) {
            const QString absolute = QFileInfo(argument).absoluteFilePath();
            if (seen.contains(absolute)) {
                return std::unexpected(
                    QStringLiteral("state file named twice: \"%1\"").arg(argument));
            }
            seen << absolute;
            request.state_files << argument;
            continue;
        }
        if (argument == QLatin1String("--transparent") || argument == QLatin1String("--watch")) {
            bool& flag = argument == QLatin1String("--watch") ? request.watch : request.transparent;
            if (flag) {
                return std::unexpected(QStringLiteral("%1 given twice").arg(argument));
            }
            flag = true;
            continue;
        }
        if (argument.startsWith(QLatin1String("--transparent=")) ||
            argument.startsWith(QLatin1String("--watch="))) {
            return std::unexpected(
                QStringLiteral("%1 takes no value").arg(argument.section(QLatin1Char('='), 0, 0)));
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
                    QStringLiteral("--format must be bmp, gif, png, apng, webp, avif, mp4, webm "
                                   "or sheet, not \"%1\"")
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
        } else if (argument == QLatin1String("--memory-limit")) {
            if (request.memory_limit_mb) {
                return std::unexpected(QStringLiteral("--memory-limit given twice"));
            }
            auto mb = number_in_range(argument, value, kMinMemoryLimitMb, kMaxMemoryLimitMb, " MB");
            if (!mb) return std::unexpected(mb.error());
            request.memory_limit_mb = *mb;
        } else if (argument == QLatin1String("--scale")) {
            if (request.scale) return std::unexpected(QStringLiteral("--scale given twice"));
            auto scale = number_in_range(argument, value, 1, kMaxScale, "");
            if (!scale) return std::unexpected(scale.error());
            request.scale = *scale;
        } else if (argument == QLatin1String("--sheet-columns")) {
            if (request.sheet_columns) {
                return std::unexpected(QStringLiteral("--sheet-columns given twice"));
            }
            // At most the frames a sheet can have: 91 steps there and back.
            auto columns = number_in_range(argument, value, 1, 2 * kMaxSteps - 2, "");
            if (!columns) return std::unexpected(columns.error());
            request.sheet_columns = *columns;
        } else if (argument == QLatin1String("--quality")) {
            if (request.quality) return std::unexpected(QStringLiteral("--quality given twice"));
            auto quality = number_in_range(argument, value, 0, 100, "");
            if (!quality) return std::unexpected(quality.error());
            request.quality = *quality;
        } else if (argument == QLatin1String("--out")) {
            if (request.out_dir) return std::unexpected(QStringLiteral("--out given twice"));
            if (value.isEmpty()) return std::unexpected(QStringLiteral("--out needs a folder"));
            request.out_dir = value;
        } else if (argument == QLatin1String("--basename")) {
            if (request.basename) {
                return std::unexpected(QStringLiteral("--basename given twice"));
            }
            if (const QString fault = base_name_fault(value); !fault.isEmpty()) {
                return std::unexpected(QStringLiteral("--basename: %1").arg(fault));
            }
            request.basename = value;
        }
    }
    if (request.state_files.isEmpty()) {
        return std::unexpected(QStringLiteral("export needs a state file"));
    }
    if (request.basename && request.state_files.size() > 1) {
        return std::unexpected(QStringLiteral("--basename needs exactly one state file"));
    }
    if (request.quality && request.format && *request.format != OutputFormat::Mp4 &&
        *request.format != OutputFormat::Webm) {
        return std::unexpected(
            QStringLiteral("--quality applies to mp4 and webm only; --format %1 is lossless")
                .arg(format_name(*request.format)));
    }
    return request;
}

LoadedExport::LoadedExport() = default;
LoadedExport::~LoadedExport() = default;
LoadedExport::LoadedExport(LoadedExport&&) noexcept = default;
LoadedExport& LoadedExport::operator=(LoadedExport&&) noexcept = default;

std::expected<LoadedExport, int> load_for_export(const ExportRequest& request,
                                                 const QString& state_file,
                                                 const ExportLines& lines, bool quiet) {
    QTextStream& err = lines.err;
    const QFileInfo state(state_file);
    if (!state.isFile()) {
        err << "koma: cannot read " << state_file << ": "
            << (state.exists() ? "not a file" : "no such file") << "\n";
        return std::unexpected(kExitStateUnread);
    }
    LoadedExport loaded;
    loaded.model = std::make_unique<EditingModel>(QDir::currentPath());
    loaded.report = std::make_unique<StateReadReport>();
    EditingModel& model = *loaded.model;
    const StateReadReport& report = *loaded.report;
    Form1_Load(model);
    model.work_path = state.absoluteFilePath();
    model.state_mode = 1;
    const auto read = load_save(model, loaded.report.get());
    if (!read) {
        err << "koma: cannot read " << state_file << ": "
            << one_line(state_unread_reason(read.error(), model.work_path)) << "\n";
        return std::unexpected(kExitStateUnread);
    }
    if (!report.basename_refused.isEmpty()) {
        // A state file whose base name would write outside the export folder is not exported,
        // also when --basename would replace that name: the file is not what it claims to be.
        err << "koma: cannot read " << state_file
            << ": the base name item: " << one_line(report.basename_refused) << "\n";
        return std::unexpected(kExitStateUnread);
    }
    loaded.inputs << state.absoluteFilePath();
    const QDir folder = state.absoluteDir();
    for (int i = 0; i < kSlotCount; ++i) {
        const QString& path = model.slot_files[static_cast<size_t>(i)];
        if (path.isEmpty()) continue;
        const QStringList places = QFileInfo(path).isFile()
                                       ? QStringList{QFileInfo(path).absoluteFilePath()}
                                       : places_of(path, folder);
        for (const QString& place : places) {
            if (!loaded.inputs.contains(place)) loaded.inputs << place;
        }
    }
    if (!quiet) {
        for (const SlotLoadFailure& failure : report.slot_failures) {
            err << prefix(lines) << "warning: slot " << failure.slot << " ("
                << english_slot_name(failure.slot)
                << ") not loaded: " << QDir::toNativeSeparators(failure.path) << ": "
                << one_line(failure.reason) << "\n";
        }
        if (!report.background_refused.isEmpty()) {
            err << prefix(lines) << "warning: " << one_line(report.background_refused) << "\n";
        }
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
    if (request.memory_limit_mb) model.export_settings.memory_limit_mb = *request.memory_limit_mb;
    if (request.scale) model.export_settings.scale = *request.scale;
    if (request.sheet_columns) model.export_settings.sheet_columns = *request.sheet_columns;
    if (request.quality) model.export_settings.video_quality = *request.quality;
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
    return loaded;
}

bool read_incomplete(const LoadedExport& loaded) { return !loaded.report->slot_failures.empty(); }

ExportDone export_loaded(LoadedExport& loaded, const ExportRequest& request,
                         const QString& state_file, const ExportLines& lines,
                         const std::function<bool()>& cancelled, bool list_files) {
    QTextStream& err = lines.err;
    EditingModel& model = *loaded.model;
    // One line, rewritten with a carriage return, and wiped before anything else is printed.
    int progress_width = 0;
    ExportProgress progress;
    if (request.show_progress && lines.label.isEmpty()) {
        progress = [&](int done, int total) {
            const QString line = QStringLiteral("step %1/%2").arg(done).arg(total);
            progress_width = static_cast<int>(line.size());
            err << '\r' << line;
            err.flush();
        };
    }
    const auto exported = bt_exec_Click(model, progress, cancelled);
    if (progress_width > 0) {
        err << '\r' << QString(progress_width, QLatin1Char(' ')) << '\r';
        err.flush();
    }
    if (!exported) {
        err << prefix(lines) << "cannot export: " << one_line(exported.error()) << "\n";
        return {kExitOutputFailed, {}};
    }
    if (exported->cancelled) {
        err << prefix(lines) << "export stopped: nothing was written\n";
        return {kExitOutputFailed, {}};
    }
    for (const ExportNotice& notice : exported->notices) {
        err << prefix(lines) << "note: " << notice_line(notice) << "\n";
    }
    if (exported->files.isEmpty()) {
        err << "koma: nothing to export: the pattern of " << state_file << " is empty\n";
    }
    if (list_files) {
        for (const QString& file : exported->files) {
            if (!lines.label.isEmpty()) lines.out << lines.label << ": ";
            lines.out << QDir::toNativeSeparators(file) << "\n";
        }
    }
    return {read_incomplete(loaded) ? kExitSlotsMissing : kExitSuccess, exported->files};
}

int worse_status(int a, int b) {
    const auto rank = [](int code) {
        switch (code) {
            case kExitSuccess:
                return 0;
            case kExitSlotsMissing:
                return 1;
            case kExitOutputFailed:
                return 2;
            default:
                return 3;
        }
    };
    return rank(b) > rank(a) ? b : a;
}

int run_export_command(const ExportRequest& request, QTextStream& out, QTextStream& err) {
    if (request.watch) {
        return run_watch_export(request, out, err);
    }
    if (request.state_files.size() > 1) {
        return export_in_threads(request, out, err);
    }
    const QString& state_file = request.state_files.front();
    const ExportLines lines{out, err, {}};
    auto loaded = load_for_export(request, state_file, lines);
    if (!loaded) {
        return loaded.error();
    }
    return export_loaded(*loaded, request, state_file, lines).code;
}

}  // namespace koma
