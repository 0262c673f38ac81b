#include "export/frame_export.h"

#include <algorithm>
#include <memory>

#include "codecs/gif/dib_to_gif.h"
#include "codecs/gif/gif_writer.h"
#include "codecs/image_sequence_writer.h"
#include "codecs/png/apng_writer.h"
#include "codecs/webp/webp_writer.h"
#include "compose/compose_frame.h"
#include "export/output_format.h"

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

QString notice_text(const ExportNotice& notice) {
    switch (notice.kind) {
        case ExportNotice::Kind::GifTimeRounded:
            return QStringLiteral(
                       "GIF のコマ時間は 10 ミリ秒単位なので、%1 ミリ秒を %2 ミリ秒にして"
                       "書き出しました。")
                .arg(notice.frame_ms)
                .arg(notice.written_ms);
        case ExportNotice::Kind::BmpOpaque:
            return QStringLiteral("BMP は透過を持てないので、背景を透過せずに書き出しました。");
    }
    return {};
}

QString notice_line(const ExportNotice& notice) {
    switch (notice.kind) {
        case ExportNotice::Kind::GifTimeRounded:
            return QStringLiteral("GIF holds frame times in steps of 10 ms: %1 ms written as %2 ms")
                .arg(notice.frame_ms)
                .arg(notice.written_ms);
        case ExportNotice::Kind::BmpOpaque:
            return QStringLiteral("BMP holds no transparency: the files are written opaque");
    }
    return {};
}

namespace {

bool animated(OutputFormat format) {
    return format == OutputFormat::Gif || format == OutputFormat::Apng ||
           format == OutputFormat::Webp;
}

std::unique_ptr<FrameWriter> make_writer(OutputFormat format, const QString& folder,
                                         const QString& basename, const AnimationTiming& timing,
                                         CodingEffort effort) {
    switch (format) {
        case OutputFormat::Gif:
            return make_gif_writer(gif_file_name(folder, basename), timing);
        case OutputFormat::Png:
            return make_png_sequence_writer(
                [=](int step) { return png_file_name(folder, basename, step); }, effort);
        case OutputFormat::Apng:
            return make_apng_writer(apng_file_name(folder, basename), timing, effort);
        case OutputFormat::Webp:
            return make_webp_writer(webp_file_name(folder, basename), timing);
        case OutputFormat::Bmp:
            break;
    }
    return make_bmp_sequence_writer(
        [=](int step) { return bmp_file_name(folder, basename, step); });
}

}  // namespace

std::expected<ExportSummary, QString> bt_exec_Click(EditingModel& model,
                                                    const ExportProgress& progress) {
    model.timer1_interval = 0;
    // The pattern box holds at most 91 characters; the tables end there whatever it holds.
    const int n = std::min<int>(static_cast<int>(model.pattern_anime.text().size()), kMaxSteps);

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
    }
    model.win_main.clear();

    ExportSummary summary;
    if (format == OutputFormat::Gif && timing.frame_ms % 10 != 0) {
        summary.notices.push_back({ExportNotice::Kind::GifTimeRounded, timing.frame_ms,
                                   gif_delay_cs(timing.frame_ms) * 10});
    }
    if (format == OutputFormat::Bmp && settings.transparent) {
        summary.notices.push_back({ExportNotice::Kind::BmpOpaque, 0, 0});
    }
    const bool transparent = settings.transparent && format != OutputFormat::Bmp;

    const auto writer = make_writer(format, model.export_lists.path(), model.basename.text(),
                                    timing, settings.effort);
    // A writer that surveys sees every step twice, composed anew each time, rather than keep
    // the stages in between.
    const int walks = writer->surveys() ? 2 : 1;
    auto report = [&](int done) {
        if (progress) progress(done, walks * n);
    };
    if (n > 0) report(0);

    for (int walk = 0; walk < walks; ++walk) {
        const bool surveying = walk + 1 < walks;
        for (int i = 0; i < n; ++i) {
            model.pattern_pos = static_cast<int16_t>(i);
            // A stale stage must not be written as this step.
            if (!ComposeFrame(model, 0)) {
                return std::unexpected(
                    QStringLiteral("step %1: the frame's offset leaves the range -32768 to 32767")
                        .arg(step_number_text(i)));
            }
            const QImage coverage = transparent ? stage_coverage(model) : QImage();
            const StageFrame frame{model.win_main, coverage};
            if (auto taken = surveying ? writer->survey(frame) : writer->add(frame); !taken) {
                return std::unexpected(taken.error());
            }
            report(walk * n + i + 1);
        }
    }

    auto files = writer->finish();
    if (!files) {
        return std::unexpected(files.error());
    }
    summary.files = *files;
    return summary;
}

ExportMessage export_message(const std::expected<ExportSummary, QString>& outcome) {
    if (!outcome) {
        return {true, QStringLiteral("コマを書き出せませんでした。\n%1").arg(outcome.error())};
    }
    if (outcome->files.isEmpty()) {
        return {false, QStringLiteral("アニメパターンが空なので、書き出すコマがありません。")};
    }
    QStringList lines;
    for (const ExportNotice& notice : outcome->notices) lines << notice_text(notice);
    return {false, lines.join(QLatin1Char('\n'))};
}

}  // namespace koma
