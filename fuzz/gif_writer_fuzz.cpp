// The GIF writer on random animations: frames of a random size and colours, some repeated, some
// with more than 256 colours in all, captured, written and released the way the export does it,
// then decoded with giflib. With at most 256 colours every decoded frame must equal its input
// exactly; with more, the file must still hold one image of the right size per frame. Any
// mismatch, malformed image or failed write aborts.
#include <gif_lib.h>

#include <QFile>
#include <QImage>
#include <QSet>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "codecs/gif/dib_to_gif.h"
#include "fuzz_support.h"

namespace {

/// The input read as a stream of bytes; zeros once it runs out.
struct Bytes {
    const uint8_t* data;
    size_t size;
    size_t at = 0;
    uint8_t next() { return at < size ? data[at++] : 0; }
};

/// Up to eight frames of at most 24 x 16 pixels. Each frame starts as the one before and gets
/// a random rectangle repainted, either from a small palette (lossless) or, in the "many
/// colours" mode, with colours spread over the whole RGB cube.
std::vector<QImage> make_frames(Bytes& in) {
    const int width = in.next() % 24 + 1;
    const int height = in.next() % 16 + 1;
    const int count = in.next() % 8 + 1;
    const uint8_t mode = in.next();
    const bool many = (mode & 3) == 3;
    std::vector<QRgb> palette;
    const int palette_size = mode / 4 % 16 + 1;
    for (int k = 0; k < palette_size; ++k) {
        palette.push_back(qRgb(in.next(), in.next(), in.next()));
    }
    auto colour = [&](int x, int y, int frame) {
        const uint8_t b = in.next();
        if (many) {
            return qRgb((x * 37 + b) & 0xFF, (y * 53 + frame * 11) & 0xFF, (b * 7 + x * y) & 0xFF);
        }
        return palette[b % palette.size()];
    };

    std::vector<QImage> frames;
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.setPixel(x, y, colour(x, y, 0));
    frames.push_back(image);
    for (int i = 1; i < count; ++i) {
        const uint8_t kind = in.next();
        if (kind % 4 != 0) {  // a quarter of the frames repeat the one before
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

/// The file decoded and played back strictly: every image inside the screen, every index
/// inside the global colour map, no local maps. Aborts otherwise.
std::vector<QImage> decode(const QString& path, int width, int height) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) std::abort();
    const std::string name = path.toStdString();
    int error = 0;
    GifFileType* gif = DGifOpenFileName(name.c_str(), &error);
    if (!gif || DGifSlurp(gif) != GIF_OK) std::abort();
    if (gif->SWidth != width || gif->SHeight != height || !gif->SColorMap) std::abort();
    const ColorMapObject* map = gif->SColorMap;
    std::vector<QImage> frames;
    QImage canvas(width, height, QImage::Format_RGB32);
    canvas.fill(0xFF000000u);
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        const GifImageDesc& d = image.ImageDesc;
        if (d.ColorMap || d.Left < 0 || d.Top < 0 || d.Width <= 0 || d.Height <= 0 ||
            d.Left + d.Width > width || d.Top + d.Height > height) {
            std::abort();
        }
        GraphicsControlBlock control{};
        control.TransparentColor = NO_TRANSPARENT_COLOR;
        if (DGifSavedExtensionToGCB(gif, i, &control) != GIF_OK) std::abort();
        if (control.DisposalMode != DISPOSE_DO_NOT && control.DisposalMode != DISPOSAL_UNSPECIFIED)
            std::abort();
        for (int y = 0; y < d.Height; ++y) {
            for (int x = 0; x < d.Width; ++x) {
                const int index = image.RasterBits[y * d.Width + x];
                if (index == control.TransparentColor) continue;
                if (index >= map->ColorCount) std::abort();
                const GifColorType c = map->Colors[index];
                canvas.setPixel(d.Left + x, d.Top + y, qRgb(c.Red, c.Green, c.Blue));
            }
        }
        frames.push_back(canvas);
    }
    DGifCloseFile(gif, &error);
    return frames;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Bytes in{data, size};
    const std::vector<QImage> frames = make_frames(in);
    QSet<QRgb> colours;
    for (const QImage& frame : frames)
        for (int y = 0; y < frame.height(); ++y)
            for (int x = 0; x < frame.width(); ++x) colours.insert(frame.pixel(x, y));

    // As the export does it: one surface, composed anew and captured at every step.
    koma::Surface stage;
    std::vector<koma::GifFrame> entries(frames.size());
    for (size_t i = 0; i < frames.size(); ++i) {
        stage.set_picture(frames[i]);
        entries[i] = {
            4096, {}, 2, 10, koma::DCtoDIB(stage, 0, 0, stage.width_px(), stage.height_twips())};
    }
    const QString path = koma::fuzz::write_scratch_file(nullptr, 0, ".gif");
    koma::GifOptions options{1024, 0, 0, 0, 0};
    const auto written =
        koma::DIBtoGIFAniEx(path, entries.data(), static_cast<int>(entries.size()), &options);
    for (const koma::GifFrame& entry : entries) koma::DeleteDIB(entry.dib);
    if (!written || *written != koma::GifWritten::File || koma::dib_count() != 0) std::abort();

    const std::vector<QImage> decoded = decode(path, frames[0].width(), frames[0].height());
    if (decoded.size() != frames.size()) std::abort();
    if (colours.size() <= 256) {
        for (size_t i = 0; i < frames.size(); ++i) {
            if (decoded[i] != frames[i]) std::abort();
        }
    }
    return 0;
}
