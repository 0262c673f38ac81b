#include "codecs/png/png_encoder.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <bit>
#include <csetjmp>
#include <cstring>

#include "codecs/png/deflate_recode.h"
#include "codecs/png/png_chunks.h"

namespace koma {

namespace {

void append_to(png_structp png, png_bytep data, size_t length) {
    auto* out = static_cast<QByteArray*>(png_get_io_ptr(png));
    out->append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(length));
}

void flush_nothing(png_structp) {}

void raise_error(png_structp png, png_const_charp message) {
    auto* text = static_cast<QString*>(png_get_error_ptr(png));
    *text = QString::fromLatin1(message);
    png_longjmp(png, 1);
}

void ignore_warning(png_structp, png_const_charp) {}

/// Fills `row` with the samples of one image row in the layout.
void pack_row(const QRgb* pixels, int width, const PngLayout& layout, uint8_t* row) {
    switch (layout.kind) {
        case PngLayout::Kind::Rgb: {
            const QRgb key = layout.rgb_key.value_or(0xFF000000u);
            for (int x = 0; x < width; ++x) {
                const QRgb p = qAlpha(pixels[x]) == 0 ? key : pixels[x];
                row[3 * x] = static_cast<uint8_t>(qRed(p));
                row[3 * x + 1] = static_cast<uint8_t>(qGreen(p));
                row[3 * x + 2] = static_cast<uint8_t>(qBlue(p));
            }
            break;
        }
        case PngLayout::Kind::Rgba:
            for (int x = 0; x < width; ++x) {
                row[4 * x] = static_cast<uint8_t>(qRed(pixels[x]));
                row[4 * x + 1] = static_cast<uint8_t>(qGreen(pixels[x]));
                row[4 * x + 2] = static_cast<uint8_t>(qBlue(pixels[x]));
                row[4 * x + 3] = static_cast<uint8_t>(qAlpha(pixels[x]));
            }
            break;
        case PngLayout::Kind::Palette: {
            // Runs of one colour are common; the last lookup is kept.
            QRgb last = 0;
            uint8_t last_index = 0;
            bool have_last = false;
            for (int x = 0; x < width; ++x) {
                if (!have_last || pixels[x] != last) {
                    const auto it = layout.index.find(pixels[x]);
                    Q_ASSERT(it != layout.index.end());
                    last = pixels[x];
                    last_index = it == layout.index.end() ? 0 : it->second;
                    have_last = true;
                }
                row[x] = last_index;
            }
            break;
        }
    }
}

/// The libpng part of encode_png, kept free of objects with destructors: libpng leaves it by
/// longjmp on errors.
bool write_png(png_structp png, png_infop info, const QImage& image, const QRect& area,
               const PngLayout& layout, PngCoding coding, uint8_t* row, png_color* colours,
               png_byte* alphas) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    const bool palette = layout.kind == PngLayout::Kind::Palette;
    const int colour_type = palette                               ? PNG_COLOR_TYPE_PALETTE
                            : layout.kind == PngLayout::Kind::Rgb ? PNG_COLOR_TYPE_RGB
                                                                  : PNG_COLOR_TYPE_RGB_ALPHA;
    png_set_IHDR(png, info, static_cast<png_uint_32>(area.width()),
                 static_cast<png_uint_32>(area.height()), palette ? layout.bit_depth : 8,
                 colour_type, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (palette) {
        int clear = 0;
        const int entries = static_cast<int>(layout.palette.size());
        for (int k = 0; k < entries; ++k) {
            const QRgb c = layout.palette[static_cast<size_t>(k)];
            colours[k] = {static_cast<png_byte>(qRed(c)), static_cast<png_byte>(qGreen(c)),
                          static_cast<png_byte>(qBlue(c))};
            alphas[k] = static_cast<png_byte>(qAlpha(c));
            if (qAlpha(c) < 255) clear = k + 1;  // clear entries come first
        }
        png_set_PLTE(png, info, colours, entries);
        if (clear > 0) png_set_tRNS(png, info, alphas, clear, nullptr);
    } else if (layout.kind == PngLayout::Kind::Rgb && layout.rgb_key) {
        png_color_16 key{};
        key.red = static_cast<png_uint_16>(qRed(*layout.rgb_key));
        key.green = static_cast<png_uint_16>(qGreen(*layout.rgb_key));
        key.blue = static_cast<png_uint_16>(qBlue(*layout.rgb_key));
        png_set_tRNS(png, info, nullptr, 0, &key);
    }
    // Indices gain little from prediction; colour rows gain much.
    const int filters = coding.filters != 0 ? coding.filters
                        : palette           ? PNG_FILTER_NONE
                                            : PNG_ALL_FILTERS;
    png_set_filter(png, PNG_FILTER_TYPE_BASE, filters);
    if (coding.strategy >= 0) png_set_compression_strategy(png, coding.strategy);
    png_set_compression_level(png, coding.level);
    png_set_compression_mem_level(png, 9);
    png_write_info(png, info);
    if (palette && layout.bit_depth < 8) png_set_packing(png);
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const QRgb* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(y)) + area.left();
        pack_row(pixels, area.width(), layout, row);
        png_write_row(png, row);
    }
    png_write_end(png, info);
    return true;
}

}  // namespace

std::vector<PngCoding> png_codings(const PngLayout& layout) {
    const bool palette = layout.kind == PngLayout::Kind::Palette;
    // Palettes of fewer than eight bits pack several pixels into a byte, where filters and
    // run-length coding see little.
    if (palette && layout.bit_depth < 8) {
        return {{PNG_FILTER_NONE, Z_DEFAULT_STRATEGY}, {PNG_ALL_FILTERS, Z_DEFAULT_STRATEGY}};
    }
    if (palette) {
        return {{PNG_FILTER_NONE, Z_DEFAULT_STRATEGY},
                {PNG_FILTER_NONE, Z_FILTERED},
                {PNG_ALL_FILTERS, Z_DEFAULT_STRATEGY},
                {PNG_FILTER_SUB, Z_DEFAULT_STRATEGY}};
    }
    return {{PNG_ALL_FILTERS, Z_FILTERED},
            {PNG_ALL_FILTERS, Z_DEFAULT_STRATEGY},
            {PNG_FILTER_NONE, Z_DEFAULT_STRATEGY},
            {PNG_FILTER_SUB, Z_RLE}};
}

PngCoding default_coding(const PngLayout& layout) {
    if (layout.kind == PngLayout::Kind::Palette) return {PNG_FILTER_NONE, Z_DEFAULT_STRATEGY, 9};
    return {PNG_ALL_FILTERS, Z_RLE, 1};
}

std::expected<QByteArray, QString> encode_png_smallest(const QImage& image, const QRect& area,
                                                       const PngLayout& layout) {
    std::expected<QByteArray, QString> best = std::unexpected(QString());
    for (const PngCoding& coding : png_codings(layout)) {
        auto png = encode_png(image, area, layout, coding);
        if (!png) return png;
        if (!best || png->size() < best->size()) best = std::move(png);
    }
    return best;
}

std::expected<QByteArray, QString> encode_png(const QImage& image, const QRect& area,
                                              const PngLayout& layout, PngCoding coding) {
    if (area.isEmpty() || !image.rect().contains(area)) {
        return std::unexpected(QStringLiteral("nothing to encode"));
    }
    QString error;
    QByteArray out;
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, &error, raise_error, ignore_warning);
    if (!png) return std::unexpected(QStringLiteral("out of memory"));
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return std::unexpected(QStringLiteral("out of memory"));
    }
    png_set_write_fn(png, &out, append_to, flush_nothing);
    std::vector<uint8_t> row(static_cast<size_t>(area.width()) * 4);
    std::vector<png_color> colours(kMaxPalette);
    std::vector<png_byte> alphas(kMaxPalette);
    const bool ok = write_png(png, info, image, area, layout, coding, row.data(), colours.data(),
                              alphas.data());
    png_destroy_write_struct(&png, &info);
    if (!ok) return std::unexpected(error.isEmpty() ? QStringLiteral("PNG error") : error);
    return out;
}

QByteArray png_image_data(const QByteArray& png) {
    QByteArray data;
    for (const PngChunk& chunk : png_chunks(png)) {
        if (chunk.type == "IDAT") data.append(chunk.data);
    }
    return data;
}

QByteArray with_image_data(const QByteArray& png, const QByteArray& data) {
    QByteArray out = png.left(8);
    bool written = false;
    for (const PngChunk& chunk : png_chunks(png)) {
        if (chunk.type != "IDAT") {
            out.append(png_chunk_bytes(chunk.type.constData(), chunk.data));
        } else if (!written) {
            out.append(png_chunk_bytes("IDAT", data));
            written = true;
        }
    }
    return out;
}

std::expected<QByteArray, QString> encode_png(const QImage& image) {
    ColourCensus census;
    census.add(image, image.rect());
    const PngLayout layout = choose_png_layout(census, false);
    auto png = encode_png_smallest(image, image.rect(), layout);
    if (!png) return png;
    // The same file with its rows coded again by libdeflate, in one IDAT.
    const QByteArray rows = png_image_data(*png);
    const QByteArray recoded =
        recode_smaller(rows, filtered_size(image.width(), image.height(), layout));
    if (recoded.size() >= rows.size()) return png;
    return with_image_data(*png, recoded);
}

std::expected<QByteArray, QString> encode_png(const QImage& image, CodingEffort effort) {
    if (effort == CodingEffort::Max) return encode_png(image);
    const PngLayout layout = image_layout(image);
    return encode_png(image, image.rect(), layout, default_coding(layout));
}

}  // namespace koma
