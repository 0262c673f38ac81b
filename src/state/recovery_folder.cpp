#include "state/recovery_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUuid>
#include <algorithm>

#include "platform/atomic_write.h"

namespace koma {

namespace {

const QString kCopySuffix = QStringLiteral(".recovery");
const QString kLockSuffix = QStringLiteral(".lock");

// The names of the files in `folder` that end in `suffix`, without it.
QStringList names_with(const QString& folder, const QString& suffix) {
    QStringList names;
    const QStringList files =
        QDir(folder).entryList({QLatin1Char('*') + suffix}, QDir::Files | QDir::Hidden);
    for (const QString& file : files) {
        names << file.chopped(suffix.size());
    }
    return names;
}

}  // namespace

QString recovery_folder_path() {
    QString state_home = qEnvironmentVariable("XDG_STATE_HOME");
    if (state_home.isEmpty() || QDir::isRelativePath(state_home)) {
        const QString home = QDir::homePath();
        if (home.isEmpty() || home == QDir::rootPath()) {
            return QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation))
                .filePath(QStringLiteral("recovery"));
        }
        state_home = QDir(home).filePath(QStringLiteral(".local/state"));
    }
    return QDir(state_home).filePath(QStringLiteral("koma/recovery"));
}

RecoveryFolder::RecoveryFolder(QString folder)
    : folder_(std::move(folder)), id_(QUuid::createUuid().toString(QUuid::WithoutBraces)) {}

QString RecoveryFolder::copy_path(const QString& id) const {
    return QDir(folder_).filePath(id + kCopySuffix);
}

QString RecoveryFolder::lock_path(const QString& id) const {
    return QDir(folder_).filePath(id + kLockSuffix);
}

std::expected<void, QString> RecoveryFolder::keep(const QByteArray& bytes) {
    if (!QDir().mkpath(folder_)) {
        return std::unexpected(
            QCoreApplication::translate("RecoveryFolder", "復元用のフォルダ「%1」を作れません")
                .arg(folder_));
    }
    // The lock comes first: from the moment the copy exists it is seen as a running process's.
    if (!own_lock_) {
        own_lock_ = FileLock::try_take(lock_path(id_));
        if (!own_lock_) {
            return std::unexpected(
                QCoreApplication::translate("RecoveryFolder", "復元用のコピーを「%1」に置けません")
                    .arg(folder_));
        }
    }
    auto written = write_file_atomically(copy_path(id_), bytes);
    if (!written) {
        return written;
    }
    prune();
    return {};
}

void RecoveryFolder::drop() {
    if (!own_lock_) {
        return;
    }
    QFile::remove(copy_path(id_));
    QFile::remove(lock_path(id_));
    own_lock_.reset();
}

bool RecoveryFolder::claim(const QString& id) {
    if (id == id_) {
        return false;
    }
    if (claims_.contains(id)) {
        return true;
    }
    auto lock = FileLock::try_take(lock_path(id));
    if (!lock) {
        return false;
    }
    claims_.emplace(id, std::move(*lock));
    return true;
}

void RecoveryFolder::remove_claimed(const QString& id) {
    QFile::remove(copy_path(id));
    // The lock file goes while it is still locked, so no one takes it in between.
    QFile::remove(lock_path(id));
    claims_.erase(id);
}

std::vector<RecoveryCopy> RecoveryFolder::orphans() {
    std::vector<RecoveryCopy> copies;
    const QStringList with_copy = names_with(folder_, kCopySuffix);
    for (const QString& id : with_copy) {
        if (!claim(id)) {
            continue;
        }
        QFile file(copy_path(id));
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        if (bytes.isEmpty()) {
            remove_claimed(id);
            continue;
        }
        copies.push_back({id, bytes, QFileInfo(file).lastModified()});
    }
    // A process that ended between taking its lock and its first write leaves a lock alone.
    for (const QString& id : names_with(folder_, kLockSuffix)) {
        if (!with_copy.contains(id) && claim(id)) {
            remove_claimed(id);
        }
    }
    std::sort(copies.begin(), copies.end(),
              [](const RecoveryCopy& a, const RecoveryCopy& b) { return a.written > b.written; });
    return copies;
}

void RecoveryFolder::discard(const QString& id) {
    if (claim(id)) {
        remove_claimed(id);
    }
}

void RecoveryFolder::prune() {
    struct Entry {
        QString id;
        QDateTime written;
    };
    std::vector<Entry> entries;
    for (const QString& id : names_with(folder_, kCopySuffix)) {
        entries.push_back({id, QFileInfo(copy_path(id)).lastModified()});
    }
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.written < b.written; });
    auto count = static_cast<int>(entries.size());
    for (const Entry& entry : entries) {
        if (count <= kRecoveryLimit) {
            break;
        }
        // This process's copy and those of running processes stay, whatever their age.
        if (claim(entry.id)) {
            remove_claimed(entry.id);
            --count;
        }
    }
}

}  // namespace koma
