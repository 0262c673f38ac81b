#pragma once

#include <QByteArray>
#include <QRect>
#include <QSize>
#include <QString>
#include <vector>

namespace koma {

/// One frame of a sprite sheet as its data file lists it.
struct SheetFrame {
    QString name;  ///< the key it is listed under
    QRect rect;    ///< its cell in the sheet
    int duration_ms = 0;
};

/// What the data file says of the sheet as a whole.
struct SheetMeta {
    QString app_version;
    QString image;  ///< the sheet's file name, without a folder: it lies beside the data file
    QSize size;     ///< the sheet in pixels
    int scale = 1;  ///< how many times the stages were enlarged
};

/// The data file of a sprite sheet, as UTF-8 JSON in the "hash" layout that Phaser, PixiJS and
/// the importers of Aseprite sheets read: an object `frames` holding, under each frame's name,
/// `frame` {x, y, w, h}, `rotated` false, `trimmed` false, `spriteSourceSize` {x: 0, y: 0, w, h},
/// `sourceSize` {w, h} and `duration` in milliseconds; and `meta` with `app` "koma", `version`,
/// `image`, `format` "RGBA8888", `size` {w, h} and `scale` (a string, as those tools write it).
/// The frames' names are written in sorted order (as JSON objects are unordered, readers look
/// them up by name); two frames of one name keep the last.
QByteArray sheet_data(const std::vector<SheetFrame>& frames, const SheetMeta& meta);

}  // namespace koma
