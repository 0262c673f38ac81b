// The PNG and animated PNG encoders on random small stages: up to eight frames of at most
// 24 x 16 pixels, opaque or with clear pixels as a transparent export makes them, few colours or
// many, some frames repeating the one before. Every PNG must decode to its frame and the
// animated PNG, played back, to every frame in turn, exactly; anything else aborts.
#include <QImage>
#include <cstdlib>
#include <span>
#include <vector>

#include "codecs/png/apng_writer.h"
#include "codecs/png/png_encoder.h"
#include "support/apng_reader.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

/// The input read as a stream of bytes; zeros once it runs out.
struct Bytes {
    const uint8_t* data;
    size_t size;
    size_t at = 0;
    uint8_t next() { return at < size ? data[at++] : 0; }
};

std::vector<QImage> make_frames(Bytes& in, bool& clear) {
    const int width = in.next() % 24 + 1;
    const int height = in.next() % 16 + 1;
    const int count = in.next() % 8 + 1;
    const uint8_t mode = in.next();
    clear = (mode & 4) != 0;
    const bool many = (mode & 3) == 3;
    std::vector<QRgb> palette;
    for (int k = 0; k < mode / 8 % 16 + 1; ++k)
        palette.push_back(qRgb(in.next(), in.next(), in.next()));
    auto colour = [&](int x, int y, int frame) -> QRgb {
        const uint8_t b = in.next();
        if (clear && b % 5 == 0) return 0u;
        if (many) {
            return qRgb((x * 37 + b) & 0xFF, (y * 53 + frame * 11) & 0xFF, (b * 7 + x * y) & 0xFF);
        }
        return palette[b % palette.size()];
    };
    std::vector<QImage> frames;
    QImage image(width, height, clear ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.setPixel(x, y, colour(x, y, 0));
    frames.push_back(image);
    for (int i = 1; i < count; ++i) {
        if (in.next() % 4 != 0) {
            const int left = in.next() % width;
            const int top = in.next() % height;
            const int w = in.next() % (width - left) + 1;
            const int h = in.next() % (height - top) + 1;
            for (int y = top; y < top + h; ++y)
                for (int x = left; x < left + w; ++x) image.setPixel(x, y, colour(x, y, i));
        }
        frames.push_back(image.copy());
    }
    return frames;
}

/// The pixel as it should come back: opaque as it is, clear as transparent black.
QRgb expected(const QImage& frame, int x, int y) {
    const QRgb p = frame.pixel(x, y);
    if (frame.format() == QImage::Format_RGB32) return p | 0xFF000000u;
    return qAlpha(p) == 0 ? 0u : p;
}

bool same(const QImage& decoded, const QImage& frame) {
    if (decoded.size() != frame.size()) return false;
    const QImage argb = decoded.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x) {
            QRgb got = argb.pixel(x, y);
            if (qAlpha(got) == 0) got = 0u;
            if (got != expected(frame, x, y)) return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Bytes in{data, size};
    bool clear = false;
    const std::vector<QImage> frames = make_frames(in, clear);
    const koma::CodingEffort effort =
        in.next() % 32 == 0 ? koma::CodingEffort::Max : koma::CodingEffort::Default;

    for (const QImage& frame : frames) {
        const auto png = koma::encode_png(frame, effort);
        check(png.has_value());
        QImage decoded;
        check(decoded.loadFromData(*png, "png"));
        check(same(decoded, frame));
    }

    const auto apng = koma::encode_apng(std::span<const QImage>(frames), {80, 0}, effort);
    check(apng.has_value());
    const koma::test::DecodedApng played = koma::test::decode_apng(*apng);
    check(played.error.isEmpty());
    check(played.frames.size() == frames.size());
    for (size_t i = 0; i < frames.size(); ++i) check(same(played.frames[i], frames[i]));
    return 0;
}
