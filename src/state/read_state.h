#pragma once

#include <QString>
#include <expected>

#include "app/editing_model.h"

namespace koma {

/// Reads the state file at `path` into the model, in the order the main window's own controls
/// would take the values, so their change handlers run as they do for the user:
/// slots (a path that names a file is loaded, ending in exactly "png" through ReadPNGFile, else
/// through the picture loader), the bar ranges fitted to slot 0, the bar values and the pattern,
/// the export lists, path_ref, the deltas of the pattern's steps (all 91 cleared first), the
/// background values (a plain background rebuilt), the base name, and the stage fitted to slot 0
/// and cleared. Parts 3 and 4 are optional. pattern_pos is left alone.
///
/// A slot path that names no file is tried once more as the same file name in the state file's
/// own folder; a slot whose file does not load is left as it was. No file at `path`: nothing
/// changes and the result is success. A file that cannot be read, or is damaged, ends the read
/// at the bad item: what was restored before it stays, the stage is fitted to slot 0, and the
/// message names the file and the bad line.
std::expected<void, QString> read_state(EditingModel& model, const QString& path);

}  // namespace koma
