#include "platform/staged_files.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <atomic>
#include <filesystem>
#include <system_error>

namespace koma {

namespace {

std::atomic<unsigned> temp_counter{0};

std::string native(const QString& path) { return QFile::encodeName(path).toStdString(); }

/// Why the existing file `target` must not be replaced; empty when it may be. Renaming over a
/// file needs only the right to write its folder, so the file's own permissions are checked
/// here: a file this user may not write is refused, and so is a file that nobody may write
/// (made read-only on purpose), which the super-user could otherwise replace like any other.
QString refusal(const QFileInfo& target) {
    if (!target.exists()) return {};
    const QFile::Permissions writable = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    if (!(target.permissions() & writable)) {
        return QStringLiteral("the file is read-only");
    }
    if (!target.isWritable()) {
        return QStringLiteral("no permission to write the file");
    }
    return {};
}

/// Opens a new file of a name nobody uses, beside `target`, ending in `suffix`. Returns an
/// empty name with `why` set when the folder takes no new file.
QString create_beside(const QFileInfo& target, const QString& suffix, QFile& file, QString& why) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        file.setFileName(QStringLiteral("%1/.%2.%3-%4.%5")
                             .arg(target.absolutePath(), target.fileName())
                             .arg(QCoreApplication::applicationPid())
                             .arg(temp_counter.fetch_add(1))
                             .arg(suffix));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            return file.fileName();
        }
        if (!file.exists()) {
            why = file.errorString();  // the folder refuses new files
            return {};
        }
    }
    why = QStringLiteral("no temporary file could be created beside it");
    return {};
}

/// Keeps the content of `target` under a second name beside it, so that it can be put back
/// after the target was replaced: a hard link where the file system has them, else a copy.
QString keep_aside(const QString& target) {
    QFile placeholder;
    QString why;
    QString kept = create_beside(QFileInfo(target), QStringLiteral("kept"), placeholder, why);
    if (kept.isEmpty()) return {};
    placeholder.close();
    placeholder.remove();
    std::error_code error;
    std::filesystem::create_hard_link(native(target), native(kept), error);
    if (!error) return kept;
    return QFile::copy(target, kept) ? kept : QString();
}

}  // namespace

StagedFiles::~StagedFiles() { discard(); }

std::expected<void, QString> StagedFiles::write(const QString& path, const QByteArray& bytes) {
    auto failure = [&](const QString& reason) {
        return std::unexpected(QStringLiteral("%1: %2").arg(path, reason));
    };
    QString target = path;
    const QFileInfo info(path);
    if (info.isSymLink()) {
        target = info.symLinkTarget();
    }
    const QFileInfo target_info(target);
    if (target_info.isDir()) {
        return failure(QStringLiteral("is a folder"));
    }
    if (const QString why = refusal(target_info); !why.isEmpty()) {
        return failure(why);
    }

    QFile temp;
    QString why;
    if (create_beside(target_info, QStringLiteral("tmp"), temp, why).isEmpty()) {
        return failure(why);
    }
    if (temp.write(bytes) != bytes.size() || !temp.flush()) {
        const QString reason = temp.errorString();
        temp.remove();
        return failure(reason);
    }
    temp.close();
    if (target_info.exists()) {
        temp.setPermissions(QFile::permissions(target));
    }
    const auto same = std::find_if(entries_.begin(), entries_.end(),
                                   [&](const Entry& entry) { return entry.target == target; });
    if (same != entries_.end()) {
        QFile::remove(same->temp);
        same->temp = temp.fileName();
    } else {
        entries_.push_back({temp.fileName(), target});
    }
    return {};
}

std::expected<void, QString> StagedFiles::commit() {
    struct Placed {
        QString target;
        QString kept;  ///< the earlier content, empty for a file that is new
    };
    std::vector<Placed> placed;
    QString failed;
    for (size_t i = 0; i < entries_.size() && failed.isEmpty(); ++i) {
        const Entry& entry = entries_[i];
        // Should a later rename fail, this one is taken back; the last needs nothing kept, as a
        // failed rename leaves its target alone.
        QString kept;
        const bool last = i + 1 == entries_.size();
        if (!last && QFileInfo::exists(entry.target)) {
            kept = keep_aside(entry.target);
            if (kept.isEmpty()) {
                failed = QStringLiteral("%1: its content could not be kept for taking it back")
                             .arg(entry.target);
                break;
            }
        }
        std::error_code error;
        std::filesystem::rename(native(entry.temp), native(entry.target), error);
        if (error) {
            if (!kept.isEmpty()) QFile::remove(kept);
            failed =
                QStringLiteral("%1: %2").arg(entry.target, QString::fromStdString(error.message()));
            break;
        }
        placed.push_back({entry.target, kept});
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

void StagedFiles::discard() {
    for (const Entry& entry : entries_) {
        QFile::remove(entry.temp);
    }
    entries_.clear();
}

}  // namespace koma
