#include "codecs/gif/dib_capture.h"

#include <QRect>
#include <cstring>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "codecs/gif/colour_table.h"
#include "raster/pixel_memory.h"
#include "raster/twips.h"

namespace koma {

namespace {

/// One capture, never changed once made: either a whole bitmap, or the rectangle in which it
/// differs from the capture before it (which it keeps alive).
struct Capture {
    QSize size;
    bool with_alpha = false;                  ///< pixels are ARGB32 (clear is 0), else RGB32
    std::shared_ptr<const Capture> previous;  ///< null: the patch is the whole bitmap
    QPoint at;
    QSize patch;  ///< empty when the bitmap equals `previous`
    /// The patch's pixels as indices into `colours`, a byte each, rows without padding...
    std::shared_ptr<const ColourTable> colours;
    std::vector<uint8_t> indices;
    /// ... or, once the colours did not fit, as they are: three bytes a pixel (RGB888) without
    /// alpha, ARGB32 with it.
    QImage pixels;
    int depth = 0;  ///< captures between this one and its whole bitmap

    /// The patch as an image of the bitmap's format; null when it is empty.
    QImage patch_image() const {
        if (patch.isEmpty()) return {};
        if (!pixels.isNull()) {
            return with_alpha
                       ? pixels
                       : allocated_from(pixels.convertToFormat(QImage::Format_RGB32), pixels);
        }
        QImage image = new_image(patch, with_alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        const uint8_t* index = indices.data();
        for (int y = 0; y < patch.height(); ++y) {
            QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < patch.width(); ++x) row[x] = colours->colour(*index++);
        }
        return image;
    }
};
using CapturePtr = std::shared_ptr<const Capture>;

// Chains are unwound recursively when released; a whole capture now and then keeps them short.
constexpr int kMaxChain = 1024;

// The handles are small numbers rather than addresses, so that they fit the 32-bit field of
// the GIF writer's frame entries on every platform.
struct DibTable {
    std::mutex lock;
    std::unordered_map<DibHandle, CapturePtr> bitmaps;
    DibHandle next = 1;
};

DibTable& table() {
    static DibTable t;
    return t;
}

/// The latest capture of this thread, its whole bitmap, to take the next capture's difference
/// from, and the colour table of its run (null once the run's colours overflowed it). Kept per
/// thread, so that exports running side by side each chain their own captures, exactly as one
/// export alone does.
struct LastCapture {
    std::weak_ptr<const Capture> capture;
    QImage pixels;
    std::shared_ptr<ColourTable> colours;
};

LastCapture& last_capture() {
    thread_local LastCapture last;
    return last;
}

void paint(QImage& target, const QPoint& at, const QImage& pixels) {
    const size_t row_bytes = sizeof(QRgb) * static_cast<size_t>(pixels.width());
    for (int y = 0; y < pixels.height(); ++y) {
        std::memcpy(reinterpret_cast<QRgb*>(target.scanLine(at.y() + y)) + at.x(),
                    pixels.constScanLine(y), row_bytes);
    }
}

/// The whole bitmap of a capture: its whole ancestor with every later rectangle painted over.
QImage whole_bitmap(const Capture* capture) {
    std::vector<const Capture*> chain;
    for (; capture->previous; capture = capture->previous.get()) chain.push_back(capture);
    const QImage first = capture->patch_image();
    QImage image = allocated_from(first.copy(), first);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (!(*it)->patch.isEmpty()) paint(image, (*it)->at, (*it)->patch_image());
    }
    return image;
}

/// The rows of the area to capture, as captured: the surface's own rows, or rows made clear
/// where the coverage is 0.
class SourceRows {
  public:
    SourceRows(const QImage& image, const QImage& coverage, const QRect& area)
        : image_(image), coverage_(coverage), area_(area) {
        if (!coverage_.isNull()) row_.resize(static_cast<size_t>(area.width()));
    }
    bool with_alpha() const { return !coverage_.isNull(); }

    /// Row y of the area (0 is its top), area.width() pixels.
    const QRgb* row(int y) {
        const QRgb* pixels =
            reinterpret_cast<const QRgb*>(image_.constScanLine(area_.top() + y)) + area_.left();
        if (coverage_.isNull()) return pixels;
        const uchar* covered = coverage_.constScanLine(area_.top() + y) + area_.left();
        const int w = area_.width();
        QRgb* out = row_.data();
        for (int x = 0; x < w; ++x) out[x] = covered[x] ? (pixels[x] | 0xFF000000u) : 0u;
        return out;
    }

  private:
    const QImage& image_;
    const QImage& coverage_;
    QRect area_;
    std::vector<QRgb> row_;
};

/// The bounding rectangle (in area coordinates) of the pixels in which the rows differ from
/// `before`; empty when none do.
QRect changed_area(const QImage& before, SourceRows& rows, const QSize& size) {
    const int w = size.width();
    const size_t row_bytes = sizeof(QRgb) * static_cast<size_t>(w);
    int top = -1, bottom = -1, left = w, right = -1;
    for (int y = 0; y < size.height(); ++y) {
        const QRgb* a = reinterpret_cast<const QRgb*>(before.constScanLine(y));
        const QRgb* b = rows.row(y);
        if (std::memcmp(a, b, row_bytes) == 0) continue;
        if (top < 0) top = y;
        bottom = y;
        int x = 0;
        while (a[x] == b[x]) ++x;
        left = std::min(left, x);
        int r = w - 1;
        while (a[r] == b[r]) --r;
        right = std::max(right, r);
    }
    if (top < 0) return {};
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

/// Stores `rect` (area coordinates) of the rows into the capture, as indices while the run's
/// colours fit, and paints it into `canvas`.
void store_patch(Capture& capture, SourceRows& rows, const QRect& rect, QImage& canvas,
                 std::shared_ptr<ColourTable>& colours) {
    capture.at = rect.topLeft();
    capture.patch = rect.size();
    const size_t row_bytes = sizeof(QRgb) * static_cast<size_t>(rect.width());
    if (colours) {
        capture.indices.resize(static_cast<size_t>(rect.width()) * rect.height());
        uint8_t* index = capture.indices.data();
        for (int y = rect.top(); y <= rect.bottom() && colours; ++y) {
            const QRgb* row = rows.row(y) + rect.left();
            for (int x = 0; x < rect.width(); ++x) {
                const int i = colours->index_of(row[x]);
                if (i < 0) {
                    colours.reset();  // a 257th colour: this run keeps pixels from now on
                    break;
                }
                *index++ = static_cast<uint8_t>(i);
            }
            if (colours) {
                std::memcpy(reinterpret_cast<QRgb*>(canvas.scanLine(y)) + rect.left(), row,
                            row_bytes);
            }
        }
        if (colours) {
            capture.colours = colours;
            return;
        }
        capture.indices.clear();
        capture.indices.shrink_to_fit();
    }
    capture.pixels =
        new_image(rect.size(), capture.with_alpha ? QImage::Format_ARGB32 : QImage::Format_RGB888);
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        const QRgb* row = rows.row(y) + rect.left();
        uchar* out = capture.pixels.scanLine(y - rect.top());
        if (capture.with_alpha) {
            std::memcpy(out, row, row_bytes);
        } else {
            for (int x = 0; x < rect.width(); ++x) {
                out[3 * x] = static_cast<uchar>(qRed(row[x]));
                out[3 * x + 1] = static_cast<uchar>(qGreen(row[x]));
                out[3 * x + 2] = static_cast<uchar>(qBlue(row[x]));
            }
        }
        std::memcpy(reinterpret_cast<QRgb*>(canvas.scanLine(y)) + rect.left(), row, row_bytes);
    }
}

DibHandle capture_area(const Surface& dc, const QRect& wanted, const QImage& coverage) {
    const QImage& source = dc.image();
    const QRect area = wanted.intersected(source.rect());
    if (area.isEmpty()) {
        return 0;
    }
    const bool with_alpha = !coverage.isNull();
    Q_ASSERT(!with_alpha ||
             (coverage.size() == source.size() && coverage.format() == QImage::Format_Grayscale8));
    SourceRows rows(source, coverage, area);
    auto capture = std::make_shared<Capture>();
    capture->size = area.size();
    capture->with_alpha = with_alpha;

    LastCapture& mine = last_capture();
    CapturePtr last = mine.capture.lock();
    if (last && last->size == area.size() && last->with_alpha == with_alpha &&
        last->depth < kMaxChain) {
        // The whole bitmap to compare with is made again when it was let go (see dib_source).
        if (mine.pixels.isNull()) mine.pixels = whole_bitmap(last.get());
        const QRect changed = changed_area(mine.pixels, rows, area.size());
        capture->previous = last;
        capture->depth = last->depth + 1;
        if (!changed.isEmpty()) store_patch(*capture, rows, changed, mine.pixels, mine.colours);
    } else {
        mine.pixels =
            new_image(area.size(), with_alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        mine.colours = std::make_shared<ColourTable>(/*alpha_clears=*/with_alpha);
        store_patch(*capture, rows, QRect(QPoint(0, 0), area.size()), mine.pixels, mine.colours);
    }
    mine.capture = capture;

    DibTable& t = table();
    std::lock_guard guard(t.lock);
    while (t.next == 0 || t.bitmaps.contains(t.next)) {
        ++t.next;
    }
    const DibHandle handle = t.next++;
    t.bitmaps.emplace(handle, std::move(capture));
    return handle;
}

/// The captures of some handles, handed over as patches.
class CaptureSource : public PatchSource {
  public:
    CaptureSource(QSize size, std::vector<CapturePtr> captures)
        : size_(size), captures_(std::move(captures)) {
        for (size_t i = 1; i < captures_.size(); ++i) {
            const Capture* capture = captures_[i].get();
            exact_ = exact_ && (capture == captures_[i - 1].get() ||
                                capture->previous.get() == captures_[i - 1].get());
        }
    }

    QSize frame_size() const override { return size_; }
    size_t frames() const override { return captures_.size(); }
    /// Captures taken one after the other keep exactly what changed.
    bool exact_patches() const override { return exact_; }

    std::expected<void, QString> each(const PatchVisitor& visit) const override {
        for (size_t i = 0; i < captures_.size(); ++i) {
            const Capture* capture = captures_[i].get();
            FramePatch patch;
            if (i > 0 && capture == captures_[i - 1].get()) {
                // the same bitmap again: nothing to paint
            } else if (i > 0 && capture->previous.get() == captures_[i - 1].get()) {
                patch = {capture->at, capture->patch_image()};
            } else {
                patch = {QPoint(0, 0), whole_bitmap(capture)};
            }
            if (auto taken = visit(i, patch); !taken) return taken;
        }
        return {};
    }

  private:
    QSize size_;
    std::vector<CapturePtr> captures_;
    bool exact_ = true;
};

}  // namespace

DibHandle DCtoDIB(const Surface& dc, int x, int y, int width_px, int height_twips) {
    return DCtoDIB(dc, x, y, width_px, height_twips, QImage());
}

DibHandle DCtoDIB(const Surface& dc, int x, int y, int width_px, int height_twips,
                  const QImage& coverage) {
    return capture_area(dc, QRect(x, y, width_px, twips_to_pixels(height_twips)), coverage);
}

void DeleteDIB(DibHandle handle) {
    {
        CapturePtr released;  // unwound outside the lock
        DibTable& t = table();
        std::lock_guard guard(t.lock);
        const auto it = t.bitmaps.find(handle);
        if (it != t.bitmaps.end()) {
            released = std::move(it->second);
            t.bitmaps.erase(it);
        }
    }
    LastCapture& mine = last_capture();
    if (mine.capture.expired()) {
        // Nothing left to take this thread's next difference from: its bitmap need not be kept.
        mine = LastCapture();
    }
}

QImage dib_image(DibHandle handle) {
    CapturePtr capture;
    {
        DibTable& t = table();
        std::lock_guard guard(t.lock);
        const auto it = t.bitmaps.find(handle);
        if (it == t.bitmaps.end()) return {};
        capture = it->second;
    }
    return whole_bitmap(capture.get());
}

std::expected<std::unique_ptr<PatchSource>, QString> dib_source(
    std::span<const DibHandle> handles) {
    std::vector<CapturePtr> captures;
    captures.reserve(handles.size());
    {
        DibTable& t = table();
        std::lock_guard guard(t.lock);
        for (size_t i = 0; i < handles.size(); ++i) {
            const auto it = t.bitmaps.find(handles[i]);
            if (it == t.bitmaps.end()) {
                return std::unexpected(QStringLiteral("frame %1 was not captured").arg(i));
            }
            captures.push_back(it->second);
        }
        // While the captures are read the next one's comparison bitmap need not be held.
        last_capture().pixels = QImage();
    }
    if (captures.empty()) {
        return std::unexpected(QStringLiteral("there are no frames"));
    }
    const QSize size = captures.front()->size;
    for (const CapturePtr& capture : captures) {
        if (capture->size != size) {
            return std::unexpected(QStringLiteral("the frames differ in size"));
        }
    }
    return std::make_unique<CaptureSource>(size, std::move(captures));
}

std::expected<PatchedFrames, QString> dib_frames(std::span<const DibHandle> handles) {
    auto source = dib_source(handles);
    if (!source) return std::unexpected(source.error());
    PatchedFrames out;
    out.size = (*source)->frame_size();
    out.patches.reserve((*source)->frames());
    auto collected = (*source)->each([&](size_t, const FramePatch& patch) {
        out.patches.push_back(patch);
        return std::expected<void, QString>();
    });
    if (!collected) return std::unexpected(collected.error());
    return out;
}

int dib_count() {
    DibTable& t = table();
    std::lock_guard guard(t.lock);
    return static_cast<int>(t.bitmaps.size());
}

}  // namespace koma
