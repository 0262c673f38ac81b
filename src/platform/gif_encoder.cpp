#include "platform/gif_encoder.h"

#include <gif_lib.h>

#include <QRect>
#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

#include "platform/gif_palette.h"

namespace koma {

namespace {

constexpr int kMaxGifSide = 65535;

using Bytes = std::vector<uint8_t>;

int append_to_bytes(GifFileType* gif, const GifByteType* data, int length) {
    auto* out = static_cast<Bytes*>(gif->UserData);
    out->insert(out->end(), data, data + length);
    return length;
}

QString gif_error(int code) {
    const char* text = GifErrorString(code);
    return text ? QString::fromLatin1(text) : QStringLiteral("GIF encoder error %1").arg(code);
}

/// A giflib encoder writing into a byte vector. The file is finished (and freed) by close().
class GifStream {
  public:
    explicit GifStream(Bytes& out) { gif_ = EGifOpen(&out, append_to_bytes, &error_); }
    ~GifStream() {
        if (gif_) {
            int ignored = 0;
            EGifCloseFile(gif_, &ignored);
        }
    }
    GifStream(const GifStream&) = delete;
    GifStream& operator=(const GifStream&) = delete;

    GifFileType* get() const { return gif_; }
    int error() const { return gif_ ? gif_->Error : error_; }

    bool close() {
        int error = 0;
        const bool ok = EGifCloseFile(gif_, &error) == GIF_OK;
        gif_ = nullptr;
        error_ = error;
        return ok;
    }

  private:
    GifFileType* gif_ = nullptr;
    int error_ = 0;
};

/// The global colour map: the palette, then (when reserved) the transparent entry, padded to
/// a power of two of at least 2 entries.
struct ColourMap {
    ColourMap(const std::vector<QRgb>& palette, bool reserve_transparent) {
        const int used = static_cast<int>(palette.size()) + (reserve_transparent ? 1 : 0);
        const int entries =
            std::max(2, static_cast<int>(std::bit_ceil(static_cast<unsigned>(used))));
        map = GifMakeMapObject(entries, nullptr);
        if (map) {
            std::memset(map->Colors, 0, sizeof(GifColorType) * static_cast<size_t>(entries));
            for (size_t i = 0; i < palette.size(); ++i) {
                map->Colors[i] = {static_cast<GifByteType>(qRed(palette[i])),
                                  static_cast<GifByteType>(qGreen(palette[i])),
                                  static_cast<GifByteType>(qBlue(palette[i]))};
            }
        }
        transparent = reserve_transparent ? static_cast<int>(palette.size()) : NO_TRANSPARENT_COLOR;
    }
    ~ColourMap() { GifFreeMapObject(map); }
    ColourMap(const ColourMap&) = delete;
    ColourMap& operator=(const ColourMap&) = delete;

    ColorMapObject* map = nullptr;
    int transparent = NO_TRANSPARENT_COLOR;
};

/// LZW-encodes image blocks (descriptor and data) with giflib, one at a time, so that several
/// versions of a frame can be compared by size before one of them goes into the file.
class BlockEncoder {
  public:
    BlockEncoder(int width, int height, const ColourMap& colours) : stream_(scratch_) {
        if (stream_.get() &&
            EGifPutScreenDesc(stream_.get(), width, height, 8, 0, colours.map) == GIF_OK) {
            ready_ = true;
        }
    }

    bool ready() const { return ready_; }
    int error() const { return stream_.error(); }

    /// Encodes `pixels` (rect.width() x rect.height(), rows without padding) placed at `rect`;
    /// on success `block` holds the image block's bytes.
    bool encode(const QRect& rect, std::vector<uint8_t>& pixels, Bytes& block) {
        scratch_.clear();
        if (EGifPutImageDesc(stream_.get(), rect.left(), rect.top(), rect.width(), rect.height(),
                             false, nullptr) != GIF_OK) {
            return false;
        }
        for (int y = 0; y < rect.height(); ++y) {
            if (EGifPutLine(stream_.get(), pixels.data() + static_cast<size_t>(y) * rect.width(),
                            rect.width()) != GIF_OK) {
                return false;
            }
        }
        block.swap(scratch_);
        return true;
    }

  private:
    Bytes scratch_;
    GifStream stream_;
    bool ready_ = false;
};

/// The bounding rectangle of the pixels in which two index frames differ.
QRect changed_rect(const std::vector<uint8_t>& before, const std::vector<uint8_t>& after, int width,
                   int height) {
    int left = width, right = -1, top = -1, bottom = -1;
    for (int y = 0; y < height; ++y) {
        const uint8_t* a = before.data() + static_cast<size_t>(y) * width;
        const uint8_t* b = after.data() + static_cast<size_t>(y) * width;
        if (std::memcmp(a, b, static_cast<size_t>(width)) == 0) {
            continue;
        }
        if (top < 0) top = y;
        bottom = y;
        for (int x = 0; x < left; ++x) {
            if (a[x] != b[x]) {
                left = x;
                break;
            }
        }
        for (int x = width - 1; x > right; --x) {
            if (a[x] != b[x]) {
                right = x;
                break;
            }
        }
    }
    if (top < 0) {
        return {};
    }
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

/// How the unchanged pixels inside a frame's rectangle are stored.
enum class Fill {
    Opaque,       ///< every pixel with its own colour
    Transparent,  ///< every unchanged pixel transparent
    Runs,         ///< unchanged pixels transparent unless they continue a run of their colour
};

void cut_rect(const std::vector<uint8_t>& before, const std::vector<uint8_t>& after, int width,
              const QRect& rect, Fill fill, int transparent, std::vector<uint8_t>& out) {
    out.resize(static_cast<size_t>(rect.width()) * rect.height());
    uint8_t* dst = out.data();
    const auto t = static_cast<uint8_t>(transparent);
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        const size_t start = static_cast<size_t>(y) * width + rect.left();
        const uint8_t* a = before.data() + start;
        const uint8_t* b = after.data() + start;
        const int n = rect.width();
        switch (fill) {
            case Fill::Opaque:
                std::memcpy(dst, b, static_cast<size_t>(n));
                break;
            case Fill::Transparent:
                for (int x = 0; x < n; ++x) dst[x] = a[x] == b[x] ? t : b[x];
                break;
            case Fill::Runs:
                // Breaking a run of one colour with transparent pixels costs more codes than
                // it saves; a run of transparent pixels is kept going the same way.
                for (int x = 0; x < n; ++x) {
                    const bool continues = x > 0 && dst[x - 1] == b[x];
                    dst[x] = (a[x] == b[x] && !continues) ? t : b[x];
                }
                break;
        }
        dst += n;
    }
}

struct StoredFrame {
    Bytes block;
    int transparent = NO_TRANSPARENT_COLOR;
};

/// Picks the smallest storage of frame i over frame i - 1.
std::expected<StoredFrame, QString> store_frame(const IndexedFrames& frames, size_t i,
                                                const ColourMap& colours, BlockEncoder& encoder) {
    const int w = frames.width;
    const int h = frames.height;
    const std::vector<uint8_t>& now = frames.frames[i];
    std::vector<uint8_t> pixels;
    StoredFrame best;
    auto fail = [&] { return std::unexpected(gif_error(encoder.error())); };

    if (i == 0) {
        pixels = now;
        if (!encoder.encode(QRect(0, 0, w, h), pixels, best.block)) return fail();
        return best;
    }
    const std::vector<uint8_t>& before = frames.frames[i - 1];
    const QRect rect = changed_rect(before, now, w, h);
    if (rect.isEmpty()) {
        // Still one image per frame: one pixel that changes nothing.
        const bool clear = colours.transparent != NO_TRANSPARENT_COLOR;
        pixels.assign(1, clear ? static_cast<uint8_t>(colours.transparent) : now[0]);
        best.transparent = colours.transparent;
        if (!encoder.encode(QRect(0, 0, 1, 1), pixels, best.block)) return fail();
        return best;
    }

    cut_rect(before, now, w, rect, Fill::Opaque, 0, pixels);
    if (!encoder.encode(rect, pixels, best.block)) return fail();
    if (colours.transparent == NO_TRANSPARENT_COLOR) {
        return best;
    }
    Bytes candidate;
    for (Fill fill : {Fill::Transparent, Fill::Runs}) {
        cut_rect(before, now, w, rect, fill, colours.transparent, pixels);
        if (!encoder.encode(rect, pixels, candidate)) return fail();
        if (candidate.size() < best.block.size()) {
            best.block.swap(candidate);
            best.transparent = colours.transparent;
        }
    }
    return best;
}

std::expected<Bytes, QString> write_animation(const IndexedFrames& frames, int delay_cs,
                                              bool reserve_transparent) {
    const ColourMap colours(frames.palette, reserve_transparent);
    if (!colours.map) {
        return std::unexpected(QStringLiteral("out of memory"));
    }
    BlockEncoder encoder(frames.width, frames.height, colours);
    if (!encoder.ready()) {
        return std::unexpected(gif_error(encoder.error()));
    }

    Bytes out;
    GifStream stream(out);
    GifFileType* gif = stream.get();
    if (!gif) {
        return std::unexpected(gif_error(stream.error()));
    }
    EGifSetGifVersion(gif, true);
    static const GifByteType kNetscape[] = "NETSCAPE2.0";
    static const GifByteType kLoopForever[] = {1, 0, 0};
    if (EGifPutScreenDesc(gif, frames.width, frames.height, 8, 0, colours.map) != GIF_OK ||
        EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) != GIF_OK ||
        EGifPutExtensionBlock(gif, 11, kNetscape) != GIF_OK ||
        EGifPutExtensionBlock(gif, 3, kLoopForever) != GIF_OK ||
        EGifPutExtensionTrailer(gif) != GIF_OK) {
        return std::unexpected(gif_error(stream.error()));
    }
    for (size_t i = 0; i < frames.frames.size(); ++i) {
        auto stored = store_frame(frames, i, colours, encoder);
        if (!stored) {
            return std::unexpected(stored.error());
        }
        GraphicsControlBlock control{};
        control.DisposalMode = DISPOSE_DO_NOT;
        control.UserInputFlag = false;
        control.DelayTime = delay_cs;
        control.TransparentColor = stored->transparent;
        GifByteType extension[4];
        const size_t length = EGifGCBToExtension(&control, extension);
        if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) !=
            GIF_OK) {
            return std::unexpected(gif_error(stream.error()));
        }
        // giflib writes straight through to `out`, so the block encoded beforehand is placed
        // exactly where giflib would have written it.
        out.insert(out.end(), stored->block.begin(), stored->block.end());
    }
    if (!stream.close()) {
        return std::unexpected(gif_error(stream.error()));
    }
    return out;
}

}  // namespace

std::expected<EncodedGif, QString> encode_gif_animation(std::span<const QImage> frames,
                                                        int delay_cs) {
    for (const QImage& frame : frames) {
        if (frame.width() > kMaxGifSide || frame.height() > kMaxGifSide) {
            return std::unexpected(QStringLiteral("a frame is larger than a GIF can hold"));
        }
    }
    auto indexed = index_frames(frames);
    if (!indexed) {
        return std::unexpected(indexed.error());
    }
    const size_t colours = indexed->palette.size();
    const bool room_left = !std::has_single_bit(colours) || colours == 1;
    std::expected<Bytes, QString> bytes;
    if (colours >= 256) {
        bytes = write_animation(*indexed, delay_cs, false);
    } else if (room_left) {
        bytes = write_animation(*indexed, delay_cs, true);
    } else {
        // A transparent entry would double the colour map and widen every code by one bit;
        // whether transparency still pays depends on the animation, so both are tried.
        bytes = write_animation(*indexed, delay_cs, true);
        auto opaque = write_animation(*indexed, delay_cs, false);
        if (bytes && opaque && opaque->size() < bytes->size()) {
            bytes = std::move(opaque);
        }
    }
    if (!bytes) {
        return std::unexpected(bytes.error());
    }
    EncodedGif result;
    result.bytes = QByteArray(reinterpret_cast<const char*>(bytes->data()),
                              static_cast<qsizetype>(bytes->size()));
    result.exact = indexed->exact;
    result.colours = static_cast<int>(colours);
    return result;
}

}  // namespace koma
