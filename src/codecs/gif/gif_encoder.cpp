#include "codecs/gif/gif_encoder.h"

#include <gif_lib.h>

#include <QRect>
#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <memory>
#include <numeric>
#include <vector>

#include "codecs/gif/gif_palette.h"
#include "codecs/gif/lzw_choice.h"

namespace koma {

namespace {

constexpr int kMaxGifSide = 65535;

using Bytes = std::vector<uint8_t>;

/// The largest value, in a loop the compiler can vectorise (std::max_element does not).
uint8_t largest(const std::vector<uint8_t>& values) {
    uint8_t most = 0;
    for (const uint8_t v : values) most = std::max(most, v);
    return most;
}

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

/// The global colour map. With a transparent entry it is entry 0, and the colours follow in
/// the order given, so that the colours that change most get the smallest indices: an image
/// block whose indices all lie below 2^k is coded with k-bit LZW codes.
struct ColourMap {
    ColourMap(const std::vector<QRgb>& palette, const std::vector<int>& order,
              bool reserve_transparent, int clear_index = -1)
        : to_entry(palette.size()) {
        const int first = reserve_transparent ? 1 : 0;
        // A colour that stands for clear pixels shares the transparent entry.
        const int skipped = clear_index >= 0 ? 1 : 0;
        const int used = static_cast<int>(palette.size()) + first - skipped;
        const int entries =
            std::max(2, static_cast<int>(std::bit_ceil(static_cast<unsigned>(used))));
        map = GifMakeMapObject(entries, nullptr);
        if (map) {
            std::memset(map->Colors, 0, sizeof(GifColorType) * static_cast<size_t>(entries));
            int entry = first;
            for (size_t k = 0; k < order.size(); ++k) {
                if (order[k] == clear_index) continue;
                const QRgb c = palette[static_cast<size_t>(order[k])];
                map->Colors[entry] = {static_cast<GifByteType>(qRed(c)),
                                      static_cast<GifByteType>(qGreen(c)),
                                      static_cast<GifByteType>(qBlue(c))};
                to_entry[static_cast<size_t>(order[k])] = static_cast<uint8_t>(entry);
                ++entry;
            }
            if (clear_index >= 0) to_entry[static_cast<size_t>(clear_index)] = 0;
        }
        transparent = reserve_transparent ? 0 : NO_TRANSPARENT_COLOR;
    }
    ~ColourMap() { GifFreeMapObject(map); }
    ColourMap(const ColourMap&) = delete;
    ColourMap& operator=(const ColourMap&) = delete;

    ColorMapObject* map = nullptr;
    int transparent = NO_TRANSPARENT_COLOR;
    /// Palette index -> colour map entry.
    std::vector<uint8_t> to_entry;
};

/// LZW-encodes image blocks (descriptor and data) with giflib, one at a time, so that several
/// versions of a frame can be compared by size before one of them goes into the file. Each
/// block gets the smallest LZW code size that holds its largest index; giflib takes the code
/// size from the colour map, so there is one scratch stream per size, whose map only sets it.
class BlockEncoder {
  public:
    BlockEncoder(int width, int height) : width_(width), height_(height) {}

    int error() const { return error_; }

    /// Encodes `pixels` (rect.width() x rect.height(), rows without padding) placed at `rect`;
    /// on success `block` holds the image block's bytes.
    bool encode(const QRect& rect, std::vector<uint8_t>& pixels, Bytes& block) {
        const int bits = std::max(2, static_cast<int>(std::bit_width(largest(pixels))));
        Scratch& scratch = scratch_for(bits);
        if (!scratch.stream) {
            return false;
        }
        GifFileType* gif = scratch.stream->get();
        scratch.bytes.clear();
        if (EGifPutImageDesc(gif, rect.left(), rect.top(), rect.width(), rect.height(), false,
                             nullptr) != GIF_OK) {
            error_ = gif->Error;
            return false;
        }
        for (int y = 0; y < rect.height(); ++y) {
            if (EGifPutLine(gif, pixels.data() + static_cast<size_t>(y) * rect.width(),
                            rect.width()) != GIF_OK) {
                error_ = gif->Error;
                return false;
            }
        }
        block.swap(scratch.bytes);
        return true;
    }

  private:
    struct Scratch {
        Bytes bytes;
        std::unique_ptr<GifStream> stream;
    };

    Scratch& scratch_for(int bits) {
        Scratch& scratch = scratches_[static_cast<size_t>(bits)];
        if (!scratch.stream) {
            auto stream = std::make_unique<GifStream>(scratch.bytes);
            ColorMapObject* map = GifMakeMapObject(1 << bits, nullptr);
            const bool ready =
                stream->get() && map &&
                EGifPutScreenDesc(stream->get(), width_, height_, 8, 0, map) == GIF_OK;
            GifFreeMapObject(map);
            if (ready) {
                scratch.stream = std::move(stream);
            } else {
                error_ = stream->error() ? stream->error() : E_GIF_ERR_NOT_ENOUGH_MEM;
            }
        }
        return scratch;
    }

    int width_;
    int height_;
    int error_ = 0;
    std::array<Scratch, 9> scratches_;
};

struct StoredFrame {
    Bytes block;
    int transparent = NO_TRANSPARENT_COLOR;
};

/// Picks the smallest storage of frame i over the frame before it. Every candidate is measured
/// with giflib's code stream counted, not written; only the smallest one is encoded.
std::expected<StoredFrame, QString> store_frame(const IndexedFrame& frame, bool first,
                                                uint8_t corner_entry, const ColourMap& colours,
                                                BlockEncoder& encoder) {
    StoredFrame best;
    auto fail = [&] { return std::unexpected(gif_error(encoder.error())); };
    const bool clear = colours.transparent != NO_TRANSPARENT_COLOR;

    if (!first && frame.rect.isEmpty()) {
        // Still one image per frame: one pixel that changes nothing.
        std::vector<uint8_t> pixel(
            1, clear ? static_cast<uint8_t>(colours.transparent) : corner_entry);
        best.transparent = colours.transparent;
        if (!encoder.encode(QRect(0, 0, 1, 1), pixel, best.block)) return fail();
        return best;
    }
    std::vector<uint8_t> entries(frame.indices.size());
    for (size_t k = 0; k < entries.size(); ++k) entries[k] = colours.to_entry[frame.indices[k]];
    if (first || !clear) {
        if (!encoder.encode(frame.rect, entries, best.block)) return fail();
        return best;
    }

    LzwChoice choice =
        choose_transparency(entries, frame.unchanged, static_cast<size_t>(frame.rect.width()),
                            static_cast<uint8_t>(colours.transparent));
    if (!encoder.encode(frame.rect, choice.pixels, best.block)) return fail();
    if (choice.uses_transparent) best.transparent = colours.transparent;
    return best;
}

/// The palette indices in the order of how often they appear in what changes after the first
/// frame (most first), then the rest, so that most frames need short LZW codes.
std::vector<int> colour_order(const IndexedFrames& frames) {
    std::array<uint64_t, 256> uses{};
    for (size_t i = 1; i < frames.frames.size(); ++i) {
        for (uint8_t index : frames.frames[i].indices) ++uses[index];
    }
    std::vector<int> order(frames.palette.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return uses[static_cast<size_t>(a)] > uses[static_cast<size_t>(b)];
    });
    return order;
}

/// For an animation with clear pixels (palette index `clear_index`): whether frame i turns some
/// pixel clear that the frame before showed, which drawing over that frame cannot do.
std::vector<bool> frames_clearing(const IndexedFrames& frames, int clear_index) {
    std::vector<bool> clearing(frames.frames.size(), false);
    std::vector<uint8_t> canvas(static_cast<size_t>(frames.width) * frames.height, 0);
    for (size_t i = 0; i < frames.frames.size(); ++i) {
        const IndexedFrame& frame = frames.frames[i];
        for (int y = 0; y < frame.rect.height(); ++y) {
            for (int x = 0; x < frame.rect.width(); ++x) {
                const uint8_t index =
                    frame.indices[static_cast<size_t>(y) * frame.rect.width() + x];
                uint8_t& shown = canvas[static_cast<size_t>(frame.rect.top() + y) * frames.width +
                                        frame.rect.left() + x];
                if (i > 0 && index == clear_index && shown != clear_index) clearing[i] = true;
                shown = index;
            }
        }
    }
    return clearing;
}

std::expected<Bytes, QString> write_animation(const IndexedFrames& frames, const GifDelays& delays,
                                              int plays, bool reserve_transparent,
                                              int clear_index = -1) {
    const ColourMap colours(frames.palette, colour_order(frames), reserve_transparent, clear_index);
    // Clear pixels: a frame before one that clears pixels is stored whole and disposed to the
    // (clear) background, and the clearing frame is stored whole over it. Every other frame is
    // drawn over the one before as usual; a clear pixel there was already clear.
    const std::vector<bool> clearing =
        clear_index >= 0 ? frames_clearing(frames, clear_index) : std::vector<bool>();
    std::vector<uint8_t> canvas(
        clear_index >= 0 ? static_cast<size_t>(frames.width) * frames.height : 0, 0);
    if (!colours.map) {
        return std::unexpected(QStringLiteral("out of memory"));
    }
    BlockEncoder encoder(frames.width, frames.height);

    Bytes out;
    GifStream stream(out);
    GifFileType* gif = stream.get();
    if (!gif) {
        return std::unexpected(gif_error(stream.error()));
    }
    EGifSetGifVersion(gif, true);
    static const GifByteType kNetscape[] = "NETSCAPE2.0";
    // The loop extension counts repeats after the first play; one play needs none.
    const int repeats = plays == 0 ? 0 : plays - 1;
    const GifByteType loop[] = {1, static_cast<GifByteType>(repeats & 0xFF),
                                static_cast<GifByteType>((repeats >> 8) & 0xFF)};
    if (EGifPutScreenDesc(gif, frames.width, frames.height, 8, 0, colours.map) != GIF_OK) {
        return std::unexpected(gif_error(stream.error()));
    }
    if (plays != 1 &&
        (EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) != GIF_OK ||
         EGifPutExtensionBlock(gif, 11, kNetscape) != GIF_OK ||
         EGifPutExtensionBlock(gif, 3, loop) != GIF_OK || EGifPutExtensionTrailer(gif) != GIF_OK)) {
        return std::unexpected(gif_error(stream.error()));
    }
    // The top-left pixel, which an unchanged frame repeats when there is no transparent entry.
    uint8_t corner = 0;
    for (size_t i = 0; i < frames.frames.size(); ++i) {
        const IndexedFrame& frame = frames.frames[i];
        if (frame.rect.contains(0, 0)) corner = frame.indices.front();
        bool whole = false;
        bool dispose = false;
        IndexedFrame whole_frame;
        if (clear_index >= 0) {
            for (int y = 0; y < frame.rect.height(); ++y) {
                std::memcpy(canvas.data() +
                                static_cast<size_t>(frame.rect.top() + y) * frames.width +
                                frame.rect.left(),
                            frame.indices.data() + static_cast<size_t>(y) * frame.rect.width(),
                            static_cast<size_t>(frame.rect.width()));
            }
            dispose = i + 1 < clearing.size() && clearing[i + 1];
            whole = i > 0 && (clearing[i] || dispose);
            if (whole) {
                whole_frame.rect = QRect(0, 0, frames.width, frames.height);
                whole_frame.indices = canvas;
                whole_frame.unchanged.assign(canvas.size(), 0);
            }
        }
        auto stored = store_frame(whole ? whole_frame : frame, i == 0 || whole,
                                  colours.to_entry[corner], colours, encoder);
        if (!stored) {
            return std::unexpected(stored.error());
        }
        GraphicsControlBlock control{};
        control.DisposalMode = dispose ? DISPOSE_BACKGROUND : DISPOSE_DO_NOT;
        control.UserInputFlag = false;
        control.DelayTime = delays.of(i);
        control.TransparentColor = clear_index >= 0 ? colours.transparent : stored->transparent;
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

std::expected<EncodedGif, QString> encode_gif_animation(const PatchedFrames& frames,
                                                        const GifDelays& delays, int plays,
                                                        std::optional<QRgb> clear) {
    if (frames.size.width() > kMaxGifSide || frames.size.height() > kMaxGifSide) {
        return std::unexpected(QStringLiteral("a frame is larger than a GIF can hold"));
    }
    auto indexed = index_frames(frames);
    if (!indexed) {
        return std::unexpected(indexed.error());
    }
    const size_t colours = indexed->palette.size();
    const bool room_left = !std::has_single_bit(colours) || colours == 1;
    int clear_index = -1;
    if (clear) {
        const auto it = std::find(indexed->palette.begin(), indexed->palette.end(), *clear);
        if (it != indexed->palette.end()) {
            clear_index = static_cast<int>(it - indexed->palette.begin());
        }
    }
    std::expected<Bytes, QString> bytes;
    if (clear_index >= 0) {
        bytes = write_animation(*indexed, delays, plays, true, clear_index);
    } else if (colours >= 256) {
        bytes = write_animation(*indexed, delays, plays, false);
    } else if (room_left) {
        bytes = write_animation(*indexed, delays, plays, true);
    } else {
        // A transparent entry would double the colour map and widen every code by one bit;
        // whether transparency still pays depends on the animation, so both are tried.
        bytes = write_animation(*indexed, delays, plays, true);
        auto opaque = write_animation(*indexed, delays, plays, false);
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

std::expected<EncodedGif, QString> encode_gif_animation(std::span<const QImage> frames,
                                                        const GifDelays& delays, int plays,
                                                        std::optional<QRgb> clear) {
    if (frames.empty()) {
        return std::unexpected(QStringLiteral("there are no frames"));
    }
    PatchedFrames patched;
    patched.size = frames.front().size();
    for (const QImage& frame : frames) {
        if (frame.size() != patched.size) {
            return std::unexpected(QStringLiteral("the frames differ in size"));
        }
        patched.patches.push_back({QPoint(0, 0), frame});
    }
    return encode_gif_animation(patched, delays, plays, clear);
}

}  // namespace koma
