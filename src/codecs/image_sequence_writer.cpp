#include "codecs/image_sequence_writer.h"

#include "codecs/bmp/bmp_writer.h"
#include "codecs/png/png_encoder.h"
#include "platform/replace_file.h"

namespace koma {

namespace {

class SequenceWriter : public FrameWriter {
  public:
    using Save =
        std::function<std::expected<void, QString>(const StageFrame& frame, const QString& path)>;
    SequenceWriter(StepFileName name, Save save) : name_(std::move(name)), save_(std::move(save)) {}

    std::expected<void, QString> add(const StageFrame& frame) override {
        const QString path = name_(step_);
        if (auto saved = save_(frame, path); !saved) {
            return std::unexpected(saved.error());
        }
        ++step_;
        files_ << path;
        return {};
    }

    std::expected<QStringList, QString> finish() override { return files_; }

  private:
    StepFileName name_;
    Save save_;
    int step_ = 0;
    QStringList files_;
};

}  // namespace

std::unique_ptr<FrameWriter> make_bmp_sequence_writer(StepFileName name) {
    return std::make_unique<SequenceWriter>(std::move(name),
                                            [](const StageFrame& frame, const QString& path) {
                                                return save_bmp(frame.stage.image(), path);
                                            });
}

std::unique_ptr<FrameWriter> make_png_sequence_writer(StepFileName name, CodingEffort effort) {
    return std::make_unique<SequenceWriter>(
        std::move(name),
        [effort](const StageFrame& frame, const QString& path) -> std::expected<void, QString> {
            auto bytes = encode_png(stage_with_alpha(frame.stage.image(), frame.coverage), effort);
            if (!bytes) return std::unexpected(QStringLiteral("%1: %2").arg(path, bytes.error()));
            return replace_file_contents(path, *bytes);
        });
}

}  // namespace koma
