#include "platform/write_target.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <atomic>
#include <cerrno>
#include <climits>
#include <system_error>
#include <utility>

namespace koma {

namespace {

std::atomic<unsigned> beside_counter{0};

QByteArray native(const QString& path) { return QFile::encodeName(path); }

/// How many links a chain may have before it is taken for a circle, as the kernel counts.
constexpr int kMaxLinks = 40;

/// What a file that is not a regular file is, for the message that refuses it.
QString not_a_file(mode_t mode) {
    if (S_ISDIR(mode)) return QStringLiteral("is a folder");
    if (S_ISCHR(mode) || S_ISBLK(mode)) return QStringLiteral("is a device, not a file");
    if (S_ISFIFO(mode)) return QStringLiteral("is a FIFO (named pipe), not a file");
    if (S_ISSOCK(mode)) return QStringLiteral("is a socket, not a file");
    return QStringLiteral("is not a regular file");
}

/// Closes `fd`, retrying nothing: after EINTR the descriptor is gone on Linux.
int close_fd(int fd) { return ::close(fd); }

}  // namespace

QString name_beside(const QString& file, const QString& suffix) {
    const QFileInfo info(file);
    // 48 characters take at most 192 bytes, which leaves room for the rest within 255.
    constexpr int kNameKept = 48;
    return QStringLiteral("%1/.%2.%3-%4.%5")
        .arg(info.absolutePath(), info.fileName().left(kNameKept))
        .arg(QCoreApplication::applicationPid())
        .arg(beside_counter.fetch_add(1))
        .arg(suffix);
}

QString system_error_text(int error) {
    return QString::fromStdString(std::generic_category().message(error));
}

std::expected<WriteTarget, QString> resolve_write_target(const QString& path) {
    QString file = path;
    struct stat status {};
    for (int links = 0;; ++links) {
        if (::lstat(native(file).constData(), &status) != 0) {
            if (errno == ENOENT) return WriteTarget{file};  // a new file, or a dangling link's
            return std::unexpected(system_error_text(errno));
        }
        if (!S_ISLNK(status.st_mode)) break;
        if (links == kMaxLinks) return std::unexpected(system_error_text(ELOOP));
        QByteArray named(PATH_MAX, '\0');
        const ssize_t length = ::readlink(native(file).constData(), named.data(), named.size());
        if (length < 0) return std::unexpected(system_error_text(errno));
        named.truncate(length);
        const QString next = QFile::decodeName(named);
        // A relative link is read from the folder that holds it.
        file = QDir::isAbsolutePath(next) ? next : QFileInfo(file).dir().filePath(next);
    }
    if (!S_ISREG(status.st_mode)) return std::unexpected(not_a_file(status.st_mode));
    // Renaming over a file needs only the right to write its folder, so the file's own
    // permissions are checked here.
    if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        return std::unexpected(QStringLiteral("the file is read-only"));
    }
    if (::faccessat(AT_FDCWD, native(file).constData(), W_OK, AT_EACCESS) != 0) {
        return std::unexpected(system_error_text(errno));
    }
    return WriteTarget{file, true, status.st_mode & 07777, status.st_uid, status.st_gid};
}

std::expected<FileBeside, QString> FileBeside::create(const WriteTarget& target,
                                                      const QString& suffix) {
    // Created with no more permissions than the target's (the umask may take some away), then
    // given exactly the target's once the owner is right: the content is never more open.
    const mode_t creation = target.exists ? (target.mode & 0777) : 0666;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name = name_beside(target.file, suffix);
        const int fd =
            ::open(native(name).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, creation);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return std::unexpected(system_error_text(errno));
        }
        FileBeside created(fd, name);
        if (target.exists) {
            struct stat status {};
            if (::fstat(fd, &status) == 0 &&
                (status.st_uid != target.owner || status.st_gid != target.group)) {
                // Only the super-user gives a file away; others may still set a group of
                // theirs. Where the system refuses, the file stays this user's.
                if (::fchown(fd, target.owner, target.group) != 0) {
                    (void)::fchown(fd, static_cast<uid_t>(-1), target.group);
                }
            }
            if (::fchmod(fd, target.mode) != 0) {
                return std::unexpected(system_error_text(errno));
            }
        }
        return created;
    }
    return std::unexpected(QStringLiteral("no temporary file could be created beside it"));
}

FileBeside::FileBeside(FileBeside&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::exchange(other.path_, QString())) {}

FileBeside& FileBeside::operator=(FileBeside&& other) noexcept {
    if (this != &other) {
        drop();
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::exchange(other.path_, QString());
    }
    return *this;
}

FileBeside::~FileBeside() { drop(); }

void FileBeside::drop() {
    if (fd_ >= 0) close_fd(fd_);
    fd_ = -1;
    if (!path_.isEmpty()) ::unlink(native(path_).constData());
    path_.clear();
}

std::expected<void, QString> FileBeside::write(const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd_, data, static_cast<size_t>(left));
        if (written < 0) {
            if (errno == EINTR) continue;
            return std::unexpected(system_error_text(errno));
        }
        // A short write is not yet a failure: the next one says why the system stopped.
        data += written;
        left -= written;
    }
    return {};
}

void FileBeside::start_writeback() { (void)::sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE); }

std::expected<QString, QString> FileBeside::release() {
    const int fd = std::exchange(fd_, -1);
    if (close_fd(fd) != 0 && errno != EINTR) {
        const int error = errno;
        drop();
        return std::unexpected(system_error_text(error));
    }
    return std::exchange(path_, QString());
}

std::expected<void, QString> sync_file(const QString& path) {
    // Read-only is enough for fdatasync, and opening so cannot disturb the file.
    const int fd = ::open(native(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::unexpected(system_error_text(errno));
    const bool synced = ::fdatasync(fd) == 0;
    const int error = errno;
    close_fd(fd);
    if (!synced) return std::unexpected(system_error_text(error));
    return {};
}

std::expected<void, QString> sync_folder(const QString& folder) {
    const int fd = ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return std::unexpected(system_error_text(errno));
    const bool synced = ::fsync(fd) == 0;
    const int error = errno;
    close_fd(fd);
    if (!synced) return std::unexpected(system_error_text(error));
    return {};
}

std::expected<void, QString> rename_over(const QString& from, const QString& to) {
    if (::rename(native(from).constData(), native(to).constData()) != 0) {
        return std::unexpected(system_error_text(errno));
    }
    return {};
}

}  // namespace koma
