#include "codecs/gif/gif_writer.h"

#include <QRect>
#include <array>

#include "codecs/gif/dib_capture.h"
#include "codecs/gif/dib_to_gif.h"

namespace koma {

namespace {

/// The most frames one GIF export holds: the pattern's 91 steps played there and back.
constexpr int kMaxGifFrames = 2 * 91 - 2;

class GifFrameWriter : public FrameWriter {
  public:
    GifFrameWriter(const QString& path, const AnimationTiming& timing, int scale)
        : path_(path), timing_(timing), scale_(scale) {}
    ~GifFrameWriter() override {
        for (int i = 0; i < captured_; ++i) DeleteDIB(frames_[static_cast<size_t>(i)].dib);
    }

    std::expected<void, QString> add(const StageFrame& frame) override {
        if (captured_ == kMaxGifFrames) {
            return std::unexpected(
                QStringLiteral("%1: more than %2 frames").arg(path_).arg(kMaxGifFrames));
        }
        durations_[static_cast<size_t>(captured_)] = frame.duration_ms;
        const Surface& stage = frame.stage;
        GifFrame& entry = frames_[static_cast<size_t>(captured_)];
        entry.flags = 4096;
        entry.value_2 = 2;
        entry.value_10 = 10;
        entry.dib = DCtoDIB(stage, 0, 0, stage.width_px(), stage.height_twips(), frame.coverage);
        ++captured_;
        return {};
    }

    std::expected<QStringList, QString> finish() override {
        GifOptions options;
        options.flags = 1024;
        const auto written = DIBtoGIFAniEx(
            path_, frames_.data(), captured_, &options, timing_, staged(),
            std::span<const int>(durations_.data(), static_cast<size_t>(captured_)), scale_);
        if (!written) return std::unexpected(written.error());
        return *written == GifWritten::File ? QStringList{path_} : QStringList{};
    }

  private:
    QString path_;
    AnimationTiming timing_;
    int scale_;
    std::array<GifFrame, kMaxGifFrames> frames_{};
    /// The time each frame was added with, in the order added.
    std::array<int, kMaxGifFrames> durations_{};
    int captured_ = 0;
};

}  // namespace

std::unique_ptr<FrameWriter> make_gif_writer(const QString& path, const AnimationTiming& timing,
                                             int scale) {
    return std::make_unique<GifFrameWriter>(path, timing, scale);
}

}  // namespace koma
