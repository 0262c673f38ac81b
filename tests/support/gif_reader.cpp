#include "support/gif_reader.h"

#include <gif_lib.h>

#include <QFile>
#include <cstring>

namespace koma::test {

namespace {

struct Input {
    QByteArray bytes;
    qsizetype at = 0;
};

int read_input(GifFileType* gif, GifByteType* out, int length) {
    auto* in = static_cast<Input*>(gif->UserData);
    const qsizetype n = std::min<qsizetype>(length, in->bytes.size() - in->at);
    std::memcpy(out, in->bytes.constData() + in->at, static_cast<size_t>(n));
    in->at += n;
    return static_cast<int>(n);
}

int netscape_loop_count(const SavedImage& image) {
    for (int i = 0; i + 1 < image.ExtensionBlockCount; ++i) {
        const ExtensionBlock& app = image.ExtensionBlocks[i];
        const ExtensionBlock& sub = image.ExtensionBlocks[i + 1];
        if (app.Function == APPLICATION_EXT_FUNC_CODE && app.ByteCount == 11 &&
            std::memcmp(app.Bytes, "NETSCAPE2.0", 11) == 0 && sub.ByteCount >= 3 &&
            sub.Bytes[0] == 1) {
            return sub.Bytes[1] | (sub.Bytes[2] << 8);
        }
    }
    return -1;
}

}  // namespace

DecodedGif decode_gif(const QString& path) {
    DecodedGif out;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        out.error = file.errorString();
        return out;
    }
    Input input{file.readAll()};
    int error = 0;
    GifFileType* gif = DGifOpen(&input, read_input, &error);
    if (!gif) {
        out.error = QString::fromLatin1(GifErrorString(error));
        return out;
    }
    if (DGifSlurp(gif) != GIF_OK) {
        out.error = QString::fromLatin1(GifErrorString(gif->Error));
        DGifCloseFile(gif, &error);
        return out;
    }
    out.width = gif->SWidth;
    out.height = gif->SHeight;
    out.global_colours = gif->SColorMap ? gif->SColorMap->ColorCount : 0;
    if (gif->ImageCount > 0) {
        out.loop_count = netscape_loop_count(gif->SavedImages[0]);
    }

    QImage canvas(out.width, out.height, QImage::Format_RGB32);
    canvas.fill(0xFF000000u);
    QImage clear_canvas(out.width, out.height, QImage::Format_ARGB32);
    clear_canvas.fill(0u);
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        const GifImageDesc& desc = image.ImageDesc;
        GraphicsControlBlock control{};
        control.TransparentColor = NO_TRANSPARENT_COLOR;
        DGifSavedExtensionToGCB(gif, i, &control);
        const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
        out.any_local_colours = out.any_local_colours || desc.ColorMap != nullptr;
        const QRect rect(desc.Left, desc.Top, desc.Width, desc.Height);
        const QImage before = canvas;
        const QImage clear_before = clear_canvas;
        for (int y = 0; y < desc.Height; ++y) {
            for (int x = 0; x < desc.Width; ++x) {
                const int index = image.RasterBits[y * desc.Width + x];
                if (index == control.TransparentColor || !map || index >= map->ColorCount) {
                    continue;
                }
                const GifColorType c = map->Colors[index];
                if (canvas.rect().contains(desc.Left + x, desc.Top + y)) {
                    canvas.setPixel(desc.Left + x, desc.Top + y, qRgb(c.Red, c.Green, c.Blue));
                    clear_canvas.setPixel(desc.Left + x, desc.Top + y,
                                          qRgb(c.Red, c.Green, c.Blue));
                }
            }
        }
        out.frames.push_back(canvas);
        out.clear_frames.push_back(clear_canvas);
        out.delays.push_back(control.DelayTime);
        out.rects.push_back(rect);
        out.uses_transparency.push_back(control.TransparentColor != NO_TRANSPARENT_COLOR);
        if (control.DisposalMode == DISPOSE_BACKGROUND) {
            for (int y = rect.top(); y <= rect.bottom(); ++y)
                for (int x = rect.left(); x <= rect.right(); ++x)
                    if (canvas.rect().contains(x, y)) {
                        canvas.setPixel(x, y, 0xFF000000u);
                        clear_canvas.setPixel(x, y, 0u);
                    }
        } else if (control.DisposalMode == DISPOSE_PREVIOUS) {
            canvas = before;
            clear_canvas = clear_before;
        }
    }
    DGifCloseFile(gif, &error);
    return out;
}

}  // namespace koma::test
