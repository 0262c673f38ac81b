#include "platform/gif_palette.h"

#include <libimagequant.h>

#include <QRect>
#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

namespace koma {

namespace {

constexpr size_t kMaxColours = 256;

QImage as_xrgb32(const QImage& frame) {
    if (frame.format() == QImage::Format_RGB32 || frame.format() == QImage::Format_ARGB32) {
        return frame;
    }
    return frame.convertToFormat(QImage::Format_RGB32);
}

const QRgb* row(const QImage& image, int y) {
    return reinterpret_cast<const QRgb*>(image.constScanLine(y));
}

/// The bounding rectangle of the pixels in which two equally sized frames differ.
QRect changed_rect(const QImage& before, const QImage& after) {
    const int w = after.width();
    const int h = after.height();
    int top = -1;
    int bottom = -1;
    for (int y = 0; y < h; ++y) {
        if (std::memcmp(row(before, y), row(after, y), sizeof(QRgb) * static_cast<size_t>(w))) {
            if (top < 0) top = y;
            bottom = y;
        }
    }
    if (top < 0) {
        return {};
    }
    int left = w;
    int right = -1;
    for (int y = top; y <= bottom; ++y) {
        const QRgb* a = row(before, y);
        const QRgb* b = row(after, y);
        for (int x = 0; x < left; ++x) {
            if ((a[x] ^ b[x]) & 0xFFFFFFu) {
                left = x;
                break;
            }
        }
        for (int x = w - 1; x > right; --x) {
            if ((a[x] ^ b[x]) & 0xFFFFFFu) {
                right = x;
                break;
            }
        }
    }
    if (right < left) {
        return {};  // the rows differed only in the unused alpha byte
    }
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

/// The bounding rectangle of the indices that differ between two index frames inside `area`.
QRect changed_indices(const std::vector<uint8_t>& before, const std::vector<uint8_t>& after,
                      int width, const QRect& area) {
    QRect found;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const size_t row = static_cast<size_t>(y) * width;
        for (int x = area.left(); x <= area.right(); ++x) {
            if (before[row + x] != after[row + x]) {
                found |= QRect(x, y, 1, 1);
            }
        }
    }
    return found;
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

/// Maps `rect` of `frame` through the table into `indices`; false at the 257th colour.
bool map_exact(ColourTable& table, const QImage& frame, const QRect& rect,
               std::vector<uint8_t>& indices) {
    const int w = frame.width();
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        const QRgb* src = row(frame, y);
        uint8_t* dst = indices.data() + static_cast<size_t>(y) * w;
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const int index = table.index_of(src[x]);
            if (index < 0) {
                return false;
            }
            dst[x] = static_cast<uint8_t>(index);
        }
    }
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

/// Row pointers into the RGBA copy of a frame, for the rectangle `rect`.
std::vector<void*> rgba_rows(QImage& rgba, const QRect& rect) {
    std::vector<void*> rows;
    rows.reserve(static_cast<size_t>(rect.height()));
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        rows.push_back(rgba.scanLine(y) + static_cast<ptrdiff_t>(rect.left()) * 4);
    }
    return rows;
}

std::expected<void, QString> quantise(std::span<const QImage> frames,
                                      const std::vector<QRect>& changes, IndexedFrames& out) {
    const int w = out.width;
    const int h = out.height;
    LiqPtr<liq_attr> attr(liq_attr_create());
    if (!attr || liq_set_max_colors(attr.get(), static_cast<int>(kMaxColours) - 1) != LIQ_OK) {
        return std::unexpected(QStringLiteral("the colour quantiser could not be set up"));
    }
    std::vector<QImage> rgba(frames.size());
    LiqPtr<liq_histogram> histogram(liq_histogram_create(attr.get()));
    for (size_t i = 0; i < frames.size(); ++i) {
        if (changes[i].isEmpty()) {
            continue;
        }
        rgba[i] = frames[i].convertToFormat(QImage::Format_RGBX8888);
        std::vector<void*> rows = rgba_rows(rgba[i], changes[i]);
        LiqPtr<liq_image> part(liq_image_create_rgba_rows(
            attr.get(), rows.data(), changes[i].width(), changes[i].height(), 0));
        if (!part || liq_histogram_add_image(histogram.get(), attr.get(), part.get()) != LIQ_OK) {
            return std::unexpected(QStringLiteral("the colour quantiser could not read a frame"));
        }
    }
    liq_result* raw_result = nullptr;
    if (liq_histogram_quantize(histogram.get(), attr.get(), &raw_result) != LIQ_OK) {
        return std::unexpected(QStringLiteral("the colour quantiser found no palette"));
    }
    LiqPtr<liq_result> result(raw_result);
    liq_set_dithering_level(result.get(), 1.0f);

    std::vector<uint8_t> remapped;
    for (size_t i = 0; i < frames.size(); ++i) {
        std::vector<uint8_t>& indices = out.frames[i];
        if (i > 0) {
            indices = out.frames[i - 1];
        } else {
            indices.assign(static_cast<size_t>(w) * h, 0);
        }
        const QRect& rect = changes[i];
        if (rect.isEmpty()) {
            continue;
        }
        std::vector<void*> rows = rgba_rows(rgba[i], rect);
        LiqPtr<liq_image> part(
            liq_image_create_rgba_rows(attr.get(), rows.data(), rect.width(), rect.height(), 0));
        remapped.resize(static_cast<size_t>(rect.width()) * rect.height());
        if (!part || liq_write_remapped_image(result.get(), part.get(), remapped.data(),
                                              remapped.size()) != LIQ_OK) {
            return std::unexpected(QStringLiteral("the colour quantiser could not map a frame"));
        }
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            const QRgb* now = row(frames[i], y);
            const QRgb* before = i > 0 ? row(frames[i - 1], y) : nullptr;
            const uint8_t* src =
                remapped.data() + static_cast<size_t>(y - rect.top()) * rect.width();
            uint8_t* dst = indices.data() + static_cast<size_t>(y) * w;
            for (int x = rect.left(); x <= rect.right(); ++x) {
                // Dithering spreads errors differently around a change; a pixel that kept its
                // colour keeps its index so that still areas stay still.
                if (!before || ((now[x] ^ before[x]) & 0xFFFFFFu)) {
                    dst[x] = src[x - rect.left()];
                }
            }
        }
    }

    const liq_palette* palette = liq_get_palette(result.get());
    out.palette.clear();
    for (unsigned i = 0; i < palette->count; ++i) {
        const liq_color& c = palette->entries[i];
        out.palette.push_back(qRgb(c.r, c.g, c.b));
    }
    out.exact = false;
    return {};
}

}  // namespace

std::expected<IndexedFrames, QString> index_frames(std::span<const QImage> input) {
    if (input.empty()) {
        return std::unexpected(QStringLiteral("there are no frames"));
    }
    std::vector<QImage> frames;
    frames.reserve(input.size());
    for (const QImage& frame : input) {
        frames.push_back(as_xrgb32(frame));
    }
    IndexedFrames out;
    out.width = frames.front().width();
    out.height = frames.front().height();
    if (out.width <= 0 || out.height <= 0) {
        return std::unexpected(QStringLiteral("the frames are empty"));
    }
    for (const QImage& frame : frames) {
        if (frame.size() != frames.front().size()) {
            return std::unexpected(QStringLiteral("the frames differ in size"));
        }
    }

    std::vector<QRect> changes(frames.size());
    changes[0] = frames[0].rect();
    for (size_t i = 1; i < frames.size(); ++i) {
        changes[i] = changed_rect(frames[i - 1], frames[i]);
    }

    out.frames.resize(frames.size());
    ColourTable table;
    bool exact = true;
    for (size_t i = 0; i < frames.size() && exact; ++i) {
        if (i > 0) {
            out.frames[i] = out.frames[i - 1];
        } else {
            out.frames[i].assign(static_cast<size_t>(out.width) * out.height, 0);
        }
        if (!changes[i].isEmpty()) {
            exact = map_exact(table, frames[i], changes[i], out.frames[i]);
        }
    }
    if (exact) {
        out.palette = table.take_colours();
        out.changes = std::move(changes);
        return out;
    }
    if (auto quantised = quantise(frames, changes, out); !quantised) {
        return std::unexpected(quantised.error());
    }
    // Pixels that changed colour can still map to the same index.
    out.changes.assign(frames.size(), QRect());
    out.changes[0] = changes[0];
    for (size_t i = 1; i < frames.size(); ++i) {
        out.changes[i] = changed_indices(out.frames[i - 1], out.frames[i], out.width, changes[i]);
    }
    return out;
}

}  // namespace koma
