#include "codecs/sheet/sheet_layout.h"

#include <algorithm>
#include <cstdint>

#include "codecs/image_limits.h"

namespace koma {

int most_square_columns(int count, QSize cell) {
    if (count < 2 || cell.isEmpty()) return 1;
    int best = 1;
    int64_t best_side = 0;
    int best_empty = 0;
    for (int columns = 1; columns <= count; ++columns) {
        const int rows = (count + columns - 1) / columns;
        const int64_t side =
            std::max(int64_t{cell.width()} * columns, int64_t{cell.height()} * rows);
        const int empty = columns * rows - count;
        if (columns == 1 || side < best_side || (side == best_side && empty < best_empty)) {
            best = columns;
            best_side = side;
            best_empty = empty;
        }
    }
    return best;
}

std::expected<SheetLayout, QString> sheet_layout(int count, QSize cell, int columns) {
    if (count < 1) return std::unexpected(QStringLiteral("a sheet needs at least one frame"));
    if (cell.width() < 1 || cell.height() < 1) {
        return std::unexpected(QStringLiteral("a frame of %1 x %2 pixels cannot be placed")
                                   .arg(cell.width())
                                   .arg(cell.height()));
    }
    if (columns < 0) {
        return std::unexpected(QStringLiteral("%1 columns cannot be laid out").arg(columns));
    }
    SheetLayout layout;
    layout.cell = cell;
    layout.count = count;
    layout.columns = columns == 0 ? most_square_columns(count, cell) : std::min(columns, count);
    layout.rows = (count + layout.columns - 1) / layout.columns;
    const int64_t width = int64_t{cell.width()} * layout.columns;
    const int64_t height = int64_t{cell.height()} * layout.rows;
    if (width > kMaxImageSide || height > kMaxImageSide) {
        return std::unexpected(
            QStringLiteral("a sheet of %1 x %2 pixels (%3 columns, %4 rows) is larger than %5 "
                           "pixels a side")
                .arg(width)
                .arg(height)
                .arg(layout.columns)
                .arg(layout.rows)
                .arg(kMaxImageSide));
    }
    return layout;
}

int largest_sheet_scale(int count, QSize cell, int columns) {
    for (int scale = kMaxScale; scale >= 1; --scale) {
        if (sheet_layout(count, cell * scale, columns)) return scale;
    }
    return 0;
}

}  // namespace koma
