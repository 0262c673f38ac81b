#pragma once

#include <QByteArray>
#include <QString>
#include <expected>

namespace koma {

/// Replaces the file at `path` with `bytes` without ever leaving a half-written file: the bytes
/// go to a new file in the same folder, which is forced to the disk and then renamed over the
/// file, and the folder is synced after the rename. Through a chain of symbolic links the final
/// file is replaced and the links stay links; the new file keeps the old one's permissions and,
/// where the process may, its owner. Only a regular file is replaced (see resolve_write_target).
/// On any failure the old file, if there was one, is left byte for byte as it was, no temporary
/// file is left, and a message naming the path and the system's reason is returned.
std::expected<void, QString> write_file_atomically(const QString& path, const QByteArray& bytes);

}  // namespace koma
