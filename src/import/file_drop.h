#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "model/editing_model.h"

namespace koma {

/// One image of a drop and the slot it goes to.
struct SlotFile {
    int slot = 0;
    QString path;
    bool operator==(const SlotFile&) const = default;
};

/// What a drop of files on the main window does.
struct FileDrop {
    enum class Kind {
        Refused,    ///< nothing happens; `message` tells the user why
        LoadState,  ///< `state_file` is read as LOAD reads it
        LoadImages  ///< each of `images` is loaded into its slot
    };
    Kind kind = Kind::Refused;
    QString state_file;
    std::vector<SlotFile> images;
    QString message;
};

/// Whether the first bytes of the file at `path` are those of a PNG, BMP or JPEG file
/// (whatever its name says).
bool is_image_by_content(const QString& path);

/// The meaning of a drop of local files `paths` on the slot surface `slot` (-1: elsewhere on the
/// main window). A single file ending in ".pst" (any letter case) is a state file, wherever it
/// lands. Otherwise every file must be a PNG, BMP or JPEG by content and decode, and the drop
/// must land on a slot: one file on any slot, or several on a frame slot k, which fill k, k+1,
/// ... in the natural order of their names (walk2 before walk10), as far as slot 9. Anything else
/// is refused as a whole, with a message naming the first file at fault, so nothing is ever
/// half loaded.
FileDrop plan_file_drop(const QStringList& paths, int slot);

/// Loads each image of the plan into its slot, as a click in the picker does (load_slot_file
/// through the picture loader, with slot 0's side effects), and asks for the focus to rest on
/// pic_dummy. Returns the messages of files that failed to load after all.
QStringList load_dropped_images(EditingModel& model, const std::vector<SlotFile>& images);

}  // namespace koma
