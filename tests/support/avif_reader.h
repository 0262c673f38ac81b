#pragma once

#include <QImage>
#include <QString>
#include <vector>

namespace koma::test {

/// An animated AVIF as libavif's decoder gives it back.
struct DecodedAvif {
    QString error;               ///< empty when every frame decoded
    std::vector<QImage> frames;  ///< ARGB32 when the file has alpha, else RGB32
    std::vector<int> durations_ms;
    bool has_alpha = false;
    int matrix_coefficients = -1;
    int yuv_format = -1;  ///< avifPixelFormat
    int yuv_range = -1;
    int depth = 0;
};

/// Decodes every frame of the AVIF file at `path` with libavif's decoder of its own choice.
DecodedAvif decode_avif(const QString& path);

}  // namespace koma::test
