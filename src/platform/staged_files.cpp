#include "platform/staged_files.h"

#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>
#include <cerrno>

#include "platform/write_target.h"

namespace koma {

namespace {

/// Keeps the content of `target` under a second name beside it, so that it can be put back
/// after the target was replaced: a hard link where the file system has them, else a copy.
/// Returns an empty name when neither can be made.
QString keep_aside(const QString& target) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString kept = name_beside(target, QStringLiteral("kept"));
        if (::link(QFile::encodeName(target).constData(), QFile::encodeName(kept).constData()) ==
            0) {
            return kept;
        }
        if (errno != EEXIST) break;
    }
    auto resolved = resolve_write_target(target);
    QFile old(target);
    if (!resolved || !old.open(QIODevice::ReadOnly)) return {};
    auto copy = FileBeside::create(*resolved, QStringLiteral("kept"));
    if (!copy || !copy->write(old.readAll())) return {};
    auto released = copy->release();
    return released ? *released : QString();
}

}  // namespace

StagedFiles::~StagedFiles() { discard(); }

void StagedFiles::keep(StagedFile file) {
    const auto same = std::find_if(entries_.begin(), entries_.end(), [&](const StagedFile& entry) {
        return entry.target() == file.target();
    });
    if (same != entries_.end()) {
        *same = std::move(file);  // removes what was staged before
    } else {
        entries_.push_back(std::move(file));
    }
}

std::expected<void, QString> StagedFiles::write(const QString& path, const QByteArray& bytes) {
    auto staged = StagedFile::create(path, bytes);
    if (!staged) return std::unexpected(staged.error());
    keep(std::move(*staged));
    return {};
}

std::expected<QString, QString> StagedFiles::stage(const QString& path) {
    auto staged = StagedFile::create(path);
    if (!staged) return std::unexpected(staged.error());
    const QString temp = staged->temp_path();
    keep(std::move(*staged));
    return temp;
}

void StagedFiles::drop(const QString& path) {
    std::erase_if(entries_, [&](const StagedFile& entry) { return entry.path() == path; });
}

std::expected<void, QString> StagedFiles::commit() {
    // Every file reaches the disk before the first rename, so that the renames follow each
    // other closely and none of them can put a file in place whose data is not there yet.
    for (const StagedFile& entry : entries_) {
        if (auto synced = entry.sync(); !synced) {
            discard();
            return synced;
        }
    }
    struct Placed {
        QString target;
        QString kept;  ///< the earlier content, empty for a file that is new
    };
    std::vector<Placed> placed;
    QString failed;
    for (size_t i = 0; i < entries_.size() && failed.isEmpty(); ++i) {
        StagedFile& entry = entries_[i];
        const QString target = entry.target();
        // Should a later rename fail, this one is taken back; the last needs nothing kept, as a
        // failed rename leaves its target alone.
        QString kept;
        const bool last = i + 1 == entries_.size();
        if (!last && QFileInfo::exists(target)) {
            kept = keep_aside(target);
            if (kept.isEmpty()) {
                failed = QStringLiteral("%1: its content could not be kept for taking it back")
                             .arg(target);
                break;
            }
        }
        if (auto put = entry.place(); !put) {
            if (!kept.isEmpty()) QFile::remove(kept);
            failed = put.error();
            break;
        }
        placed.push_back({target, kept});
    }
    if (failed.isEmpty()) {
        QStringList folders;
        for (const Placed& file : placed) {
            if (!file.kept.isEmpty()) QFile::remove(file.kept);
            const QString folder = QFileInfo(file.target).absolutePath();
            if (!folders.contains(folder)) folders << folder;
        }
        // The files are in place whatever this says: a folder that cannot be synced (some file
        // systems refuse) is no reason to report the export failed.
        for (const QString& folder : folders) (void)sync_folder(folder);
        entries_.clear();
        return {};
    }
    for (auto it = placed.rbegin(); it != placed.rend(); ++it) {
        if (it->kept.isEmpty()) {
            QFile::remove(it->target);
            continue;
        }
        (void)rename_over(it->kept, it->target);
    }
    discard();
    return std::unexpected(failed);
}

void StagedFiles::discard() { entries_.clear(); }

}  // namespace koma
