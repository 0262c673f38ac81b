// The state file reader on arbitrary bytes: it must stop at the first bad item without a crash,
// a hang or a leak, and leave the model consistent: the stage the size of slot 0, the pattern
// within 91 characters and every bar value inside its range.
#include <cstdlib>

#include "compose/startup.h"
#include "fuzz_support.h"
#include "state/read_state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = koma::fuzz::write_scratch_file(data, size, ".pst");
    koma::EditingModel model(QStringLiteral("/nonexistent-koma-folder"));
    koma::Form1_Load(model);
    (void)koma::read_state(model, path);

    const auto in_range = [](const koma::ScrollBar& bar) {
        return bar.min() <= bar.value() && bar.value() <= bar.max();
    };
    if (!in_range(model.adjust_x) || !in_range(model.adjust_y) || !in_range(model.sc_bar)) {
        std::abort();
    }
    if (model.pattern_anime.text().size() > koma::kMaxSteps) std::abort();
    if (model.win_main.width_twips() != model.pic[koma::kBackgroundSlot].width_twips() ||
        model.win_main.height_twips() != model.pic[koma::kBackgroundSlot].height_twips()) {
        std::abort();
    }
    return 0;
}
