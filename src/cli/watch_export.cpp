#include "cli/watch_export.h"

#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QTime>
#include <QTimer>
#include <algorithm>
#include <optional>

#include "cli/command_line.h"
#include "cli/export_threads.h"
#include "cli/stop_signals.h"
#include "model/change_debounce.h"
#include "platform/file_stamp.h"
#include "platform/system_file_watch.h"

namespace koma {

namespace {

/// The line that tells of one export.
QString export_line(const QString& state_file, const ThreadedExport& outcome) {
    const QString time = QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
    const QString seconds =
        QString::number(static_cast<double>(outcome.elapsed_ms) / 1000.0, 'f', 2);
    if (outcome.code == kExitSuccess || outcome.code == kExitSlotsMissing) {
        return QStringLiteral("%1 %2: %3 %4 written in %5 s")
            .arg(time, state_file)
            .arg(outcome.files.size())
            .arg(outcome.files.size() == 1 ? QStringLiteral("file") : QStringLiteral("files"))
            .arg(seconds);
    }
    return QStringLiteral("%1 %2: not exported (%3 s)").arg(time, state_file, seconds);
}

}  // namespace

int run_watch_export(const ExportRequest& request, QTextStream& out, QTextStream& err) {
    const QStringList& state_files = request.state_files;
    for (const QString& state_file : state_files) {
        const QFileInfo state(state_file);
        if (!state.isFile()) {
            err << "koma: cannot read " << state_file << ": "
                << (state.exists() ? "not a file" : "no such file") << "\n";
            return kExitStateUnread;
        }
    }

    StopSignals stop;
    SystemFileWatch watch;
    ChangeDebounce debounce;
    const DebounceClock clock = monotonic_clock();
    // The files each state file's export reads, absolute.
    std::vector<QStringList> inputs;
    for (const QString& state_file : state_files) {
        inputs.push_back({QFileInfo(state_file).absoluteFilePath()});
    }

    const auto watch_inputs = [&] {
        QStringList all;
        for (const QStringList& read : inputs) {
            for (const QString& path : read) {
                if (!all.contains(path)) all << path;
            }
        }
        watch.watch(all);
        return all;
    };
    const auto export_now = [&](const QStringList& files,
                                const std::vector<ChangeDebounce::Due>& due) {
        const int64_t now = clock();
        // What changes while the exports read their files is told and exported next; a file
        // first named by this export was written during it if its time is not before the start
        // (less the file system clock's coarseness).
        const QStringList known = watch_inputs();
        const int64_t started_ns = (QDateTime::currentMSecsSinceEpoch() - 50) * 1'000'000;
        const auto due_of = [&](const QString& file) -> const ChangeDebounce::Due* {
            const auto found =
                std::find_if(due.begin(), due.end(), [&](const auto& d) { return d.key == file; });
            return found != due.end() ? &*found : nullptr;
        };
        ExportEachOptions options;
        options.label_lines = state_files.size() > 1;
        options.list_files = false;
        options.cancelled = &StopSignals::requested;
        // Called from the export threads: reads only what stays as it is while they run.
        options.may_wait = [&](const QString& file) {
            const ChangeDebounce::Due* d = due_of(file);
            return d != nullptr && now - d->last_change_ms < debounce.timing().give_up_ms;
        };
        const std::vector<ThreadedExport> outcomes = export_each(request, files, out, err, options);
        for (qsizetype i = 0; i < files.size(); ++i) {
            const ThreadedExport& outcome = outcomes[static_cast<size_t>(i)];
            const qsizetype index = state_files.indexOf(files[i]);
            if (outcome.waiting) {
                debounce.retry(*due_of(files[i]), now);
                continue;
            }
            if (StopSignals::requested()) continue;
            out << export_line(files[i], outcome) << "\n";
            QStringList& read = inputs[static_cast<size_t>(index)];
            if (!outcome.inputs.isEmpty()) read = outcome.inputs;
            for (const QString& written : outcome.files) {
                const QString clean = QDir::cleanPath(QFileInfo(written).absoluteFilePath());
                if (read.removeAll(clean) > 0) {
                    err << "koma: " << files[i] << ": warning: the export writes over "
                        << QDir::toNativeSeparators(clean)
                        << ", which it reads; it is not watched\n";
                }
            }
        }
        out.flush();
        err.flush();
        for (const QString& path : watch_inputs()) {
            if (!known.contains(path) && file_stamp(path).modified_ns >= started_ns) {
                emit watch.touched(path);
            }
        }
    };

    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    const auto schedule = [&] { debounce.arm(timer, clock()); };
    QObject::connect(&watch, &FileWatch::touched, &loop, [&](const QString& path) {
        const int64_t now = clock();
        for (size_t i = 0; i < inputs.size(); ++i) {
            if (inputs[i].contains(path))
                debounce.touch(state_files[static_cast<qsizetype>(i)], now);
        }
        schedule();
    });
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        const std::vector<ChangeDebounce::Due> due = debounce.take_due(clock());
        QStringList files;
        for (const ChangeDebounce::Due& d : due) files << d.key;
        if (!files.isEmpty()) export_now(files, due);
        schedule();
    });
    QObject::connect(&stop, &StopSignals::stopped, &loop, &QEventLoop::quit);

    export_now(state_files, {});
    if (!StopSignals::requested()) {
        loop.exec();
    }
    return kExitSuccess;
}

}  // namespace koma
