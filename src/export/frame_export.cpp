#include "export/frame_export.h"

#include <QCoreApplication>
#include <algorithm>
#include <memory>
#include <new>

#include "codecs/avif/avif_writer.h"
#include "codecs/gif/dib_to_gif.h"
#include "codecs/gif/gif_writer.h"
#include "codecs/image_limits.h"
#include "codecs/image_sequence_writer.h"
#include "codecs/png/apng_writer.h"
#include "codecs/sheet/sheet_layout.h"
#include "codecs/sheet/sheet_writer.h"
#include "codecs/video/video_writer.h"
#include "codecs/webp/webp_writer.h"
#include "compose/compose_frame.h"
#include "compose/play_order.h"
#include "export/export_memory.h"
#include "export/output_format.h"
#include "model/base_name.h"
#include "platform/staged_files.h"
#include "raster/integer_scale.h"

namespace koma {

QString step_number_text(int step) {
    QString text = QString::number(step);
    if (text.size() == 1) {
        text.prepend(QLatin1Char('0'));
    }
    return text;
}

QString bmp_file_name(const QString& folder, const QString& basename, int step) {
    return folder + QLatin1Char('/') + basename + step_number_text(step) + QLatin1String(".bmp");
}

QString gif_file_name(const QString& folder, const QString& basename) {
    return folder + QLatin1Char('/') + basename + QLatin1String(".gif");
}

QString png_file_name(const QString& folder, const QString& basename, int step) {
    return folder + QLatin1Char('/') + basename + step_number_text(step) + QLatin1String(".png");
}

QString apng_file_name(const QString& folder, const QString& basename) {
    return folder + QLatin1Char('/') + basename + QLatin1String(".png");
}

QString webp_file_name(const QString& folder, const QString& basename) {
    return folder + QLatin1Char('/') + basename + QLatin1String(".webp");
}

QString avif_file_name(const QString& folder, const QString& basename) {
    return folder + QLatin1Char('/') + basename + QLatin1String(".avif");
}

QString video_file_name(const QString& folder, const QString& basename, OutputFormat format) {
    return folder + QLatin1Char('/') + basename +
           (format == OutputFormat::Webm ? QLatin1String(".webm") : QLatin1String(".mp4"));
}

QString sheet_file_name(const QString& folder, const QString& basename) {
    return folder + QLatin1Char('/') + basename + QLatin1String("_sheet.png");
}

QString sheet_data_file_name(const QString& folder, const QString& basename) {
    return folder + QLatin1Char('/') + basename + QLatin1String("_sheet.json");
}

QString sheet_frame_name(const QString& basename, int index) {
    return basename + QLatin1Char(' ') + step_number_text(index);
}

QString scale_refusal(QSize stage, int scale, OutputFormat format, int frames, int columns) {
    const int64_t width = stage.width();
    const int64_t height = stage.height();
    int largest = largest_scale_allowed(width, height);
    QSize refused(static_cast<int>(std::min<int64_t>(width * scale, INT32_MAX)),
                  static_cast<int>(std::min<int64_t>(height * scale, INT32_MAX)));
    if (format == OutputFormat::Sheet && frames > 0 && largest >= scale) {
        largest = std::min(largest, largest_sheet_scale(frames, stage, columns));
        if (auto layout = sheet_layout(frames, stage * scale, columns)) {
            refused = layout->size();
        } else {
            // The size the grid would have; sheet_layout says no more than that it is too big.
            const int cols = columns > 0 ? std::min(columns, frames)
                                         : most_square_columns(frames, stage * scale);
            refused = QSize(static_cast<int>(std::min<int64_t>(width * scale * cols, INT32_MAX)),
                            static_cast<int>(std::min<int64_t>(
                                height * scale * ((frames + cols - 1) / cols), INT32_MAX)));
        }
    }
    if (scale <= largest) return {};
    if (largest < 1) {
        return QCoreApplication::translate(
                   "ExportScale",
                   "書き出す画像が %1 ピクセルになり、大きすぎます（一辺 16384 ピクセル、"
                   "256 MiB まで）。拡大しても書き出せません。")
            .arg(QStringLiteral("%1 x %2").arg(refused.width()).arg(refused.height()));
    }
    return QCoreApplication::translate(
               "ExportScale",
               "拡大 %1 倍では書き出す画像が %2 ピクセルになり、大きすぎます（一辺 16384 "
               "ピクセル、256 MiB まで）。この絵は %3 倍まで拡大できます。")
        .arg(scale)
        .arg(QStringLiteral("%1 x %2").arg(refused.width()).arg(refused.height()))
        .arg(largest);
}

QString notice_text(const ExportNotice& notice) {
    switch (notice.kind) {
        case ExportNotice::Kind::GifTimeRounded:
            if (notice.other_times > 0) {
                return QCoreApplication::translate(
                           "ExportNotice",
                           "GIF のコマ時間は 10 ミリ秒単位なので、%1 ミリ秒を %2 ミリ秒に、"
                           "ほかに %3 通りの時間も丸めて書き出しました。")
                    .arg(notice.frame_ms)
                    .arg(notice.written_ms)
                    .arg(notice.other_times);
            }
            return QCoreApplication::translate(
                       "FrameExport",
                       "GIF のコマ時間は 10 ミリ秒単位なので、%1 ミリ秒を %2 ミリ秒にして"
                       "書き出しました。")
                .arg(notice.frame_ms)
                .arg(notice.written_ms);
        case ExportNotice::Kind::BmpOpaque:
            return QCoreApplication::translate(
                "FrameExport", "BMP は透過を持てないので、背景を透過せずに書き出しました。");
        case ExportNotice::Kind::VideoOpaque:
            return QCoreApplication::translate(
                "ExportNotice", "動画は透過を持てないので、背景を透過せずに書き出しました。");
        case ExportNotice::Kind::QualityIgnored:
            return QCoreApplication::translate(
                "ExportNotice",
                "画質の指定は動画（MP4・WebM）だけのもので、この形式では使いません。");
        case ExportNotice::Kind::LoopNotStored:
            return QCoreApplication::translate(
                "ExportNotice",
                "この形式は繰り返し回数を持てないので、回数を書かずに書き出しました"
                "（何回再生するかは再生ソフトしだいです）。");
    }
    return {};
}

QString notice_line(const ExportNotice& notice) {
    switch (notice.kind) {
        case ExportNotice::Kind::GifTimeRounded:
            if (notice.other_times > 0) {
                return QStringLiteral(
                           "GIF holds frame times in steps of 10 ms: %1 ms written as %2 ms, "
                           "and %3 other times rounded too")
                    .arg(notice.frame_ms)
                    .arg(notice.written_ms)
                    .arg(notice.other_times);
            }
            return QStringLiteral("GIF holds frame times in steps of 10 ms: %1 ms written as %2 ms")
                .arg(notice.frame_ms)
                .arg(notice.written_ms);
        case ExportNotice::Kind::BmpOpaque:
            return QStringLiteral("BMP holds no transparency: the files are written opaque");
        case ExportNotice::Kind::VideoOpaque:
            return QStringLiteral("video holds no transparency: the file is written opaque");
        case ExportNotice::Kind::QualityIgnored:
            return QStringLiteral(
                "--quality applies to mp4 and webm only; this format is lossless and ignores it");
        case ExportNotice::Kind::LoopNotStored:
            return QStringLiteral(
                "this format holds no loop count: written without one (players decide how often "
                "it plays)");
    }
    return {};
}

std::optional<ExportNotice> gif_rounding_notice(const std::vector<PlayedFrame>& order) {
    std::optional<ExportNotice> notice;
    QList<int> others;
    for (const PlayedFrame& frame : order) {
        if (frame.ms % 10 == 0) {
            continue;
        }
        if (!notice) {
            notice = ExportNotice{ExportNotice::Kind::GifTimeRounded, frame.ms,
                                  gif_delay_cs(frame.ms) * 10};
        } else if (frame.ms != notice->frame_ms && !others.contains(frame.ms)) {
            others << frame.ms;
        }
    }
    if (notice) {
        notice->other_times = static_cast<int>(others.size());
    }
    return notice;
}

namespace {

bool animated(OutputFormat format) {
    return format != OutputFormat::Bmp && format != OutputFormat::Png;
}

bool is_video(OutputFormat format) {
    return format == OutputFormat::Mp4 || format == OutputFormat::Webm;
}

std::unique_ptr<FrameWriter> make_writer(OutputFormat format, const QString& folder,
                                         const QString& basename, const AnimationTiming& timing,
                                         const ExportSettings& settings, int frames) {
    const CodingEffort effort = settings.effort;
    switch (format) {
        case OutputFormat::Gif:
            return make_gif_writer(gif_file_name(folder, basename), timing, settings.scale);
        case OutputFormat::Png:
            return make_png_sequence_writer(
                [=](int step) { return png_file_name(folder, basename, step); }, effort);
        case OutputFormat::Apng:
            return make_apng_writer(apng_file_name(folder, basename), timing, effort);
        case OutputFormat::Webp:
            return make_webp_writer(webp_file_name(folder, basename), timing);
        case OutputFormat::Avif:
            return make_avif_frame_writer(avif_file_name(folder, basename), timing);
        case OutputFormat::Mp4:
        case OutputFormat::Webm: {
            const VideoCodec codec =
                format == OutputFormat::Mp4 ? VideoCodec::H264 : VideoCodec::Vp9;
            const int crf =
                settings.video_quality < 0 ? -1 : crf_for_quality(codec, settings.video_quality);
            return make_video_frame_writer(video_file_name(folder, basename, format), codec, timing,
                                           crf);
        }
        case OutputFormat::Sheet: {
            SheetSettings sheet;
            sheet.frame_count = frames;
            sheet.columns = settings.sheet_columns;
            sheet.frame_name = [=](int index) { return sheet_frame_name(basename, index); };
            sheet.app_version = QStringLiteral(KOMA_VERSION);
            // The frames are already enlarged: engines are to show them at the size written.
            sheet.scale = 1;
            return make_sheet_frame_writer(sheet_file_name(folder, basename),
                                           sheet_data_file_name(folder, basename), sheet, timing);
        }
        case OutputFormat::Bmp:
            break;
    }
    return make_bmp_sequence_writer(
        [=](int step) { return bmp_file_name(folder, basename, step); });
}

// Every file an export of `frames` frames would write, as the writers name them.
QStringList output_file_names(OutputFormat format, const QString& folder, const QString& basename,
                              int frames) {
    switch (format) {
        case OutputFormat::Gif:
            return {gif_file_name(folder, basename)};
        case OutputFormat::Apng:
            return {apng_file_name(folder, basename)};
        case OutputFormat::Webp:
            return {webp_file_name(folder, basename)};
        case OutputFormat::Avif:
            return {avif_file_name(folder, basename)};
        case OutputFormat::Mp4:
        case OutputFormat::Webm:
            return {video_file_name(folder, basename, format)};
        case OutputFormat::Sheet:
            return {sheet_file_name(folder, basename), sheet_data_file_name(folder, basename)};
        case OutputFormat::Png:
        case OutputFormat::Bmp:
            break;
    }
    QStringList names;
    for (int i = 0; i < frames; ++i) {
        names << (format == OutputFormat::Png ? png_file_name(folder, basename, i)
                                              : bmp_file_name(folder, basename, i));
    }
    return names;
}

// The base name and every name built from it, checked before anything is written: a name that
// leaves the export folder (a "/" or ".." in the base name) or is cut short (a NUL) could
// replace any file the user may write.
std::expected<void, QString> check_file_names(OutputFormat format, const QString& folder,
                                              const QString& basename, int frames) {
    if (!base_name_fault(basename).isEmpty()) {
        return std::unexpected(
            QStringLiteral("the base name cannot name a file in the export folder: it is empty, "
                           "\".\" or \"..\", or holds /, \\ or a control character"));
    }
    for (const QString& name : output_file_names(format, folder, basename, frames)) {
        if (!lies_in_folder(name, folder)) {
            return std::unexpected(
                QStringLiteral("%1 does not lie in the export folder %2").arg(name, folder));
        }
    }
    return {};
}

/// The stage and its coverage enlarged for the writer, into buffers kept from frame to frame.
class StageScaler {
  public:
    explicit StageScaler(int scale) : scale_(scale) {}

    /// `stage` and `coverage` as the writer is to see them.
    StageFrame frame(const Surface& stage, const QImage& coverage, int ms) {
        if (scale_ == 1) return {stage, coverage, ms};
        const QImage& source = stage.image();
        const int width = source.width() * scale_;
        const int height = source.height() * scale_;
        if (scaled_.width_px() != width || scaled_.height_px() != height) {
            scaled_.resize_pixels(width, height);
        }
        QImage& dest = scaled_.image();
        scale_pixels_32(reinterpret_cast<const uint32_t*>(source.constBits()),
                        source.bytesPerLine(), source.width(), source.height(), scale_,
                        reinterpret_cast<uint32_t*>(dest.bits()), dest.bytesPerLine());
        coverage_ = coverage.isNull() ? QImage() : scaled_up(coverage, scale_);
        return {scaled_, coverage_, ms};
    }

  private:
    int scale_;
    Surface scaled_;
    QImage coverage_;
};

std::expected<ExportSummary, QString> run_export(EditingModel& model,
                                                 const ExportProgress& progress,
                                                 const ExportCancelled& cancelled) {
    model.timer1_interval = 0;
    // The steps in the order they play, each with its time; the pattern box holds at most 91
    // characters, and the tables end there whatever it holds.
    const std::vector<PlayedFrame> order = play_order(model.project);
    const int n = static_cast<int>(order.size());

    const OutputFormat format = format_in_force(model);
    const ExportSettings& settings = model.export_settings;
    const AnimationTiming timing{settings.frame_ms, settings.loop_count};
    if (animated(format)) {
        if (timing.frame_ms < kMinFrameMs || timing.frame_ms > kMaxFrameMs) {
            return std::unexpected(QStringLiteral("the frame time %1 ms lies outside %2 to %3 ms")
                                       .arg(timing.frame_ms)
                                       .arg(kMinFrameMs)
                                       .arg(kMaxFrameMs));
        }
        if (timing.loop_count < 0 || timing.loop_count > kMaxLoopCount) {
            return std::unexpected(QStringLiteral("the loop count %1 lies outside 0 to %2")
                                       .arg(timing.loop_count)
                                       .arg(kMaxLoopCount));
        }
        for (const PlayedFrame& frame : order) {
            if (frame.ms < kMinFrameMs || frame.ms > kMaxFrameMs) {
                return std::unexpected(
                    QStringLiteral("step %1: the time %2 ms lies outside %3 to %4 ms")
                        .arg(step_number_text(frame.step))
                        .arg(frame.ms)
                        .arg(kMinFrameMs)
                        .arg(kMaxFrameMs));
            }
        }
    }
    if (auto names = check_file_names(format, model.export_lists.path(), model.basename.text(), n);
        !names) {
        return std::unexpected(names.error());
    }
    if (const auto scale = check_scale(settings.scale); !scale) {
        return std::unexpected(scale.error());
    }
    const QSize stage_size(model.win_main.width_px(), model.win_main.height_px());
    if (n > 0) {
        const QString refused =
            scale_refusal(stage_size, settings.scale, format, n, settings.sheet_columns);
        if (!refused.isEmpty()) return std::unexpected(refused);
        if (auto fits = check_export_memory(format, stage_size, settings.transparent,
                                            settings.memory_limit_mb, settings.scale);
            !fits) {
            return std::unexpected(fits.error());
        }
    }
    model.win_main.clear();

    ExportSummary summary;
    if (format == OutputFormat::Gif) {
        if (auto rounded = gif_rounding_notice(order)) {
            summary.notices.push_back(*rounded);
        }
    }
    if (format == OutputFormat::Bmp && settings.transparent) {
        summary.notices.push_back({ExportNotice::Kind::BmpOpaque, 0, 0});
    }
    if (is_video(format) && settings.transparent) {
        summary.notices.push_back({ExportNotice::Kind::VideoOpaque, 0, 0});
    }
    if (!is_video(format) && settings.video_quality >= 0) {
        summary.notices.push_back({ExportNotice::Kind::QualityIgnored, 0, 0});
    }
    if (timing.loop_count != 0 &&
        (is_video(format) || (format == OutputFormat::Avif && !AvifWriter::stores_loop_count()))) {
        summary.notices.push_back({ExportNotice::Kind::LoopNotStored, 0, 0});
    }
    const bool transparent =
        settings.transparent && format != OutputFormat::Bmp && !is_video(format);

    // Nothing replaces a file before the last one is written: a failure or a cancel on the way
    // drops the batch and every file stays as it was. The writer goes before the batch.
    StagedFiles staged;
    const auto writer =
        make_writer(format, model.export_lists.path(), model.basename.text(), timing, settings, n);
    // GIF enlarges its palette indices itself; every other writer is handed the enlarged stage.
    StageScaler scaler(format == OutputFormat::Gif ? 1 : settings.scale);
    writer->write_into(&staged);
    // A writer that surveys sees every frame twice, in the same order, composed anew each
    // time, rather than keep the stages in between.
    const int walks = writer->surveys() ? 2 : 1;
    // Reports progress; true when the user asked to stop.
    auto report = [&](int done) {
        if (progress) progress(done, walks * n);
        return cancelled && cancelled();
    };
    const ExportSummary stopped{{}, {}, true};
    if (n > 0 && report(0)) return stopped;

    for (int walk = 0; walk < walks; ++walk) {
        const bool surveying = walk + 1 < walks;
        for (int i = 0; i < n; ++i) {
            const PlayedFrame& played = order[static_cast<size_t>(i)];
            const int step = played.step;
            model.pattern_pos = static_cast<int16_t>(step);
            // A stale stage must not be written as this step.
            if (!ComposeFrame(model, 0)) {
                return std::unexpected(
                    QStringLiteral("step %1: the frame's offset leaves the range -32768 to 32767")
                        .arg(step_number_text(step)));
            }
            // A stage whose pixels could not be allocated is null, and nothing was drawn.
            if (!stage_size.isEmpty() && model.win_main.image().isNull()) {
                throw std::bad_alloc();
            }
            const QImage coverage = transparent ? stage_coverage(model) : QImage();
            const StageFrame frame = scaler.frame(model.win_main, coverage, played.ms);
            if (auto taken = surveying ? writer->survey(frame) : writer->add(frame); !taken) {
                return std::unexpected(taken.error());
            }
            if (report(walk * n + i + 1)) return stopped;
        }
    }

    auto files = writer->finish();
    if (!files) {
        return std::unexpected(files.error());
    }
    if (cancelled && cancelled()) return stopped;
    if (auto committed = staged.commit(); !committed) {
        return std::unexpected(committed.error());
    }
    summary.files = *files;
    return summary;
}

}  // namespace

std::expected<ExportSummary, QString> bt_exec_Click(EditingModel& model,
                                                    const ExportProgress& progress,
                                                    const ExportCancelled& cancelled) {
    const QString folder = model.export_lists.path();
    const QSize stage(model.win_main.width_px(), model.win_main.height_px());
    std::expected<ExportSummary, QString> outcome;
    // Every allocation on the export's way fails as std::bad_alloc (see new_image): the
    // export ends there, its staged files are dropped and the program goes on.
    try {
        outcome = run_export(model, progress, cancelled);
    } catch (const std::bad_alloc&) {
        outcome = std::unexpected(out_of_memory_message(stage));
    }
    model.status.report(export_status(outcome, folder), !outcome.has_value());
    return outcome;
}

QString export_status(const std::expected<ExportSummary, QString>& outcome, const QString& folder) {
    if (!outcome) {
        return QCoreApplication::translate("StatusLine", "書き出せませんでした: %1").arg(folder);
    }
    if (outcome->cancelled) {
        return QCoreApplication::translate("StatusLine",
                                           "書き出しを取り消しました（ファイルは元のままです）");
    }
    if (outcome->files.isEmpty()) {
        return QCoreApplication::translate("StatusLine", "書き出すコマがありません");
    }
    return QCoreApplication::translate("StatusLine", "書き出しました: %1 (%2 ファイル)")
        .arg(folder)
        .arg(outcome->files.size());
}

ExportMessage export_message(const std::expected<ExportSummary, QString>& outcome) {
    if (!outcome) {
        return {true, QCoreApplication::translate("FrameExport", "コマを書き出せませんでした。\n%1")
                          .arg(outcome.error())};
    }
    if (outcome->cancelled) {
        return {};
    }
    if (outcome->files.isEmpty()) {
        return {false, QCoreApplication::translate(
                           "FrameExport", "アニメパターンが空なので、書き出すコマがありません。")};
    }
    QStringList lines;
    for (const ExportNotice& notice : outcome->notices) lines << notice_text(notice);
    return {false, lines.join(QLatin1Char('\n'))};
}

}  // namespace koma
