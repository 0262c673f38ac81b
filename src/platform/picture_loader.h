#pragma once

#include <QImage>
#include <QString>
#include <expected>

namespace koma {

/// Loads a picture file (BMP, JPEG, PNG and the other formats Qt reads) as an RGB32 image.
/// On failure returns a message that says why, for the user.
std::expected<QImage, QString> load_picture(const QString& path);

}  // namespace koma
