#pragma once

#include <QByteArray>
#include <QString>
#include <expected>

namespace koma {

/// Writes `bytes` as the whole content of the file at `path`, replacing any file of that name
/// (through a chain of symbolic links, the final file; the links stay links). The bytes go to a
/// new file beside it, created with the old file's permissions and owner, forced to the disk
/// and then renamed over the old one in one step: whatever fails, the old file is either left
/// whole or fully replaced, never half written. A new file gets the usual permissions for new
/// files. Only a regular file is replaced: a folder, a device, a FIFO or a socket is refused
/// without being opened, and so is an existing file that this user may not write, or that has
/// no write permission for anyone (also when the super-user runs the program).
/// Fails with a message naming `path` and the system's reason; no temporary file is left behind.
std::expected<void, QString> replace_file_contents(const QString& path, const QByteArray& bytes);

}  // namespace koma
