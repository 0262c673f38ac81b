#pragma once

#include <QString>
#include <cstdint>
#include <expected>

#include "model/editing_model.h"
#include "platform/translatable_text.h"

class QWindow;

namespace koma {

/// The zoom window "Form4" as the zoom handlers see it. The view supplies it; tests can stand in
/// for it without a display.
class ZoomWindowPort {
  public:
    virtual ~ZoomWindowPort() = default;
    /// Creates a fresh zoom window and shows it, non-modal and without owner, with a drawing area
    /// of exactly the zoom surface's pixel size, whatever the window frame adds. Returns its
    /// window for the stacking calls, or nullptr when there is none to stack.
    virtual QWindow* open() = 0;
    /// The open zoom window, or nullptr when there is none.
    virtual QWindow* window() const = 0;
    /// Closes and destroys the zoom window if there is one; its unload handler runs.
    virtual void unload() = 0;
};

/// What the user is told when the zoom window is refused for a stage that is too big.
inline constexpr TranslatableText kZoomTooLarge{
    "Zoom", QT_TRANSLATE_NOOP(
                "Zoom", "ステージが大きすぎるためズームできません（拡大画像は 256 MiB まで）")};

/// Whether the zoom surface of a stage `width_twips` x `height_twips` (four times each side, at
/// 4 bytes per pixel) stays within kMaxImageBytes, the limit of every image the program holds.
bool zoom_surface_allowed(int64_t width_twips, int64_t height_twips);

/// `bt_zoom` click: hands the focus to pic_dummy, then opens the zoom window when zoom_open is
/// 0, otherwise closes it. Opening sets zoom_open to 1 and the caption to "縮小", gives the zoom
/// surface a fresh blank image exactly four times the stage (nearest of twips x 4 / 15 in each
/// direction), opens the window on top of all others and mirrors the stage into it at once.
/// Closing takes the window off the top, sets zoom_open to 0 and the caption to "ズーム" and
/// unloads the window. The stacking calls' results are not needed and are ignored.
/// Fails with kZoomTooLarge, before anything is allocated or changed but the focus, when the
/// zoom surface of the current stage is not allowed (zoom_surface_allowed); the window stays
/// closed.
std::expected<void, QString> bt_zoom_Click(EditingModel& model, ZoomWindowPort& port);

/// The zoom window's unload handler, run however the window goes (button or close box):
/// zoom_open to 0 and the `bt_zoom` caption back to "ズーム".
void Form4_Unload(EditingModel& model);

}  // namespace koma
