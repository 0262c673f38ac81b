#include "support/apng_reader.h"

#include <png.h>
#include <zlib.h>

#include <QFile>
#include <cstring>

namespace koma::test {

namespace {

uint32_t be32_at(const QByteArray& b, qsizetype at) {
    const auto* p = reinterpret_cast<const uint8_t*>(b.constData()) + at;
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

uint16_t be16_at(const QByteArray& b, qsizetype at) {
    const auto* p = reinterpret_cast<const uint8_t*>(b.constData()) + at;
    return static_cast<uint16_t>((p[0] << 8) | p[1]);
}

QByteArray chunk(const char* type, const QByteArray& data) {
    QByteArray out;
    const uint32_t n = static_cast<uint32_t>(data.size());
    const char len[4] = {char(n >> 24), char(n >> 16), char(n >> 8), char(n)};
    out.append(len, 4);
    out.append(type, 4);
    out.append(data);
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type), 4);
    crc = crc32(crc, reinterpret_cast<const Bytef*>(data.constData()),
                static_cast<uInt>(data.size()));
    const uint32_t c = static_cast<uint32_t>(crc);
    const char cb[4] = {char(c >> 24), char(c >> 16), char(c >> 8), char(c)};
    out.append(cb, 4);
    return out;
}

/// Decodes one frame as a PNG file of its own (the animation's IHDR with the frame's size).
QImage decode_frame(const QByteArray& ihdr, const QByteArray& plte, const QByteArray& trns,
                    int width, int height, const QByteArray& data, QString& error) {
    QByteArray header = ihdr;
    const char size[8] = {char(width >> 24),  char(width >> 16),  char(width >> 8),  char(width),
                          char(height >> 24), char(height >> 16), char(height >> 8), char(height)};
    header.replace(0, 8, QByteArray(size, 8));
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    png.append(chunk("IHDR", header));
    if (!plte.isEmpty()) png.append(chunk("PLTE", plte));
    if (!trns.isEmpty()) png.append(chunk("tRNS", trns));
    png.append(chunk("IDAT", data));
    png.append(chunk("IEND", {}));

    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, png.constData(),
                                          static_cast<size_t>(png.size()))) {
        error = QString::fromLatin1(image.message);
        return {};
    }
    image.format = PNG_FORMAT_BGRA;  // QImage::Format_ARGB32 in memory
    QImage out(width, height, QImage::Format_ARGB32);
    if (!png_image_finish_read(&image, nullptr, out.bits(),
                               static_cast<png_int_32>(out.bytesPerLine()), nullptr)) {
        error = QString::fromLatin1(image.message);
        png_image_free(&image);
        return {};
    }
    return out;
}

void draw(QImage& canvas, const QImage& frame, const QRect& rect, int blend) {
    for (int y = 0; y < rect.height(); ++y) {
        const QRgb* s = reinterpret_cast<const QRgb*>(frame.constScanLine(y));
        QRgb* d = reinterpret_cast<QRgb*>(canvas.scanLine(rect.top() + y)) + rect.left();
        for (int x = 0; x < rect.width(); ++x) {
            if (blend == 0 || qAlpha(s[x]) == 255) {
                d[x] = s[x];
            } else if (qAlpha(s[x]) != 0) {
                d[x] = s[x];  // the writer under test only makes alpha 0 or 255
            }
        }
    }
}

}  // namespace

DecodedApng decode_apng(const QByteArray& bytes) {
    DecodedApng out;
    if (!bytes.startsWith(QByteArray("\x89PNG\r\n\x1a\n", 8))) {
        out.error = QStringLiteral("no PNG signature");
        return out;
    }
    QByteArray ihdr, plte, trns;
    struct Control {
        QRect rect;
        double delay = 0;
        int dispose = 0;
        int blend = 0;
    };
    std::vector<Control> controls;
    std::vector<QByteArray> data;
    uint32_t next_sequence = 0;
    int frame_count = -1;
    bool seen_idat = false;
    qsizetype at = 8;
    while (at + 12 <= bytes.size()) {
        const uint32_t length = be32_at(bytes, at);
        if (length > static_cast<uint64_t>(bytes.size() - at - 12)) {
            out.error = QStringLiteral("a chunk runs past the end");
            return out;
        }
        const QByteArray type = bytes.mid(at + 4, 4);
        const QByteArray body = bytes.mid(at + 8, length);
        uLong crc = crc32(0, reinterpret_cast<const Bytef*>(bytes.constData() + at + 4),
                          static_cast<uInt>(length + 4));
        if (static_cast<uint32_t>(crc) != be32_at(bytes, at + 8 + length)) {
            out.error = QStringLiteral("bad CRC in ") + QString::fromLatin1(type);
            return out;
        }
        at += 12 + length;
        if (type == "IHDR") {
            ihdr = body;
            out.width = static_cast<int>(be32_at(body, 0));
            out.height = static_cast<int>(be32_at(body, 4));
            out.bit_depth = static_cast<uint8_t>(body[8]);
            out.colour_type = static_cast<uint8_t>(body[9]);
        } else if (type == "PLTE") {
            plte = body;
        } else if (type == "tRNS") {
            trns = body;
        } else if (type == "acTL") {
            frame_count = static_cast<int>(be32_at(body, 0));
            out.num_plays = static_cast<int>(be32_at(body, 4));
        } else if (type == "fcTL") {
            if (be32_at(body, 0) != next_sequence++) {
                out.error = QStringLiteral("fcTL out of sequence");
                return out;
            }
            Control c;
            c.rect = QRect(static_cast<int>(be32_at(body, 12)), static_cast<int>(be32_at(body, 16)),
                           static_cast<int>(be32_at(body, 4)), static_cast<int>(be32_at(body, 8)));
            const int num = be16_at(body, 20);
            const int den = be16_at(body, 22);
            c.delay = 1000.0 * num / (den == 0 ? 100 : den);
            c.dispose = static_cast<uint8_t>(body[24]);
            c.blend = static_cast<uint8_t>(body[25]);
            if (!seen_idat && data.empty()) out.default_image_is_frame = true;
            controls.push_back(c);
            data.emplace_back();
        } else if (type == "IDAT") {
            seen_idat = true;
            if (out.default_image_is_frame && controls.size() == 1) data.back().append(body);
        } else if (type == "fdAT") {
            if (be32_at(body, 0) != next_sequence++) {
                out.error = QStringLiteral("fdAT out of sequence");
                return out;
            }
            if (data.empty()) {
                out.error = QStringLiteral("fdAT before fcTL");
                return out;
            }
            data.back().append(body.mid(4));
        }
    }
    if (frame_count != static_cast<int>(controls.size())) {
        out.error = QStringLiteral("acTL counts %1 frames, the file holds %2")
                        .arg(frame_count)
                        .arg(controls.size());
        return out;
    }
    QImage canvas(out.width, out.height, QImage::Format_ARGB32);
    canvas.fill(0u);
    for (size_t i = 0; i < controls.size(); ++i) {
        const Control& c = controls[i];
        if (!QRect(0, 0, out.width, out.height).contains(c.rect) || c.rect.isEmpty()) {
            out.error = QStringLiteral("frame %1 lies outside the canvas").arg(i);
            return out;
        }
        const QImage frame =
            decode_frame(ihdr, plte, trns, c.rect.width(), c.rect.height(), data[i], out.error);
        if (frame.isNull()) return out;
        const QImage before = canvas.copy();
        draw(canvas, frame, c.rect, c.blend);
        out.frames.push_back(canvas.copy());
        out.delays_ms.push_back(c.delay);
        out.rects.push_back(c.rect);
        out.blends.push_back(c.blend);
        out.disposes.push_back(c.dispose);
        if (c.dispose == 1) {
            for (int y = c.rect.top(); y <= c.rect.bottom(); ++y) {
                for (int x = c.rect.left(); x <= c.rect.right(); ++x) canvas.setPixel(x, y, 0u);
            }
        } else if (c.dispose == 2) {
            canvas = before;
        }
    }
    return out;
}

DecodedApng decode_apng_file(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        DecodedApng out;
        out.error = QStringLiteral("cannot open ") + path;
        return out;
    }
    return decode_apng(file.readAll());
}

}  // namespace koma::test
