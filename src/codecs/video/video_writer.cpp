#include "codecs/video/video_writer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/error.h>
#include <libavutil/frame.h>
}

#include <QFile>
#include <QThread>
#include <algorithm>
#include <map>
#include <optional>

#include "codecs/image_limits.h"
#include "codecs/video/ffmpeg_log.h"
#include "codecs/video/yuv420.h"
#include "platform/staged_files.h"

namespace koma {

namespace {

constexpr AVRational kMillisecond{1, 1000};
constexpr int kMaxDurationMs = 65535;

struct CodecTraits {
    const char* encoder;
    const char* muxer;
    bool even_size;  // 4:2:0 H.264 codes only even sizes; VP9 codes any
};

CodecTraits traits(VideoCodec codec) {
    return codec == VideoCodec::H264 ? CodecTraits{"libx264", "mp4", true}
                                     : CodecTraits{"libvpx-vp9", "webm", false};
}

QString av_reason(int error) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(error, text, sizeof text);
    QString reason = QString::fromUtf8(text);
    if (const QString logged = last_ffmpeg_error(); !logged.isEmpty()) {
        reason += QStringLiteral(" (%1)").arg(logged);
    }
    return reason;
}

struct FormatDeleter {
    void operator()(AVFormatContext* format) const {
        if (format->pb != nullptr) avio_closep(&format->pb);
        avformat_free_context(format);
    }
};
struct CodecDeleter {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct FrameDeleter {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketDeleter {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};

// An AVDictionary freed on every path.
struct Options {
    AVDictionary* entries = nullptr;
    ~Options() { av_dict_free(&entries); }
    void set(const char* key, const char* value) { av_dict_set(&entries, key, value, 0); }
};

}  // namespace

struct VideoWriter::State {
    QString path;
    VideoSettings settings;
    // The batch the file waits in: the caller's, or the writer's own, committed by finish().
    WriterBatch batch;
    QString temp_path;  // empty until staged and once dropped
    std::unique_ptr<AVFormatContext, FormatDeleter> format;
    std::unique_ptr<AVCodecContext, CodecDeleter> encoder;
    std::unique_ptr<AVFrame, FrameDeleter> frame;
    std::unique_ptr<AVPacket, PacketDeleter> packet;
    AVStream* stream = nullptr;
    int frames = 0;
    int64_t next_pts = 0;  // in milliseconds
    // Start and duration of the frames inside the encoder: FFmpeg 5.1's encoders do not carry a
    // frame's duration over to its packet.
    std::map<int64_t, int64_t> pending;
    QString failure;  // once set, the writer is done

    ~State() { release(); }

    std::unexpected<QString> fail(const QString& reason) {
        failure = QStringLiteral("%1: %2").arg(path, reason);
        release();
        return std::unexpected(failure);
    }

    // Frees the libraries' objects and removes the temporary file.
    void release() {
        frame.reset();
        packet.reset();
        encoder.reset();
        format.reset();  // closes the file
        if (!temp_path.isEmpty()) batch.files().drop(path);
        temp_path.clear();
    }

    std::expected<void, QString> open();
    std::expected<void, QString> encode(const AVFrame* input);
};

std::expected<void, QString> VideoWriter::State::open() {
    const CodecTraits codec = traits(settings.codec);
    const AVCodec* av_codec = avcodec_find_encoder_by_name(codec.encoder);
    if (av_codec == nullptr) {
        return fail(QStringLiteral("the FFmpeg libraries have no %1 encoder")
                        .arg(QString::fromLatin1(codec.encoder)));
    }
    const QByteArray temp_name = QFile::encodeName(temp_path);
    AVFormatContext* raw_format = nullptr;
    int error =
        avformat_alloc_output_context2(&raw_format, nullptr, codec.muxer, temp_name.constData());
    if (error < 0)
        return fail(QStringLiteral("no %1 muxer: %2").arg(codec.muxer, av_reason(error)));
    format.reset(raw_format);
    encoder.reset(avcodec_alloc_context3(av_codec));
    frame.reset(av_frame_alloc());
    packet.reset(av_packet_alloc());
    stream = avformat_new_stream(format.get(), nullptr);
    if (!encoder || !frame || !packet || stream == nullptr) {
        return fail(QStringLiteral("out of memory"));
    }

    AVCodecContext& c = *encoder;
    c.width = codec.even_size ? (settings.size.width() + 1) & ~1 : settings.size.width();
    c.height = codec.even_size ? (settings.size.height() + 1) & ~1 : settings.size.height();
    c.sample_aspect_ratio = AVRational{1, 1};
    c.pix_fmt = AV_PIX_FMT_YUV420P;
    c.time_base = kMillisecond;
    c.color_primaries = AVCOL_PRI_BT709;
    c.color_trc = AVCOL_TRC_BT709;
    c.colorspace = AVCOL_SPC_BT709;
    c.color_range = AVCOL_RANGE_MPEG;
    c.chroma_sample_location = AVCHROMA_LOC_CENTER;
    c.thread_count =
        settings.threads > 0 ? settings.threads : std::max(1, QThread::idealThreadCount());
    if ((format->oformat->flags & AVFMT_GLOBALHEADER) != 0) {
        c.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    const CrfRange range = crf_range(settings.codec);
    const int crf = settings.crf < 0 ? default_crf(settings.codec)
                                     : std::clamp(settings.crf, range.best, range.worst);
    Options options;
    options.set("crf", QByteArray::number(crf).constData());
    if (settings.codec == VideoCodec::H264) {
        // At crf 20 "slower" makes the walk example's file 30 % smaller than "medium"; a look-ahead
        // of 20 frames instead of the preset's 60 gives the same size in 110 MB less at scale 4.
        // No B-frames: frames are coded in the order shown, so each sample of the MP4 index
        // carries its own frame's duration and no edit list shifts the start.
        options.set("preset", "slower");
        options.set("rc-lookahead", "20");
        options.set("bf", "0");
    } else {
        // Constant quality with no bit rate aimed at. Frames held back for look-ahead gave the
        // walk example the same bytes in 58 MB more at scale 4.
        options.set("b", "0");
        options.set("deadline", "good");
        options.set("cpu-used", "2");
        options.set("row-mt", "1");
        options.set("lag-in-frames", "0");
    }
    error = avcodec_open2(&c, av_codec, &options.entries);
    if (error < 0) {
        return fail(QStringLiteral("the %1 encoder refused the settings: %2")
                        .arg(codec.encoder, av_reason(error)));
    }
    if (const AVDictionaryEntry* unused =
            av_dict_get(options.entries, "", nullptr, AV_DICT_IGNORE_SUFFIX)) {
        return fail(QStringLiteral("the %1 encoder does not know the option %2")
                        .arg(codec.encoder, QString::fromUtf8(unused->key)));
    }
    error = avcodec_parameters_from_context(stream->codecpar, &c);
    if (error < 0) return fail(av_reason(error));
    stream->time_base = c.time_base;

    frame->format = c.pix_fmt;
    frame->width = c.width;
    frame->height = c.height;
    error = av_frame_get_buffer(frame.get(), 0);
    if (error < 0) return fail(av_reason(error));

    error = avio_open(&format->pb, temp_name.constData(), AVIO_FLAG_WRITE);
    if (error < 0) return fail(av_reason(error));
    Options muxer_options;
    if (settings.codec == VideoCodec::H264) {
        // The index before the data: a player can start before the whole file has arrived. The
        // muxer moves it by reading the file back by its name, so the file must be a real one.
        muxer_options.set("movflags", "+faststart");
    }
    error = avformat_write_header(format.get(), &muxer_options.entries);
    if (error < 0) return fail(QStringLiteral("cannot write the header: %1").arg(av_reason(error)));
    return {};
}

// Sends `input` (null to drain) to the encoder and writes the packets that come out.
std::expected<void, QString> VideoWriter::State::encode(const AVFrame* input) {
    int error = avcodec_send_frame(encoder.get(), input);
    if (error < 0) return fail(QStringLiteral("the encoder failed: %1").arg(av_reason(error)));
    for (;;) {
        error = avcodec_receive_packet(encoder.get(), packet.get());
        if (error == AVERROR(EAGAIN) || error == AVERROR_EOF) return {};
        if (error < 0) return fail(QStringLiteral("the encoder failed: %1").arg(av_reason(error)));
        AVPacket* p = packet.get();
        if (const auto shown = pending.find(p->pts); shown != pending.end()) {
            p->duration = shown->second;
            pending.erase(shown);
        }
        av_packet_rescale_ts(p, encoder->time_base, stream->time_base);
        p->stream_index = stream->index;
        // Takes the packet's data and leaves the packet blank.
        error = av_interleaved_write_frame(format.get(), p);
        if (error < 0) {
            av_packet_unref(p);
            return fail(QStringLiteral("cannot write a frame: %1").arg(av_reason(error)));
        }
    }
}

VideoWriter::VideoWriter(std::unique_ptr<State> state) : state_(std::move(state)) {}

VideoWriter::~VideoWriter() = default;

std::expected<std::unique_ptr<VideoWriter>, QString> VideoWriter::create(
    const QString& path, const VideoSettings& settings, StagedFiles* batch) {
    quiet_ffmpeg_log();
    clear_ffmpeg_error();
    auto s = std::make_unique<State>();
    s->path = path;
    s->batch.use(batch);
    s->settings = settings;
    const QSize size = settings.size;
    if (size.width() < 1 || size.height() < 1 || size.width() > kMaxImageSide ||
        size.height() > kMaxImageSide) {
        return s->fail(QStringLiteral("a frame of %1 x %2 pixels cannot be coded")
                           .arg(size.width())
                           .arg(size.height()));
    }
    auto staged = s->batch.files().stage(path);
    if (!staged) return std::unexpected(staged.error());
    s->temp_path = *staged;
    if (auto opened = s->open(); !opened) return std::unexpected(opened.error());
    return std::unique_ptr<VideoWriter>(new VideoWriter(std::move(s)));
}

std::expected<void, QString> VideoWriter::add(const QImage& stage, int duration_ms) {
    State& s = *state_;
    if (!s.failure.isEmpty()) return std::unexpected(s.failure);
    clear_ffmpeg_error();
    const int number = s.frames + 1;
    if (stage.size() != s.settings.size) {
        return s.fail(QStringLiteral("frame %1 is %2 x %3 pixels, not %4 x %5")
                          .arg(number)
                          .arg(stage.width())
                          .arg(stage.height())
                          .arg(s.settings.size.width())
                          .arg(s.settings.size.height()));
    }
    if (duration_ms < 1 || duration_ms > kMaxDurationMs) {
        return s.fail(QStringLiteral("frame %1 lasts %2 ms, outside 1 to %3 ms")
                          .arg(number)
                          .arg(duration_ms)
                          .arg(kMaxDurationMs));
    }
    // The encoder may still hold the last frame's buffer.
    if (const int error = av_frame_make_writable(s.frame.get()); error < 0) {
        return s.fail(av_reason(error));
    }
    const bool direct =
        stage.format() == QImage::Format_RGB32 || stage.format() == QImage::Format_ARGB32;
    AVFrame& f = *s.frame;
    rgb_to_yuv420(direct ? stage : stage.convertToFormat(QImage::Format_RGB32), f.width, f.height,
                  {f.data[0], f.data[1], f.data[2], f.linesize[0], f.linesize[1], f.linesize[2]});
    f.pts = s.next_pts;
    f.pkt_duration = duration_ms;
    s.pending.emplace(s.next_pts, duration_ms);
    s.next_pts += duration_ms;
    if (auto sent = s.encode(&f); !sent) return sent;
    ++s.frames;
    return {};
}

std::expected<QStringList, QString> VideoWriter::finish() {
    State& s = *state_;
    if (!s.failure.isEmpty()) return std::unexpected(s.failure);
    clear_ffmpeg_error();
    if (s.frames == 0) return s.fail(QStringLiteral("no frames to write"));
    if (auto drained = s.encode(nullptr); !drained) return std::unexpected(drained.error());
    int error = av_write_trailer(s.format.get());
    if (error >= 0) error = avio_closep(&s.format->pb);
    if (error < 0) {
        return s.fail(QStringLiteral("cannot complete the file: %1").arg(av_reason(error)));
    }
    s.temp_path.clear();  // complete: it stays in the batch
    s.release();
    if (auto committed = s.batch.commit_own(); !committed) {
        s.failure = committed.error();
        return std::unexpected(s.failure);
    }
    s.failure = QStringLiteral("%1: the video was already written").arg(s.path);
    return QStringList{s.path};
}

namespace {

class VideoFrameWriter : public FrameWriter {
  public:
    VideoFrameWriter(const QString& path, VideoCodec codec, const AnimationTiming& timing, int crf)
        : path_(path), codec_(codec), timing_(timing), crf_(crf) {}

    std::expected<void, QString> add(const StageFrame& frame) override {
        const QImage& stage = frame.stage.image();
        if (!writer_) {
            VideoSettings settings;
            settings.codec = codec_;
            settings.size = stage.size();
            settings.crf = crf_;
            auto created = VideoWriter::create(path_, settings, staged());
            if (!created) return std::unexpected(created.error());
            writer_ = std::move(*created);
        }
        return writer_->add(stage, frame.duration_ms > 0 ? frame.duration_ms : timing_.frame_ms);
    }

    std::expected<QStringList, QString> finish() override {
        if (!writer_) return QStringList{};
        return writer_->finish();
    }

  private:
    QString path_;
    VideoCodec codec_;
    AnimationTiming timing_;
    int crf_;
    std::unique_ptr<VideoWriter> writer_;
};

}  // namespace

std::unique_ptr<FrameWriter> make_video_frame_writer(const QString& path, VideoCodec codec,
                                                     const AnimationTiming& timing, int crf) {
    return std::make_unique<VideoFrameWriter>(path, codec, timing, crf);
}

}  // namespace koma
