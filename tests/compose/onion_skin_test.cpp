#include "compose/onion_skin.h"

#include <gtest/gtest.h>

#include "adjust/fine_adjust.h"
#include "compose/pattern_cursor.h"
#include "compose/startup.h"
#include "support/pixels.h"

namespace koma {
namespace {

// The overlay's pixel at column x, as stored (premultiplied).
QRgb at(const QImage& overlay, int x) {
    return reinterpret_cast<const QRgb*>(overlay.constScanLine(0))[x];
}
QRgb faint(int r, int g, int b) { return qPremultiply(qRgba(r, g, b, kOnionAlpha)); }

TEST(OnionSkin, ShowsTheStepsBeforeAndAfterKeyedWhereTheyLieAndNeverDrawsIntoTheStage) {
    EditingModel m(QStringLiteral("/"));
    Form1_Load(m);
    m.pic[0].set_picture(test::solid(6, 1, 0xFF000000u));
    m.win_main.resize_pixels(6, 1);
    m.pic[1].set_picture(test::from_rows({"MRR"}));  // keyed on magenta
    m.pic[2].set_picture(test::from_rows({"MGG"}));
    m.pic[3].set_picture(test::from_rows({"MBY"}));
    m.pattern_anime.set_text(QStringLiteral("123"));
    m.sc_bar.set_value(2);  // step k lands at column 2k
    m.onion_skin = true;
    EXPECT_TRUE(onion_skin_overlay(m).isNull());  // not in fine adjustment
    bt_set2_click(m);
    form1_key_down(m, kKeyRight);  // the stage shows step 1
    const QImage stage = m.win_main.image().copy();

    // Step 0 at column 0: its key stays clear, its red at a third of its opacity.
    const QImage before = onion_skin_overlay(m);
    EXPECT_EQ(at(before, 0), 0u);
    EXPECT_EQ(at(before, 1), faint(255, 0, 0));
    EXPECT_EQ(at(before, 2), faint(255, 0, 0));
    for (int x = 3; x < 6; ++x) EXPECT_EQ(at(before, x), 0u) << x;

    // Step 2 at column 4 wraps into column 0, mixed half and half with the tint.
    m.onion_next = true;
    const QImage both = onion_skin_overlay(m);
    const int tr = qRed(kOnionNextTint), tg = qGreen(kOnionNextTint), tb = qBlue(kOnionNextTint);
    EXPECT_EQ(at(both, 5), faint(tr / 2, tg / 2, (255 + tb) / 2));
    EXPECT_EQ(at(both, 0), faint((255 + tr) / 2, (255 + tg) / 2, tb / 2));
    EXPECT_EQ(at(both, 1), faint(255, 0, 0));
    EXPECT_EQ(m.win_main.image(), stage);

    toggle_onion_skin(m);
    EXPECT_TRUE(onion_skin_overlay(m).isNull());
}

}  // namespace
}  // namespace koma
