#include "codecs/png/png_decoder.h"

#include <png.h>

#include <QFile>
#include <csetjmp>
#include <vector>

#include "codecs/image_limits.h"
#include "raster/flatten_alpha.h"

namespace koma {

namespace {

// libpng reports errors by longjmp. Every call that can fail runs in a guard function of its own
// whose locals are all trivial, so the jump skips no destructor and no changed local is read
// after it.

void on_error(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void on_warning(png_structp, png_const_charp) {}

void read_from_device(png_structp png, png_bytep data, size_t length) {
    auto* device = static_cast<QIODevice*>(png_get_io_ptr(png));
    if (device->read(reinterpret_cast<char*>(data), static_cast<qint64>(length)) !=
        static_cast<qint64>(length)) {
        png_error(png, "truncated");
    }
}

bool guarded_read_info(png_structp png, png_infop info) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_read_info(png, info);
    return true;
}

// Asks libpng for 8-bit RGBA whatever the file holds: palettes and low bit depths expanded,
// tRNS turned into alpha, 16 bits scaled (rounded) to 8, grey spread to RGB, opaque images
// given an alpha of 255, interlaced passes combined.
bool guarded_request_rgba8(png_structp png, png_infop info) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_set_expand(png);
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    return true;
}

bool guarded_read_image(png_structp png, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_read_image(png, rows);
    png_read_end(png, nullptr);
    return true;
}

struct PngReader {
    png_structp png = nullptr;
    png_infop info = nullptr;
    PngReader() {
        png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, on_error, on_warning);
        if (png != nullptr) {
            info = png_create_info_struct(png);
        }
    }
    ~PngReader() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
    PngReader(const PngReader&) = delete;
    PngReader& operator=(const PngReader&) = delete;
};

// The decoded picture, or a PngDecodeError.
int decode(QIODevice& device, QImage& picture) {
    PngReader reader;
    if (reader.png == nullptr || reader.info == nullptr) {
        return kPngCannotDecode;
    }
    png_set_read_fn(reader.png, &device, read_from_device);
    if (!guarded_read_info(reader.png, reader.info)) {
        return kPngCannotDecode;
    }
    const png_uint_32 width = png_get_image_width(reader.png, reader.info);
    const png_uint_32 height = png_get_image_height(reader.png, reader.info);
    if (!image_size_allowed(width, height)) {
        return kPngTooLarge;
    }
    if (!guarded_request_rgba8(reader.png, reader.info) ||
        png_get_rowbytes(reader.png, reader.info) != size_t{width} * 4) {
        return kPngCannotDecode;
    }
    picture = QImage(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGBA8888);
    if (picture.isNull()) {
        return kPngCannotDecode;
    }
    std::vector<png_bytep> rows(height);
    for (png_uint_32 y = 0; y < height; ++y) {
        rows[y] = picture.scanLine(static_cast<int>(y));
    }
    if (!guarded_read_image(reader.png, rows.data())) {
        return kPngCannotDecode;
    }
    return 0;
}

}  // namespace

int decode_png_into(const QString& path, Surface& target) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return kPngCannotOpen;
    }
    QImage picture;
    const int result = decode(file, picture);
    if (result != 0) {
        return result;
    }
    paint_over_white(target.image(), picture);
    return 0;
}

int decode_png_picture(QIODevice& device, QImage& picture) { return decode(device, picture); }

QString png_decode_message(int result) {
    switch (result) {
        case 0:
            return {};
        case kPngCannotOpen:
            return load_message::kCannotOpen;
        case kPngTooLarge:
            return load_message::kTooLarge;
        default:
            return load_message::kCannotDecode;
    }
}

}  // namespace koma
