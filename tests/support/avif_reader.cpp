#include "support/avif_reader.h"

#include <avif/avif.h>

#include <QFile>
#include <cmath>
#include <memory>

namespace koma::test {

DecodedAvif decode_avif(const QString& path) {
    DecodedAvif out;
    const std::unique_ptr<avifDecoder, decltype(&avifDecoderDestroy)> decoder(avifDecoderCreate(),
                                                                              &avifDecoderDestroy);
    const QByteArray name = QFile::encodeName(path);
    avifResult result = avifDecoderSetIOFile(decoder.get(), name.constData());
    if (result == AVIF_RESULT_OK) result = avifDecoderParse(decoder.get());
    if (result != AVIF_RESULT_OK) {
        out.error = QString::fromUtf8(avifResultToString(result));
        return out;
    }
    out.has_alpha = decoder->alphaPresent;
    while ((result = avifDecoderNextImage(decoder.get())) == AVIF_RESULT_OK) {
        const avifImage* image = decoder->image;
        out.matrix_coefficients = image->matrixCoefficients;
        out.yuv_format = image->yuvFormat;
        out.yuv_range = image->yuvRange;
        out.depth = static_cast<int>(image->depth);
        QImage frame(static_cast<int>(image->width), static_cast<int>(image->height),
                     QImage::Format_ARGB32);
        avifRGBImage rgb;
        avifRGBImageSetDefaults(&rgb, image);
        rgb.format = AVIF_RGB_FORMAT_BGRA;  // QImage's 32-bit pixels in memory, little-endian
        rgb.depth = 8;
        rgb.pixels = frame.bits();
        rgb.rowBytes = static_cast<uint32_t>(frame.bytesPerLine());
        if (avifImageYUVToRGB(image, &rgb) != AVIF_RESULT_OK) {
            out.error = QStringLiteral("YUV to RGB failed");
            return out;
        }
        out.frames.push_back(out.has_alpha ? frame : frame.convertToFormat(QImage::Format_RGB32));
        out.durations_ms.push_back(static_cast<int>(
            std::lround(static_cast<double>(decoder->imageTiming.durationInTimescales) * 1000.0 /
                        static_cast<double>(decoder->imageTiming.timescale))));
    }
    if (result != AVIF_RESULT_NO_IMAGES_REMAINING) {
        out.error = QString::fromUtf8(avifResultToString(result));
    }
    return out;
}

}  // namespace koma::test
