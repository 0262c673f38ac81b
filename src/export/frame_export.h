#pragma once

#include <QString>
#include <QStringList>
#include <expected>
#include <functional>
#include <vector>

#include "model/editing_model.h"

namespace koma {

/// Something the user is told once about an export that went through.
struct ExportNotice {
    enum class Kind {
        GifTimeRounded,  ///< GIF holds hundredths of a second: the frame time was rounded
        BmpOpaque,       ///< BMP holds no transparency: the files were written opaque
    };
    Kind kind = Kind::BmpOpaque;
    int frame_ms = 0;    ///< GifTimeRounded: the frame time asked for
    int written_ms = 0;  ///< GifTimeRounded: the frame time the GIF holds

    bool operator==(const ExportNotice&) const = default;
};

/// The notice as the window shows it.
QString notice_text(const ExportNotice& notice);
/// The notice as the command line prints it (one line, no program name).
QString notice_line(const ExportNotice& notice);

/// What one export wrote.
struct ExportSummary {
    /// The files written, in the order they were written; empty when the pattern was empty.
    QStringList files;
    /// What the user is to be told, each at most once; empty with the default settings.
    std::vector<ExportNotice> notices;
};

/// The step number of a file name: the step in decimal, with a "0" in front of one digit
/// ("00" to "09", then "10" to "90").
QString step_number_text(int step);

/// folder + "/" + basename + step number + ".bmp". The separator is always added, also when
/// the folder already ends in one.
QString bmp_file_name(const QString& folder, const QString& basename, int step);

/// folder + "/" + basename + ".gif".
QString gif_file_name(const QString& folder, const QString& basename);

/// folder + "/" + basename + step number + ".png", a step of a PNG sequence.
QString png_file_name(const QString& folder, const QString& basename, int step);

/// folder + "/" + basename + ".png", an animated PNG.
QString apng_file_name(const QString& folder, const QString& basename);

/// folder + "/" + basename + ".webp".
QString webp_file_name(const QString& folder, const QString& basename);

/// How far an export has got: `done` of `total` steps are on their way out.
using ExportProgress = std::function<void(int done, int total)>;

/// "コマ作成": exports the animation into the export folder (the folder of export_lists) under
/// the name in `basename`, in the format in force (format_in_force). Stops the preview timer
/// (anim_running and the anime caption stay as they are), clears the stage, then composes every
/// step of the pattern in order with the read-outs left alone; a sequence (BMP, PNG) writes each
/// step's file while it is on the stage, an animation (GIF, APNG, WebP) takes every step and is
/// written after the walk, each frame shown export_settings.frame_ms and played
/// export_settings.loop_count times (0 forever). Existing files of the same names are replaced,
/// except one that is read-only or that the user may not write (see replace_file_contents): that
/// file is kept and counts as a file that cannot be written.
///
/// With export_settings.transparent the pixels stage_coverage leaves uncovered are written
/// transparent (GIF: its transparent index; PNG, APNG, WebP: alpha 0); BMP files stay opaque and
/// the summary says so. A GIF frame time that is not a multiple of 10 ms is rounded (see
/// gif_delay_cs) and the summary says so. An animated format refuses, before anything is
/// composed, a frame time outside kMinFrameMs..kMaxFrameMs or a loop count outside
/// 0..kMaxLoopCount.
///
/// Afterwards pattern_pos is the last step (unchanged for an empty pattern) and the stage shows
/// it. An empty pattern writes nothing and returns an empty summary. The export ends at the
/// first file that cannot be written, or at a step whose offset leaves the 16-bit range, and
/// returns a message naming the file (or step) and the reason; files written before stay.
///
/// A writer that surveys the steps first (see FrameWriter::surveys: the animated PNG) is handed
/// every step twice, the steps composed again for the second walk. export_settings.effort
/// tells the PNG coders how hard to look for small files.
///
/// `progress`, when given, is called with (0, total) before the first step and with (k, total)
/// once the k-th step handed to the writer is written (BMP), captured (GIF) or taken, in order,
/// total being the number of steps times the walks (one walk but for a writer that surveys);
/// nothing is called for an empty pattern, and nothing after a failed step. In an animated
/// format the file itself is written after the last call. It must not change the model.
std::expected<ExportSummary, QString> bt_exec_Click(EditingModel& model,
                                                    const ExportProgress& progress = {});

/// What the user is told after an export, if anything.
struct ExportMessage {
    bool is_error = false;
    QString text;
};

/// The message for an export's outcome: the failure, or that there was nothing to export, or
/// the notices of an export that went through, one a line. A successful export with files and
/// no notices says nothing (returns an empty text).
ExportMessage export_message(const std::expected<ExportSummary, QString>& outcome);

}  // namespace koma
