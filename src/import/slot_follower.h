#pragma once

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>
#include <array>
#include <cstdint>
#include <functional>

#include "model/change_debounce.h"
#include "model/editing_model.h"
#include "platform/file_stamp.h"
#include "platform/file_watch.h"

namespace koma {

/// Slots that follow their files. While `model.follow_files` is on, the file of every filled
/// slot is watched (slot 0 only while the background comes from its file), and when another
/// program changes it, the slot takes the file's new picture as the picker would load it (the
/// picture loader, which tells the format by content), slot 0 with the stage's size and the
/// base-offset ranges fitted to it; the adjust view is left as it is. A file is read once it has
/// had no write for a moment (a burst of writes is one change); one that does not decode yet, or
/// looks cut short (see picture_file_looks_whole), is tried again until it does or two seconds
/// passed since its last write. Where the stage shows a composed step (fine adjustment, the
/// adjust view, the preview) it shows the new picture at once; otherwise at its next redraw.
///
/// A file that disappears leaves the slot its last picture, and comes back into it when it is
/// there again; one that no longer decodes leaves the last good picture. The status line says
/// which file was read again, is missing or does not decode, and why.
///
/// A reload is not an edit: it adds no undo step and does not make the project unsaved (a state
/// file holds the paths, not the pixels). Undo and redo put back the slot's file; the picture
/// that comes with it is the newest one read from that file. The follower knows every picture it
/// replaced, so a step from before a reload that brings back an older picture of a file gets the
/// file's newest picture instead; a file changed while nobody followed it (following off, or the
/// slot held another file) is read again once it is followed. A slot loaded from another file
/// follows that file from then on.
class SlotFollower : public QObject {
    Q_OBJECT
  public:
    using Clock = DebounceClock;

    /// Follows the slots of `model` through `watch`; both must outlive the follower. Without a
    /// clock a monotonic one is used. Looks at the model at once and at every change it tells of.
    SlotFollower(EditingModel& model, FileWatch& watch, Clock clock = {},
                 DebounceTiming timing = {}, QObject* parent = nullptr);

    /// Brings the watch up to date with the model: which files the slots hold and whether
    /// following is on. A picture that an undo or redo brought back from before a reload is
    /// replaced by the newest picture of its file.
    void sync();
    /// Reads the files whose changes are due now (the follower's timer runs it; tests that keep
    /// their own clock call it themselves).
    void run_due();

  private:
    /// What the follower knows of one file.
    struct FileRecord {
        FileStamp stamp;      ///< the file when `picture` was read from it
        Surface picture;      ///< the newest picture of the file, shown by the slots that hold it
        int64_t key = 0;      ///< picture's image cacheKey
        QSet<int64_t> older;  ///< pictures of this file replaced since: stale where they come back
        bool told_missing = false;
    };
    /// What a slot held at the last look: the file it follows ("" for none) and its picture.
    struct SlotSeen {
        QString path;
        int64_t key = 0;
        bool operator==(const SlotSeen&) const = default;
    };

    /// The file slot `slot` follows now, "" for none.
    QString followed_path(int slot) const;
    void file_touched(const QString& path);
    /// Gives slot `slot` the newest picture of `record`, with what loading it into the slot
    /// does to the stage and the ranges.
    void put_picture(int slot, const FileRecord& record);
    /// `picture`, read from `path` with the stamp `stamp`, becomes its newest picture and every
    /// slot following it shows it; the status line says so when it differs from the picture
    /// before, or when the file `was_missing`.
    void take_new_picture(const QString& path, const Surface& picture, const FileStamp& stamp,
                          bool was_missing);
    /// Shows the stage again where it shows a composed step.
    void show_stage();

    EditingModel& model_;
    FileWatch& watch_;
    Clock clock_;
    ChangeDebounce debounce_;
    QTimer timer_;
    QHash<QString, FileRecord> files_;
    std::array<SlotSeen, kSlotCount> seen_{};
    /// The files being watched, and whether following was on, at the last look.
    QStringList watched_;
    bool following_ = false;
};

}  // namespace koma
