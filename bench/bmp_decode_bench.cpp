// The BMP decoder against Qt's own BMP reader on the same files, as Qt writes them.
#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QImage>

#include "codecs/bmp/bmp_decoder.h"

namespace {

// A 1920 x 1080 picture in `format`, written by Qt as a BMP file.
QByteArray bmp_file(QImage::Format format) {
    QImage image(1920, 1080, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.setPixel(x, y, qRgba(x & 0xFF, y & 0xFF, (x ^ y) & 0xFF, (x + y) & 0xFF));
        }
    }
    const QImage converted = format == QImage::Format_Indexed8
                                 ? image.convertToFormat(format, Qt::ThresholdDither)
                                 : image.convertToFormat(format);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    converted.save(&buffer, "bmp");
    return bytes;
}

void ours(benchmark::State& state, QImage::Format format) {
    const QByteArray file = bmp_file(format);
    for (auto _ : state) {
        auto image = koma::decode_bmp(file);
        benchmark::DoNotOptimize(image);
    }
    state.SetBytesProcessed(state.iterations() * int64_t{1920} * 1080 * 4);
}

void qt(benchmark::State& state, QImage::Format format) {
    const QByteArray file = bmp_file(format);
    for (auto _ : state) {
        QImage image;
        image.loadFromData(file, "bmp");
        benchmark::DoNotOptimize(image);
    }
    state.SetBytesProcessed(state.iterations() * int64_t{1920} * 1080 * 4);
}

BENCHMARK_CAPTURE(ours, bgr24, QImage::Format_RGB32)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(qt, bgr24, QImage::Format_RGB32)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ours, argb32, QImage::Format_ARGB32)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(qt, argb32, QImage::Format_ARGB32)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ours, indexed8, QImage::Format_Indexed8)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(qt, indexed8, QImage::Format_Indexed8)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
