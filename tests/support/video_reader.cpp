#include "support/video_reader.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <QFile>
#include <cmath>
#include <cstring>
#include <memory>

#include "codecs/video/yuv420.h"

namespace koma::test {

namespace {

QString av_text(int error) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(error, text, sizeof text);
    return QString::fromUtf8(text);
}

int64_t to_ms(int64_t value, AVRational time_base) {
    return av_rescale_q(value, time_base, AVRational{1, 1000});
}

// Planes allocated the way FFmpeg wants them: aligned rows with room to spare, since swscale
// may write past a row's end.
struct ImageBuffer {
    uint8_t* data[4] = {};
    int linesize[4] = {};
    ImageBuffer(int width, int height, AVPixelFormat format) {
        av_image_alloc(data, linesize, width, height, format, 64);
    }
    ~ImageBuffer() { av_freep(&data[0]); }
};

}  // namespace

QImage to_rgb(const uint8_t* const planes[3], const int strides[3], int width, int height) {
    SwsContext* scale = sws_alloc_context();
    av_opt_set_int(scale, "srcw", width, 0);
    av_opt_set_int(scale, "srch", height, 0);
    av_opt_set_int(scale, "dstw", width, 0);
    av_opt_set_int(scale, "dsth", height, 0);
    av_opt_set_int(scale, "src_format", AV_PIX_FMT_YUV420P, 0);
    av_opt_set_int(scale, "dst_format", AV_PIX_FMT_RGB32, 0);
    av_opt_set_int(scale, "sws_flags", SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT, 0);
    av_opt_set_int(scale, "src_h_chr_pos", 128, 0);
    av_opt_set_int(scale, "src_v_chr_pos", 128, 0);
    QImage rgb;
    if (sws_init_context(scale, nullptr, nullptr) >= 0) {
        const int* bt709 = sws_getCoefficients(SWS_CS_ITU709);
        sws_setColorspaceDetails(scale, bt709, 0, bt709, 1, 0, 1 << 16, 1 << 16);
        ImageBuffer out(width, height, AV_PIX_FMT_RGB32);
        sws_scale(scale, planes, strides, 0, height, out.data, out.linesize);
        rgb = QImage(width, height, QImage::Format_RGB32);
        for (int y = 0; y < height; ++y) {
            std::memcpy(rgb.scanLine(y), out.data[0] + y * out.linesize[0],
                        static_cast<size_t>(width) * 4);
        }
    }
    sws_freeContext(scale);
    return rgb;
}

QImage yuv420_round_trip(const QImage& rgb) {
    ImageBuffer yuv(rgb.width(), rgb.height(), AV_PIX_FMT_YUV420P);
    rgb_to_yuv420(
        rgb.convertToFormat(QImage::Format_RGB32), rgb.width(), rgb.height(),
        {yuv.data[0], yuv.data[1], yuv.data[2], yuv.linesize[0], yuv.linesize[1], yuv.linesize[2]});
    return to_rgb(yuv.data, yuv.linesize, rgb.width(), rgb.height());
}

double rgb_psnr(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* p = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* q = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            const int dr = qRed(p[x]) - qRed(q[x]);
            const int dg = qGreen(p[x]) - qGreen(q[x]);
            const int db = qBlue(p[x]) - qBlue(q[x]);
            sum += dr * dr + dg * dg + db * db;
        }
    }
    const double mse = sum / (3.0 * a.width() * a.height());
    return mse == 0 ? 100.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

DecodedVideo decode_video(const QString& path) {
    DecodedVideo out;
    const QByteArray name = QFile::encodeName(path);
    AVFormatContext* format = nullptr;
    int error = avformat_open_input(&format, name.constData(), nullptr, nullptr);
    if (error < 0) {
        out.error = av_text(error);
        return out;
    }
    const std::unique_ptr<AVFormatContext*, void (*)(AVFormatContext**)> closing(
        &format, avformat_close_input);
    if ((error = avformat_find_stream_info(format, nullptr)) < 0) {
        out.error = av_text(error);
        return out;
    }
    const AVCodec* codec = nullptr;
    const int index = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
    if (index < 0 || codec == nullptr) {
        out.error = QStringLiteral("no video stream");
        return out;
    }
    const AVStream* stream = format->streams[index];
    const std::unique_ptr<AVCodecContext, void (*)(AVCodecContext*)> context(
        avcodec_alloc_context3(codec), [](AVCodecContext* c) { avcodec_free_context(&c); });
    avcodec_parameters_to_context(context.get(), stream->codecpar);
    if ((error = avcodec_open2(context.get(), codec, nullptr)) < 0) {
        out.error = av_text(error);
        return out;
    }
    out.codec = QString::fromUtf8(codec->name);
    out.color_primaries = stream->codecpar->color_primaries;
    out.color_trc = stream->codecpar->color_trc;
    out.colorspace = stream->codecpar->color_space;
    out.color_range = stream->codecpar->color_range;
    if (format->duration != AV_NOPTS_VALUE) out.container_duration_ms = format->duration / 1000;

    const std::unique_ptr<AVPacket, void (*)(AVPacket*)> packet(
        av_packet_alloc(), [](AVPacket* p) { av_packet_free(&p); });
    const std::unique_ptr<AVFrame, void (*)(AVFrame*)> frame(av_frame_alloc(),
                                                             [](AVFrame* f) { av_frame_free(&f); });
    const auto take_frames = [&] {
        while ((error = avcodec_receive_frame(context.get(), frame.get())) >= 0) {
            out.width = frame->width;
            out.height = frame->height;
            out.pixel_format = frame->format;
            out.frames.push_back(to_rgb(frame->data, frame->linesize, frame->width, frame->height));
            out.starts_ms.push_back(to_ms(frame->best_effort_timestamp, stream->time_base));
            out.durations_ms.push_back(to_ms(frame->pkt_duration, stream->time_base));
            av_frame_unref(frame.get());
        }
        return error == AVERROR(EAGAIN) || error == AVERROR_EOF;
    };
    bool fine = true;
    while (fine && av_read_frame(format, packet.get()) >= 0) {
        if (packet->stream_index == index) {
            fine = avcodec_send_packet(context.get(), packet.get()) >= 0 && take_frames();
        }
        av_packet_unref(packet.get());
    }
    if (fine) fine = avcodec_send_packet(context.get(), nullptr) >= 0 && take_frames();
    if (!fine) out.error = QStringLiteral("decoding failed: %1").arg(av_text(error));
    return out;
}

int64_t top_level_box(const QString& path, const char* type) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return -1;
    const QByteArray bytes = file.readAll();
    int64_t offset = 0;
    while (offset + 8 <= bytes.size()) {
        const auto byte = [&](int64_t i) {
            return static_cast<uint64_t>(static_cast<uint8_t>(bytes[static_cast<qsizetype>(i)]));
        };
        const uint64_t size =
            byte(offset) << 24 | byte(offset + 1) << 16 | byte(offset + 2) << 8 | byte(offset + 3);
        if (std::memcmp(bytes.constData() + offset + 4, type, 4) == 0) return offset;
        if (size < 8) return -1;  // the 64-bit and to-the-end sizes do not occur in these files
        offset += static_cast<int64_t>(size);
    }
    return -1;
}

}  // namespace koma::test
