#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>
#include <expected>

#include "platform/staged_files.h"
#include "raster/surface.h"

namespace koma {

/// How an animation plays.
struct AnimationTiming {
    /// Milliseconds each frame is shown.
    int frame_ms = 80;
    /// How often the animation plays; 0 plays it forever.
    int loop_count = 0;
};

/// One step as an export hands it to a writer.
struct StageFrame {
    /// The stage as composed for the step.
    const Surface& stage;
    /// Null for an opaque export; otherwise a QImage::Format_Grayscale8 image of the stage's
    /// size, 0 where the pixel is to be transparent and 255 where it is opaque.
    const QImage& coverage;
    /// Milliseconds an animation shows the frame; 0 for the writer's AnimationTiming::frame_ms.
    /// Sequences have no times and leave it alone.
    int duration_ms = 0;
};

/// Writes the composed stages of one export, step by step, into files of one format. An export
/// creates one writer, hands it every step in order with add() and ends with finish(); a writer
/// dropped before finish() leaves no half-written animation behind (files of a sequence written
/// so far stay, unless they wait in a batch of staged files, see write_into()).
///
/// A writer that must know something of every step before it can code the first (the colours
/// of an animation with one palette) says so with surveys(). The export then hands every step
/// to survey() first, in order, and composes the steps again for add(), so that no writer has
/// to keep the stages: what a writer holds at once is a few stages and its coder's state,
/// however many steps there are. A writer given no survey (add() straight away) keeps what it
/// needs itself.
class FrameWriter {
  public:
    virtual ~FrameWriter() = default;

    /// Has every file this writer writes wait in `staged`, beside its target, until the caller
    /// commits the batch (StagedFiles::commit), instead of replacing the target at once. The
    /// file names reported by add() failures and finish() are the targets'. `staged` must
    /// outlive the writer; null (the default) replaces each file as it is written.
    void write_into(StagedFiles* staged) { staged_ = staged; }

    /// Whether the writer wants every step handed to survey() before the first add().
    virtual bool surveys() const { return false; }

    /// Takes a first look at the stage as composed for the next step, before any add(). The
    /// survey sees the same steps in the same order as add() will. Fails with a message naming
    /// the file and the reason.
    virtual std::expected<void, QString> survey(const StageFrame& frame) {
        (void)frame;
        return {};
    }

    /// Takes the stage as composed for the next step. A sequence writes its file here; an
    /// animation codes or keeps what it needs. Fails with a message naming the file and the
    /// reason.
    virtual std::expected<void, QString> add(const StageFrame& frame) = 0;

    /// add() of `stage` with `coverage`, shown for the writer's frame time (see StageFrame).
    std::expected<void, QString> add(const Surface& stage, const QImage& coverage) {
        return add(StageFrame{stage, coverage});
    }

    /// Ends the export and returns the files written, in the order they were written. An
    /// animation is written here (replacing a file of the same name) unless it has no frames.
    /// Fails with a message naming the file and the reason.
    virtual std::expected<QStringList, QString> finish() = 0;

  protected:
    /// Writes `bytes` as the whole file at `path`: into the batch given to write_into(), else
    /// replacing a file of that name only once they are all there (see replace_file_contents).
    /// Fails with a message naming the file and the reason.
    std::expected<void, QString> write_file(const QString& path, const QByteArray& bytes) const;

    /// How an animation writer ends: writes `bytes` to `path` (see write_file) and returns the
    /// list of that one file. Fails with a message naming the file and the reason when `bytes`
    /// holds why the animation could not be coded, or the file cannot be written.
    std::expected<QStringList, QString> write_animation(
        const QString& path, const std::expected<QByteArray, QString>& bytes) const;

    /// The batch given to write_into(), or null.
    StagedFiles* staged() const { return staged_; }

  private:
    StagedFiles* staged_ = nullptr;
};

/// The stage with its coverage as alpha: RGB32 `stage` itself when `coverage` is null, else an
/// ARGB32 image in which every covered pixel is opaque with the stage's colour and every other
/// pixel is 0 (transparent black), so that all transparent pixels are one value.
QImage stage_with_alpha(const QImage& stage, const QImage& coverage);

}  // namespace koma
