#include "export/frame_export.h"

#include <algorithm>
#include <array>

#include "app/compose_frame.h"
#include "platform/bmp_writer.h"
#include "platform/dib.h"
#include "platform/gif_writer.h"

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

namespace {

/// The frame entries of one GIF export; every captured bitmap is released when it ends,
/// whichever way it ends.
struct GifEntries {
    std::array<GifFrame, kMaxSteps> frames{};
    int captured = 0;

    ~GifEntries() {
        for (int i = 0; i < captured; ++i) {
            DeleteDIB(frames[i].dib);
        }
    }
};

}  // namespace

std::expected<ExportSummary, QString> bt_exec_Click(EditingModel& model,
                                                    const ExportProgress& progress) {
    model.timer1_interval = 0;
    // The pattern box holds at most 91 characters; the tables end there whatever it holds.
    const int n = std::min<int>(static_cast<int>(model.pattern_anime.text().size()), kMaxSteps);
    model.win_main.clear();

    const bool gif = model.gif_mode != 0;
    const QString folder = model.export_lists.path();
    const QString basename = model.basename.text();
    ExportSummary summary;
    GifEntries entries;
    auto report = [&](int done) {
        if (progress) progress(done, n);
    };
    if (n > 0) report(0);

    for (int i = 0; i < n; ++i) {
        model.pattern_pos = static_cast<int16_t>(i);
        // A stale stage must not be written as this step.
        if (!ComposeFrame(model, 0)) {
            return std::unexpected(
                QStringLiteral("step %1: the frame's offset leaves the range -32768 to 32767")
                    .arg(step_number_text(i)));
        }
        if (gif) {
            GifFrame& entry = entries.frames[i];
            entry.flags = 4096;
            entry.value_2 = 2;
            entry.value_10 = 10;
            entry.dib = DCtoDIB(model.win_main, 0, 0, model.win_main.width_px(),
                                model.win_main.height_twips());
            entries.captured = i + 1;
        } else {
            const QString name = bmp_file_name(folder, basename, i);
            if (auto saved = save_bmp(model.win_main.image(), name); !saved) {
                return std::unexpected(saved.error());
            }
            summary.files << name;
        }
        report(i + 1);
    }

    if (gif) {
        const QString name = gif_file_name(folder, basename);
        GifOptions options;
        options.flags = 1024;
        const auto written = DIBtoGIFAniEx(name, entries.frames.data(), n, &options);
        if (!written) {
            return std::unexpected(written.error());
        }
        if (*written == GifWritten::File) {
            summary.files << name;
        }
    }
    return summary;
}

ExportMessage export_message(const std::expected<ExportSummary, QString>& outcome) {
    if (!outcome) {
        return {true, QStringLiteral("コマを書き出せませんでした。\n%1").arg(outcome.error())};
    }
    if (outcome->files.isEmpty()) {
        return {false, QStringLiteral("アニメパターンが空なので、書き出すコマがありません。")};
    }
    return {};
}

}  // namespace koma
