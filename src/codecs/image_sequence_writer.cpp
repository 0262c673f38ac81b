#include "codecs/image_sequence_writer.h"

#include <optional>

#include "codecs/bmp/bmp_writer.h"
#include "codecs/png/png_encoder.h"

namespace koma {

namespace {

class SequenceWriter : public FrameWriter {
  public:
    /// The bytes of one step's file, or why it cannot be coded.
    using Encode = std::function<std::expected<QByteArray, QString>(const StageFrame& frame)>;
    SequenceWriter(StepFileName name, Encode encode)
        : name_(std::move(name)), encode_(std::move(encode)) {}

    std::expected<void, QString> add(const StageFrame& frame) override {
        const QString path = name_(step_);
        const auto bytes = encode_(frame);
        if (!bytes) return std::unexpected(QStringLiteral("%1: %2").arg(path, bytes.error()));
        if (auto saved = write_file(path, *bytes); !saved) {
            return std::unexpected(saved.error());
        }
        ++step_;
        files_ << path;
        return {};
    }

    std::expected<QStringList, QString> finish() override { return files_; }

  private:
    StepFileName name_;
    Encode encode_;
    int step_ = 0;
    QStringList files_;
};

}  // namespace

std::unique_ptr<FrameWriter> make_bmp_sequence_writer(StepFileName name) {
    return std::make_unique<SequenceWriter>(
        std::move(name), [](const StageFrame& frame) { return encode_bmp(frame.stage.image()); });
}

/// How the steps of a PNG sequence are coded at CodingEffort::Default: each in its own layout,
/// palettes with default_coding; colour rows with default_coding too, unless the first step
/// in colour codes more than 1 % smaller at zlib's highest level (smooth synthetic colour, whose
/// repeats only the long match search finds), which then codes every step in colour. One
/// trial for the whole sequence, since its steps are alike.
class SequenceCoding {
  public:
    std::expected<QByteArray, QString> encode(const QImage& image) {
        const PngLayout layout = image_layout(image);
        if (layout.kind == PngLayout::Kind::Palette) {
            return encode_png(image, image.rect(), layout, default_coding(layout));
        }
        if (colour_) return encode_png(image, image.rect(), layout, *colour_);
        auto fast = encode_png(image, image.rect(), layout, default_coding(layout));
        auto thorough = encode_png(image, image.rect(), layout, PngCoding{});
        if (!fast || !thorough) return fast ? thorough : fast;
        const bool much_smaller = thorough->size() < fast->size() - fast->size() / 100;
        colour_ = much_smaller ? PngCoding{} : default_coding(layout);
        return thorough->size() < fast->size() ? thorough : fast;
    }

  private:
    std::optional<PngCoding> colour_;
};

std::unique_ptr<FrameWriter> make_png_sequence_writer(StepFileName name, CodingEffort effort) {
    auto coding = std::make_shared<SequenceCoding>();
    return std::make_unique<SequenceWriter>(
        std::move(name),
        [effort, coding](const StageFrame& frame) -> std::expected<QByteArray, QString> {
            const QImage image = stage_with_alpha(frame.stage.image(), frame.coverage);
            return effort == CodingEffort::Max ? encode_png(image) : coding->encode(image);
        });
}

}  // namespace koma
