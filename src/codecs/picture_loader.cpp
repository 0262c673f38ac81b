#include "codecs/picture_loader.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include "codecs/bmp/bmp_decoder.h"
#include "codecs/image_limits.h"
#include "codecs/jpeg_whole.h"
#include "codecs/png/png_decoder.h"
#include "raster/flatten_alpha.h"

namespace koma {

namespace {

// The largest BMP file worth reading: the pixels of the largest image allowed, run-length
// coded at their worst (two bytes per pixel), and headers. Bytes beyond it are never pixels.
constexpr int64_t kMaxBmpFileBytes = 2 * kMaxImageBytes + 1024 * 1024;

const QByteArray kPngSignature("\x89PNG\r\n\x1a\n", 8);
const QByteArray kJpegSignature("\xff\xd8\xff", 3);

// The largest JPEG file worth reading: far more than the largest image allowed takes in any
// JPEG coding.
constexpr int64_t kMaxJpegFileBytes = kMaxImageBytes;

// A JPEG stream, through Qt's JPEG reader only.
std::expected<QImage, QString> read_jpeg_stream(QIODevice& device) {
    QImageReader reader(&device, "jpeg");
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(true);
    reader.setAllocationLimit(static_cast<int>(2 * kMaxImageBytes / (1024 * 1024)));
    if (!reader.canRead()) {
        return std::unexpected(load_message::kCannotDecode);
    }
    const QSize size = reader.size();
    if (size.isValid()) {
        if (size.isEmpty()) {
            return std::unexpected(load_message::kEmpty);
        }
        if (!image_size_allowed(size.width(), size.height())) {
            return std::unexpected(load_message::kTooLarge);
        }
    }
    const QImage image = reader.read();
    if (image.isNull()) {
        return std::unexpected(load_message::kCannotDecode);
    }
    // Formats that do not tell their size up front are checked once decoded.
    if (!image_size_allowed(image.width(), image.height())) {
        return std::unexpected(load_message::kTooLarge);
    }
    return flatten_over_white(image);
}

std::expected<QImage, QString> read_png(QIODevice& device) {
    QImage picture;
    const int result = decode_png_picture(device, picture);
    if (result != 0) {
        return std::unexpected(png_decode_message(result));
    }
    return flatten_over_white(picture);
}

// A PNG or JPEG stream that a BMP file carries, decoded by that format's own decoder.
std::expected<QImage, QString> read_embedded(QByteArray stream, BmpStorage storage) {
    const bool png = storage == BmpStorage::kPng;
    if (!stream.startsWith(png ? kPngSignature : kJpegSignature)) {
        return std::unexpected(bmp_message::kEmbedded);
    }
    if (!png && !jpeg_stream_whole(stream)) {
        return std::unexpected(bmp_message::kEmbedded);
    }
    QBuffer buffer(&stream);
    buffer.open(QIODevice::ReadOnly);
    auto picture = png ? read_png(buffer) : read_jpeg_stream(buffer);
    if (!picture && picture.error() == load_message::kCannotDecode) {
        return std::unexpected(bmp_message::kEmbedded);
    }
    return picture;
}

std::expected<QImage, QString> read_bmp(QFile& file) {
    const QByteArray bytes = file.read(std::min<qint64>(file.size(), kMaxBmpFileBytes));
    const auto header = read_bmp_header(bytes);
    if (!header) {
        return std::unexpected(header.error());
    }
    if (header->storage == BmpStorage::kPng || header->storage == BmpStorage::kJpeg) {
        return read_embedded(bytes.mid(header->pixel_offset, header->pixel_size), header->storage);
    }
    QImage picture(header->width, header->height,
                   header->has_alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (picture.isNull()) {
        return std::unexpected(bmp_message::kNoMemory);
    }
    decode_bmp_pixels(bytes, *header, picture);
    if (!header->has_alpha) {
        return picture;
    }
    return flatten_over_white(picture);
}

std::expected<QImage, QString> read_jpeg(QFile& file) {
    if (file.size() > kMaxJpegFileBytes) {
        return std::unexpected(load_message::kTooLarge);
    }
    QByteArray bytes = file.readAll();
    // libjpeg fills what a cut stream lacks with grey and reports no error.
    if (!jpeg_stream_whole(bytes)) {
        return std::unexpected(load_message::kCannotDecode);
    }
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return read_jpeg_stream(buffer);
}

// The name of a picture format other than PNG, BMP and JPEG that `head` starts, where it is one
// users meet; empty otherwise.
QString other_format(const QByteArray& head) {
    struct Known {
        const char* name;
        QByteArray signature;
        int at;
    };
    static const Known known[] = {
        {"GIF", "GIF87a", 0},
        {"GIF", "GIF89a", 0},
        {"TIFF", QByteArray("II*\0", 4), 0},
        {"TIFF", QByteArray("MM\0*", 4), 0},
        {"WebP", "WEBP", 8},
        {"ICO", QByteArray("\0\0\1\0", 4), 0},
        {"CUR", QByteArray("\0\0\2\0", 4), 0},
        {"XPM", "/* XPM */", 0},
        {"XBM", "#define ", 0},
        {"SVG", "<svg", 0},
        {"SVG", "<?xml", 0},
        {"PSD", "8BPS", 0},
        {"HEIF/AVIF", "ftyp", 4},
        {"JPEG 2000", QByteArray("\0\0\0\x0cjP  ", 8), 0},
        {"QOI", "qoif", 0},
    };
    for (const Known& k : known) {
        if (head.mid(k.at, k.signature.size()) == k.signature) return QString::fromLatin1(k.name);
    }
    if (head.size() >= 3 && head[0] == 'P' && head[1] >= '1' && head[1] <= '7' &&
        QByteArray(" \t\r\n").contains(head[2])) {
        return QStringLiteral("PBM/PGM/PPM");
    }
    return {};
}

}  // namespace

std::expected<QImage, QString> load_picture(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::unexpected(load_message::kCannotOpen);
    }
    // Chosen by content: a file named .png that holds a BMP (or the reverse) loads as what it is.
    const QByteArray head = file.peek(16);
    if (has_bmp_signature(head)) {
        return read_bmp(file);
    }
    if (head.startsWith(kPngSignature)) {
        return read_png(file);
    }
    if (head.startsWith(kJpegSignature)) {
        return read_jpeg(file);
    }
    // Only the three formats are decoded: every other reader Qt has is code that a file from
    // anywhere would reach.
    if (const QString name = other_format(head); !name.isEmpty()) {
        return std::unexpected(load_message::kOtherFormat.arg(name));
    }
    return std::unexpected(load_message::kCannotDecode);
}

}  // namespace koma
