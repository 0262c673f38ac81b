#include "codecs/png/read_png_file.h"

#include <QFile>
#include <array>

#include "codecs/image_limits.h"
#include "codecs/png/png_decoder.h"

namespace koma {

bool ReadPNGFile(Surface& tPicCntrl, const QString& pngf) {
    QString message;
    return ReadPNGFile(tPicCntrl, pngf, message);
}

bool ReadPNGFile(Surface& tPicCntrl, const QString& pngf, QString& message) {
    static constexpr std::array<unsigned char, 8> kPngSignature{137, 80, 78, 71, 13, 10, 26, 10};
    // Missing bytes of a short file count as 0.
    std::array<unsigned char, 8> signature{};
    std::array<unsigned char, 2> width_low{};
    std::array<unsigned char, 2> height_low{};
    {
        QFile file(pngf);
        if (!file.open(QIODevice::ReadOnly)) {
            message = load_message::kCannotOpen;
            return false;
        }
        file.read(reinterpret_cast<char*>(signature.data()), 8);
        if (signature != kPngSignature) {
            message = load_message::kNotPng;
            return false;
        }
        if (file.seek(18)) {
            file.read(reinterpret_cast<char*>(width_low.data()), 2);
        }
        if (file.seek(22)) {
            file.read(reinterpret_cast<char*>(height_low.data()), 2);
        }
    }
    const int width = width_low[0] * 256 + width_low[1];
    const int height = height_low[0] * 256 + height_low[1];
    // A header can ask for up to 65535 x 65535 pixels; nothing that size is allocated. A side of
    // 0 is no PNG at all (or a multiple of 65536, which is far too large anyway).
    if (!image_size_allowed(width, height)) {
        message = width == 0 || height == 0 ? load_message::kCannotDecode : load_message::kTooLarge;
        return false;
    }

    // The surface is sized and painted as a copy, so that a failed decode leaves the slot as it
    // was instead of resized and half painted.
    Surface staged = tPicCntrl;
    staged.resize_pixels(width, height);
    const int result = decode_png_into(pngf, staged);
    if (result != 0) {
        message = png_decode_message(result);
        return false;
    }
    tPicCntrl = std::move(staged);
    message.clear();
    return true;
}

}  // namespace koma
