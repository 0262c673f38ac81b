#include "platform/dib.h"

#include <QRect>
#include <mutex>
#include <unordered_map>

#include "platform/twips.h"

namespace koma {

namespace {

// The handles are small numbers rather than addresses, so that they fit the 32-bit field of
// the GIF writer's frame entries on every platform.
struct DibTable {
    std::mutex lock;
    std::unordered_map<DibHandle, QImage> bitmaps;
    DibHandle next = 1;
};

DibTable& table() {
    static DibTable t;
    return t;
}

}  // namespace

DibHandle DCtoDIB(const Surface& dc, int x, int y, int width_px, int height_twips) {
    const QRect wanted(x, y, width_px, twips_to_pixels(height_twips));
    const QRect area = wanted.intersected(dc.image().rect());
    if (area.isEmpty()) {
        return 0;
    }
    // A capture of the whole surface shares its pixels; the compositor's next drawing detaches.
    QImage bitmap = area == dc.image().rect() ? dc.image() : dc.image().copy(area);
    DibTable& t = table();
    std::lock_guard guard(t.lock);
    while (t.next == 0 || t.bitmaps.contains(t.next)) {
        ++t.next;
    }
    const DibHandle handle = t.next++;
    t.bitmaps.emplace(handle, std::move(bitmap));
    return handle;
}

void DeleteDIB(DibHandle handle) {
    DibTable& t = table();
    std::lock_guard guard(t.lock);
    t.bitmaps.erase(handle);
}

QImage dib_image(DibHandle handle) {
    DibTable& t = table();
    std::lock_guard guard(t.lock);
    const auto it = t.bitmaps.find(handle);
    return it == t.bitmaps.end() ? QImage() : it->second;
}

int dib_count() {
    DibTable& t = table();
    std::lock_guard guard(t.lock);
    return static_cast<int>(t.bitmaps.size());
}

}  // namespace koma
