#include "import/slot_follower.h"

#include <QFileInfo>
#include <algorithm>

#include "codecs/picture_file_whole.h"
#include "codecs/picture_loader.h"
#include "compose/compose_frame.h"
#include "compose/redraw_after_restore.h"
#include "model/slot_loader.h"

namespace koma {

namespace {

QString file_name(const QString& path) { return QFileInfo(path).fileName(); }

int64_t picture_key(const Surface& surface) { return surface.image().cacheKey(); }

}  // namespace

SlotFollower::SlotFollower(EditingModel& model, FileWatch& watch, Clock clock,
                           DebounceTiming timing, QObject* parent)
    : QObject(parent),
      model_(model),
      watch_(watch),
      clock_(clock ? std::move(clock) : monotonic_clock()),
      debounce_(timing) {
    timer_.setSingleShot(true);
    // A coarse timer may wait a tenth longer than asked.
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &SlotFollower::run_due);
    connect(&watch_, &FileWatch::touched, this, &SlotFollower::file_touched);
    connect(&model_, &EditingModel::changed, this, &SlotFollower::sync);
    sync();
}

QString SlotFollower::followed_path(int slot) const {
    // A plain background is drawn into slot 0; the file it names is not its picture then.
    if (slot == kBackgroundSlot && model_.bg_from_file == 0) {
        return {};
    }
    return model_.slot_files[static_cast<size_t>(slot)];
}

void SlotFollower::sync() {
    const bool following = model_.follow_files;
    if (following != following_) {
        // Switched on, every slot is looked at afresh: an undo made meanwhile may have brought
        // back a picture that is no longer its file's.
        seen_.fill({});
    }
    QStringList paths;
    bool brought_back = false;
    for (int i = 0; i < kSlotCount; ++i) {
        const QString path = followed_path(i);
        if (path.isEmpty()) {
            seen_[i] = {};
            continue;
        }
        if (!paths.contains(path)) paths.append(path);
        const int64_t key = picture_key(model_.pic[static_cast<size_t>(i)]);
        const SlotSeen now{path, key};
        if (seen_[i] == now) continue;
        seen_[i] = now;
        FileRecord& record = files_[path];
        if (key == record.key) continue;
        if (record.older.contains(key)) {
            // An undo or redo brought back a picture from before the file was read again.
            if (following) {
                put_picture(i, record);
                brought_back = true;
            }
            continue;
        }
        // A picture just loaded into the slot (the picker, a drop, a LOAD): the file as it is.
        if (record.key != 0) record.older.insert(record.key);
        record.stamp = file_stamp(path);
        record.picture = model_.pic[static_cast<size_t>(i)];
        record.key = key;
        record.told_missing = false;
    }
    if (following != following_ || paths != watched_) {
        following_ = following;
        watched_ = paths;
        if (following) {
            watch_.watch(paths);
            // Files changed while nobody followed them are read again now.
            const int64_t now = clock_();
            for (const QString& path : paths) {
                if (file_stamp(path) != files_.value(path).stamp) debounce_.touch(path, now);
            }
            debounce_.arm(timer_, clock_());
        } else {
            watch_.watch({});
            debounce_.clear();
            timer_.stop();
        }
    }
    if (brought_back) {
        show_stage();
        // The views may have shown the model before this look at it.
        model_.notify();
    }
}

void SlotFollower::file_touched(const QString& path) {
    if (!following_ || !watched_.contains(path)) return;
    debounce_.touch(path, clock_());
    debounce_.arm(timer_, clock_());
}

void SlotFollower::run_due() {
    const int64_t now = clock_();
    for (const ChangeDebounce::Due& due : debounce_.take_due(now)) {
        const QString& path = due.key;
        if (!following_ || !watched_.contains(path)) continue;
        FileRecord& record = files_[path];
        const FileStamp stamp = file_stamp(path);
        if (!stamp.exists) {
            record.stamp = stamp;
            if (!record.told_missing) {
                record.told_missing = true;
                model_.status.report(
                    tr("「%1」が見つかりません。絵はそのままです").arg(file_name(path)), true);
                model_.notify();
            }
            continue;
        }
        const bool was_missing = record.told_missing;
        record.told_missing = false;
        auto picture = load_picture(path);
        // A file still being written may decode already (a cut JPEG or RLE bitmap does); it is
        // given the same time to be finished as one that does not decode.
        const bool whole = picture && picture_file_looks_whole(path);
        if (!whole && debounce_.retry(due, now)) continue;
        if (!picture) {
            record.stamp = stamp;
            model_.status.report(
                tr("「%1」を読み込めません：%2").arg(file_name(path), picture.error()), true);
            model_.notify();
            continue;
        }
        Surface surface;
        surface.set_picture(*picture);
        take_new_picture(path, surface, stamp, was_missing);
    }
    debounce_.arm(timer_, clock_());
}

void SlotFollower::take_new_picture(const QString& path, const Surface& picture,
                                    const FileStamp& stamp, bool was_missing) {
    FileRecord& record = files_[path];
    record.stamp = stamp;
    const bool same = picture == record.picture;
    if (same && !was_missing) {
        // Saved again as it was: nothing to show.
        return;
    }
    if (!same) {
        if (record.key != 0) record.older.insert(record.key);
        record.picture = picture;
        record.key = picture_key(record.picture);
        for (int i = 0; i < kSlotCount; ++i) {
            if (seen_[i].path == path) put_picture(i, record);
        }
        show_stage();
    }
    model_.status.report(tr("「%1」を読み込み直しました").arg(file_name(path)));
    model_.notify();
}

void SlotFollower::put_picture(int slot, const FileRecord& record) {
    model_.pic[static_cast<size_t>(slot)] = record.picture;
    seen_[slot].key = record.key;
    if (slot == kBackgroundSlot) {
        // As loading the background does; the stage is cleared after the ranges, whose
        // handlers may have drawn on it.
        fit_stage_to_background(model_);
        fit_ranges_to_background(model_);
        model_.win_main.clear();
    }
}

void SlotFollower::show_stage() {
    EditingModel& m = model_;
    const int length =
        static_cast<int>(std::min<qsizetype>(m.pattern_anime.text().size(), kMaxSteps));
    if (m.anim_running != 0 && m.timer1_interval > 0 && m.fine_adjust == 0 && length > 0) {
        // The preview has moved on to the next step already: the step on the stage is the one
        // before it.
        const int16_t next = m.pattern_pos;
        m.pattern_pos = static_cast<int16_t>((next + length - 1) % length);
        ComposeFrame(m, 0);
        m.pattern_pos = next;
        return;
    }
    redraw_after_restore(m);
}

}  // namespace koma
