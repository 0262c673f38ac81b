#pragma once

#include <QByteArray>
#include <QString>
#include <expected>

namespace koma {

/// Writes `bytes` as the whole content of the file at `path`, replacing any file of that name
/// (through a symbolic link, the file it points to). The bytes go to a new file beside it,
/// which is then renamed over the old one in one step: whatever fails, the old file is either
/// left whole or fully replaced, never half written. A replaced file keeps its permissions; a
/// new one gets the usual ones for new files. The data is not forced to disk (no fsync): an
/// export of 91 files would otherwise spend most of its time waiting for the disk.
/// An existing file that this user may not write, or that has no write permission for anyone
/// (also when the super-user runs the program), is refused and left as it was.
/// Fails with a message naming `path` and the reason; no temporary file is left behind.
std::expected<void, QString> replace_file_contents(const QString& path, const QByteArray& bytes);

}  // namespace koma
