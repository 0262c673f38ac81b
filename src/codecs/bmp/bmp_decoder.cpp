#include "codecs/bmp/bmp_decoder.h"

#include <algorithm>
#include <bit>

#include "codecs/image_limits.h"

namespace koma {

namespace {

constexpr int64_t kFileHeaderSize = 14;
constexpr int64_t kLargestInfoHeader = 124;

// Compression codes of the info header. 3 and 4 mean other things in OS/2 headers.
enum Compression : uint32_t {
    kNone = 0,
    kRle8 = 1,
    kRle4 = 2,
    kBitFields = 3,  // OS/2: Huffman 1D
    kJpeg = 4,       // OS/2: RLE24
    kPng = 5,
    kAlphaBitFields = 6,
};

enum class HeaderKind { kCore, kOs2, kWindows };

uint16_t u16_at(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

uint32_t u32_at(const uint8_t* p) {
    return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

const uint8_t* bytes_of(QByteArrayView file) {
    return reinterpret_cast<const uint8_t*>(file.data());
}

std::expected<HeaderKind, QString> kind_of(uint32_t header_size) {
    switch (header_size) {
        case 12:
            return HeaderKind::kCore;
        case 40:
        case 52:
        case 56:
        case 108:
        case 124:
            return HeaderKind::kWindows;
        default:
            if (header_size >= 16 && header_size <= 64) {
                return HeaderKind::kOs2;
            }
            return std::unexpected(bmp_message::kHeaderSize.arg(header_size));
    }
}

// A mask must be one run of set bits that fits in the pixel.
std::expected<BmpChannel, QString> channel_of(uint32_t mask, int bits_per_pixel) {
    BmpChannel channel;
    if (mask == 0) {
        return channel;
    }
    if (bits_per_pixel < 32 && (mask >> bits_per_pixel) != 0) {
        return std::unexpected(bmp_message::kBadMasks);
    }
    channel.shift = std::countr_zero(mask);
    const uint32_t run = mask >> channel.shift;
    if ((run & (run + 1)) != 0) {
        return std::unexpected(bmp_message::kBadMasks);
    }
    channel.bits = std::popcount(run);
    channel.max = run;
    return channel;
}

}  // namespace

bool has_bmp_signature(QByteArrayView head) { return head.size() >= 2 && head.first(2) == "BM"; }

std::expected<BmpHeader, QString> read_bmp_header(QByteArrayView file) {
    if (!has_bmp_signature(file)) {
        return std::unexpected(load_message::kCannotDecode);
    }
    const int64_t file_size = file.size();
    const uint8_t* data = bytes_of(file);
    if (file_size < kFileHeaderSize + 4) {
        return std::unexpected(bmp_message::kTruncated);
    }
    const int64_t offset = u32_at(data + 10);
    const uint32_t header_size = u32_at(data + kFileHeaderSize);
    const auto kind = kind_of(header_size);
    if (!kind) {
        return std::unexpected(kind.error());
    }
    if (file_size < kFileHeaderSize + header_size) {
        return std::unexpected(bmp_message::kTruncated);
    }
    // Fields beyond a short OS/2 header read as zero.
    std::array<uint8_t, kLargestInfoHeader> h{};
    std::copy_n(data + kFileHeaderSize, header_size, h.begin());

    int64_t width = 0;
    int64_t height = 0;
    int planes = 0;
    int bits = 0;
    uint32_t compression = kNone;
    uint32_t image_size = 0;
    uint32_t colours_used = 0;
    int entry_size = 4;
    if (*kind == HeaderKind::kCore) {
        width = u16_at(&h[4]);
        height = u16_at(&h[6]);
        planes = u16_at(&h[8]);
        bits = u16_at(&h[10]);
        entry_size = 3;
    } else {
        width = static_cast<int32_t>(u32_at(&h[4]));
        height = static_cast<int32_t>(u32_at(&h[8]));
        planes = u16_at(&h[12]);
        bits = u16_at(&h[14]);
        compression = u32_at(&h[16]);
        image_size = u32_at(&h[20]);
        colours_used = u32_at(&h[32]);
    }
    if (planes != 1) {
        return std::unexpected(bmp_message::kPlanes);
    }

    BmpHeader header;
    header.bits = bits;
    const bool os2 = *kind == HeaderKind::kOs2;
    int masks_after_header = 0;
    switch (compression) {
        case kNone:
            switch (bits) {
                case 1:
                case 2:
                case 4:
                case 8:
                    header.storage = BmpStorage::kIndexed;
                    break;
                case 16:
                case 32:
                    header.storage = BmpStorage::kBitFields;
                    break;
                case 24:
                    header.storage = BmpStorage::kBgr24;
                    break;
                default:
                    return std::unexpected(bmp_message::kDepth.arg(bits));
            }
            break;
        case kRle8:
        case kRle4:
            if (bits != (compression == kRle8 ? 8 : 4)) {
                return std::unexpected(bmp_message::kBadHeader);
            }
            header.storage = compression == kRle8 ? BmpStorage::kRle8 : BmpStorage::kRle4;
            break;
        case kBitFields:
        case kAlphaBitFields:
            if (os2) {
                if (compression == kBitFields) {
                    return std::unexpected(bmp_message::kHuffman);
                }
                return std::unexpected(bmp_message::kCompression.arg(compression));
            }
            if (bits != 16 && bits != 32) {
                return std::unexpected(bmp_message::kDepth.arg(bits));
            }
            header.storage = BmpStorage::kBitFields;
            if (header_size == 40) {
                masks_after_header = compression == kBitFields ? 3 : 4;
            }
            break;
        case kJpeg:
            if (os2) {
                return std::unexpected(bmp_message::kRle24);
            }
            header.storage = BmpStorage::kJpeg;
            break;
        case kPng:
            if (os2) {
                return std::unexpected(bmp_message::kCompression.arg(compression));
            }
            header.storage = BmpStorage::kPng;
            break;
        default:
            return std::unexpected(bmp_message::kCompression.arg(compression));
    }

    const int64_t headers_end = kFileHeaderSize + header_size + 4 * masks_after_header;
    if (file_size < headers_end) {
        return std::unexpected(bmp_message::kTruncated);
    }
    if (offset < headers_end) {
        return std::unexpected(bmp_message::kBadOffset);
    }
    if (offset >= file_size) {
        return std::unexpected(bmp_message::kTruncated);
    }
    header.pixel_offset = offset;

    if (header.storage == BmpStorage::kPng || header.storage == BmpStorage::kJpeg) {
        // The stream has its own size; its decoder checks it.
        const int64_t rest = file_size - offset;
        header.pixel_size = image_size > 0 && image_size <= rest ? int64_t{image_size} : rest;
        return header;
    }

    if (width == 0 || height == 0) {
        return std::unexpected(load_message::kEmpty);
    }
    if (width < 0) {
        return std::unexpected(bmp_message::kBadHeader);
    }
    header.top_down = height < 0;
    height = std::abs(height);
    if (!image_size_allowed(width, height)) {
        return std::unexpected(load_message::kTooLarge);
    }
    header.width = static_cast<int>(width);
    header.height = static_cast<int>(height);
    const bool rle = header.storage == BmpStorage::kRle8 || header.storage == BmpStorage::kRle4;
    if (rle && header.top_down) {
        return std::unexpected(bmp_message::kTopDownRle);
    }

    if (header.storage == BmpStorage::kIndexed || rle) {
        const int64_t entries = int64_t{1} << bits;
        const int64_t wanted =
            colours_used == 0 ? entries : std::min<int64_t>(colours_used, entries);
        const int64_t held = (offset - headers_end) / entry_size;
        const int64_t count = std::min(wanted, held);
        if (count == 0) {
            return std::unexpected(bmp_message::kNoPalette);
        }
        header.palette.reserve(static_cast<size_t>(count));
        for (int64_t i = 0; i < count; ++i) {
            const uint8_t* e = data + headers_end + i * entry_size;
            header.palette.push_back(qRgb(e[2], e[1], e[0]));
        }
    }

    if (header.storage == BmpStorage::kBitFields) {
        std::array<uint32_t, 4> masks{};
        if (compression == kNone) {
            masks = bits == 16 ? std::array<uint32_t, 4>{0x7C00, 0x03E0, 0x001F, 0}
                               : std::array<uint32_t, 4>{0xFF0000, 0xFF00, 0xFF, 0};
        } else if (masks_after_header > 0) {
            for (int i = 0; i < masks_after_header; ++i) {
                masks[static_cast<size_t>(i)] =
                    u32_at(data + kFileHeaderSize + header_size + 4 * i);
            }
        } else {
            // Masks inside the header; a 52-byte header holds no alpha mask.
            for (size_t i = 0; i < (header_size >= 56 ? 4u : 3u); ++i) {
                masks[i] = u32_at(&h[40 + 4 * i]);
            }
        }
        for (size_t i = 0; i < 4; ++i) {
            const auto channel = channel_of(masks[i], bits);
            if (!channel) {
                return std::unexpected(channel.error());
            }
            header.channels[i] = *channel;
        }
        header.has_alpha = header.channels[3].bits > 0;
    }

    if (rle) {
        header.pixel_size = file_size - offset;
        return header;
    }
    // The last row may go without its padding.
    header.row_stride = (width * bits + 31) / 32 * 4;
    const int64_t needed = header.row_stride * (height - 1) + (width * bits + 7) / 8;
    if (file_size - offset < needed) {
        return std::unexpected(bmp_message::kTruncated);
    }
    header.pixel_size = needed;
    return header;
}

namespace {

// Scales the n-bit value of one channel to 8 bits, round(v x 255 / (2^n - 1)).
class ChannelScale {
  public:
    explicit ChannelScale(const BmpChannel& channel) : channel_(channel) {
        if (channel.bits > 0 && channel.bits <= 16) {
            table_.resize(size_t{channel.max} + 1);
            for (uint32_t v = 0; v <= channel.max; ++v) {
                table_[v] = exact(v);
            }
        }
    }
    uint8_t operator()(uint32_t pixel) const {
        if (channel_.bits == 0) {
            return 0;
        }
        const uint32_t v = (pixel >> channel_.shift) & channel_.max;
        return table_.empty() ? exact(v) : table_[v];
    }

  private:
    uint8_t exact(uint32_t v) const {
        const uint64_t max = channel_.max;
        return static_cast<uint8_t>((uint64_t{v} * 510 + max) / (2 * max));
    }
    BmpChannel channel_;
    std::vector<uint8_t> table_;
};

class RowWriter {
  public:
    RowWriter(const BmpHeader& header, QImage& target) : header_(header), target_(target) {}
    // The image row of stored row `r`.
    QRgb* operator()(int64_t r) const {
        const int y =
            header_.top_down ? static_cast<int>(r) : header_.height - 1 - static_cast<int>(r);
        return reinterpret_cast<QRgb*>(target_.scanLine(y));
    }

  private:
    const BmpHeader& header_;
    QImage& target_;
};

// Every index a byte can hold, those beyond the palette giving entry 0.
std::array<QRgb, 256> full_palette(const BmpHeader& header) {
    std::array<QRgb, 256> colours;
    colours.fill(header.palette.front());
    std::copy_n(header.palette.begin(), std::min<size_t>(header.palette.size(), 256),
                colours.begin());
    return colours;
}

void decode_indexed(const uint8_t* data, const BmpHeader& header, const RowWriter& row) {
    const std::array<QRgb, 256> colours = full_palette(header);
    const int bits = header.bits;
    const int per_byte = 8 / bits;
    const uint32_t index_mask = (1u << bits) - 1;
    for (int64_t r = 0; r < header.height; ++r) {
        const uint8_t* in = data + header.pixel_offset + r * header.row_stride;
        QRgb* out = row(r);
        if (bits == 8) {
            for (int x = 0; x < header.width; ++x) out[x] = colours[in[x]];
            continue;
        }
        for (int x = 0; x < header.width; ++x) {
            const int shift = 8 - bits * (x % per_byte + 1);
            out[x] = colours[(in[x / per_byte] >> shift) & index_mask];
        }
    }
}

void decode_bgr24(const uint8_t* data, const BmpHeader& header, const RowWriter& row) {
    for (int64_t r = 0; r < header.height; ++r) {
        const uint8_t* in = data + header.pixel_offset + r * header.row_stride;
        QRgb* out = row(r);
        for (int x = 0; x < header.width; ++x, in += 3) {
            out[x] = qRgb(in[2], in[1], in[0]);
        }
    }
}

void decode_bit_fields(const uint8_t* data, const BmpHeader& header, const RowWriter& row) {
    const ChannelScale red(header.channels[0]);
    const ChannelScale green(header.channels[1]);
    const ChannelScale blue(header.channels[2]);
    const ChannelScale alpha(header.channels[3]);
    const int step = header.bits / 8;
    for (int64_t r = 0; r < header.height; ++r) {
        const uint8_t* in = data + header.pixel_offset + r * header.row_stride;
        QRgb* out = row(r);
        for (int x = 0; x < header.width; ++x, in += step) {
            const uint32_t pixel = step == 2 ? u16_at(in) : u32_at(in);
            out[x] =
                qRgba(red(pixel), green(pixel), blue(pixel), header.has_alpha ? alpha(pixel) : 255);
        }
    }
}

// Run-length codes, from the bottom row up. Pixels that the codes skip (deltas, early line and
// bitmap ends, a stream that stops short) keep entry 0, filled in first; pixels past the right
// edge are dropped.
void decode_rle(const uint8_t* data, const BmpHeader& header, QImage& target,
                const RowWriter& row) {
    const std::array<QRgb, 256> colours = full_palette(header);
    target.fill(colours[0]);
    const bool four = header.storage == BmpStorage::kRle4;
    const uint8_t* p = data + header.pixel_offset;
    const uint8_t* const end = p + header.pixel_size;
    const int width = header.width;
    int x = 0;
    int y = 0;
    QRgb* out = row(0);
    auto put = [&](uint8_t index) {
        if (x < width) {
            out[x++] = colours[index];
        }
    };
    while (end - p >= 2 && y < header.height) {
        const int count = p[0];
        const uint8_t value = p[1];
        p += 2;
        if (count > 0) {
            for (int i = 0; i < count && x < width; ++i) {
                put(four ? ((i % 2 == 0) ? value >> 4 : value & 0x0F) : value);
            }
            continue;
        }
        if (value == 0 || value == 2) {
            int dx = 0;
            int dy = 1;
            if (value == 2) {
                if (end - p < 2) {
                    break;
                }
                dx = p[0];
                dy = p[1];
                p += 2;
            }
            x = value == 0 ? 0 : std::min(width, x + dx);
            y += dy;
            if (y < header.height) {
                out = row(y);
            }
            continue;
        }
        if (value == 1) {
            break;
        }
        // An absolute run of `value` pixels, padded to a whole number of 16-bit words.
        const int64_t run_bytes = four ? (value + 1) / 2 : value;
        const int64_t held = std::min<int64_t>(run_bytes, end - p);
        for (int i = 0; i < value && x < width; ++i) {
            const int64_t at = four ? i / 2 : i;
            if (at >= held) {
                break;
            }
            put(four ? ((i % 2 == 0) ? p[at] >> 4 : p[at] & 0x0F) : p[at]);
        }
        if (held < run_bytes) {
            break;
        }
        p += std::min<int64_t>(run_bytes + (run_bytes & 1), end - p);
    }
}

}  // namespace

void decode_bmp_pixels(QByteArrayView file, const BmpHeader& header, QImage& target) {
    Q_ASSERT(target.width() == header.width && target.height() == header.height);
    Q_ASSERT(target.format() == (header.has_alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32));
    Q_ASSERT(header.pixel_offset + header.pixel_size <= file.size());
    const uint8_t* data = bytes_of(file);
    const RowWriter row(header, target);
    switch (header.storage) {
        case BmpStorage::kIndexed:
            decode_indexed(data, header, row);
            break;
        case BmpStorage::kBgr24:
            decode_bgr24(data, header, row);
            break;
        case BmpStorage::kBitFields:
            decode_bit_fields(data, header, row);
            break;
        case BmpStorage::kRle8:
        case BmpStorage::kRle4:
            decode_rle(data, header, target, row);
            break;
        case BmpStorage::kPng:
        case BmpStorage::kJpeg:
            Q_ASSERT(false);
            break;
    }
}

std::expected<QImage, QString> decode_bmp(QByteArrayView file) {
    const auto header = read_bmp_header(file);
    if (!header) {
        return std::unexpected(header.error());
    }
    if (header->storage == BmpStorage::kPng || header->storage == BmpStorage::kJpeg) {
        return std::unexpected(bmp_message::kEmbedded);
    }
    QImage image(header->width, header->height,
                 header->has_alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull()) {
        return std::unexpected(bmp_message::kNoMemory);
    }
    decode_bmp_pixels(file, *header, image);
    return image;
}

}  // namespace koma
