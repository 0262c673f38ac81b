#pragma once

#include <QString>
#include <expected>

#include "app/editing_model.h"

namespace koma::bench {

/// Loads the export benchmark's scene into a started model: a 462 x 110 stage with a banded
/// sky, hills and ground; a figure in nine poses keyed on magenta in slots 1 to 9; a wooden
/// frame with a signpost keyed on cyan in slot 10; the 91-step pattern "123456789..." with a
/// travel of 5 px per step (the figure wraps once) and a 2 px bob on every other step.
void load_scene(EditingModel& model);

/// Writes the scene's slot images as PNG files into `folder` and a state file `scene.pst`
/// naming them, whose export folder is `export_folder`. Returns the state file's path.
std::expected<QString, QString> write_scene_files(const QString& folder,
                                                  const QString& export_folder);

}  // namespace koma::bench
