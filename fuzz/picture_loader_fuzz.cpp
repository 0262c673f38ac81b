// The picture loader (BMP, JPEG and the other formats Qt reads) on arbitrary bytes.
#include <cstdlib>

#include "codecs/picture_loader.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Alternate the name's suffix so both the BMP and the JPEG route see every input.
    static bool as_jpeg = false;
    as_jpeg = !as_jpeg;
    const QString path = koma::fuzz::write_scratch_file(data, size, as_jpeg ? ".jpg" : ".bmp");
    const auto picture = koma::load_picture(path);
    if (picture && picture->format() != QImage::Format_RGB32) std::abort();
    return 0;
}
