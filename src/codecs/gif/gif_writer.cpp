#include "codecs/gif/gif_writer.h"

#include <QRect>
#include <array>
#include <optional>
#include <vector>

#include "codecs/gif/dib_capture.h"
#include "codecs/gif/dib_to_gif.h"
#include "codecs/png/png_encoder.h"

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
        const Surface& stage = frame.stage;
        const QImage& coverage = frame.coverage;
        if (captured_ + static_cast<int>(clear_stages_.size()) == kMaxGifFrames) {
            return std::unexpected(
                QStringLiteral("%1: more than %2 steps").arg(path_).arg(kMaxGifFrames));
        }
        if (!coverage.isNull() || !clear_stages_.empty()) {
            // The colour that stands for clear pixels can only be chosen once every stage is in.
            clear_stages_.push_back(stage.image());
            coverages_.push_back(coverage);
            return {};
        }
        capture(stage);
        return {};
    }

    std::expected<QStringList, QString> finish() override {
        std::optional<QRgb> clear;
        if (!clear_stages_.empty()) {
            std::vector<QRect> areas;
            for (const QImage& stage : clear_stages_) areas.push_back(stage.rect());
            clear = unused_colour(clear_stages_, areas);
            if (!clear) {
                return std::unexpected(
                    QStringLiteral("%1: every colour is in use, none is left for transparency")
                        .arg(path_));
            }
            for (size_t i = 0; i < clear_stages_.size(); ++i) {
                Surface marked;
                marked.set_picture(with_clear_colour(clear_stages_[i], coverages_[i], *clear));
                capture(marked);
            }
            clear_stages_.clear();
            coverages_.clear();
        }
        GifOptions options;
        options.flags = 1024;
        const auto written =
            DIBtoGIFAniEx(path_, frames_.data(), captured_, &options, timing_, clear);
        if (!written) return std::unexpected(written.error());
        return *written == GifWritten::File ? QStringList{path_} : QStringList{};
    }

  private:
    void capture(const Surface& stage) {
        GifFrame& entry = frames_[static_cast<size_t>(captured_)];
        entry.flags = 4096;
        entry.value_2 = 2;
        entry.value_10 = 10;
        entry.dib = DCtoDIB(stage, 0, 0, stage.width_px(), stage.height_twips());
        ++captured_;
    }

    static QImage with_clear_colour(const QImage& stage, const QImage& coverage, QRgb clear) {
        QImage out = stage.copy();
        if (coverage.isNull()) return out;
        for (int y = 0; y < out.height(); ++y) {
            const uchar* c = coverage.constScanLine(y);
            QRgb* d = reinterpret_cast<QRgb*>(out.scanLine(y));
            for (int x = 0; x < out.width(); ++x) {
                if (c[x] == 0) d[x] = clear;
            }
        }
        return out;
    }

    QString path_;
    AnimationTiming timing_;
    std::array<GifFrame, kMaxGifFrames> frames_{};
    int captured_ = 0;
    std::vector<QImage> clear_stages_;
    std::vector<QImage> coverages_;
};

}  // namespace

std::unique_ptr<FrameWriter> make_gif_writer(const QString& path, const AnimationTiming& timing) {
    return std::make_unique<GifFrameWriter>(path, timing);
}

}  // namespace koma
