#include "support/webp_reader.h"

#include <webp/decode.h>
#include <webp/demux.h>

#include <QFile>
#include <cstring>

namespace koma::test {

DecodedWebp decode_webp(const QByteArray& bytes) {
    DecodedWebp out;
    WebPData data{reinterpret_cast<const uint8_t*>(bytes.constData()),
                  static_cast<size_t>(bytes.size())};

    WebPDemuxer* demux = WebPDemux(&data);
    if (!demux) {
        out.error = QStringLiteral("not a WebP file");
        return out;
    }
    out.animated = (WebPDemuxGetI(demux, WEBP_FF_FORMAT_FLAGS) & ANIMATION_FLAG) != 0;
    out.all_lossless = true;
    WebPIterator it;
    if (WebPDemuxGetFrame(demux, 1, &it)) {
        do {
            WebPBitstreamFeatures features;
            if (WebPGetFeatures(it.fragment.bytes, it.fragment.size, &features) != VP8_STATUS_OK ||
                features.format != 2) {
                out.all_lossless = false;
            }
        } while (WebPDemuxNextFrame(&it));
        WebPDemuxReleaseIterator(&it);
    }
    WebPDemuxDelete(demux);

    WebPAnimDecoderOptions options;
    WebPAnimDecoderOptionsInit(&options);
    options.color_mode = MODE_BGRA;  // QImage::Format_ARGB32 in memory
    options.use_threads = 0;
    WebPAnimDecoder* decoder = WebPAnimDecoderNew(&data, &options);
    if (!decoder) {
        out.error = QStringLiteral("the animation decoder refuses the file");
        return out;
    }
    WebPAnimInfo info;
    WebPAnimDecoderGetInfo(decoder, &info);
    out.width = static_cast<int>(info.canvas_width);
    out.height = static_cast<int>(info.canvas_height);
    out.loop_count = static_cast<int>(info.loop_count);
    int previous = 0;
    while (WebPAnimDecoderHasMoreFrames(decoder)) {
        uint8_t* pixels = nullptr;
        int timestamp = 0;
        if (!WebPAnimDecoderGetNext(decoder, &pixels, &timestamp)) {
            out.error = QStringLiteral("a frame does not decode");
            break;
        }
        QImage frame(out.width, out.height, QImage::Format_ARGB32);
        for (int y = 0; y < out.height; ++y) {
            std::memcpy(frame.scanLine(y), pixels + static_cast<size_t>(y) * 4 * out.width,
                        static_cast<size_t>(4 * out.width));
        }
        out.frames.push_back(frame);
        out.durations_ms.push_back(timestamp - previous);
        previous = timestamp;
    }
    WebPAnimDecoderDelete(decoder);
    return out;
}

DecodedWebp decode_webp_file(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        DecodedWebp out;
        out.error = QStringLiteral("cannot open ") + path;
        return out;
    }
    return decode_webp(file.readAll());
}

}  // namespace koma::test
