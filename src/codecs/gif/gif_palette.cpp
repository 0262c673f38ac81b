#include "codecs/gif/gif_palette.h"

#include <dlfcn.h>
#include <libimagequant.h>

#include <QImage>
#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>

#include "codecs/gif/colour_table.h"
#include "codecs/gif/nearest_colour.h"
#include "raster/pixel_memory.h"

namespace koma {

namespace {

constexpr size_t kMaxColours = 256;

/// A patch clipped to the frame: `region` in frame coordinates, `pixels` RGB32 or ARGB32 with
/// their top-left corner at `at`.
struct Clipped {
    QRect region;
    QImage pixels;
    QPoint at;
    bool with_alpha = false;

    const QRgb* row(int y) const {
        return reinterpret_cast<const QRgb*>(pixels.constScanLine(y - at.y())) - at.x();
    }
    /// A pixel as the palette sees it: 0 when clear, else its colour with alpha 0xFF.
    QRgb value(QRgb pixel) const {
        return with_alpha && qAlpha(pixel) == 0 ? 0u : (pixel | 0xFF000000u);
    }
};

Clipped clip(const FramePatch& patch, const QRect& frame) {
    if (patch.pixels.isNull()) return {};
    Clipped c;
    c.region = QRect(patch.at, patch.pixels.size()).intersected(frame);
    c.at = patch.at;
    c.with_alpha = patch.pixels.hasAlphaChannel();
    const QImage::Format format = c.with_alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    c.pixels = patch.pixels.format() == format
                   ? patch.pixels
                   : allocated_from(patch.pixels.convertToFormat(format), patch.pixels);
    return c;
}

/// The index image of the animation so far, and how each frame changes it.
class IndexCanvas {
  public:
    IndexCanvas(int width, int height)
        : width_(width), indices_(static_cast<size_t>(width) * height, 0) {}

    uint8_t at(int x, int y) const { return indices_[static_cast<size_t>(y) * width_ + x]; }
    const uint8_t* row(int y) const { return indices_.data() + static_cast<size_t>(y) * width_; }

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

/// The frame's rectangle, after checking that the first patch covers it.
std::expected<QRect, QString> frame_rect(const PatchSource& source) {
    if (source.frames() == 0) {
        return std::unexpected(QStringLiteral("there are no frames"));
    }
    if (source.frame_size().isEmpty()) {
        return std::unexpected(QStringLiteral("the frames are empty"));
    }
    return QRect(QPoint(0, 0), source.frame_size());
}

std::expected<void, QString> check_first(size_t i, const FramePatch& patch, const QRect& frame) {
    if (i == 0 && (patch.at != QPoint(0, 0) || patch.pixels.width() < frame.width() ||
                   patch.pixels.height() < frame.height())) {
        return std::unexpected(QStringLiteral("the first frame is incomplete"));
    }
    return {};
}

/// Every colour in order of first appearance; none when there are more than 256.
std::expected<std::optional<ColourTable>, QString> exact_colours(const PatchSource& source,
                                                                 const QRect& frame) {
    ColourTable table;
    bool overflowed = false;
    const QString stop = QStringLiteral("more than 256 colours");
    auto walked =
        source.each([&](size_t i, const FramePatch& given) -> std::expected<void, QString> {
            if (auto first = check_first(i, given, frame); !first) return first;
            const Clipped patch = clip(given, frame);
            for (int y = patch.region.top(); y <= patch.region.bottom(); ++y) {
                const QRgb* src = patch.row(y);
                for (int x = patch.region.left(); x <= patch.region.right(); ++x) {
                    if (table.index_of(patch.value(src[x])) < 0) {
                        overflowed = true;
                        return std::unexpected(stop);
                    }
                }
            }
            return {};
        });
    if (overflowed) return std::nullopt;
    if (!walked) return std::unexpected(walked.error());
    return table;
}

/// `argb` (0xAARRGGBB) as the bytes R, G, B, A in memory, as libimagequant reads them.
uint32_t ARGB2RGBA(QRgb argb) {
    const uint8_t bytes[4] = {static_cast<uint8_t>(qRed(argb)), static_cast<uint8_t>(qGreen(argb)),
                              static_cast<uint8_t>(qBlue(argb)),
                              static_cast<uint8_t>(qAlpha(argb))};
    uint32_t word;
    std::memcpy(&word, bytes, 4);
    return word;
}

/// One palette from libimagequant over what every frame changes in colour, clear pixels left
/// out; a clear entry after the colours when some pixel is clear.
std::expected<AnimationPalette, QString> lossy_palette(const PatchSource& source,
                                                       const QRect& frame) {
    quantise_on_one_thread();
    LiqPtr<liq_attr> attr(liq_attr_create());
    if (!attr || liq_set_max_colors(attr.get(), static_cast<int>(kMaxColours) - 1) != LIQ_OK) {
        return std::unexpected(QStringLiteral("the colour quantiser could not be set up"));
    }
    LiqPtr<liq_histogram> histogram(liq_histogram_create(attr.get()));

    // What really changes, frame by frame, against a canvas of the frames so far, unless the
    // patches are exactly that already.
    const bool exact = source.exact_patches();
    QImage canvas = new_image(exact ? QSize() : frame.size(), QImage::Format_ARGB32);
    bool any_clear = false;
    auto walked = source.each([&](size_t i,
                                  const FramePatch& given) -> std::expected<void, QString> {
        const Clipped patch = clip(given, frame);
        PixelBounds changed;
        QImage rgba = new_image(exact ? patch.region.size() : QSize(), QImage::Format_RGBA8888);
        for (int y = patch.region.top(); y <= patch.region.bottom(); ++y) {
            const QRgb* src = patch.row(y);
            if (exact) {
                auto* out = reinterpret_cast<uint32_t*>(rgba.scanLine(y - patch.region.top()));
                for (int x = patch.region.left(); x <= patch.region.right(); ++x) {
                    const QRgb value = patch.value(src[x]);
                    any_clear = any_clear || value == 0u;
                    *out++ = ARGB2RGBA(value);
                }
                continue;
            }
            QRgb* dst = reinterpret_cast<QRgb*>(canvas.scanLine(y));
            for (int x = patch.region.left(); x <= patch.region.right(); ++x) {
                const QRgb value = patch.value(src[x]);
                if (i == 0 || value != dst[x]) changed.add(x, y);
                dst[x] = value;
                any_clear = any_clear || value == 0u;
            }
        }
        if (!exact) {
            const QRect rect = changed.rect();
            if (rect.isEmpty()) return {};
            rgba =
                allocated_from(canvas.copy(rect).convertToFormat(QImage::Format_RGBA8888), canvas);
        }
        if (rgba.isNull()) return {};
        std::vector<void*> rows = rgba_rows(rgba);
        LiqPtr<liq_image> part(
            liq_image_create_rgba_rows(attr.get(), rows.data(), rgba.width(), rgba.height(), 0));
        if (!part || liq_histogram_add_image(histogram.get(), attr.get(), part.get()) != LIQ_OK) {
            return std::unexpected(QStringLiteral("the colour quantiser could not read a frame"));
        }
        return {};
    });
    if (!walked) return std::unexpected(walked.error());
    canvas = QImage();

    liq_result* raw_result = nullptr;
    if (liq_histogram_quantize(histogram.get(), attr.get(), &raw_result) != LIQ_OK) {
        return std::unexpected(QStringLiteral("the colour quantiser found no palette"));
    }
    LiqPtr<liq_result> result(raw_result);
    const liq_palette* palette = liq_get_palette(result.get());
    AnimationPalette out;
    out.exact = false;
    for (unsigned i = 0; palette && i < palette->count; ++i) {
        const liq_color& c = palette->entries[i];
        if (c.a == 255) out.colours.push_back(qRgb(c.r, c.g, c.b));
    }
    if (out.colours.empty()) {
        return std::unexpected(QStringLiteral("the colour quantiser found no palette"));
    }
    if (any_clear) {
        out.clear = static_cast<int>(out.colours.size());
        out.colours.push_back(0u);
    }
    return out;
}

}  // namespace

std::expected<AnimationPalette, QString> animation_palette(const PatchSource& source) {
    const auto frame = frame_rect(source);
    if (!frame) return std::unexpected(frame.error());
    auto table = exact_colours(source, *frame);
    if (!table) return std::unexpected(table.error());
    if (*table) {
        AnimationPalette out;
        out.colours = (*table)->colours();
        const auto clear = std::find(out.colours.begin(), out.colours.end(), 0u);
        if (clear != out.colours.end()) out.clear = static_cast<int>(clear - out.colours.begin());
        return out;
    }
    return lossy_palette(source, *frame);
}

std::expected<void, QString> each_indexed_frame(
    const PatchSource& source, const AnimationPalette& palette,
    const std::function<std::expected<void, QString>(const IndexedFrame&)>& take) {
    const auto frame = frame_rect(source);
    if (!frame) return std::unexpected(frame.error());
    IndexCanvas canvas(frame->width(), frame->height());
    std::vector<uint8_t> mapped;
    // One walk per kind of mapping, so that the lookup is inlined in the pixel loop.
    auto walk = [&](auto&& index_of) {
        return source.each([&](size_t i, const FramePatch& given) -> std::expected<void, QString> {
            if (auto first = check_first(i, given, *frame); !first) return first;
            IndexedFrame indexed;
            const Clipped patch = clip(given, *frame);
            if (!patch.region.isEmpty()) {
                const QRect& r = patch.region;
                const size_t w = static_cast<size_t>(r.width());
                mapped.resize(w * static_cast<size_t>(r.height()));
                PixelBounds changed;
                uint8_t* out = mapped.data();
                for (int y = r.top(); y <= r.bottom(); ++y, out += w) {
                    const QRgb* src = patch.row(y) + r.left();
                    for (size_t x = 0; x < w; ++x) out[x] = index_of(patch.value(src[x]));
                    const uint8_t* shown = canvas.row(y) + r.left();
                    if (i > 0 && std::memcmp(out, shown, w) == 0) continue;
                    size_t left = 0, right = w - 1;
                    if (i > 0) {
                        while (out[left] == shown[left]) ++left;
                        while (out[right] == shown[right]) --right;
                    }
                    changed.add(r.left() + static_cast<int>(left), y);
                    changed.add(r.left() + static_cast<int>(right), y);
                }
                canvas.apply(r, mapped, changed.rect(), i == 0, indexed);
            }
            return take(indexed);
        });
    };
    if (palette.exact) {
        ColourTable table(palette.colours);
        return walk([&](QRgb value) { return static_cast<uint8_t>(table.index_of(value)); });
    }
    // Each colour gets its nearest palette entry, the same in every frame and at every place:
    // dithering would spread errors differently around each change, so that a frame equal to
    // an earlier one could decode differently from it. Clear pixels keep the clear entry, which
    // comes after the colours.
    std::vector<QRgb> opaque = palette.colours;
    if (palette.clear >= 0) opaque.erase(opaque.begin() + palette.clear);
    NearestColour nearest(opaque);
    const uint8_t clear = static_cast<uint8_t>(palette.clear);
    return walk([&](QRgb value) { return value == 0u ? clear : nearest.index_of(value); });
}

std::expected<IndexedFrames, QString> index_frames(const PatchedFrames& in) {
    const HeldPatches source(in);
    auto palette = animation_palette(source);
    if (!palette) return std::unexpected(palette.error());
    IndexedFrames out;
    out.width = in.size.width();
    out.height = in.size.height();
    out.palette = palette->colours;
    out.exact = palette->exact;
    auto indexed = each_indexed_frame(source, *palette, [&](const IndexedFrame& frame) {
        out.frames.push_back(frame);
        return std::expected<void, QString>();
    });
    if (!indexed) return std::unexpected(indexed.error());
    return out;
}

}  // namespace koma
