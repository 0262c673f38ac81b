#include "codecs/gif/gif_palette.h"

#include <dlfcn.h>
#include <libimagequant.h>

#include <QImage>
#include <algorithm>
#include <array>
#include <memory>

#include "codecs/gif/nearest_colour.h"

namespace koma {

namespace {

constexpr size_t kMaxColours = 256;

/// A patch clipped to the frame: `region` in frame coordinates, `pixels` RGB32 with their
/// top-left corner at `at`.
struct Clipped {
    QRect region;
    QImage pixels;
    QPoint at;

    const QRgb* row(int y) const {
        return reinterpret_cast<const QRgb*>(pixels.constScanLine(y - at.y())) - at.x();
    }
};

Clipped clip(const FramePatch& patch, const QRect& frame) {
    if (patch.pixels.isNull()) return {};
    Clipped c;
    c.region = QRect(patch.at, patch.pixels.size()).intersected(frame);
    c.at = patch.at;
    c.pixels = patch.pixels.format() == QImage::Format_RGB32 ||
                       patch.pixels.format() == QImage::Format_ARGB32
                   ? patch.pixels
                   : patch.pixels.convertToFormat(QImage::Format_RGB32);
    return c;
}

/// Colour to palette index, for at most 256 colours: open addressing over 1024 slots.
class ColourTable {
  public:
    /// The colour's index, adding it when new; -1 once a 257th colour turns up.
    int index_of(QRgb colour) {
        colour &= 0xFFFFFFu;
        if (colour == last_colour_) {
            return last_index_;
        }
        // Keys carry bit 24 so that 0 can mark an empty slot.
        const uint32_t key = colour | kUsed;
        uint32_t slot = (colour * 0x9E3779B1u) >> 22;
        while (keys_[slot] != key) {
            if (keys_[slot] == 0) {
                if (colours_.size() == kMaxColours) {
                    return -1;
                }
                keys_[slot] = key;
                indices_[slot] = static_cast<uint8_t>(colours_.size());
                colours_.push_back(qRgb(qRed(colour), qGreen(colour), qBlue(colour)));
                break;
            }
            slot = (slot + 1) & (kSlots - 1);
        }
        last_colour_ = colour;
        last_index_ = indices_[slot];
        return last_index_;
    }

    std::vector<QRgb> take_colours() { return std::move(colours_); }

  private:
    static constexpr uint32_t kSlots = 1024;
    static constexpr uint32_t kUsed = 0x1000000u;
    std::array<uint32_t, kSlots> keys_{};
    std::array<uint8_t, kSlots> indices_{};
    std::vector<QRgb> colours_;
    QRgb last_colour_ = 0xFF000000u;  // never a masked colour
    int last_index_ = -1;
};

/// The bounding box of marked pixels, grown one pixel at a time.
struct Bounds {
    int left = INT32_MAX, top = INT32_MAX, right = -1, bottom = -1;
    void add(int x, int y) {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
    QRect rect() const {
        return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
    }
};

/// The index image of the animation so far, and how each frame changes it.
class IndexCanvas {
  public:
    IndexCanvas(int width, int height)
        : width_(width), indices_(static_cast<size_t>(width) * height, 0) {}

    uint8_t at(int x, int y) const { return indices_[static_cast<size_t>(y) * width_ + x]; }

    /// Records in `frame` the indices `mapped` (covering `region`, rows without padding) where
    /// they differ from the canvas, `changed` being their bounding box, and paints them in.
    void apply(const QRect& region, const std::vector<uint8_t>& mapped, const QRect& changed,
               bool first, IndexedFrame& frame) {
        frame.rect = changed;
        if (changed.isEmpty()) return;
        const size_t n = static_cast<size_t>(changed.width()) * changed.height();
        frame.indices.resize(n);
        frame.unchanged.assign(n, 0);
        size_t k = 0;
        for (int y = changed.top(); y <= changed.bottom(); ++y) {
            const uint8_t* src = mapped.data() +
                                 static_cast<size_t>(y - region.top()) * region.width() -
                                 region.left();
            uint8_t* dst = indices_.data() + static_cast<size_t>(y) * width_;
            for (int x = changed.left(); x <= changed.right(); ++x, ++k) {
                frame.indices[k] = src[x];
                frame.unchanged[k] = !first && dst[x] == src[x];
                dst[x] = src[x];
            }
        }
    }

  private:
    int width_;
    std::vector<uint8_t> indices_;
};

/// Maps every frame exactly; false at the 257th colour.
bool index_exact(const PatchedFrames& in, IndexedFrames& out) {
    const QRect frame_rect(QPoint(0, 0), in.size);
    ColourTable table;
    IndexCanvas canvas(out.width, out.height);
    std::vector<uint8_t> mapped;
    for (size_t i = 0; i < in.patches.size(); ++i) {
        const bool first = i == 0;
        const Clipped patch = clip(in.patches[i], frame_rect);
        if (patch.region.isEmpty()) continue;
        const QRect& r = patch.region;
        mapped.resize(static_cast<size_t>(r.width()) * r.height());
        Bounds changed;
        size_t k = 0;
        for (int y = r.top(); y <= r.bottom(); ++y) {
            const QRgb* src = patch.row(y);
            for (int x = r.left(); x <= r.right(); ++x, ++k) {
                const int index = table.index_of(src[x]);
                if (index < 0) return false;
                mapped[k] = static_cast<uint8_t>(index);
                if (first || canvas.at(x, y) != index) changed.add(x, y);
            }
        }
        canvas.apply(r, mapped, changed.rect(), first, out.frames[i]);
    }
    out.palette = table.take_colours();
    out.exact = true;
    return true;
}

struct LiqDeleter {
    void operator()(liq_attr* p) const { liq_attr_destroy(p); }
    void operator()(liq_histogram* p) const { liq_histogram_destroy(p); }
    void operator()(liq_image* p) const { liq_image_destroy(p); }
    void operator()(liq_result* p) const { liq_result_destroy(p); }
};
template <typename T>
using LiqPtr = std::unique_ptr<T, LiqDeleter>;

std::vector<void*> rgba_rows(QImage& rgba) {
    std::vector<void*> rows;
    rows.reserve(static_cast<size_t>(rgba.height()));
    for (int y = 0; y < rgba.height(); ++y) rows.push_back(rgba.scanLine(y));
    return rows;
}

// libimagequant spreads its loops over OpenMP threads whose idle ones spin while they wait;
// for the few frames of an animation that burns more processor time than it saves, and slows
// whatever else the machine runs. One thread, asked for at run time (the library brings OpenMP
// in with it), so that nothing of ours links OpenMP.
void quantise_on_one_thread() {
    using SetThreads = void (*)(int);
    if (auto set = reinterpret_cast<SetThreads>(dlsym(RTLD_DEFAULT, "omp_set_num_threads"))) {
        set(1);
    }
}

/// One shared palette from libimagequant over what every frame changes, then every changed
/// pixel mapped to its nearest entry.
std::expected<void, QString> index_lossy(const PatchedFrames& in, IndexedFrames& out) {
    const QRect frame_rect(QPoint(0, 0), in.size);
    const size_t n = in.patches.size();

    // What really changes in colour, frame by frame, against a canvas of the frames so far.
    QImage canvas(in.size, QImage::Format_RGB32);
    std::vector<Clipped> patches(n);
    std::vector<QRect> changes(n);
    std::vector<QImage> rgba(n);
    for (size_t i = 0; i < n; ++i) {
        patches[i] = clip(in.patches[i], frame_rect);
        const Clipped& patch = patches[i];
        Bounds changed;
        for (int y = patch.region.top(); y <= patch.region.bottom(); ++y) {
            const QRgb* src = patch.row(y);
            QRgb* dst = reinterpret_cast<QRgb*>(canvas.scanLine(y));
            for (int x = patch.region.left(); x <= patch.region.right(); ++x) {
                if (i == 0 || ((src[x] ^ dst[x]) & 0xFFFFFFu)) changed.add(x, y);
            }
        }
        changes[i] = changed.rect();
        if (changes[i].isEmpty()) continue;
        for (int y = changes[i].top(); y <= changes[i].bottom(); ++y) {
            const QRgb* src = patch.row(y);
            QRgb* dst = reinterpret_cast<QRgb*>(canvas.scanLine(y));
            std::copy(src + changes[i].left(), src + changes[i].right() + 1,
                      dst + changes[i].left());
        }
        rgba[i] = patch.pixels.copy(changes[i].translated(-patch.at))
                      .convertToFormat(QImage::Format_RGBX8888);
    }

    quantise_on_one_thread();
    LiqPtr<liq_attr> attr(liq_attr_create());
    if (!attr || liq_set_max_colors(attr.get(), static_cast<int>(kMaxColours) - 1) != LIQ_OK) {
        return std::unexpected(QStringLiteral("the colour quantiser could not be set up"));
    }
    LiqPtr<liq_histogram> histogram(liq_histogram_create(attr.get()));
    for (size_t i = 0; i < n; ++i) {
        if (changes[i].isEmpty()) continue;
        std::vector<void*> rows = rgba_rows(rgba[i]);
        LiqPtr<liq_image> part(liq_image_create_rgba_rows(attr.get(), rows.data(), rgba[i].width(),
                                                          rgba[i].height(), 0));
        if (!part || liq_histogram_add_image(histogram.get(), attr.get(), part.get()) != LIQ_OK) {
            return std::unexpected(QStringLiteral("the colour quantiser could not read a frame"));
        }
    }
    liq_result* raw_result = nullptr;
    if (liq_histogram_quantize(histogram.get(), attr.get(), &raw_result) != LIQ_OK) {
        return std::unexpected(QStringLiteral("the colour quantiser found no palette"));
    }
    LiqPtr<liq_result> result(raw_result);
    const liq_palette* palette = liq_get_palette(result.get());
    if (!palette || palette->count == 0) {
        return std::unexpected(QStringLiteral("the colour quantiser found no palette"));
    }
    out.palette.clear();
    for (unsigned i = 0; i < palette->count; ++i) {
        const liq_color& c = palette->entries[i];
        out.palette.push_back(qRgb(c.r, c.g, c.b));
    }

    // Each colour gets its nearest palette entry, the same in every frame and at every place:
    // dithering would spread errors differently around each change, so that a frame equal to
    // an earlier one could decode differently from it.
    NearestColour nearest(out.palette);
    IndexCanvas indices(out.width, out.height);
    std::vector<uint8_t> mapped;
    for (size_t i = 0; i < n; ++i) {
        const QRect& r = changes[i];
        if (r.isEmpty()) continue;
        mapped.resize(static_cast<size_t>(r.width()) * r.height());
        Bounds changed;
        size_t k = 0;
        for (int y = r.top(); y <= r.bottom(); ++y) {
            const QRgb* now = patches[i].row(y);
            for (int x = r.left(); x <= r.right(); ++x, ++k) {
                mapped[k] = nearest.index_of(now[x]);
                if (i == 0 || mapped[k] != indices.at(x, y)) changed.add(x, y);
            }
        }
        indices.apply(r, mapped, changed.rect(), i == 0, out.frames[i]);
    }
    out.exact = false;
    return {};
}

}  // namespace

std::expected<IndexedFrames, QString> index_frames(const PatchedFrames& in) {
    if (in.patches.empty()) {
        return std::unexpected(QStringLiteral("there are no frames"));
    }
    if (in.size.isEmpty()) {
        return std::unexpected(QStringLiteral("the frames are empty"));
    }
    const FramePatch& first = in.patches.front();
    if (first.at != QPoint(0, 0) || first.pixels.width() < in.size.width() ||
        first.pixels.height() < in.size.height()) {
        return std::unexpected(QStringLiteral("the first frame is incomplete"));
    }
    IndexedFrames out;
    out.width = in.size.width();
    out.height = in.size.height();
    out.frames.resize(in.patches.size());
    if (index_exact(in, out)) {
        return out;
    }
    out.frames.assign(in.patches.size(), IndexedFrame{});
    if (auto quantised = index_lossy(in, out); !quantised) {
        return std::unexpected(quantised.error());
    }
    return out;
}

}  // namespace koma
