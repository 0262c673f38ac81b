#include "state/state_file_watch.h"

#include <QFileInfo>

#include "compose/pattern_cursor.h"
#include "compose/startup.h"
#include "model/edit_history.h"
#include "platform/file_stamp.h"
#include "state/read_state.h"
#include "state/recorded_load_save.h"

namespace koma {

namespace {

QString file_name(const QString& path) { return QFileInfo(path).fileName(); }

QString one_line(QString text) {
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

}  // namespace

StateFileWatch::StateFileWatch(EditingModel& model, FileWatch& watch, Clock clock,
                               DebounceTiming timing, QObject* parent)
    : QObject(parent),
      model_(model),
      watch_(watch),
      clock_(clock ? std::move(clock) : monotonic_clock()),
      debounce_(timing) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &StateFileWatch::run_due);
    connect(&watch_, &FileWatch::touched, this, &StateFileWatch::file_touched);
    connect(&model_, &EditingModel::changed, this, &StateFileWatch::sync);
    if (model_.history != nullptr) {
        connect(model_.history, &EditHistory::saved, this, [this] { told_digest_.clear(); });
    }
    sync();
}

void StateFileWatch::sync() {
    const QString path = model_.history != nullptr ? model_.state_file : QString();
    const bool following = model_.follow_files;
    if (path == watched_ && following == following_) {
        return;
    }
    const bool switched_on = following && !following_ && path == watched_;
    following_ = following;
    if (path != watched_) {
        watched_ = path;
        debounce_.clear();
        told_digest_.clear();
        told_missing_ = false;
        watch_.watch(path.isEmpty() ? QStringList() : QStringList{path});
    }
    // A file changed while following was off is read now, if nothing unsaved stands in the way.
    if (switched_on && model_.history->changed_on_disk()) {
        file_touched(path);
    }
}

void StateFileWatch::file_touched(const QString& path) {
    if (path.isEmpty() || path != watched_) return;
    debounce_.touch(path, clock_());
    debounce_.arm(timer_, clock_());
}

void StateFileWatch::run_due() {
    const int64_t now = clock_();
    for (const ChangeDebounce::Due& due : debounce_.take_due(now)) {
        EditHistory* history = model_.history;
        const QString& path = due.key;
        if (history == nullptr || path != model_.state_file) continue;
        if (!QFileInfo(path).isFile()) {
            if (!told_missing_) {
                told_missing_ = true;
                model_.status.report(tr("「%1」が見つかりません").arg(file_name(path)), true);
                model_.notify();
            }
            continue;
        }
        told_missing_ = false;
        // Our own save, or the same bytes written again: nothing changed.
        if (!history->changed_on_disk()) continue;
        if (history->is_clean() && model_.follow_files) {
            QString why;
            if (reads_whole(path, why)) {
                read_again(path);
            } else if (!debounce_.retry(due, now)) {
                model_.status.report(
                    tr("「%1」を読み込めません：%2").arg(file_name(path), one_line(why)), true);
                model_.notify();
            }
            continue;
        }
        const QByteArray digest = file_digest(path);
        if (digest == told_digest_) continue;
        told_digest_ = digest;
        model_.status.report(tr("「%1」がほかで変更されました").arg(file_name(path)), true);
        model_.notify();
    }
    debounce_.arm(timer_, clock_());
}

bool StateFileWatch::reads_whole(const QString& path, QString& why) const {
    // Read on a model of its own first: a file read half would leave the project half replaced.
    EditingModel trial(model_.program_folder());
    trial.set_start_folder(model_.start_folder());
    Form1_Load(trial);
    const auto read = read_state(trial, path);
    if (!read) {
        why = read.error();
        return false;
    }
    return true;
}

void StateFileWatch::read_again(const QString& path) {
    // As LOAD: fine adjustment is left first, as the state window's creation leaves it.
    leave_fine_adjust(model_);
    model_.work_path = path;
    model_.state_mode = 1;
    StateReadReport report;
    const auto read = recorded_load_save(model_, &report);
    const QString message =
        state_read_message(read ? StateOutcome(report) : std::unexpected(read.error()));
    if (message.isEmpty()) {
        model_.status.report(tr("「%1」を読み込み直しました").arg(file_name(path)));
    } else {
        model_.status.report(one_line(message), true);
    }
    model_.notify();
}

}  // namespace koma
