#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>
#include <expected>
#include <functional>
#include <memory>

#include "codecs/frame_writer.h"
#include "codecs/sheet/sheet_layout.h"
#include "platform/staged_files.h"

namespace koma {

/// How a sprite sheet is written.
struct SheetSettings {
    /// The size of every frame (the stage, as enlarged), in pixels.
    QSize cell{};
    /// How many frames will come: the sheet's size follows from it before the first one.
    int frame_count = 0;
    /// Columns of the grid; 0: the most square grid (see most_square_columns).
    int columns = 0;
    /// Whether frames come with a coverage; see SheetWriter::add.
    bool transparent = false;
    /// The key frame `index` (0 first) is listed under in the data file.
    std::function<QString(int index)> frame_name{};
    /// The program's version, for the data file.
    QString app_version{};
    /// The data file's meta.scale, written as it is. Engines take it as the sheet's resolution
    /// (PixiJS shows a sheet of scale 2 at half its pixel size), so an export writes 1 also for
    /// enlarged stages: the frames are meant to be shown at the size they were written.
    int scale = 1;
};

/// Writes a sprite sheet: one PNG holding every frame in a grid (see SheetLayout), in the order
/// the frames come, and beside it a JSON data file naming each frame's cell and duration (see
/// sheet_data). The PNG is 8-bit RGBA when the frames have a coverage or the last row of the
/// grid has empty cells (which are then transparent black), and 8-bit RGB otherwise.
///
/// Memory: the sheet is never held whole. The PNG is coded by libpng a row of pixels at a time
/// as each row of cells is complete, so at most one row of cells is held, and the data file's
/// entries. Both files are written under temporary names beside their paths, staged in a batch
/// (see StagedFiles): the caller's, which puts them in place when the caller commits it, or the
/// writer's own, committed by finish() (the PNG first; should one fail, both are as they were).
/// A writer that fails or is dropped before finish() takes them out of the batch, leaving any
/// earlier files at the paths as they were and nothing else.
class SheetWriter {
  public:
    /// A writer of the sheet `image_path` and its data file `data_path`. Fails with a message
    /// naming the file and the reason: settings that sheet_layout refuses, a frame_count below 1
    /// or no frame_name, a target refused (see StagedFile), libpng failing to start. With
    /// `batch`, the files wait there after finish(); `batch` must outlive the writer.
    static std::expected<std::unique_ptr<SheetWriter>, QString> create(
        const QString& image_path, const QString& data_path, const SheetSettings& settings,
        StagedFiles* batch = nullptr);

    ~SheetWriter();
    SheetWriter(const SheetWriter&) = delete;
    SheetWriter& operator=(const SheetWriter&) = delete;

    /// The grid the frames go into.
    const SheetLayout& layout() const;

    /// Places the next frame, shown `duration_ms` milliseconds (1 to 65535), in its cell. `stage`
    /// is RGB32 (other formats are converted; alpha in it is not read) of the cell size.
    /// `coverage` is null for an opaque frame; otherwise QImage::Format_Grayscale8 of the same
    /// size, 0 where the pixel is transparent: such a pixel is written as transparent black,
    /// every other pixel opaque in the stage's colour (as stage_with_alpha makes them). A writer
    /// that is not transparent refuses a coverage. Fails with a message naming the sheet, the
    /// frame and the reason (also for a frame beyond frame_count); after a failure the writer
    /// takes no more frames and has removed its temporary files.
    std::expected<void, QString> add(const QImage& stage, const QImage& coverage, int duration_ms);

    /// Completes the PNG, writes the data file and moves both to their paths, replacing files
    /// there (with a caller's batch: leaves them waiting there), and returns the two paths (sheet
    /// first). Fails with a message naming the file and the reason when fewer frames than
    /// frame_count came, an earlier add() failed, or a file cannot be written; the paths then
    /// hold what they held before.
    std::expected<QStringList, QString> finish();

  private:
    struct State;
    explicit SheetWriter(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

/// A writer of a sprite sheet `image_path` with its data file `data_path` for an export (see
/// SheetWriter): `settings` with its cell left empty, which the first frame sets; a coverage
/// given makes the sheet transparent where it is 0. Each frame is shown for the duration it was
/// added with (0: timing.frame_ms). Both files wait in the batch given to write_into() after
/// finish(). No frames write no files; fewer than settings.frame_count fail at finish().
std::unique_ptr<FrameWriter> make_sheet_frame_writer(const QString& image_path,
                                                     const QString& data_path,
                                                     const SheetSettings& settings,
                                                     const AnimationTiming& timing);

}  // namespace koma
