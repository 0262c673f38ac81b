#include "codecs/gif/gif_writer.h"

#include <QRect>
#include <array>

#include "codecs/gif/dib_capture.h"
#include "codecs/gif/dib_to_gif.h"

namespace koma {

namespace {

/// The most frames one GIF export holds, as the pattern's step tables do.
constexpr int kMaxGifFrames = 91;

class GifFrameWriter : public FrameWriter {
  public:
    GifFrameWriter(const QString& path, const AnimationTiming& timing)
        : path_(path), timing_(timing) {}
    ~GifFrameWriter() override {
        for (int i = 0; i < captured_; ++i) DeleteDIB(frames_[static_cast<size_t>(i)].dib);
    }

    std::expected<void, QString> add(const StageFrame& frame) override {
        if (captured_ == kMaxGifFrames) {
            return std::unexpected(
                QStringLiteral("%1: more than %2 steps").arg(path_).arg(kMaxGifFrames));
        }
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
        const auto written = DIBtoGIFAniEx(path_, frames_.data(), captured_, &options, timing_);
        if (!written) return std::unexpected(written.error());
        return *written == GifWritten::File ? QStringList{path_} : QStringList{};
    }

  private:
    QString path_;
    AnimationTiming timing_;
    std::array<GifFrame, kMaxGifFrames> frames_{};
    int captured_ = 0;
};

}  // namespace

std::unique_ptr<FrameWriter> make_gif_writer(const QString& path, const AnimationTiming& timing) {
    return std::make_unique<GifFrameWriter>(path, timing);
}

}  // namespace koma
