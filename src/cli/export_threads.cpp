#include "cli/export_threads.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSet>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "cli/command_line.h"
#include "export/frame_export.h"
#include "model/editing_model.h"

namespace koma {

namespace {

/// The files an export writes.
struct OutputKey {
    QSet<QString> files;

    bool overlaps(const OutputKey& other) const { return files.intersects(other.files); }
};

/// The files the export of `model` will write, by the names the export gives them.
OutputKey planned_files(const EditingModel& model) {
    const QString folder = QDir::cleanPath(QFileInfo(model.export_lists.path()).absoluteFilePath());
    const QString& base = model.basename.text();
    const int steps =
        static_cast<int>(std::min<qsizetype>(model.pattern_anime.text().size(), kMaxSteps));
    OutputKey key;
    if (steps == 0) return key;
    switch (format_in_force(model)) {
        case OutputFormat::Gif:
            key.files.insert(gif_file_name(folder, base));
            break;
        case OutputFormat::Apng:
            key.files.insert(apng_file_name(folder, base));
            break;
        case OutputFormat::Webp:
            key.files.insert(webp_file_name(folder, base));
            break;
        case OutputFormat::Avif:
            key.files.insert(avif_file_name(folder, base));
            break;
        case OutputFormat::Mp4:
        case OutputFormat::Webm:
            key.files.insert(video_file_name(folder, base, format_in_force(model)));
            break;
        case OutputFormat::Sheet:
            key.files.insert(sheet_file_name(folder, base));
            key.files.insert(sheet_data_file_name(folder, base));
            break;
        case OutputFormat::Png:
            for (int i = 0; i < steps; ++i) key.files.insert(png_file_name(folder, base, i));
            break;
        case OutputFormat::Bmp:
            for (int i = 0; i < steps; ++i) key.files.insert(bmp_file_name(folder, base, i));
            break;
    }
    return key;
}

/// What the exports of one export_each share: which of them may write when, and what each
/// came to, for the thread that prints.
class Exports {
  public:
    explicit Exports(size_t count) : keys_(count), results_(count) {}

    /// Export `index`, about to write `key`, waits until every earlier export that writes the
    /// same files, or has not yet said what it writes, is done. Returns the last earlier one
    /// that writes the same files, or -1.
    int wait_turn(size_t index, const OutputKey& key) {
        std::unique_lock lock(mutex_);
        keys_[index] = key;
        changed_.notify_all();
        int after = -1;
        changed_.wait(lock, [&] {
            after = -1;
            for (size_t j = 0; j < index; ++j) {
                if (results_[j]) continue;
                if (!keys_[j] || keys_[j]->overlaps(key)) return false;
            }
            for (size_t j = 0; j < index; ++j) {
                if (keys_[j] && keys_[j]->overlaps(key)) after = static_cast<int>(j);
            }
            return true;
        });
        return after;
    }

    struct Result {
        ThreadedExport outcome;
        QString out;
        QString err;
    };

    void finish(size_t index, Result result) {
        std::lock_guard lock(mutex_);
        results_[index] = std::move(result);
        changed_.notify_all();
    }

    /// Waits for export `index` to be done and takes what it came to.
    Result take(size_t index) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return results_[index].has_value(); });
        return *results_[index];
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::optional<OutputKey>> keys_;
    std::vector<std::optional<Result>> results_;
};

void export_one(const ExportRequest& request, const QStringList& state_files, size_t index,
                const ExportEachOptions& options, Exports& exports) {
    const QString& state_file = state_files[static_cast<qsizetype>(index)];
    QElapsedTimer timer;
    timer.start();
    Exports::Result result;
    {
        QTextStream out(&result.out);
        QTextStream err(&result.err);
        const ExportLines lines{out, err, options.label_lines ? state_file : QString()};
        const auto wait = [&] { return options.may_wait && options.may_wait(state_file); };
        auto loaded = load_for_export(request, state_file, lines);
        if (!loaded) {
            result.outcome.code = loaded.error();
            result.outcome.waiting = wait();
        } else if (read_incomplete(*loaded) && wait()) {
            result.outcome.waiting = true;
            result.outcome.inputs = loaded->inputs;
        } else {
            result.outcome.inputs = loaded->inputs;
            const EditingModel& model = *loaded->model;
            // Only exports that write the same file are kept apart, so that the last one
            // given writes it last, as exporting them one by one would.
            const int after = exports.wait_turn(index, planned_files(model));
            if (after >= 0) {
                err << "koma: " << state_file << ": warning: writes the same files as "
                    << state_files[after] << ", after it\n";
            }
            const ExportDone done = export_loaded(*loaded, request, state_file, lines,
                                                  options.cancelled, options.list_files);
            result.outcome.code = done.code;
            result.outcome.files = done.files;
        }
        // The model goes in the thread that made it.
        loaded = std::unexpected(0);
    }
    if (result.outcome.waiting) {
        result.out.clear();
        result.err.clear();
    }
    result.outcome.elapsed_ms = timer.elapsed();
    exports.finish(index, std::move(result));
}

}  // namespace

std::vector<ThreadedExport> export_each(const ExportRequest& request,
                                        const QStringList& state_files, QTextStream& out,
                                        QTextStream& err, const ExportEachOptions& options) {
    const size_t count = static_cast<size_t>(state_files.size());
    Exports exports(count);
    std::atomic<size_t> next{0};
    // Exports are taken in order, so every export an export waits for has begun: the first
    // one not done never waits.
    const auto work = [&] {
        for (size_t i = next++; i < count; i = next++) {
            export_one(request, state_files, i, options, exports);
        }
    };
    const size_t threads =
        std::min<size_t>(count, static_cast<size_t>(std::max(1, QThread::idealThreadCount())));
    std::vector<std::thread> workers;
    if (threads > 1) {
        for (size_t t = 0; t < threads; ++t) workers.emplace_back(work);
    } else {
        work();
    }
    std::vector<ThreadedExport> outcomes;
    outcomes.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        Exports::Result result = exports.take(i);
        out << result.out;
        err << result.err;
        out.flush();
        err.flush();
        outcomes.push_back(std::move(result.outcome));
    }
    for (std::thread& worker : workers) worker.join();
    return outcomes;
}

int export_in_threads(const ExportRequest& request, QTextStream& out, QTextStream& err) {
    int worst = kExitSuccess;
    for (const ThreadedExport& outcome : export_each(request, request.state_files, out, err, {})) {
        worst = worse_status(worst, outcome.code);
    }
    return worst;
}

}  // namespace koma
