#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>
#include <expected>
#include <functional>
#include <memory>

#include "codecs/sheet/sheet_layout.h"

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
    /// How many times the stages were enlarged, for the data file.
    int scale = 1;
};

/// Writes a sprite sheet: one PNG holding every frame in a grid (see SheetLayout), in the order
/// the frames come, and beside it a JSON data file naming each frame's cell and duration (see
/// sheet_data). The PNG is 8-bit RGBA when the frames have a coverage or the last row of the
/// grid has empty cells (which are then transparent black), and 8-bit RGB otherwise.
///
/// Memory: the sheet is never held whole. The PNG is coded by libpng a row of pixels at a time
/// as each row of cells is complete, so at most one row of cells is held, and the data file's
/// entries. Both files are written under temporary names beside their paths and moved there by
/// finish(), the PNG first (see StagedFile); a writer that fails or is dropped before finish()
/// leaves any earlier files at the paths as they were and nothing else.
class SheetWriter {
  public:
    /// A writer of the sheet `image_path` and its data file `data_path`. Fails with a message
    /// naming the file and the reason: settings that sheet_layout refuses, a frame_count below 1
    /// or no frame_name, a target refused (see StagedFile), libpng failing to start.
    static std::expected<std::unique_ptr<SheetWriter>, QString> create(
        const QString& image_path, const QString& data_path, const SheetSettings& settings);

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
    /// there, and returns the two paths (sheet first). Fails with a message naming the file and
    /// the reason when fewer frames than frame_count came, an earlier add() failed, or a file
    /// cannot be written; the paths then hold what they held before, except that when the data
    /// file alone cannot be moved into place the new sheet stays beside the old data file.
    std::expected<QStringList, QString> finish();

  private:
    struct State;
    explicit SheetWriter(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

}  // namespace koma
