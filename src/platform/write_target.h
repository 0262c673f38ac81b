#pragma once

#include <sys/types.h>

#include <QByteArray>
#include <QString>
#include <expected>

namespace koma {

/// The text the system gives for the error number `error` ("No space left on device").
QString system_error_text(int error);

/// The file that writing to a path replaces, found without opening anything there.
struct WriteTarget {
    /// The final file: the path with every symbolic link followed to its end. A dangling link
    /// names the file it points to, which writing creates.
    QString file;
    /// Whether `file` exists; it is a regular file then.
    bool exists = false;
    /// Its permission bits, owner and group, when it exists.
    mode_t mode = 0;
    uid_t owner = 0;
    gid_t group = 0;
};

/// Follows `path` through a chain of symbolic links (relative links from their own folder) to
/// the file it finally names, and checks that this file may be replaced by a new one. Only
/// regular files are: a folder ("is a folder"), a device, a FIFO or a socket is refused, and so
/// are a read-only file (no write permission for anyone, which the super-user could otherwise
/// replace), a file this user may not write and a circle of links. Only lstat, stat and
/// readlink are used: nothing is opened, so a FIFO never blocks. Fails with the reason alone
/// (the caller names the path).
std::expected<WriteTarget, QString> resolve_write_target(const QString& path);

/// A name for a new file beside `file`, ".NAME.PID-N.SUFFIX" in the same folder, with N new at
/// every call. A long NAME is cut short so that the name stays within what a folder takes even
/// where `file`'s own name is near that limit.
QString name_beside(const QString& file, const QString& suffix);

/// A new file beside a WriteTarget, open for writing, that is to be renamed over it. It is
/// created with the target's permissions (and, where the process may, its owner and group)
/// from the start, so the new content is never readable by more users than the old; beside a
/// file that does not exist yet it gets the usual permissions of a new file.
class FileBeside {
  public:
    /// Creates a new file named by name_beside() in the target's folder. Fails with the system's
    /// reason (the folder is missing, not writable, on a read-only file system, full); nothing is
    /// left then.
    static std::expected<FileBeside, QString> create(const WriteTarget& target,
                                                     const QString& suffix);

    FileBeside(FileBeside&& other) noexcept;
    FileBeside& operator=(FileBeside&& other) noexcept;
    FileBeside(const FileBeside&) = delete;
    FileBeside& operator=(const FileBeside&) = delete;
    /// Closes the file and removes it unless release() took it.
    ~FileBeside();

    const QString& path() const { return path_; }

    /// Appends `bytes`, all of them or fails with the system's reason ("No space left on
    /// device"); a short write is retried until the system says why it stops.
    std::expected<void, QString> write(const QByteArray& bytes);

    /// Starts writing the data to the disk without waiting for it, so that the sync_file()
    /// before the rename finds little left to do.
    void start_writeback();

    /// Closes the file and hands it over: the caller renames or removes it from now on. Fails
    /// with the system's reason when closing reports a lost write.
    std::expected<QString, QString> release();

  private:
    FileBeside(int fd, QString path) : fd_(fd), path_(std::move(path)) {}
    void drop();

    int fd_ = -1;
    QString path_;
};

/// Forces the data of the file at `path` to the disk (fdatasync). Fails with the system's reason.
std::expected<void, QString> sync_file(const QString& path);

/// Forces the names in `folder` (renames, new files) to the disk. Fails with the system's reason.
std::expected<void, QString> sync_folder(const QString& folder);

/// Renames `from` over `to` in one step. Fails with the system's reason.
std::expected<void, QString> rename_over(const QString& from, const QString& to);

}  // namespace koma
