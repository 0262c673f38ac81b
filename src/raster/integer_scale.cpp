#include "raster/integer_scale.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace koma {

namespace {

// One source row widened `Scale` times: a constant scale lets the compiler unroll the copies.
template <typename Pixel, int Scale>
void widen_row(const Pixel* source, int width, Pixel* dest) {
    for (int x = 0; x < width; ++x) {
        const Pixel value = source[x];
        for (int k = 0; k < Scale; ++k) dest[k] = value;
        dest += Scale;
    }
}

template <typename Pixel>
void widen_row(const Pixel* source, int width, int scale, Pixel* dest) {
    switch (scale) {
        case 1:
            std::memcpy(dest, source, static_cast<size_t>(width) * sizeof(Pixel));
            return;
        case 2:
            widen_row<Pixel, 2>(source, width, dest);
            return;
        case 3:
            widen_row<Pixel, 3>(source, width, dest);
            return;
        case 4:
            widen_row<Pixel, 4>(source, width, dest);
            return;
        case 5:
            widen_row<Pixel, 5>(source, width, dest);
            return;
        case 6:
            widen_row<Pixel, 6>(source, width, dest);
            return;
        case 7:
            widen_row<Pixel, 7>(source, width, dest);
            return;
        default:
            widen_row<Pixel, 8>(source, width, dest);
            return;
    }
}

template <typename Pixel>
void scale_pixels(const Pixel* source, qsizetype source_stride, int width, int height, int scale,
                  Pixel* dest, qsizetype dest_stride) {
    Q_ASSERT(scale >= 1 && scale <= kMaxScale);
    const auto* in = reinterpret_cast<const uchar*>(source);
    auto* out = reinterpret_cast<uchar*>(dest);
    const size_t row_bytes = static_cast<size_t>(width) * scale * sizeof(Pixel);
    for (int y = 0; y < height; ++y) {
        // The first of the row's `scale` rows is widened, the others are copies of it.
        uchar* first = out + y * scale * dest_stride;
        widen_row(reinterpret_cast<const Pixel*>(in + y * source_stride), width, scale,
                  reinterpret_cast<Pixel*>(first));
        for (int k = 1; k < scale; ++k) std::memcpy(first + k * dest_stride, first, row_bytes);
    }
}

}  // namespace

void scale_pixels_32(const uint32_t* source, qsizetype source_stride, int width, int height,
                     int scale, uint32_t* dest, qsizetype dest_stride) {
    scale_pixels(source, source_stride, width, height, scale, dest, dest_stride);
}

void scale_pixels_8(const uint8_t* source, qsizetype source_stride, int width, int height,
                    int scale, uint8_t* dest, qsizetype dest_stride) {
    scale_pixels(source, source_stride, width, height, scale, dest, dest_stride);
}

QImage scaled_up(const QImage& image, int scale) {
    if (image.isNull() || scale < 1 || scale > kMaxScale) return {};
    if (scale == 1) return image;
    int bytes = 0;
    switch (image.format()) {
        case QImage::Format_RGB32:
        case QImage::Format_ARGB32:
        case QImage::Format_ARGB32_Premultiplied:
            bytes = 4;
            break;
        case QImage::Format_Indexed8:
        case QImage::Format_Grayscale8:
        case QImage::Format_Alpha8:
            bytes = 1;
            break;
        default:
            return {};
    }
    const qint64 width = qint64{image.width()} * scale;
    const qint64 height = qint64{image.height()} * scale;
    if (width * bytes > std::numeric_limits<int>::max() ||
        height > std::numeric_limits<int>::max()) {
        return {};
    }
    QImage out(static_cast<int>(width), static_cast<int>(height), image.format());
    if (out.isNull()) return {};
    if (bytes == 4) {
        scale_pixels_32(reinterpret_cast<const uint32_t*>(image.constBits()), image.bytesPerLine(),
                        image.width(), image.height(), scale,
                        reinterpret_cast<uint32_t*>(out.bits()), out.bytesPerLine());
    } else {
        scale_pixels_8(image.constBits(), image.bytesPerLine(), image.width(), image.height(),
                       scale, out.bits(), out.bytesPerLine());
        out.setColorTable(image.colorTable());
    }
    return out;
}

}  // namespace koma
