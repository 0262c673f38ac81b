#include "model/editing_model.h"

#include "raster/twips.h"

namespace koma {

namespace {

// Slot surfaces before anything is loaded, in twips.
constexpr int kStageWidthTwips = 462 * kTwipsPerPixel;
constexpr int kStageHeightTwips = 110 * kTwipsPerPixel;
constexpr int kFrameSlotTwips = 80 * kTwipsPerPixel;

}  // namespace

Surface blank_slot_surface(int slot) {
    if (slot == kBackgroundSlot) {
        return Surface(kStageWidthTwips, kStageHeightTwips);
    }
    if (slot == kForegroundSlot) {
        return Surface(454 * kTwipsPerPixel, 94 * kTwipsPerPixel);
    }
    return Surface(kFrameSlotTwips, kFrameSlotTwips);
}

EditingModel::EditingModel(QString program_folder, QObject* parent)
    : QObject(parent),
      win_main(kStageWidthTwips, kStageHeightTwips),
      pointer_k(8 * kTwipsPerPixel, 8 * kTwipsPerPixel, kFaceColour),
      zoom_surface(8160, 4890),
      program_folder_(std::move(program_folder)),
      start_folder_(program_folder_) {
    for (int i = 0; i < kSlotCount; ++i) {
        pic[i] = blank_slot_surface(i);
    }
    export_lists.set_home_folder(program_folder_);
    // The read-outs show what the program computed; typing into them would change nothing.
    for (TextBox* readout :
         {&offset_x, &offset_y, &total_adjust_x, &total_adjust_y, &this_adjust_x, &this_adjust_y}) {
        readout->set_read_only(true);
    }
}

}  // namespace koma
