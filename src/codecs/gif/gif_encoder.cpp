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
#include "raster/integer_scale.h"

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

/// Codes image blocks (descriptor and data) one at a time, so that several versions of a frame
/// can be compared by size before one of them goes into the file. Each block gets the smallest
/// LZW code size that holds its largest index. The bytes are those giflib's EGifPutImageDesc
/// and EGifPutLine write for the block (see append_lzw_data).
class BlockEncoder {
  public:
    /// Codes `pixels` (rect.width() x rect.height(), rows without padding) placed at `rect` into
    /// `block`.
    void encode(const QRect& rect, const std::vector<uint8_t>& pixels, Bytes& block) {
        const int bits = std::max(2, static_cast<int>(std::bit_width(largest(pixels))));
        block.clear();
        block.reserve(16 + pixels.size() / 2);
        block.push_back(0x2C);  // image separator
        for (const int v : {rect.left(), rect.top(), rect.width(), rect.height()}) {
            block.push_back(static_cast<uint8_t>(v & 0xFF));
            block.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
        }
        block.push_back(0);  // no local colour map, not interlaced
        append_lzw_data(pixels, bits, block);
    }
};

struct StoredFrame {
    Bytes block;
    int transparent = NO_TRANSPARENT_COLOR;
};

/// Picks the smallest storage of frame i over the frame before it. Every candidate is measured
/// with giflib's code stream counted, not written; only the smallest one is encoded.
std::expected<StoredFrame, QString> store_frame(const IndexedFrame& frame, bool first,
                                                const ColourMap& colours, BlockEncoder& encoder) {
    StoredFrame best;
    const bool clear = colours.transparent != NO_TRANSPARENT_COLOR;

    if (!first && frame.rect.isEmpty()) {
        // Still one image per frame: one transparent pixel, which changes nothing.
        std::vector<uint8_t> pixel(1, clear ? static_cast<uint8_t>(colours.transparent) : 0);
        best.transparent = clear ? colours.transparent : 0;
        encoder.encode(QRect(0, 0, 1, 1), pixel, best.block);
        return best;
    }
    std::vector<uint8_t> entries(frame.indices.size());
    for (size_t k = 0; k < entries.size(); ++k) entries[k] = colours.to_entry[frame.indices[k]];
    // Only unchanged pixels can be stored as the transparent entry.
    const bool any_unchanged =
        std::find(frame.unchanged.begin(), frame.unchanged.end(), 1) != frame.unchanged.end();
    if (first || !any_unchanged) {
        encoder.encode(frame.rect, entries, best.block);
        return best;
    }
    // Without an entry kept for transparency, any entry the block does not use can be this
    // image's transparent one: one that does not widen its codes.
    int transparent = colours.transparent;
    if (!clear) {
        std::array<bool, 256> used{};
        uint8_t most = 0;
        for (const uint8_t e : entries) {
            used[e] = true;
            most = std::max(most, e);
        }
        const int limit = std::min(colours.map->ColorCount,
                                   1 << std::max(2, static_cast<int>(std::bit_width(most))));
        for (int e = 0; e < limit && transparent == NO_TRANSPARENT_COLOR; ++e) {
            if (!used[static_cast<size_t>(e)]) transparent = e;
        }
        if (transparent == NO_TRANSPARENT_COLOR) {
            encoder.encode(frame.rect, entries, best.block);
            return best;
        }
    }
    LzwChoice choice =
        choose_transparency(entries, frame.unchanged, static_cast<size_t>(frame.rect.width()),
                            static_cast<uint8_t>(transparent));
    encoder.encode(frame.rect, choice.pixels, best.block);
    if (choice.uses_transparent) best.transparent = transparent;
    return best;
}

/// The palette indices in the order of how often they appear in what changes after the first
/// frame (most first), then the rest, so that most frames need short LZW codes.
std::vector<int> colour_order(const std::array<uint64_t, 256>& uses, size_t colours) {
    std::vector<int> order(colours);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return uses[static_cast<size_t>(a)] > uses[static_cast<size_t>(b)];
    });
    return order;
}

/// Indices of one frame size, row by row.
class IndexImage {
  public:
    IndexImage(int width, int height, uint8_t fill)
        : width_(width), indices_(static_cast<size_t>(width) * height, fill) {}
    uint8_t& at(int x, int y) { return indices_[static_cast<size_t>(y) * width_ + x]; }
    const uint8_t* row(int y) const { return &indices_[static_cast<size_t>(y) * width_]; }
    void fill(const QRect& rect, uint8_t value) {
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            std::memset(&at(rect.left(), y), value, static_cast<size_t>(rect.width()));
        }
    }
    /// Paints the frame's indices where it changed.
    void paint(const IndexedFrame& frame) {
        for (int y = 0; y < frame.rect.height(); ++y) {
            std::memcpy(&at(frame.rect.left(), frame.rect.top() + y),
                        frame.indices.data() + static_cast<size_t>(y) * frame.rect.width(),
                        static_cast<size_t>(frame.rect.width()));
        }
    }

  private:
    int width_;
    std::vector<uint8_t> indices_;
};

/// The pixels of `after` inside `rect` as a frame drawn over `before`; each is called with a
/// row number and gives that row of indices, the whole frame's width. A pixel clear in both is
/// not marked unchanged: stored as it is, it is already the transparent entry.
template <typename After, typename Before>
IndexedFrame frame_over(const QRect& rect, uint8_t clear, const After& after,
                        const Before& before) {
    IndexedFrame frame;
    frame.rect = rect;
    const size_t n = static_cast<size_t>(rect.width()) * static_cast<size_t>(rect.height());
    frame.indices.resize(n);
    frame.unchanged.resize(n);
    size_t k = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        const uint8_t* a = after(y);
        const uint8_t* b = before(y);
        for (int x = rect.left(); x <= rect.right(); ++x, ++k) {
            frame.indices[k] = a[x];
            frame.unchanged[k] = a[x] != clear && a[x] == b[x];
        }
    }
    return frame;
}

/// The bounding rectangle of the pixels of `area` in which the rows of `a` and `b` differ.
template <typename A, typename B>
QRect differing(const QRect& area, const A& a, const B& b) {
    PixelBounds differs;
    const size_t width = static_cast<size_t>(area.width());
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const uint8_t* ra = a(y) + area.left();
        const uint8_t* rb = b(y) + area.left();
        if (std::memcmp(ra, rb, width) == 0) continue;
        size_t left = 0;
        while (ra[left] == rb[left]) ++left;
        size_t right = width - 1;
        while (ra[right] == rb[right]) --right;
        differs.add(area.left() + static_cast<int>(left), y);
        differs.add(area.left() + static_cast<int>(right), y);
    }
    return differs.rect();
}

/// Writes an animated GIF frame by frame as the frames come, each frame's image block once it
/// is coded; only the frame before waits, for its disposal. Without clear pixels every frame
/// after the first is drawn over the one before (no disposal). With them (palette index
/// `clear_index`), a frame that clears pixels the frame before showed needs that frame
/// disposed to the (clear) background: the frame before is disposed so when the pixels lie in
/// its rectangle and that codes smaller than drawing over it, and is coded again over a
/// rectangle that takes them in when they do not. Holds two index images of the frame's size.
class AnimationWriter {
  public:
    AnimationWriter(QSize size, const std::vector<QRgb>& palette, const std::vector<int>& order,
                    bool reserve_transparent, int clear_index, const GifDelays& delays, int plays)
        : size_(size),
          colours_(palette, order, reserve_transparent, clear_index),
          encoder_(),
          stream_(out_),
          clear_index_(clear_index),
          delays_(delays),
          plays_(plays) {
        if (clear_index >= 0) {
            shown_.emplace(size.width(), size.height(), static_cast<uint8_t>(clear_index));
            under_.emplace(size.width(), size.height(), static_cast<uint8_t>(clear_index));
            next_.emplace(size.width(), size.height(), static_cast<uint8_t>(clear_index));
        }
    }

    std::expected<void, QString> add(const IndexedFrame& frame) {
        if (added_ == 0) {
            if (auto started = start(); !started) return started;
        }
        auto added = clear_index_ >= 0 ? add_clearing(frame) : add_drawn_over(frame);
        ++added_;
        return added;
    }

    std::expected<Bytes, QString> finish() {
        if (clear_index_ >= 0 && added_ > 0) {
            if (auto written = write_pending(DISPOSE_DO_NOT); !written) {
                return std::unexpected(written.error());
            }
        }
        if (!stream_.close()) {
            return std::unexpected(gif_error(stream_.error()));
        }
        return std::move(out_);
    }

  private:
    struct Pending {
        QRect rect;
        StoredFrame stored;
    };

    std::expected<void, QString> start() {
        GifFileType* gif = stream_.get();
        if (!colours_.map) {
            return std::unexpected(QStringLiteral("out of memory"));
        }
        if (!gif) {
            return std::unexpected(gif_error(stream_.error()));
        }
        EGifSetGifVersion(gif, true);
        static const GifByteType kNetscape[] = "NETSCAPE2.0";
        // The loop extension counts repeats after the first play; one play needs none.
        const int repeats = plays_ == 0 ? 0 : plays_ - 1;
        const GifByteType loop[] = {1, static_cast<GifByteType>(repeats & 0xFF),
                                    static_cast<GifByteType>((repeats >> 8) & 0xFF)};
        if (EGifPutScreenDesc(gif, size_.width(), size_.height(), 8, 0, colours_.map) != GIF_OK) {
            return std::unexpected(gif_error(stream_.error()));
        }
        if (plays_ != 1 && (EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) != GIF_OK ||
                            EGifPutExtensionBlock(gif, 11, kNetscape) != GIF_OK ||
                            EGifPutExtensionBlock(gif, 3, loop) != GIF_OK ||
                            EGifPutExtensionTrailer(gif) != GIF_OK)) {
            return std::unexpected(gif_error(stream_.error()));
        }
        return {};
    }

    /// Writes frame `frame`, stored as `stored`.
    std::expected<void, QString> write(const StoredFrame& stored, int frame, int disposal) {
        GraphicsControlBlock control{};
        control.DisposalMode = disposal;
        control.UserInputFlag = false;
        control.DelayTime = delays_.of(static_cast<size_t>(frame));
        control.TransparentColor = clear_index_ >= 0 ? colours_.transparent : stored.transparent;
        GifByteType extension[4];
        const size_t length = EGifGCBToExtension(&control, extension);
        if (EGifPutExtension(stream_.get(), GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length),
                             extension) != GIF_OK) {
            return std::unexpected(gif_error(stream_.error()));
        }
        // giflib writes straight through to `out_`, so the block encoded beforehand is placed
        // exactly where giflib would have written it.
        out_.insert(out_.end(), stored.block.begin(), stored.block.end());
        return {};
    }

    /// Writes the frame before the one being added (or, at the end, the last frame).
    std::expected<void, QString> write_pending(int disposal) {
        return write(pending_.stored, added_ - 1, disposal);
    }

    std::expected<void, QString> add_drawn_over(const IndexedFrame& frame) {
        auto stored = store_frame(frame, added_ == 0, colours_, encoder_);
        if (!stored) return std::unexpected(stored.error());
        return write(*stored, added_, DISPOSE_DO_NOT);
    }

    std::expected<StoredFrame, QString> store(const IndexedFrame& frame, bool first) {
        return store_frame(frame, first, colours_, encoder_);
    }

    std::expected<void, QString> add_clearing(const IndexedFrame& frame) {
        const uint8_t clear = static_cast<uint8_t>(clear_index_);
        IndexImage& shown = *shown_;
        IndexImage& under = *under_;
        if (added_ == 0) {
            auto stored = store(frame, true);
            if (!stored) return std::unexpected(stored.error());
            shown.paint(frame);
            pending_ = {frame.rect, std::move(*stored)};
            return {};
        }
        // What this frame shows, and the pixels it clears that the frame before showed.
        IndexImage& next = *next_;
        next = shown;
        next.paint(frame);
        PixelBounds clearing;
        for (int y = frame.rect.top(); y <= frame.rect.bottom(); ++y) {
            const uint8_t* now = next.row(y);
            const uint8_t* before = shown.row(y);
            for (int x = frame.rect.left(); x <= frame.rect.right(); ++x) {
                if (now[x] == clear && before[x] != clear) clearing.add(x, y);
            }
        }
        const QRect newly = clearing.rect();
        auto next_row = [&](int y) { return next.row(y); };
        // Drawn over the frame before disposed to the background: its rectangle `cleared` is
        // clear, and the frame stores what differs from that.
        auto over_cleared = [&](const QRect& cleared) -> std::expected<Pending, QString> {
            std::vector<uint8_t> row(static_cast<size_t>(size_.width()));
            auto base_row = [&](int y) {
                std::memcpy(row.data(), shown.row(y), row.size());
                if (y >= cleared.top() && y <= cleared.bottom()) {
                    std::memset(row.data() + cleared.left(), clear,
                                static_cast<size_t>(cleared.width()));
                }
                return static_cast<const uint8_t*>(row.data());
            };
            const QRect rect = differing(frame.rect | cleared, next_row, base_row);
            IndexedFrame over;
            if (!rect.isEmpty()) over = frame_over(rect, clear, next_row, base_row);
            auto stored = store(over, false);
            if (!stored) return std::unexpected(stored.error());
            return Pending{rect.isEmpty() ? QRect(0, 0, 1, 1) : rect, std::move(*stored)};
        };

        std::optional<Pending> best;
        int disposal = DISPOSE_DO_NOT;
        if (newly.isEmpty()) {
            auto drawn = store(frame, false);
            if (!drawn) return std::unexpected(drawn.error());
            best =
                Pending{frame.rect.isEmpty() ? QRect(0, 0, 1, 1) : frame.rect, std::move(*drawn)};
        }
        if (newly.isEmpty() || pending_.rect.contains(newly)) {
            auto cleared = over_cleared(pending_.rect);
            if (!cleared) return std::unexpected(cleared.error());
            if (!best || cleared->stored.block.size() < best->stored.block.size()) {
                best = std::move(*cleared);
                disposal = DISPOSE_BACKGROUND;
            }
        }
        if (!best) {
            // The frame before is coded again over a rectangle that takes in what this one
            // clears, and disposed to the background.
            const QRect wider = pending_.rect | newly;
            const IndexedFrame before = frame_over(
                wider, clear, [&](int y) { return shown.row(y); },
                [&](int y) { return under.row(y); });
            auto again = store(before, added_ == 1);
            if (!again) return std::unexpected(again.error());
            pending_ = {wider, std::move(*again)};
            auto cleared = over_cleared(wider);
            if (!cleared) return std::unexpected(cleared.error());
            best = std::move(*cleared);
            disposal = DISPOSE_BACKGROUND;
        }
        if (auto written = write_pending(disposal); !written) return written;
        // What the next frame's frame before was drawn over, and what it shows.
        std::swap(under, shown);
        if (disposal == DISPOSE_BACKGROUND) under.fill(pending_.rect, clear);
        std::swap(shown, next);
        pending_ = std::move(*best);
        return {};
    }

    QSize size_;
    ColourMap colours_;
    BlockEncoder encoder_;
    Bytes out_;
    GifStream stream_;
    int clear_index_;
    GifDelays delays_;
    int plays_;
    int added_ = 0;
    /// With clear pixels: what the frame before shows, what it was drawn over, and itself coded.
    std::optional<IndexImage> shown_;
    std::optional<IndexImage> under_;
    std::optional<IndexImage> next_;
    Pending pending_;
};

/// `frame` enlarged `scale` times: each index (and its unchanged flag) an exact block.
IndexedFrame scaled_frame(const IndexedFrame& frame, int scale) {
    IndexedFrame big;
    const QRect& r = frame.rect;
    big.rect = QRect(r.left() * scale, r.top() * scale, r.width() * scale, r.height() * scale);
    if (r.isEmpty()) return big;
    const size_t n = static_cast<size_t>(big.rect.width()) * static_cast<size_t>(big.rect.height());
    big.indices.resize(n);
    scale_pixels_8(frame.indices.data(), r.width(), r.width(), r.height(), scale,
                   big.indices.data(), big.rect.width());
    if (!frame.unchanged.empty()) {
        big.unchanged.resize(n);
        scale_pixels_8(frame.unchanged.data(), r.width(), r.width(), r.height(), scale,
                       big.unchanged.data(), big.rect.width());
    }
    return big;
}

/// Encodes the frames of `source` (see encode_gif_animation).
std::expected<EncodedGif, QString> encode_gif(const PatchSource& source, const GifDelays& delays,
                                              int plays, int scale) {
    if (scale < 1 || scale > kMaxScale) {
        return std::unexpected(
            QStringLiteral("the scale %1 lies outside 1 to %2").arg(scale).arg(kMaxScale));
    }
    const QSize size = source.frame_size() * scale;
    if (size.width() > kMaxGifSide || size.height() > kMaxGifSide) {
        return std::unexpected(QStringLiteral("a frame is larger than a GIF can hold"));
    }
    auto palette = animation_palette(source);
    if (!palette) {
        return std::unexpected(palette.error());
    }
    std::array<uint64_t, 256> uses{};
    if (!palette->uses.empty()) {
        std::copy(palette->uses.begin(), palette->uses.end(), uses.begin());
    } else {
        bool first = true;
        auto counted = each_indexed_frame(source, *palette, [&](const IndexedFrame& frame) {
            if (!first) {
                for (const uint8_t index : frame.indices) ++uses[index];
            }
            first = false;
            return std::expected<void, QString>();
        });
        if (!counted) return std::unexpected(counted.error());
    }
    const std::vector<int> order = colour_order(uses, palette->colours.size());

    // Clear pixels need an entry of their own. Otherwise each image makes an entry it does not
    // use its transparent one (see store_frame), so no entry is set aside: that would push
    // colours to higher entries and widen the codes of the images that use them.
    const size_t colours = palette->colours.size();
    AnimationWriter writer(size, palette->colours, order, palette->clear >= 0, palette->clear,
                           delays, plays);
    // The colours are chosen on the frames as they are; only their indices are enlarged, one
    // frame at a time, so that every scale shows the same colours.
    auto written = each_indexed_frame(source, *palette, [&](const IndexedFrame& frame) {
        return scale == 1 ? writer.add(frame) : writer.add(scaled_frame(frame, scale));
    });
    if (!written) return std::unexpected(written.error());
    auto bytes = writer.finish();
    if (!bytes) return std::unexpected(bytes.error());
    EncodedGif result;
    result.bytes = QByteArray(reinterpret_cast<const char*>(bytes->data()),
                              static_cast<qsizetype>(bytes->size()));
    result.exact = palette->exact;
    result.colours = static_cast<int>(colours) - (palette->clear >= 0 ? 1 : 0);
    return result;
}

}  // namespace

std::expected<EncodedGif, QString> encode_gif_animation(const PatchSource& frames,
                                                        const GifDelays& delays, int plays,
                                                        int scale) {
    return encode_gif(frames, delays, plays, scale);
}

std::expected<EncodedGif, QString> encode_gif_animation(const PatchedFrames& frames,
                                                        const GifDelays& delays, int plays) {
    if (frames.size.width() > kMaxGifSide || frames.size.height() > kMaxGifSide) {
        return std::unexpected(QStringLiteral("a frame is larger than a GIF can hold"));
    }
    return encode_gif(HeldPatches(frames), delays, plays, 1);
}

std::expected<EncodedGif, QString> encode_gif_animation(std::span<const QImage> frames,
                                                        const GifDelays& delays, int plays) {
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
    return encode_gif_animation(patched, delays, plays);
}

}  // namespace koma
