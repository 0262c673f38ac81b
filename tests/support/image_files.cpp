#include "support/image_files.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <array>

namespace koma::test {

uint32_t crc32_of(const QByteArray& bytes) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            t[n] = c;
        }
        return t;
    }();
    uint32_t c = 0xFFFFFFFFu;
    for (char ch : bytes) {
        c = table[(c ^ static_cast<uint8_t>(ch)) & 0xFF] ^ (c >> 8);
    }
    return c ^ 0xFFFFFFFFu;
}

namespace {

int channels_of(int colour_type) {
    switch (colour_type) {
        case 2:
            return 3;
        case 4:
            return 2;
        case 6:
            return 4;
        default:
            return 1;
    }
}

// One scanline of the pixels (x0, y), (x0 + dx, y), ... packed at the bit depth, after its
// filter byte 0.
QByteArray packed_row(const PngRecipe& recipe, int y, int x0, int dx) {
    QByteArray row(1, '\0');
    const int channels = channels_of(recipe.colour_type);
    uint32_t acc = 0;
    int bits = 0;
    for (int x = x0; x < recipe.width; x += dx) {
        const Samples s = recipe.sample(x, y);
        for (int c = 0; c < channels; ++c) {
            const uint16_t v = s[static_cast<size_t>(c)];
            if (recipe.bit_depth == 16) {
                row.append(static_cast<char>(v >> 8));
                row.append(static_cast<char>(v & 0xFF));
                continue;
            }
            acc = (acc << recipe.bit_depth) | v;
            bits += recipe.bit_depth;
            if (bits == 8) {
                row.append(static_cast<char>(acc));
                acc = 0;
                bits = 0;
            }
        }
    }
    if (bits > 0) {
        row.append(static_cast<char>(acc << (8 - bits)));
    }
    return row;
}

}  // namespace

QByteArray be32(uint32_t v) {
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i) b[i] = static_cast<char>(v >> (24 - 8 * i));
    return b;
}

QByteArray le32(uint32_t v) {
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i) b[i] = static_cast<char>(v >> (8 * i));
    return b;
}

QByteArray le16(uint16_t v) {
    QByteArray b(2, '\0');
    b[0] = static_cast<char>(v & 0xFF);
    b[1] = static_cast<char>(v >> 8);
    return b;
}

QByteArray png_chunk(const char* type, const QByteArray& data) {
    const QByteArray body = QByteArray(type, 4) + data;
    return be32(static_cast<uint32_t>(data.size())) + body + be32(crc32_of(body));
}

QByteArray build_png(const PngRecipe& recipe) {
    QByteArray ihdr =
        be32(static_cast<uint32_t>(recipe.width)) + be32(static_cast<uint32_t>(recipe.height));
    ihdr.append(static_cast<char>(recipe.bit_depth));
    ihdr.append(static_cast<char>(recipe.colour_type));
    ihdr.append('\0');
    ihdr.append('\0');
    ihdr.append(recipe.interlaced ? '\1' : '\0');

    QByteArray raw;
    if (recipe.interlaced) {
        struct Pass {
            int x0, y0, dx, dy;
        };
        static constexpr std::array<Pass, 7> kAdam7{{{0, 0, 8, 8},
                                                     {4, 0, 8, 8},
                                                     {0, 4, 4, 8},
                                                     {2, 0, 4, 4},
                                                     {0, 2, 2, 4},
                                                     {1, 0, 2, 2},
                                                     {0, 1, 1, 2}}};
        for (const Pass& p : kAdam7) {
            if (p.x0 >= recipe.width) continue;  // an empty pass has no rows at all
            for (int y = p.y0; y < recipe.height; y += p.dy) {
                raw += packed_row(recipe, y, p.x0, p.dx);
            }
        }
    } else {
        for (int y = 0; y < recipe.height; ++y) {
            raw += packed_row(recipe, y, 0, 1);
        }
    }
    // qCompress puts the uncompressed length in front of a zlib stream.
    const QByteArray zlib = qCompress(raw).mid(4);

    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    png += png_chunk("IHDR", ihdr);
    if (!recipe.plte.isEmpty()) png += png_chunk("PLTE", recipe.plte);
    if (!recipe.trns.isEmpty()) png += png_chunk("tRNS", recipe.trns);
    png += png_chunk("IDAT", zlib);
    png += png_chunk("IEND", {});
    return png;
}

QByteArray build_bmp(int width, int height, int bits, int compression, const QByteArray& extra,
                     const QByteArray& pixels, int colours_used) {
    const uint32_t offset = 14 + 40 + static_cast<uint32_t>(extra.size());
    QByteArray bmp("BM");
    bmp += le32(offset + static_cast<uint32_t>(pixels.size()));
    bmp += le32(0);
    bmp += le32(offset);
    bmp += le32(40);
    bmp += le32(static_cast<uint32_t>(width));
    bmp += le32(static_cast<uint32_t>(height));
    bmp += le16(1);
    bmp += le16(static_cast<uint16_t>(bits));
    bmp += le32(static_cast<uint32_t>(compression));
    bmp += le32(static_cast<uint32_t>(pixels.size()));
    bmp += le32(2835);
    bmp += le32(2835);
    bmp += le32(static_cast<uint32_t>(colours_used));
    bmp += le32(0);
    return bmp + extra + pixels;
}

namespace {

QByteArray packed_bmp_rows(const BmpRecipe& recipe) {
    QByteArray data;
    const int rows = std::abs(recipe.height);
    for (int r = 0; r < rows; ++r) {
        const int y = recipe.height < 0 ? r : rows - 1 - r;
        QByteArray row;
        uint32_t acc = 0;
        int held = 0;
        for (int x = 0; x < recipe.width; ++x) {
            const uint32_t v = recipe.sample(x, y);
            if (recipe.bits < 8) {
                acc = (acc << recipe.bits) | v;
                held += recipe.bits;
                if (held == 8) {
                    row.append(static_cast<char>(acc));
                    acc = 0;
                    held = 0;
                }
            } else if (recipe.bits == 24) {
                row += le32(v).left(3);
            } else {
                row += le32(v).left(recipe.bits / 8);
            }
        }
        if (held > 0) {
            row.append(static_cast<char>(acc << (8 - held)));
        }
        while (row.size() % 4 != 0) row.append('\0');
        data += row;
    }
    return data;
}

}  // namespace

QByteArray build_bmp(const BmpRecipe& recipe) {
    const bool core = recipe.header_size == 12;
    const bool windows = recipe.header_size == 40 || recipe.header_size == 52 ||
                         recipe.header_size == 56 || recipe.header_size == 108 ||
                         recipe.header_size == 124;
    QByteArray info = le32(static_cast<uint32_t>(recipe.header_size));
    if (core) {
        info += le16(static_cast<uint16_t>(recipe.width));
        info += le16(static_cast<uint16_t>(recipe.height));
        info += le16(static_cast<uint16_t>(recipe.planes));
        info += le16(static_cast<uint16_t>(recipe.bits));
    } else {
        info += le32(static_cast<uint32_t>(recipe.width));
        info += le32(static_cast<uint32_t>(recipe.height));
        info += le16(static_cast<uint16_t>(recipe.planes));
        info += le16(static_cast<uint16_t>(recipe.bits));
        info += le32(recipe.compression);
        info += le32(0);  // image size: readers must not need it
        info += le32(2835) + le32(2835);
        info += le32(recipe.colours_used) + le32(0);
        for (size_t i = 0; i < 4; ++i) {
            const bool in_header =
                windows && recipe.header_size > 40 && (i < 3 || recipe.header_size >= 56);
            info += le32(in_header && i < recipe.masks.size() ? recipe.masks[i] : 0);
        }
        if (windows && recipe.header_size >= 108) {
            info += QByteArray("BGRs", 4);  // the sRGB colour space, little-endian
        }
        info = info.leftJustified(recipe.header_size, '\0', true);
    }
    QByteArray extra;
    if (recipe.header_size == 40) {
        for (uint32_t mask : recipe.masks) extra += le32(mask);
    }
    for (QRgb c : recipe.palette) {
        extra.append(static_cast<char>(qBlue(c)));
        extra.append(static_cast<char>(qGreen(c)));
        extra.append(static_cast<char>(qRed(c)));
        if (!core) extra.append('\0');
    }
    extra += QByteArray(recipe.gap, '\0');
    const QByteArray pixels =
        recipe.pixels.isEmpty() && recipe.sample ? packed_bmp_rows(recipe) : recipe.pixels;
    const auto offset = static_cast<uint32_t>(14 + info.size() + extra.size());
    QByteArray bmp("BM");
    bmp += le32(offset + static_cast<uint32_t>(pixels.size()));
    bmp += le32(0);
    bmp += le32(offset);
    return bmp + info + extra + pixels;
}

bool write_file(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format));
    return bytes;
}

}  // namespace koma::test
