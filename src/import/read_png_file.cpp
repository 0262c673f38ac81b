#include "import/read_png_file.h"

#include <QFile>
#include <array>

#include "platform/png_decoder.h"

namespace koma {

bool ReadPNGFile(Surface& target, const QString& pngf) {
    QFile file(pngf);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    std::array<unsigned char, 8> signature{};
    std::array<unsigned char, 2> width_low{};
    std::array<unsigned char, 2> height_low{};
    file.read(reinterpret_cast<char*>(signature.data()), 8);
    static constexpr std::array<unsigned char, 8> kPngSignature{137, 80, 78, 71, 13, 10, 26, 10};
    if (signature != kPngSignature) {
        return false;
    }
    if (file.seek(18)) {
        file.read(reinterpret_cast<char*>(width_low.data()), 2);
    }
    if (file.seek(22)) {
        file.read(reinterpret_cast<char*>(height_low.data()), 2);
    }
    file.close();
    const int width = width_low[0] * 256 + width_low[1];
    const int height = height_low[0] * 256 + height_low[1];
    target.resize_pixels(width, height);
    return decode_png_into(pngf, target) == 0;
}

}  // namespace koma
