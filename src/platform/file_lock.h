#pragma once

#include <QString>
#include <optional>

namespace koma {

/// An advisory lock (flock) on a file, held while the object lives. The kernel drops it when the
/// process ends in any way, a kill included, so a lock that can be taken belongs to no running
/// process, whatever process id that process had.
class FileLock {
  public:
    /// Takes the lock on the file at `path` without waiting, creating the file when it is
    /// missing. Nothing when the file cannot be opened or another open file holds the lock
    /// (in this process or another). A lock file is to be removed only by whoever holds its
    /// lock; a lock taken on a file that was removed meanwhile is let go and taken again on the
    /// file now at `path`.
    static std::optional<FileLock> try_take(const QString& path);

    FileLock(FileLock&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock();

  private:
    explicit FileLock(int fd) : fd_(fd) {}
    int fd_ = -1;
};

}  // namespace koma
