#pragma once

#include <QByteArray>
#include <QDir>
#include <QString>
#include <expected>
#include <vector>

#include "model/editing_model.h"

namespace koma {

/// A slot image named by a state file that did not load.
struct SlotLoadFailure {
    int slot = 0;
    /// The path as found (after the moved-project rule), or as stored when no file was found.
    QString path;
    QString reason;
};

/// What a successful read could not take over.
struct StateReadReport {
    /// Slot images that are missing or do not decode, in slot order; those slots are empty and
    /// keep the stored path.
    std::vector<SlotLoadFailure> slot_failures;
    /// Set when a plain background's stored size cannot make a background: the background is
    /// kept as it was and this says why.
    QString background_refused;
    /// The export folder the file names, when no folder is there (any more); the export lists
    /// then show the state file's own folder.
    QString export_folder_missing;
    /// Set when the stored base name cannot name a file in the export folder (see
    /// base_name_fault): the base name box keeps its text and this says why.
    QString basename_refused;
};

/// What reading or writing a state file came to: a report, or the message of the failure.
using StateOutcome = std::expected<StateReadReport, QString>;

/// Reads the state file at `path` into the model, in the order the main window's own controls
/// would take the values, so their change handlers run as they do for the user:
/// slots (a path that names a file is loaded, ending in exactly "png" through ReadPNGFile, else
/// through the picture loader), the bar ranges fitted to slot 0, the bar values and the pattern,
/// the export lists (the state file's folder when the stored one does not exist), path_ref, the
/// deltas of the pattern's steps (all 91 cleared first), the background values (a plain background
/// rebuilt), the base name (one base_name_fault refuses is left as it was and reported), and the
/// stage fitted to slot 0 and cleared. Parts 3 and 4 are optional.
/// pattern_pos is left alone.
///
/// A relative slot path belongs to the state file's folder. A slot path that names no file is
/// tried once more as the same file name in the state file's own folder; a slot whose file is
/// missing or does not load is empty afterwards (as in a model that held nothing before), keeps
/// the path (as stored when no file was found) and is listed in the report. An empty stored
/// path leaves its slot as it was. The background's size
/// matters only for a plain background; an unusable one keeps the current background (see
/// StateReadReport). The extension record's settings are applied last; a file without the
/// record, or a record without a setting, reads that setting as its default. No file at `path`:
/// nothing changes and the result is success. A file that cannot be read, or is damaged, ends
/// the read at the bad item: what was restored before it stays, the stage is fitted to slot 0,
/// and the message names the file and the bad line.
std::expected<StateReadReport, QString> read_state(EditingModel& model, const QString& path);

/// read_state for the bytes of a state file that are already at hand (a recovery copy): slot
/// paths that are relative belong to `folder`, and a failure names the file `name`.
std::expected<StateReadReport, QString> read_state_bytes(EditingModel& model,
                                                         const QByteArray& bytes,
                                                         const QDir& folder, const QString& name);

/// The message of a state file that cannot be read: names the file `name`, then says `why`.
QString state_unread_message(const QString& name, const QString& why);

/// The name of a slot in messages: "背景", "1" to "9", "前景".
QString slot_caption(int slot);

/// What the window tells after reading a state file: the failure, or the slot images that did
/// not load and a refused background, in one message. Empty when there is nothing to tell.
QString state_read_message(const std::expected<StateReadReport, QString>& outcome);

}  // namespace koma
