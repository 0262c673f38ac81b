#include "platform/file_stamp.h"

#include <sys/stat.h>

#include <QCryptographicHash>
#include <QFile>

namespace koma {

FileStamp file_stamp(const QString& path) {
    struct stat info {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0 ||
        !S_ISREG(info.st_mode)) {
        return {};
    }
    return {true, static_cast<int64_t>(info.st_size),
            static_cast<int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec,
            static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino)};
}

QByteArray file_digest(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file)) {
        return {};
    }
    return hash.result();
}

}  // namespace koma
