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
