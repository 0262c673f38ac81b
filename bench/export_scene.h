#pragma once

#include <QSize>
#include <QString>
#include <expected>
#include <optional>

#include "model/editing_model.h"

namespace koma::bench {

/// The scenes of the export benchmarks. All have a figure in nine poses keyed on magenta in
/// slots 1 to 9, a wooden frame with a signpost keyed on cyan in slot 10 and the pattern
/// "123456789123..." (91 steps unless asked otherwise) on which the figure walks across the
/// stage, wrapping at its right edge once in 91 steps, with a bob on every other step. They
/// differ in the stage's size and the background; the two large stages have the figure, the
/// frame, the travel and the bob scaled up with them.
enum class Scene {
    Walk,      ///< 462 x 110: a banded sky, clouds, hills and ground, 26 colours in all frames
    Gradient,  ///< 462 x 110: a smooth two-way colour ramp, thousands of colours
    Plain,     ///< 462 x 110: a plain sky-blue background (no file), for exporting it transparent
    Photo,     ///< 1280 x 720, like a photograph: smooth gradients with a fine grain, so that
               ///< nearly every pixel has a colour of its own (tens of thousands in one step)
    Flat,      ///< 1920 x 1080 in few flat colours: a plain sky (its top-left colour, so that a
               ///< transparent export clears the whole sky), sun, clouds, hills and ground
};

/// Every scene, in the order above.
inline constexpr Scene kScenes[] = {Scene::Walk, Scene::Gradient, Scene::Plain, Scene::Photo,
                                    Scene::Flat};

/// The scene's name as the comparison scripts use it ("walk", "gradient", "plain", "photo",
/// "flat").
QString scene_name(Scene scene);

/// The scene of that name, if any.
std::optional<Scene> scene_named(const QString& name);

/// The scene's stage size in pixels.
QSize scene_stage_size(Scene scene);

/// The plain background's colour in the Plain scene (no frame or foreground pixel has it).
inline constexpr QRgb kPlainSky = 0xFF87BEEBu;

/// Loads a scene with `steps` steps (1 to kMaxSteps) into a started model.
void load_scene(EditingModel& model, Scene scene = Scene::Walk, int steps = kMaxSteps);

/// Writes the scene's slot images as PNG files into `folder` and a state file `scene.pst`
/// naming them, whose export folder is `export_folder`, with `steps` steps (1 to kMaxSteps).
/// The Plain scene stores its background as the state file's plain colour and size, with no
/// file for slot 0. Returns the state file's path.
std::expected<QString, QString> write_scene_files(const QString& folder,
                                                  const QString& export_folder,
                                                  Scene scene = Scene::Walk, int steps = kMaxSteps);

}  // namespace koma::bench
