#include "codecs/gif/dib_capture.h"

#include <QRect>
#include <cstring>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "raster/changed_rect.h"
#include "raster/twips.h"

namespace koma {

namespace {

/// One capture, never changed once made: either a whole bitmap, or the rectangle in which it
/// differs from the capture before it (which it keeps alive).
struct Capture {
    QSize size;
    std::shared_ptr<const Capture> previous;  ///< null: `pixels` is the whole bitmap
    QPoint at;
    QImage pixels;  ///< null when the bitmap equals `previous`
    int depth = 0;  ///< captures between this one and its whole bitmap
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

/// The latest capture of this thread, and its whole bitmap, to take the next capture's
/// difference from. Kept per thread, so that exports running side by side each chain their own
/// captures, exactly as one export alone does.
struct LastCapture {
    std::weak_ptr<const Capture> capture;
    QImage pixels;
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
    QImage image = capture->pixels.copy();
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (!(*it)->pixels.isNull()) paint(image, (*it)->at, (*it)->pixels);
    }
    return image;
}

}  // namespace

DibHandle DCtoDIB(const Surface& dc, int x, int y, int width_px, int height_twips) {
    const QRect wanted(x, y, width_px, twips_to_pixels(height_twips));
    const QRect area = wanted.intersected(dc.image().rect());
    if (area.isEmpty()) {
        return 0;
    }
    const QImage& source = dc.image();
    auto capture = std::make_shared<Capture>();
    capture->size = area.size();

    LastCapture& mine = last_capture();
    CapturePtr last = mine.capture.lock();
    if (last && last->size == area.size() && last->depth < kMaxChain) {
        const QRect changed = changed_rect(mine.pixels, source, area);
        capture->previous = last;
        capture->depth = last->depth + 1;
        if (!changed.isEmpty()) {
            capture->at = changed.topLeft();
            capture->pixels = source.copy(changed.translated(area.topLeft()));
            paint(mine.pixels, capture->at, capture->pixels);
        }
    } else {
        capture->pixels = source.copy(area);
        mine.pixels = capture->pixels;  // detaches when the next capture paints into it
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

void DeleteDIB(DibHandle handle) {
    CapturePtr released;  // unwound outside the lock
    DibTable& t = table();
    std::lock_guard guard(t.lock);
    const auto it = t.bitmaps.find(handle);
    if (it != t.bitmaps.end()) {
        released = std::move(it->second);
        t.bitmaps.erase(it);
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

std::expected<PatchedFrames, QString> dib_frames(std::span<const DibHandle> handles) {
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
    }
    if (captures.empty()) {
        return std::unexpected(QStringLiteral("there are no frames"));
    }
    PatchedFrames out;
    out.size = captures.front()->size;
    out.patches.reserve(captures.size());
    for (size_t i = 0; i < captures.size(); ++i) {
        const Capture* capture = captures[i].get();
        if (capture->size != out.size) {
            return std::unexpected(QStringLiteral("the frames differ in size"));
        }
        if (i > 0 && capture == captures[i - 1].get()) {
            out.patches.push_back({});  // the same bitmap again
        } else if (i > 0 && capture->previous.get() == captures[i - 1].get()) {
            out.patches.push_back({capture->at, capture->pixels});
        } else {
            out.patches.push_back({QPoint(0, 0), whole_bitmap(capture)});
        }
    }
    return out;
}

int dib_count() {
    DibTable& t = table();
    std::lock_guard guard(t.lock);
    return static_cast<int>(t.bitmaps.size());
}

}  // namespace koma
