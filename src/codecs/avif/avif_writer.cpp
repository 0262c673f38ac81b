#include "codecs/avif/avif_writer.h"

#include <avif/avif.h>

#include <QFile>
#include <QThread>
#include <algorithm>
#include <bit>
#include <cstdint>
#include <optional>

#include "platform/staged_files.h"

namespace koma {

namespace {

// Durations are stored in milliseconds.
constexpr uint64_t kTimescale = 1000;
constexpr int kMaxDurationMs = 65535;
constexpr int kMaxSide = 65536;  // AV1's limit

struct EncoderDeleter {
    void operator()(avifEncoder* encoder) const { avifEncoderDestroy(encoder); }
};
struct ImageDeleter {
    void operator()(avifImage* image) const { avifImageDestroy(image); }
};

// Tiles let libaom's threads work side by side (one thread per tile is what it uses in
// good-quality mode), at some cost in size: one tile per thread, each at least 512 x 512 pixels,
// split along the longer side, as libavif's own automatic tiling does for up to 8 threads.
void set_tiles(avifEncoder& encoder, QSize size) {
    const int64_t area = int64_t{size.width()} * size.height();
    const int64_t by_area = (area + 512 * 512 - 1) / (512 * 512);
    const int64_t tiles =
        std::clamp<int64_t>(std::min<int64_t>(by_area, encoder.maxThreads), 1, 64);
    const int log2 = std::bit_width(static_cast<uint64_t>(tiles)) - 1;
    if (size.width() >= size.height()) {
        encoder.tileColsLog2 = log2;
    } else {
        encoder.tileRowsLog2 = log2;
    }
}

QString avif_reason(avifResult result, const avifEncoder* encoder) {
    QString reason = QString::fromUtf8(avifResultToString(result));
    if (encoder != nullptr && encoder->diag.error[0] != '\0') {
        reason += QStringLiteral(" (%1)").arg(QString::fromUtf8(encoder->diag.error));
    }
    return reason;
}

}  // namespace

struct AvifWriter::State {
    QString path;
    AvifSettings settings;
    // The batch the file waits in: the caller's, or the writer's own, committed by finish().
    WriterBatch batch;
    QString temp_path;  // empty until staged and once dropped
    std::unique_ptr<avifEncoder, EncoderDeleter> encoder;
    // The frame in planes, refilled for every frame: libavif hands it to libaom within add().
    std::unique_ptr<avifImage, ImageDeleter> image;
    int frames = 0;
    QString failure;  // once set, the writer is done

    ~State() { drop_file(); }

    std::unexpected<QString> fail(const QString& reason) {
        failure = QStringLiteral("%1: %2").arg(path, reason);
        encoder.reset();
        image.reset();
        drop_file();
        return std::unexpected(failure);
    }

    void drop_file() {
        if (!temp_path.isEmpty()) batch.files().drop(path);
        temp_path.clear();
    }

    void fill_planes(const QImage& stage, const QImage& coverage);
};

void AvifWriter::State::fill_planes(const QImage& stage, const QImage& coverage) {
    const int width = stage.width();
    const auto plane_row = [this](int channel, int y) {
        return image->yuvPlanes[channel] + static_cast<size_t>(y) * image->yuvRowBytes[channel];
    };
    for (int y = 0; y < stage.height(); ++y) {
        const auto* rgb = reinterpret_cast<const QRgb*>(stage.constScanLine(y));
        uint8_t* g = plane_row(AVIF_CHAN_Y, y);
        uint8_t* b = plane_row(AVIF_CHAN_U, y);
        uint8_t* r = plane_row(AVIF_CHAN_V, y);
        const uchar* covered = coverage.isNull() ? nullptr : coverage.constScanLine(y);
        uint8_t* a = image->alphaPlane == nullptr
                         ? nullptr
                         : image->alphaPlane + static_cast<size_t>(y) * image->alphaRowBytes;
        for (int x = 0; x < width; ++x) {
            // An uncovered pixel is transparent black, so that all of them are one value.
            const bool opaque = covered == nullptr || covered[x] != 0;
            const QRgb pixel = opaque ? rgb[x] : 0u;
            g[x] = static_cast<uint8_t>(qGreen(pixel));
            b[x] = static_cast<uint8_t>(qBlue(pixel));
            r[x] = static_cast<uint8_t>(qRed(pixel));
            if (a != nullptr) a[x] = opaque ? 255 : 0;
        }
    }
}

AvifWriter::AvifWriter(std::unique_ptr<State> state) : state_(std::move(state)) {}

AvifWriter::~AvifWriter() = default;

std::expected<std::unique_ptr<AvifWriter>, QString> AvifWriter::create(const QString& path,
                                                                       const AvifSettings& settings,
                                                                       StagedFiles* batch) {
    auto s = std::make_unique<State>();
    s->path = path;
    s->batch.use(batch);
    s->settings = settings;
    const QSize size = settings.size;
    if (size.width() < 1 || size.height() < 1 || size.width() > kMaxSide ||
        size.height() > kMaxSide) {
        return s->fail(QStringLiteral("a frame of %1 x %2 pixels cannot be coded")
                           .arg(size.width())
                           .arg(size.height()));
    }
    if (avifCodecName(AVIF_CODEC_CHOICE_AOM, AVIF_CODEC_FLAG_CAN_ENCODE) == nullptr) {
        return s->fail(QStringLiteral("libavif was built without the libaom encoder"));
    }
    auto staged = s->batch.files().stage(path);
    if (!staged) return std::unexpected(staged.error());
    s->temp_path = *staged;

    s->encoder.reset(avifEncoderCreate());
    s->image.reset(avifImageCreate(static_cast<uint32_t>(size.width()),
                                   static_cast<uint32_t>(size.height()), 8,
                                   AVIF_PIXEL_FORMAT_YUV444));
    if (!s->encoder || !s->image) {
        return s->fail(QStringLiteral("out of memory"));
    }
    avifEncoder& e = *s->encoder;
    // libaom is the one encoder of libavif whose lossless 4:4:4 is exact (rav1e 0.5 is not,
    // SVT-AV1 1.4 has no 4:4:4).
    e.codecChoice = AVIF_CODEC_CHOICE_AOM;
    e.maxThreads =
        settings.threads > 0 ? settings.threads : std::max(1, QThread::idealThreadCount());
    e.speed = std::clamp(settings.speed, AVIF_SPEED_SLOWEST, kAvifFastestExactSpeed);
    e.timescale = kTimescale;
    e.minQuantizer = AVIF_QUANTIZER_LOSSLESS;
    e.maxQuantizer = AVIF_QUANTIZER_LOSSLESS;
    e.minQuantizerAlpha = AVIF_QUANTIZER_LOSSLESS;
    e.maxQuantizerAlpha = AVIF_QUANTIZER_LOSSLESS;
    e.keyframeInterval = 0;
    set_tiles(e, size);
#if AVIF_VERSION >= 1000000
    e.repetitionCount =
        settings.loop_count <= 0 ? AVIF_REPETITION_COUNT_INFINITE : settings.loop_count - 1;
#endif

    avifImage& image = *s->image;
    // The identity matrix over full range keeps every value; the colours are sRGB's.
    image.yuvRange = AVIF_RANGE_FULL;
    image.matrixCoefficients = AVIF_MATRIX_COEFFICIENTS_IDENTITY;
    image.colorPrimaries = AVIF_COLOR_PRIMARIES_BT709;
    image.transferCharacteristics = AVIF_TRANSFER_CHARACTERISTICS_SRGB;
    image.alphaPremultiplied = AVIF_FALSE;
    const avifResult allocated =
        avifImageAllocatePlanes(&image, settings.transparent ? AVIF_PLANES_ALL : AVIF_PLANES_YUV);
    if (allocated != AVIF_RESULT_OK) {
        return s->fail(avif_reason(allocated, nullptr));
    }
    return std::unique_ptr<AvifWriter>(new AvifWriter(std::move(s)));
}

std::expected<void, QString> AvifWriter::add(const QImage& stage, const QImage& coverage,
                                             int duration_ms) {
    State& s = *state_;
    if (!s.failure.isEmpty()) return std::unexpected(s.failure);
    const int number = s.frames + 1;
    if (stage.size() != s.settings.size) {
        return s.fail(QStringLiteral("frame %1 is %2 x %3 pixels, not %4 x %5")
                          .arg(number)
                          .arg(stage.width())
                          .arg(stage.height())
                          .arg(s.settings.size.width())
                          .arg(s.settings.size.height()));
    }
    if (!coverage.isNull() && (!s.settings.transparent || coverage.size() != stage.size() ||
                               coverage.format() != QImage::Format_Grayscale8)) {
        return s.fail(QStringLiteral("frame %1 has a coverage that does not fit").arg(number));
    }
    if (duration_ms < 1 || duration_ms > kMaxDurationMs) {
        return s.fail(QStringLiteral("frame %1 lasts %2 ms, outside 1 to %3 ms")
                          .arg(number)
                          .arg(duration_ms)
                          .arg(kMaxDurationMs));
    }
    const bool direct =
        stage.format() == QImage::Format_RGB32 || stage.format() == QImage::Format_ARGB32;
    s.fill_planes(direct ? stage : stage.convertToFormat(QImage::Format_RGB32), coverage);
    const avifAddImageFlags flags =
        s.frames == 0 ? AVIF_ADD_IMAGE_FLAG_FORCE_KEYFRAME : AVIF_ADD_IMAGE_FLAG_NONE;
    const avifResult added = avifEncoderAddImage(s.encoder.get(), s.image.get(),
                                                 static_cast<uint64_t>(duration_ms), flags);
    if (added != AVIF_RESULT_OK) {
        return s.fail(
            QStringLiteral("frame %1: %2").arg(number).arg(avif_reason(added, s.encoder.get())));
    }
    ++s.frames;
    return {};
}

std::expected<QStringList, QString> AvifWriter::finish() {
    State& s = *state_;
    if (!s.failure.isEmpty()) return std::unexpected(s.failure);
    if (s.frames == 0) return s.fail(QStringLiteral("no frames to write"));
    avifRWData output = AVIF_DATA_EMPTY;
    const avifResult finished = avifEncoderFinish(s.encoder.get(), &output);
    const QString reason =
        finished == AVIF_RESULT_OK ? QString() : avif_reason(finished, s.encoder.get());
    // The encoder's memory goes before the file is written.
    s.encoder.reset();
    s.image.reset();
    if (finished != AVIF_RESULT_OK) {
        avifRWDataFree(&output);
        return s.fail(reason);
    }
    QFile file(s.temp_path);
    bool written =
        file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
        file.write(reinterpret_cast<const char*>(output.data), static_cast<qint64>(output.size)) ==
            static_cast<qint64>(output.size) &&
        file.flush();
    avifRWDataFree(&output);
    const QString write_error = file.errorString();
    file.close();
    if (!written) return s.fail(write_error);
    s.temp_path.clear();  // complete: it stays in the batch
    if (auto committed = s.batch.commit_own(); !committed) {
        s.failure = committed.error();
        return std::unexpected(s.failure);
    }
    s.failure = QStringLiteral("%1: the animation was already written").arg(s.path);
    return QStringList{s.path};
}

namespace {

class AvifFrameWriter : public FrameWriter {
  public:
    AvifFrameWriter(const QString& path, const AnimationTiming& timing)
        : path_(path), timing_(timing) {}

    std::expected<void, QString> add(const StageFrame& frame) override {
        const QImage& stage = frame.stage.image();
        if (!writer_) {
            AvifSettings settings;
            settings.size = stage.size();
            settings.transparent = !frame.coverage.isNull();
            settings.loop_count = timing_.loop_count;
            auto created = AvifWriter::create(path_, settings, staged());
            if (!created) return std::unexpected(created.error());
            writer_ = std::move(*created);
        }
        return writer_->add(stage, frame.coverage,
                            frame.duration_ms > 0 ? frame.duration_ms : timing_.frame_ms);
    }

    std::expected<QStringList, QString> finish() override {
        if (!writer_) return QStringList{};
        return writer_->finish();
    }

  private:
    QString path_;
    AnimationTiming timing_;
    std::unique_ptr<AvifWriter> writer_;
};

}  // namespace

std::unique_ptr<FrameWriter> make_avif_frame_writer(const QString& path,
                                                    const AnimationTiming& timing) {
    return std::make_unique<AvifFrameWriter>(path, timing);
}

bool AvifWriter::stores_loop_count() {
#if AVIF_VERSION >= 1000000
    return true;
#else
    return false;
#endif
}

}  // namespace koma
