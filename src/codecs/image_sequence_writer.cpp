#include "codecs/image_sequence_writer.h"

#include "codecs/bmp/bmp_writer.h"
#include "codecs/png/png_encoder.h"

namespace koma {

namespace {

class SequenceWriter : public FrameWriter {
  public:
    /// The bytes of one step's file, or why it cannot be coded.
    using Encode = std::function<std::expected<QByteArray, QString>(const Surface& stage,
                                                                    const QImage& coverage)>;
    SequenceWriter(StepFileName name, Encode encode)
        : name_(std::move(name)), encode_(std::move(encode)) {}

    std::expected<void, QString> add(const StageFrame& frame) override {
        const QString path = name_(step_);
        const auto bytes = encode_(frame.stage, frame.coverage);
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
        std::move(name),
        [](const Surface& stage, const QImage&) { return encode_bmp(stage.image()); });
}

std::unique_ptr<FrameWriter> make_png_sequence_writer(StepFileName name) {
    return std::make_unique<SequenceWriter>(
        std::move(name), [](const Surface& stage, const QImage& coverage) {
            return encode_png(stage_with_alpha(stage.image(), coverage));
        });
}

}  // namespace koma
