#pragma once

#include <QSize>
#include <QString>
#include <cstdint>

namespace koma {

/// The longest side of an image the program accepts, in pixels.
inline constexpr int64_t kMaxImageSide = 16384;
/// The most memory one decoded image may take, at 4 bytes per pixel.
inline constexpr int64_t kMaxImageBytes = int64_t{256} * 1024 * 1024;

/// Whether an image of width x height pixels may be decoded: both sides from 1 to
/// kMaxImageSide and width x height x 4 bytes no more than kMaxImageBytes.
constexpr bool image_size_allowed(int64_t width, int64_t height) {
    return width >= 1 && height >= 1 && width <= kMaxImageSide && height <= kMaxImageSide &&
           width * height * 4 <= kMaxImageBytes;
}

/// Why a picture file was not loaded, in the words the program shows the user.
namespace load_message {
inline const QString kCannotOpen = QStringLiteral("ファイルを開けません");
inline const QString kCannotDecode = QStringLiteral("画像として読み取れません");
inline const QString kTooLarge =
    QStringLiteral("画像が大きすぎます（一辺 16384 ピクセル、256 MiB まで）");
inline const QString kEmpty = QStringLiteral("画像の大きさが 0 です");
inline const QString kNotPng = QStringLiteral("PNG ファイルではありません");
}  // namespace load_message

}  // namespace koma
