#pragma once

#include <cstdint>

#include "model/controls.h"
#include "model/editing_model.h"
#include "raster/surface.h"

namespace koma {

/// The two options of the background settings window; exactly one is selected.
enum class BackgroundOption {
    Plain,  ///< Option1 "無地": a field of bg_color of the size typed in Text1 and Text2
    File,   ///< Option2 "指定ファイル": slot 0 keeps the image loaded from a file
};

/// The control values of the background settings window "Form5" as plain data. Its handlers
/// below read and write these and the editing model; the window only shows them.
struct BackgroundSettings {
    BackgroundOption option = BackgroundOption::File;
    TextBox Text1{QStringLiteral("0")};  ///< width of a plain background in pixels, "よこ"
    TextBox Text2{QStringLiteral("0")};  ///< height in pixels, "たて"
    /// The colour swatch, 735 x 855 twips.
    Surface color_window{735, 855};
    /// Whether Text1, Text2 and color_window accept input; false while "指定ファイル" is
    /// selected.
    bool inputs_enabled = true;
    /// Why the last "Ｏｋ" refused the sizes and which sizes it takes, in one message; "" when
    /// it did not refuse.
    QString refusal;
};

/// What "Ｏｋ" did.
enum class BackgroundOkResult {
    Closed,        ///< the settings were applied and the window unloaded
    RefusedText1,  ///< Text1 holds no usable width: nothing changed, Text1 is selected
    RefusedText2,  ///< Text2 holds no usable height: nothing changed, Text2 is selected
};

/// Loads the window each time it opens: the sizes of slot 0 in pixels as plain numbers (a
/// fractional size shows its fraction), the swatch filled with bg_color, and the option that
/// bg_from_file names. With bg_from_file -1 "指定ファイル" is selected and its click handler runs,
/// disabling the inputs; otherwise "無地" is selected with the inputs enabled. Marks the window
/// open in the editing model.
void Form5_Load(EditingModel& model, BackgroundSettings& form);

/// "無地" clicked: inputs enabled, bg_from_file 0 at once.
void Form5_Option1_Click(EditingModel& model, BackgroundSettings& form);

/// "指定ファイル" clicked: inputs disabled, bg_from_file -1 at once.
void Form5_Option2_Click(EditingModel& model, BackgroundSettings& form);

/// The swatch clicked and the colour picker closed, reporting `picked` (0x00BBGGRR; a cancelled
/// picker reports the current bg_color). bg_color takes the colour at once and the swatch is
/// filled with it. While the inputs are disabled the swatch cannot be clicked: nothing changes
/// and false is returned.
bool Form5_color_window_Click(EditingModel& model, BackgroundSettings& form, uint32_t picked);

/// "Ｏｋ". With "無地": each size box must hold a decimal number of pixels (blanks around it
/// and full-width digits are accepted) that makes at least one whole pixel and whose twips fit
/// a signed 16-bit integer (below 2184.5 px); otherwise the first offending box is selected
/// whole, `refusal` says what is wrong with each offending box and which sizes are taken, and
/// the press is refused with nothing changed. Accepted: bg_from_file 0,
/// stage_width and stage_height the sizes in twips (halves to even), slot 0 resized to them
/// and filled with bg_color, the stage given the same size, the window unloaded. The stage is
/// not recomposed; the offset ranges, slot_files[0] and an open zoom window stay as they are.
/// With "指定ファイル": bg_from_file -1 and the window unloaded, nothing else changes.
BackgroundOkResult Form5_Command1_Click(EditingModel& model, BackgroundSettings& form);

/// "キャンセル", and the close box: the window is unloaded; nothing is undone.
void Form5_Command2_Click(EditingModel& model);

/// Unload: marks the window closed in the editing model.
void Form5_Unload(EditingModel& model);

}  // namespace koma
