#pragma once

#include <QString>
#include <expected>

#include "model/editing_model.h"

namespace koma::bench {

/// The scenes of the export benchmarks. All share a 462 x 110 stage, a figure in nine poses
/// keyed on magenta in slots 1 to 9, a wooden frame with a signpost keyed on cyan in slot 10 and
/// the 91-step pattern "123456789..." with a travel of 5 px per step (the figure wraps once)
/// and a 2 px bob on every other step. They differ in the background.
enum class Scene {
    Walk,      ///< a banded sky, clouds, hills and ground: 26 colours in all frames together
    Gradient,  ///< a smooth two-way colour ramp: thousands of colours, more than a GIF holds
    Plain,     ///< a plain sky-blue background (no file), for exporting it transparent
};

/// The scene's name as the comparison scripts use it ("walk", "gradient", "plain").
QString scene_name(Scene scene);

/// The plain background's colour in the Plain scene (no frame or foreground pixel has it).
inline constexpr QRgb kPlainSky = 0xFF87BEEBu;

/// Loads a scene into a started model.
void load_scene(EditingModel& model, Scene scene = Scene::Walk);

/// Writes the scene's slot images as PNG files into `folder` and a state file `scene.pst`
/// naming them, whose export folder is `export_folder`. The Plain scene stores its background
/// as the state file's plain colour and size, with no file for slot 0. Returns the state
/// file's path.
std::expected<QString, QString> write_scene_files(const QString& folder,
                                                  const QString& export_folder,
                                                  Scene scene = Scene::Walk);

}  // namespace koma::bench
