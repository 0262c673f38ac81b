#include "platform/replace_file.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <atomic>
#include <filesystem>
#include <system_error>

namespace koma {

namespace {

std::atomic<unsigned> temp_counter{0};

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

}  // namespace

std::expected<void, QString> replace_file_contents(const QString& path, const QByteArray& bytes) {
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
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp.setFileName(QStringLiteral("%1/.%2.%3-%4.tmp")
                             .arg(target_info.absolutePath(), target_info.fileName())
                             .arg(QCoreApplication::applicationPid())
                             .arg(temp_counter.fetch_add(1)));
        if (temp.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            break;
        }
        if (!temp.exists()) {
            return failure(temp.errorString());  // the folder refuses new files
        }
    }
    if (!temp.isOpen()) {
        return failure(QStringLiteral("no temporary file could be created beside it"));
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
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(temp.fileName()).toStdString(),
                            QFile::encodeName(target).toStdString(), error);
    if (error) {
        temp.remove();
        return failure(QString::fromStdString(error.message()));
    }
    return {};
}

}  // namespace koma
