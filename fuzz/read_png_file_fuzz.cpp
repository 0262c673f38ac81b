// ReadPNGFile with its decoder on arbitrary bytes: no crash, no leak, and a failed load must
// leave the surface as it was.
#include <cstdlib>

#include "codecs/png/read_png_file.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = koma::fuzz::write_scratch_file(data, size, ".png");
    koma::Surface surface(45, 30, qRgb(1, 2, 3));
    const QImage before = surface.image().copy();
    const bool loaded = koma::ReadPNGFile(surface, path);
    if (!loaded && size < 8) {
        // Too short for a signature: the surface must be untouched.
        if (surface.image() != before) std::abort();
    }
    return 0;
}
