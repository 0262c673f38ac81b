#pragma once

#include <QString>
#include <QStringList>
#include <expected>
#include <functional>
#include <optional>
#include <vector>

#include "compose/play_order.h"
#include "model/editing_model.h"

namespace koma {

/// Something the user is told once about an export that went through.
struct ExportNotice {
    enum class Kind {
        GifTimeRounded,  ///< GIF holds hundredths of a second: the frame time was rounded
        BmpOpaque,       ///< BMP holds no transparency: the files were written opaque
        VideoOpaque,     ///< video holds no transparency: the file was written opaque
        QualityIgnored,  ///< a video quality was asked of a lossless format, which has none
        LoopNotStored,   ///< the format holds no loop count: the one asked for was not written
    };
    Kind kind = Kind::BmpOpaque;
    int frame_ms = 0;     ///< GifTimeRounded: the first time asked for that was rounded
    int written_ms = 0;   ///< GifTimeRounded: the time the GIF holds for it
    int other_times = 0;  ///< GifTimeRounded: how many other times were rounded too

    bool operator==(const ExportNotice&) const = default;
};

/// The notice as the window shows it.
QString notice_text(const ExportNotice& notice);
/// The notice as the command line prints it (one line, no program name).
QString notice_line(const ExportNotice& notice);

/// The notice a GIF of the frames `order` gets when some of their times are not whole
/// hundredths of a second (see gif_delay_cs): the first such time, what the GIF holds for it, and
/// how many other times were rounded. Nothing when every time is written as it is.
std::optional<ExportNotice> gif_rounding_notice(const std::vector<PlayedFrame>& order);

/// What one export wrote.
struct ExportSummary {
    /// The files written, in the order they were written; empty when the pattern was empty.
    QStringList files;
    /// What the user is to be told, each at most once; empty with the default settings.
    std::vector<ExportNotice> notices;
    /// The export was cancelled: no file was written or replaced, `files` is empty.
    bool cancelled = false;
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

/// folder + "/" + basename + ".avif".
QString avif_file_name(const QString& folder, const QString& basename);

/// folder + "/" + basename + ".mp4" for Mp4, ".webm" for Webm.
QString video_file_name(const QString& folder, const QString& basename, OutputFormat format);

/// folder + "/" + basename + "_sheet.png", a sprite sheet: its own name, so that it never takes
/// the place of an animated PNG (basename + ".png") or of a step of a PNG sequence.
QString sheet_file_name(const QString& folder, const QString& basename);

/// folder + "/" + basename + "_sheet.json", the data file beside the sprite sheet.
QString sheet_data_file_name(const QString& folder, const QString& basename);

/// The key frame `index` (0 first, in the order played) has in a sprite sheet's data file:
/// basename + " " + its number as step_number_text writes it ("walk 00").
QString sheet_frame_name(const QString& basename, int index);

/// Why a stage of `stage` pixels cannot be exported at `scale` in `format`, with the largest
/// scale that fits, or an empty text when it can. Every format refuses an enlarged stage past
/// image_size_allowed; a sprite sheet of `frames` frames in `columns` columns (0: the most square)
/// refuses a sheet wider or taller than kMaxImageSide (see sheet_layout).
QString scale_refusal(QSize stage, int scale, OutputFormat format, int frames, int columns);

/// How far an export has got: `done` of `total` steps are on their way out.
using ExportProgress = std::function<void(int done, int total)>;
/// Asked after every report of progress: true stops the export.
using ExportCancelled = std::function<bool()>;

/// "コマ作成": exports the animation into the export folder (the folder of export_lists) under
/// the name in `basename`, in the format in force (format_in_force). Stops the preview timer
/// (anim_running and the anime caption stay as they are), clears the stage, then composes the
/// frames of play_order (every step of the pattern in order; ping-pong: there and back) with the
/// read-outs left alone; a sequence (BMP, PNG) writes each frame's file while it is on the stage,
/// numbered in the order played, an animation (GIF, APNG, WebP, AVIF, MP4, WebM, the sprite
/// sheet) takes every frame and is written after the walk, each frame shown for its step's time
/// (step_duration_ms: the frame delays, the videos' timestamps, the sheet data's durations) and
/// played export_settings.loop_count times (0 forever; not written in MP4 and WebM, whose players
/// loop as they choose, nor in AVIF, see AvifWriter). The sprite sheet holds the frames in the
/// order played, export_settings.sheet_columns to a row (0: the most square grid), and
/// lists them in its data file as sheet_frame_name gives. The videos are coded at
/// export_settings.video_quality (see crf_for_quality); a quality given for another format is
/// ignored and the summary says so, as it says that a loop count other than 0 was not written
/// into a video or an AVIF.
///
/// Every format enlarges the stage export_settings.scale times, each pixel a block of its own
/// colour: GIF chooses its colours on the stages as they are and enlarges the palette indices
/// (see encode_gif_animation), every other format is handed each stage enlarged, one at a
/// time. A scale whose enlarged stage (or sprite sheet) is too large is refused before anything
/// is composed, with scale_refusal's message. Every file is written beside its target and
/// all are put in place together once the last one is written (see StagedFiles): existing files
/// of the same names are replaced then, except one that is read-only or that the user may not
/// write, which is kept and counts as a file that cannot be written.
///
/// With export_settings.transparent the pixels stage_coverage leaves uncovered are written
/// transparent (GIF: its transparent index; PNG, APNG, WebP, AVIF, the sheet: alpha 0); BMP
/// files and videos stay opaque and the summary says so. GIF times that are not multiples of 10 ms
/// are rounded (see gif_delay_cs) and the summary says so once (gif_rounding_notice). An animated
/// format refuses, before anything is composed, a frame time or a step's time outside
/// kMinFrameMs..kMaxFrameMs or a loop count outside 0..kMaxLoopCount.
///
/// Afterwards pattern_pos is the step of the last frame reached (unchanged for an empty pattern)
/// and the stage shows it. An empty pattern writes nothing and returns an empty summary. The export
/// ends at the first file that cannot be written, or at a step whose offset leaves the 16-bit
/// range, and returns a message naming the file (or step) and the reason; every file is then as it
/// was before the export.
///
/// A writer that surveys the frames first (see FrameWriter::surveys: the animated PNG) is
/// handed every frame of play_order twice, in the same order, the frames composed again for the
/// second walk. export_settings.effort tells the PNG coders how hard to look for small files.
///
/// `progress`, when given, is called with (0, total) before the first frame and with (k, total)
/// once the k-th frame handed to the writer is written (BMP), captured (GIF) or taken, in order,
/// total being the number of frames played (the steps; ping-pong: there and back) times the
/// walks (one walk but for a writer that surveys); nothing is called for an empty pattern, and
/// nothing after a failed step. In an animated format the file itself is written after the last
/// call. It must not change the model. `cancelled`, when given, is asked after each of those
/// calls (those of a survey too) and once more before the files are put in place; when it says
/// so, the export stops, removes what it had written, leaves every file as it was and returns a
/// summary marked cancelled.
///
/// Before anything is composed, the export also refuses a base name that base_name_fault
/// refuses, any file name that would not lie in the export folder (lies_in_folder), and, for a
/// pattern that is not empty, a stage whose export_memory_need is more than
/// export_settings.memory_limit_mb. An allocation that fails on the way ends the export with
/// out_of_memory_message, every file as it was.
///
/// The status line is told how the export ended (see export_status).
std::expected<ExportSummary, QString> bt_exec_Click(EditingModel& model,
                                                    const ExportProgress& progress = {},
                                                    const ExportCancelled& cancelled = {});

/// The status line's report of an export into `folder`: the number of files written, or that it
/// was cancelled, or that it failed, or that there was nothing to export.
QString export_status(const std::expected<ExportSummary, QString>& outcome, const QString& folder);

/// What the user is told after an export, if anything.
struct ExportMessage {
    bool is_error = false;
    QString text;
};

/// The message for an export's outcome: the failure, or that there was nothing to export, or
/// the notices of an export that went through, one a line. A successful export with files and
/// no notices, and a cancelled one, say nothing (return an empty text).
ExportMessage export_message(const std::expected<ExportSummary, QString>& outcome);

}  // namespace koma
