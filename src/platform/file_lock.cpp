#include "platform/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>

namespace koma {

std::optional<FileLock> FileLock::try_take(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    // Whoever removes a lock file does so while holding its lock. A lock taken on a file that
    // was removed (or replaced) meanwhile locks nothing anyone else can see: open again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        int fd = -1;
        do {
            fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0) {
            return std::nullopt;
        }
        int taken = -1;
        do {
            taken = ::flock(fd, LOCK_EX | LOCK_NB);
        } while (taken != 0 && errno == EINTR);
        if (taken != 0) {
            ::close(fd);
            return std::nullopt;
        }
        struct stat held {};
        struct stat named {};
        if (::fstat(fd, &held) == 0 && ::stat(name.constData(), &named) == 0 &&
            held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
            return FileLock(fd);
        }
        ::close(fd);
    }
    return std::nullopt;
}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

FileLock::~FileLock() {
    if (fd_ >= 0) {
        // Closing the only descriptor of the open file releases its lock.
        ::close(fd_);
    }
}

}  // namespace koma
