#pragma once

#include <QByteArray>
#include <QString>
#include <expected>

namespace koma {

/// Replaces the file at `path` with `bytes` without ever leaving a half-written file: the bytes
/// go to a temporary file in the same folder, which is flushed to the disk and then renamed over
/// `path`. On any failure the old file, if there was one, is left byte for byte as it was, and a
/// message saying what failed is returned.
std::expected<void, QString> write_file_atomically(const QString& path, const QByteArray& bytes);

}  // namespace koma
