#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <expected>

namespace koma {

/// Where the frames of a sprite sheet go: a grid of equal cells, filled row by row from the
/// top-left in the order the frames come, the cells after the last frame left empty.
struct SheetLayout {
    QSize cell;       ///< the size of a frame
    int count = 0;    ///< frames
    int columns = 0;  ///< cells in a row
    int rows = 0;     ///< rows of cells: count / columns, rounded up

    /// The whole sheet in pixels.
    QSize size() const { return {cell.width() * columns, cell.height() * rows}; }
    /// The cell of frame `index` (0 first).
    QRect cell_rect(int index) const {
        return {index % columns * cell.width(), index / columns * cell.height(), cell.width(),
                cell.height()};
    }
};

/// The column count of the most square sheet of `count` frames of `cell` size: the one whose
/// longer side is shortest, and among those the one with the fewest empty cells, then the one
/// with the fewest columns. For square frames this is the smallest square grid that holds them
/// (91 frames: 10 x 10); for the 462 x 110 walk scene it is 5 columns of 19 rows (2310 x 2090
/// pixels) rather than 10 x 10 (4620 x 1100). The choice does not change with the scale, since
/// both sides scale alike. Returns 1 for fewer than two frames or an empty cell.
int most_square_columns(int count, QSize cell);

/// The layout of `count` frames (1 or more) of `cell` size in `columns` columns (0: the most
/// square; more than `count` is taken as `count`). Fails with a message saying why when the
/// sheet would be wider or taller than kMaxImageSide pixels, the longest side the program itself
/// reads (and no more than the largest texture graphics hardware takes), or the values are out
/// of range.
std::expected<SheetLayout, QString> sheet_layout(int count, QSize cell, int columns = 0);

/// The largest scale from 1 to kMaxScale at which sheet_layout accepts `count` frames of `cell`
/// size, each pixel made a scale x scale block; 0 when not even scale 1 fits.
int largest_sheet_scale(int count, QSize cell, int columns = 0);

}  // namespace koma
