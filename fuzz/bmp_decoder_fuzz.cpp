// The BMP decoder on arbitrary bytes: no crash, no leak, no read outside the file, and every
// pixel defined by the file alone. Each accepted file is decoded twice, into targets pre-filled
// with two different markers; any pixel the decoder leaves alone shows up as a difference.
#include <QByteArrayView>
#include <QImage>
#include <cstdlib>
#include <cstring>

#include "codecs/bmp/bmp_decoder.h"

namespace {

// Big pictures are legal but slow the search down; their size checks have tests of their own.
constexpr int64_t kMaxFuzzPixels = int64_t{1} << 16;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView file(data, static_cast<qsizetype>(size));
    const auto header = koma::read_bmp_header(file);
    if (!header) {
        if (header.error().isEmpty()) std::abort();
        return 0;
    }
    if (header->storage == koma::BmpStorage::kPng || header->storage == koma::BmpStorage::kJpeg) {
        if (header->pixel_offset + header->pixel_size > file.size() || header->pixel_size <= 0) {
            std::abort();
        }
        return 0;
    }
    if (int64_t{header->width} * header->height > kMaxFuzzPixels) return 0;
    const auto format = header->has_alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    QImage first(header->width, header->height, format);
    QImage second(header->width, header->height, format);
    first.fill(0x00C0FFEEu);
    second.fill(0x13572468u);
    koma::decode_bmp_pixels(file, *header, first);
    koma::decode_bmp_pixels(file, *header, second);
    const size_t row_bytes = static_cast<size_t>(header->width) * 4;
    for (int y = 0; y < header->height; ++y) {
        if (std::memcmp(first.constScanLine(y), second.constScanLine(y), row_bytes) != 0) {
            std::abort();
        }
    }
    return 0;
}
