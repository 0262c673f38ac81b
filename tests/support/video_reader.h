#pragma once

#include <QImage>
#include <QString>
#include <cstdint>
#include <vector>

namespace koma::test {

/// A video as FFmpeg's demuxer and decoder give it back.
struct DecodedVideo {
    QString error;  ///< empty when every frame decoded
    QString codec;  ///< the decoder's name, "h264" or "vp9"
    int width = 0;  ///< of the decoded pictures
    int height = 0;
    int pixel_format = -1;  ///< AVPixelFormat
    int color_primaries = -1;
    int color_trc = -1;
    int colorspace = -1;
    int color_range = -1;
    std::vector<QImage> frames;          ///< RGB32 (see to_rgb)
    std::vector<int64_t> starts_ms;      ///< each frame's timestamp
    std::vector<int64_t> durations_ms;   ///< each frame's packet duration as the container has it
    int64_t container_duration_ms = -1;  ///< the whole file's, as the demuxer reports it
};

/// Decodes every frame of the video at `path` back to RGB.
DecodedVideo decode_video(const QString& path);

/// 8-bit YUV 4:2:0 at limited range with the BT.709 matrix to RGB32 the way a player that
/// interpolates chroma shows it: swscale, bicubic, full chroma interpolation, chroma sited at
/// the block centres.
QImage to_rgb(const uint8_t* const planes[3], const int strides[3], int width, int height);

/// `rgb` through rgb_to_yuv420 and back through to_rgb, without an encoder: the best picture a
/// video of this program can show. Decoded frames compared with it measure the encoder's loss.
QImage yuv420_round_trip(const QImage& rgb);

/// The mean over all pixels and the three channels of the squared difference, as a PSNR in dB;
/// 100 for equal images. Alpha is not read; both images must be of one size.
double rgb_psnr(const QImage& a, const QImage& b);

/// Offset of the first top-level box of type `type` ("moov", "mdat") in an ISO media file, or
/// -1.
int64_t top_level_box(const QString& path, const char* type);

}  // namespace koma::test
