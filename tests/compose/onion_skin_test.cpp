#include "compose/onion_skin.h"

#include <gtest/gtest.h>

#include "adjust/fine_adjust.h"
#include "compose/pattern_cursor.h"
#include "compose/startup.h"
#include "support/pixels.h"

namespace koma {
namespace {

using test::from_rows;

// A 6 x 1 stage over black; frame slots 1 to 3 are keyed on magenta, 3 pixels wide with their
// colour in columns 1 and 2.
class OnionSkinTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Form1_Load(m);
        m.pic[0].set_picture(test::solid(6, 1, 0xFF000000u));
        m.win_main.resize_pixels(6, 1);
        m.pic[1].set_picture(from_rows({"MRR"}));
        m.pic[2].set_picture(from_rows({"MGG"}));
        m.pic[3].set_picture(from_rows({"MBY"}));
        m.pattern_anime.set_text(QStringLiteral("123"));
        m.sc_bar.set_value(2);  // step k lands at column 2k
        m.onion_skin = true;
        bt_set2_click(m);
        form1_key_down(m, kKeyRight);  // the stage shows step 1
    }
    // The overlay's pixel as stored (premultiplied).
    static QRgb at(const QImage& overlay, int x) {
        return reinterpret_cast<const QRgb*>(overlay.constScanLine(0))[x];
    }
    static QRgb faint(int r, int g, int b) { return qPremultiply(qRgba(r, g, b, kOnionAlpha)); }

    EditingModel m{QStringLiteral("/")};
};

TEST_F(OnionSkinTest, ShowsThePreviousStepKeyedAtItsPlaceAndNothingElse) {
    const QImage stage = m.win_main.image().copy();
    const QImage overlay = onion_skin_overlay(m);
    ASSERT_EQ(overlay.size(), QSize(6, 1));
    // Step 0 lands at column 0: its key pixel stays clear, its red at a third of its opacity.
    EXPECT_EQ(at(overlay, 0), 0u);
    EXPECT_EQ(at(overlay, 1), faint(255, 0, 0));
    EXPECT_EQ(at(overlay, 2), faint(255, 0, 0));
    for (int x = 3; x < 6; ++x) EXPECT_EQ(at(overlay, x), 0u) << x;
    EXPECT_EQ(m.win_main.image(), stage);

    // Before step 0 comes the last step, which wraps: columns 5 and 0.
    form1_key_down(m, kKeyLeft);
    const QImage wrapped = onion_skin_overlay(m);
    EXPECT_EQ(at(wrapped, 5), faint(0, 0, 255));
    EXPECT_EQ(at(wrapped, 0), faint(255, 255, 0));
    EXPECT_EQ(at(wrapped, 4), 0u);
}

TEST_F(OnionSkinTest, TheNextStepComesInItsOwnTintWhereTheUserAsksForIt) {
    m.onion_next = true;
    const QImage overlay = onion_skin_overlay(m);
    // Step 2 lands at column 4: blue and yellow mixed half and half with the tint.
    const int tr = qRed(kOnionNextTint), tg = qGreen(kOnionNextTint), tb = qBlue(kOnionNextTint);
    EXPECT_EQ(at(overlay, 5), faint((0 + tr) / 2, (0 + tg) / 2, (255 + tb) / 2));
    EXPECT_EQ(at(overlay, 0), faint((255 + tr) / 2, (255 + tg) / 2, (0 + tb) / 2));
    EXPECT_EQ(at(overlay, 1), faint(255, 0, 0));

    // With two steps the step before is the step after: it is shown once, untinted.
    m.pattern_anime.set_read_only(false);
    m.pattern_anime.set_text(QStringLiteral("12"));
    const QImage two = onion_skin_overlay(m);
    EXPECT_EQ(at(two, 1), faint(255, 0, 0));
    for (int x : {0, 3, 4, 5}) EXPECT_EQ(at(two, x), 0u) << x;
}

TEST_F(OnionSkinTest, NothingIsLaidOverOutsideFineAdjustmentOrWithTheOnionSkinOff) {
    m.onion_skin = false;
    EXPECT_TRUE(onion_skin_overlay(m).isNull());
    toggle_onion_skin(m);
    EXPECT_TRUE(m.onion_skin);
    EXPECT_FALSE(onion_skin_overlay(m).isNull());
    bt_set2_click(m);  // fine adjustment off
    EXPECT_TRUE(onion_skin_overlay(m).isNull());
    m.pattern_anime.set_text(QStringLiteral("1"));
    bt_set2_click(m);
    ASSERT_EQ(m.fine_adjust, 1);
    EXPECT_TRUE(onion_skin_overlay(m).isNull());  // one step has no other step
}

}  // namespace
}  // namespace koma
