#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <expected>

namespace koma {

/// The bytes of a 24-bit BMP file of `image` (alpha dropped). Fails with the reason when the
/// image is empty or cannot be coded.
std::expected<QByteArray, QString> encode_bmp(const QImage& image);

/// Writes `image` as a 24-bit BMP file at `path`, replacing any file of that name as
/// replace_file_contents does (a failed write leaves an earlier file intact). Fails with a
/// message naming the file and the reason.
std::expected<void, QString> save_bmp(const QImage& image, const QString& path);

}  // namespace koma
