#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace koma {

/// What the file system says of a file without reading it: whether it is there, its size, when
/// it was last written (nanoseconds) and which file it is (device and inode). A file written in
/// place gets a new time (and mostly a new size); one replaced by a rename is another inode.
struct FileStamp {
    bool exists = false;
    int64_t size = 0;
    int64_t modified_ns = 0;
    uint64_t device = 0;
    uint64_t inode = 0;

    bool operator==(const FileStamp&) const = default;
};

/// The stamp of the file at `path` (a symbolic link followed); a path that names nothing, or a
/// folder, gives a stamp that does not exist.
FileStamp file_stamp(const QString& path);

/// A digest of the whole content of the file at `path` (SHA-256), to tell whether a small file
/// (a state file) holds other bytes than before; empty when it cannot be read.
QByteArray file_digest(const QString& path);

}  // namespace koma
