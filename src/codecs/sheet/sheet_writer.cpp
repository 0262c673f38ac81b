#include "codecs/sheet/sheet_writer.h"

#include <png.h>

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include "codecs/sheet/sheet_data.h"
#include "platform/staged_files.h"

namespace koma {

namespace {

constexpr int kMaxDurationMs = 65535;

void raise_error(png_structp png, png_const_charp message) {
    auto* text = static_cast<char*>(png_get_error_ptr(png));
    std::snprintf(text, 256, "%s", message);
    png_longjmp(png, 1);
}

void ignore_warning(png_structp, png_const_charp) {}

// The libpng calls, each in a function free of objects with destructors: libpng leaves them by
// longjmp on an error.

bool start_png(png_structp png, png_infop info, std::FILE* file, QSize size, bool alpha) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(size.width()),
                 static_cast<png_uint_32>(size.height()), 8,
                 alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_ALL_FILTERS);
    png_set_compression_level(png, 9);
    png_write_info(png, info);
    return true;
}

bool write_rows(png_structp png, uint8_t* band, size_t row_bytes, int rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    for (int y = 0; y < rows; ++y) png_write_row(png, band + y * row_bytes);
    return true;
}

bool end_png(png_structp png, png_infop info) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_write_end(png, info);
    return true;
}

}  // namespace

struct SheetWriter::State {
    QString image_path;
    QString data_path;
    SheetSettings settings;
    SheetLayout layout;
    bool alpha = false;
    // The batch the two files wait in: the caller's, or the writer's own, committed by finish().
    WriterBatch batch;
    QString image_temp;  // empty until staged and once dropped
    QString data_temp;
    std::FILE* file = nullptr;
    png_structp png = nullptr;
    png_infop info = nullptr;
    char png_error[256] = {};
    // One row of cells, as the PNG's rows.
    std::vector<uint8_t> band;
    size_t row_bytes = 0;
    std::vector<SheetFrame> frames;
    QString failure;  // once set, the writer is done

    ~State() {
        close();
        drop_files();
    }

    void drop_files() {
        if (!image_temp.isEmpty()) batch.files().drop(image_path);
        if (!data_temp.isEmpty()) batch.files().drop(data_path);
        image_temp.clear();
        data_temp.clear();
    }

    void close() {
        if (png != nullptr) png_destroy_write_struct(&png, &info);
        if (file != nullptr) std::fclose(file);
        file = nullptr;
    }

    // Ends the writer with `message`, removing its temporary files.
    std::unexpected<QString> abandon(const QString& message) {
        failure = message;
        close();
        drop_files();
        band = {};
        return std::unexpected(failure);
    }

    std::unexpected<QString> fail(const QString& path, const QString& reason) {
        return abandon(QStringLiteral("%1: %2").arg(path, reason));
    }

    std::unexpected<QString> png_failure() {
        return fail(image_path, QStringLiteral("libpng: %1").arg(QString::fromUtf8(png_error)));
    }

    void place(const QImage& stage, const QImage& coverage, int column);
};

void SheetWriter::State::place(const QImage& stage, const QImage& coverage, int column) {
    const int channels = alpha ? 4 : 3;
    const int width = stage.width();
    for (int y = 0; y < stage.height(); ++y) {
        const auto* rgb = reinterpret_cast<const QRgb*>(stage.constScanLine(y));
        const uchar* covered = coverage.isNull() ? nullptr : coverage.constScanLine(y);
        uint8_t* out = band.data() + y * row_bytes + static_cast<size_t>(column) * width * channels;
        for (int x = 0; x < width; ++x) {
            // An uncovered pixel is transparent black, so that all of them are one value.
            const bool opaque = covered == nullptr || covered[x] != 0;
            const QRgb pixel = opaque ? rgb[x] : 0u;
            out[0] = static_cast<uint8_t>(qRed(pixel));
            out[1] = static_cast<uint8_t>(qGreen(pixel));
            out[2] = static_cast<uint8_t>(qBlue(pixel));
            if (alpha) out[3] = opaque ? 255 : 0;
            out += channels;
        }
    }
}

SheetWriter::SheetWriter(std::unique_ptr<State> state) : state_(std::move(state)) {}

SheetWriter::~SheetWriter() = default;

const SheetLayout& SheetWriter::layout() const { return state_->layout; }

std::expected<std::unique_ptr<SheetWriter>, QString> SheetWriter::create(
    const QString& image_path, const QString& data_path, const SheetSettings& settings,
    StagedFiles* batch) {
    auto s = std::make_unique<State>();
    s->image_path = image_path;
    s->data_path = data_path;
    s->batch.use(batch);
    s->settings = settings;
    if (!settings.frame_name) return s->fail(data_path, QStringLiteral("the frames have no names"));
    auto layout = sheet_layout(settings.frame_count, settings.cell, settings.columns);
    if (!layout) return s->fail(image_path, layout.error());
    s->layout = *layout;
    s->alpha = settings.transparent || s->layout.count < s->layout.columns * s->layout.rows;

    for (const auto& [path, temp] :
         {std::pair{image_path, &s->image_temp}, std::pair{data_path, &s->data_temp}}) {
        auto staged = s->batch.files().stage(path);
        if (!staged) return s->abandon(staged.error());
        *temp = *staged;
    }
    s->file = std::fopen(QFile::encodeName(s->image_temp).constData(), "wb");
    if (s->file == nullptr)
        return s->fail(image_path, QString::fromLocal8Bit(std::strerror(errno)));
    s->png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, s->png_error, raise_error, ignore_warning);
    if (s->png != nullptr) s->info = png_create_info_struct(s->png);
    if (s->info == nullptr) return s->fail(image_path, QStringLiteral("libpng cannot start"));
    const QSize size = s->layout.size();
    if (!start_png(s->png, s->info, s->file, size, s->alpha)) return s->png_failure();
    s->row_bytes = static_cast<size_t>(size.width()) * (s->alpha ? 4 : 3);
    s->band.assign(s->row_bytes * static_cast<size_t>(s->layout.cell.height()), 0);
    s->frames.reserve(static_cast<size_t>(s->layout.count));
    return std::unique_ptr<SheetWriter>(new SheetWriter(std::move(s)));
}

std::expected<void, QString> SheetWriter::add(const QImage& stage, const QImage& coverage,
                                              int duration_ms) {
    State& s = *state_;
    if (!s.failure.isEmpty()) return std::unexpected(s.failure);
    const int index = static_cast<int>(s.frames.size());
    const int number = index + 1;
    if (index >= s.layout.count) {
        return s.fail(s.image_path, QStringLiteral("frame %1 is more than the %2 the sheet holds")
                                        .arg(number)
                                        .arg(s.layout.count));
    }
    if (stage.size() != s.layout.cell) {
        return s.fail(s.image_path, QStringLiteral("frame %1 is %2 x %3 pixels, not %4 x %5")
                                        .arg(number)
                                        .arg(stage.width())
                                        .arg(stage.height())
                                        .arg(s.layout.cell.width())
                                        .arg(s.layout.cell.height()));
    }
    if (!coverage.isNull() && (!s.settings.transparent || coverage.size() != stage.size() ||
                               coverage.format() != QImage::Format_Grayscale8)) {
        return s.fail(s.image_path,
                      QStringLiteral("frame %1 has a coverage that does not fit").arg(number));
    }
    if (duration_ms < 1 || duration_ms > kMaxDurationMs) {
        return s.fail(s.image_path, QStringLiteral("frame %1 lasts %2 ms, outside 1 to %3 ms")
                                        .arg(number)
                                        .arg(duration_ms)
                                        .arg(kMaxDurationMs));
    }
    const int column = index % s.layout.columns;
    const bool direct =
        stage.format() == QImage::Format_RGB32 || stage.format() == QImage::Format_ARGB32;
    s.place(direct ? stage : stage.convertToFormat(QImage::Format_RGB32), coverage, column);
    s.frames.push_back({s.settings.frame_name(index), s.layout.cell_rect(index), duration_ms});
    if (column == s.layout.columns - 1 || number == s.layout.count) {
        if (!write_rows(s.png, s.band.data(), s.row_bytes, s.layout.cell.height())) {
            return s.png_failure();
        }
        // The cells of the next row that no frame reaches stay transparent black.
        std::memset(s.band.data(), 0, s.band.size());
    }
    return {};
}

std::expected<QStringList, QString> SheetWriter::finish() {
    State& s = *state_;
    if (!s.failure.isEmpty()) return std::unexpected(s.failure);
    if (static_cast<int>(s.frames.size()) != s.layout.count) {
        return s.fail(
            s.image_path,
            QStringLiteral("%1 of its %2 frames came").arg(s.frames.size()).arg(s.layout.count));
    }
    s.band = {};
    if (!end_png(s.png, s.info)) return s.png_failure();
    png_destroy_write_struct(&s.png, &s.info);
    const bool flushed = std::fflush(s.file) == 0 && std::ferror(s.file) == 0;
    const int closed = std::fclose(s.file);
    s.file = nullptr;
    if (!flushed || closed != 0) {
        return s.fail(s.image_path, QString::fromLocal8Bit(std::strerror(errno)));
    }

    const QByteArray data =
        sheet_data(s.frames, {s.settings.app_version, QFileInfo(s.image_path).fileName(),
                              s.layout.size(), s.settings.scale});
    QFile data_file(s.data_temp);
    if (!data_file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        data_file.write(data) != data.size() || !data_file.flush()) {
        return s.fail(s.data_path, data_file.errorString());
    }
    data_file.close();
    // Complete: both stay in the batch.
    s.image_temp.clear();
    s.data_temp.clear();
    if (auto committed = s.batch.commit_own(); !committed) return s.abandon(committed.error());
    s.failure = QStringLiteral("%1: the sheet was already written").arg(s.image_path);
    return QStringList{s.image_path, s.data_path};
}

namespace {

class SheetFrameWriter : public FrameWriter {
  public:
    SheetFrameWriter(const QString& image_path, const QString& data_path,
                     const SheetSettings& settings, const AnimationTiming& timing)
        : image_path_(image_path), data_path_(data_path), settings_(settings), timing_(timing) {}

    std::expected<void, QString> add(const StageFrame& frame) override {
        const QImage& stage = frame.stage.image();
        if (!writer_) {
            SheetSettings settings = settings_;
            settings.cell = stage.size();
            settings.transparent = !frame.coverage.isNull();
            auto created = SheetWriter::create(image_path_, data_path_, settings, staged());
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
    QString image_path_;
    QString data_path_;
    SheetSettings settings_;
    AnimationTiming timing_;
    std::unique_ptr<SheetWriter> writer_;
};

}  // namespace

std::unique_ptr<FrameWriter> make_sheet_frame_writer(const QString& image_path,
                                                     const QString& data_path,
                                                     const SheetSettings& settings,
                                                     const AnimationTiming& timing) {
    return std::make_unique<SheetFrameWriter>(image_path, data_path, settings, timing);
}

}  // namespace koma
