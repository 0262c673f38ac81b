#include "platform/staged_files.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <filesystem>
#include <system_error>

namespace koma {

namespace {

std::string native(const QString& path) { return QFile::encodeName(path).toStdString(); }

/// Keeps the content of `target` under a second name beside it, so that it can be put back
/// after the target was replaced: a hard link where the file system has them, else a copy.
QString keep_aside(const QString& target) {
    const auto kept = create_file_beside(target, QStringLiteral("kept"));
    if (!kept) return {};
    QFile::remove(*kept);
    std::error_code error;
    std::filesystem::create_hard_link(native(target), native(*kept), error);
    if (!error) return *kept;
    return QFile::copy(target, *kept) ? *kept : QString();
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
    auto staged = StagedFile::create(path);
    if (!staged) return std::unexpected(staged.error());
    QFile temp(staged->temp_path());
    if (!temp.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        temp.write(bytes) != bytes.size() || !temp.flush()) {
        return std::unexpected(QStringLiteral("%1: %2").arg(path, temp.errorString()));
    }
    temp.close();
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
        // failed commit leaves its target alone.
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
        if (auto committed = entry.commit(); !committed) {
            if (!kept.isEmpty()) QFile::remove(kept);
            failed = committed.error();
            break;
        }
        placed.push_back({target, kept});
    }
    if (failed.isEmpty()) {
        for (const Placed& file : placed) {
            if (!file.kept.isEmpty()) QFile::remove(file.kept);
        }
        entries_.clear();
        return {};
    }
    for (auto it = placed.rbegin(); it != placed.rend(); ++it) {
        if (it->kept.isEmpty()) {
            QFile::remove(it->target);
            continue;
        }
        std::error_code error;
        std::filesystem::rename(native(it->kept), native(it->target), error);
    }
    discard();
    return std::unexpected(failed);
}

void StagedFiles::discard() { entries_.clear(); }

}  // namespace koma
