#pragma once

#include <QSize>
#include <QString>
#include <cstdint>

#include "platform/translatable_text.h"
#include "raster/integer_scale.h"

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

/// The largest scale from 1 to kMaxScale at which an image of width x height pixels, each
/// pixel made a scale x scale block, stays within image_size_allowed; 0 when the image itself
/// does not.
constexpr int largest_scale_allowed(int64_t width, int64_t height) {
    for (int scale = kMaxScale; scale >= 1; --scale) {
        if (image_size_allowed(width * scale, height * scale)) return scale;
    }
    return 0;
}

/// Why a picture file was not loaded, in the words the program shows the user.
namespace load_message {
inline constexpr TranslatableText kCannotOpen{
    "PictureLoad", QT_TRANSLATE_NOOP("PictureLoad", "ファイルを開けません")};
inline constexpr TranslatableText kCannotDecode{
    "PictureLoad", QT_TRANSLATE_NOOP("PictureLoad", "画像として読み取れません")};
inline constexpr TranslatableText kTooLarge{
    "PictureLoad",
    QT_TRANSLATE_NOOP("PictureLoad", "画像が大きすぎます（一辺 16384 ピクセル、256 MiB まで）")};
inline constexpr TranslatableText kEmpty{"PictureLoad",
                                         QT_TRANSLATE_NOOP("PictureLoad", "画像の大きさが 0 です")};
inline constexpr TranslatableText kNotPng{
    "PictureLoad", QT_TRANSLATE_NOOP("PictureLoad", "PNG ファイルではありません")};
inline constexpr TranslatableText kOtherFormat{
    "PictureLoad",
    QT_TRANSLATE_NOOP("PictureLoad",
                      "%1 の画像は読み込めません（読み込めるのは PNG、BMP、JPEG です）")};
}  // namespace load_message

}  // namespace koma
