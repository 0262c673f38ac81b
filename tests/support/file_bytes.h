#pragma once

#include <QByteArray>
#include <QString>

namespace koma::test {

/// The whole content of the file at `path`; empty when it cannot be read.
QByteArray read_bytes(const QString& path);

/// Makes `bytes` the whole content of the file at `path` (a test failure when it cannot).
void write_bytes(const QString& path, const QByteArray& bytes);

}  // namespace koma::test
