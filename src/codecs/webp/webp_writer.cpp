#include "codecs/webp/webp_writer.h"

#include <webp/encode.h>
#include <webp/mux.h>

#include "raster/pixel_memory.h"

namespace koma {

namespace {

/// One animation being encoded; the encoder takes each frame as it is added.
class WebpAnimation {
  public:
    WebpAnimation(QSize size, const AnimationTiming& timing) : size_(size), timing_(timing) {
        WebPAnimEncoderOptions options;
        WebPAnimEncoderOptionsInit(&options);
        options.anim_params.loop_count = timing.loop_count;
        options.allow_mixed = 0;
        encoder_ = WebPAnimEncoderNew(size.width(), size.height(), &options);
        WebPConfigInit(&config_);
        config_.lossless = 1;
        config_.exact = 1;
        config_.quality = 75;
        config_.method = 4;
    }
    ~WebpAnimation() { WebPAnimEncoderDelete(encoder_); }
    WebpAnimation(const WebpAnimation&) = delete;
    WebpAnimation& operator=(const WebpAnimation&) = delete;

    /// Adds `frame`, shown `duration_ms` ms (0: the timing's frame time).
    std::expected<void, QString> add(const QImage& given, int duration_ms = 0) {
        const QImage frame =
            given.format() == QImage::Format_RGB32 || given.format() == QImage::Format_ARGB32
                ? given
                : allocated_from(given.convertToFormat(QImage::Format_ARGB32), given);
        if (!encoder_ || !WebPValidateConfig(&config_)) {
            return std::unexpected(QStringLiteral("the WebP encoder cannot start"));
        }
        if (frame.size() != size_)
            return std::unexpected(QStringLiteral("the frames differ in size"));
        WebPPicture picture;
        if (!WebPPictureInit(&picture)) return std::unexpected(QStringLiteral("WebP version"));
        picture.use_argb = 1;
        picture.width = size_.width();
        picture.height = size_.height();
        // RGB32 and ARGB32 are libwebp's own ARGB words (RGB32 with A = 255): the encoder reads
        // the frame where it lies (it copies what it keeps) instead of from a copy of it.
        picture.argb = const_cast<uint32_t*>(reinterpret_cast<const uint32_t*>(frame.constBits()));
        picture.argb_stride = static_cast<int>(frame.bytesPerLine() / 4);
        const bool added = WebPAnimEncoderAdd(encoder_, &picture, timestamp_, &config_) != 0;
        if (!added) return std::unexpected(failure());
        ++frames_;
        // A frame lasts until the next one starts; the end of the last is given at assemble().
        timestamp_ += duration_ms != 0 ? duration_ms : timing_.frame_ms;
        return {};
    }

    std::expected<QByteArray, QString> assemble() {
        if (!encoder_) return std::unexpected(QStringLiteral("the WebP encoder cannot start"));
        if (!WebPAnimEncoderAdd(encoder_, nullptr, timestamp_, nullptr)) {
            return std::unexpected(failure());
        }
        WebPData data;
        WebPDataInit(&data);
        if (!WebPAnimEncoderAssemble(encoder_, &data)) return std::unexpected(failure());
        QByteArray bytes(reinterpret_cast<const char*>(data.bytes),
                         static_cast<qsizetype>(data.size));
        WebPDataClear(&data);
        return bytes;
    }

    int frames() const { return frames_; }

  private:
    QString failure() const {
        const char* text = WebPAnimEncoderGetError(encoder_);
        return text && *text ? QString::fromLatin1(text) : QStringLiteral("WebP encoder error");
    }

    QSize size_;
    AnimationTiming timing_;
    WebPAnimEncoder* encoder_ = nullptr;
    WebPConfig config_;
    int frames_ = 0;
    /// Where the next frame starts, in ms from the start of the animation.
    int timestamp_ = 0;
};

class WebpWriter : public FrameWriter {
  public:
    WebpWriter(const QString& path, const AnimationTiming& timing) : path_(path), timing_(timing) {}

    std::expected<void, QString> add(const StageFrame& stage) override {
        const QImage frame = stage_with_alpha(stage.stage.image(), stage.coverage);
        if (!animation_) animation_ = std::make_unique<WebpAnimation>(frame.size(), timing_);
        if (auto added = animation_->add(frame, stage.duration_ms); !added) {
            return std::unexpected(QStringLiteral("%1: %2").arg(path_, added.error()));
        }
        return {};
    }

    std::expected<QStringList, QString> finish() override {
        if (!animation_) return QStringList{};
        auto bytes = animation_->assemble();
        animation_.reset();
        return write_animation(path_, bytes);
    }

  private:
    QString path_;
    AnimationTiming timing_;
    std::unique_ptr<WebpAnimation> animation_;
};

}  // namespace

std::expected<QByteArray, QString> encode_webp(std::span<const QImage> frames,
                                               const AnimationTiming& timing) {
    if (frames.empty()) return std::unexpected(QStringLiteral("there are no frames"));
    WebpAnimation animation(frames.front().size(), timing);
    for (const QImage& frame : frames) {
        if (auto added = animation.add(frame); !added) return std::unexpected(added.error());
    }
    return animation.assemble();
}

std::unique_ptr<FrameWriter> make_webp_writer(const QString& path, const AnimationTiming& timing) {
    return std::make_unique<WebpWriter>(path, timing);
}

}  // namespace koma
