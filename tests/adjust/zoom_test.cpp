#include "adjust/zoom.h"

#include <gtest/gtest.h>

#include "compose/compose_frame.h"
#include "compose/startup.h"
#include "support/pixels.h"

namespace koma {
namespace {

using test::from_rows;
using test::solid;

// Stands in for the zoom window: counts openings and unloads and, like the real window, runs
// the unload handler when it is unloaded.
class FakeZoomWindow : public ZoomWindowPort {
  public:
    explicit FakeZoomWindow(EditingModel& m) : m_(m) {}
    QWindow* open() override {
        ++opened;
        is_open = true;
        return nullptr;
    }
    QWindow* window() const override { return nullptr; }
    void unload() override {
        ++unloaded;
        is_open = false;
        Form4_Unload(m_);
    }
    int opened = 0;
    int unloaded = 0;
    bool is_open = false;

  private:
    EditingModel& m_;
};

class ZoomTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Form1_Load(m);
        QObject::connect(&m, &EditingModel::zoom_repainted, [this] { ++repaints; });
    }
    // Every zoom pixel is the stage pixel under it, four times enlarged from the top-left.
    void expect_enlarged(const QImage& stage, int cols, int rows) {
        const QImage& zoom = m.zoom_surface.image();
        for (int y = 0; y < rows; ++y) {
            for (int x = 0; x < cols; ++x) {
                ASSERT_EQ(zoom.pixel(x, y), stage.pixel(x / 4, y / 4)) << x << "," << y;
            }
        }
    }

    EditingModel m{QStringLiteral("/")};
    FakeZoomWindow port{m};
    int repaints = 0;
};

TEST_F(ZoomTest, OpeningSizesTheSurfaceFourTimesTheStageAndShowsItAtOnce) {
    m.win_main.set_picture(from_rows({"RGBK", "MWYC"}));
    m.win_main.resize_pixels(462, 110);
    m.last_focus_request.clear();

    bt_zoom_Click(m, port);

    EXPECT_EQ(m.zoom_open, 1);
    EXPECT_EQ(m.bt_zoom.caption, "縮小");
    EXPECT_EQ(m.last_focus_request, "pic_dummy");
    EXPECT_EQ(port.opened, 1);
    EXPECT_EQ(m.zoom_surface.image().size(), QSize(1848, 440));
    EXPECT_EQ(repaints, 1);
    expect_enlarged(m.win_main.image(), 1848, 440);
}

TEST_F(ZoomTest, SurfaceSizeIsTheNearestPixelOfFourTimesTheTwips) {
    // 1508 twips are 100.53 px: the stage image is 101 px, its zoom 402 px (not 404).
    m.win_main.resize_twips(1508, 1500);
    bt_zoom_Click(m, port);
    EXPECT_EQ(m.zoom_surface.image().size(), QSize(402, 400));
}

TEST_F(ZoomTest, SecondPressClosesAndTheNextOpensAFreshWindow) {
    m.win_main.set_picture(solid(3, 2, qRgb(255, 0, 0)));
    bt_zoom_Click(m, port);
    m.last_focus_request.clear();
    bt_zoom_Click(m, port);
    EXPECT_EQ(m.zoom_open, 0);
    EXPECT_EQ(m.bt_zoom.caption, "ズーム");
    EXPECT_EQ(m.last_focus_request, "pic_dummy");
    EXPECT_EQ(port.unloaded, 1);
    EXPECT_FALSE(port.is_open);

    // Reopened over a smaller stage: a new surface of the new size, nothing left over.
    m.win_main.set_picture(solid(2, 1, qRgb(0, 0, 255)));
    bt_zoom_Click(m, port);
    EXPECT_EQ(port.opened, 2);
    EXPECT_EQ(m.zoom_surface.image().size(), QSize(8, 4));
    expect_enlarged(m.win_main.image(), 8, 4);
}

TEST_F(ZoomTest, CloseBoxUnloadTurnsTheButtonBack) {
    bt_zoom_Click(m, port);
    Form4_Unload(m);
    EXPECT_EQ(m.zoom_open, 0);
    EXPECT_EQ(m.bt_zoom.caption, "ズーム");
    bt_zoom_Click(m, port);  // opens again rather than closing a window that is gone
    EXPECT_EQ(port.opened, 2);
    EXPECT_EQ(m.zoom_open, 1);
}

TEST_F(ZoomTest, CompositionsLeaveTheSurfaceAloneUnlessZoomOpenIsExactlyOne) {
    m.pic[0].set_picture(solid(4, 2, qRgb(0, 255, 0)));
    m.win_main.resize_pixels(4, 2);
    m.zoom_surface.fill(qRgb(1, 2, 3));
    for (int16_t flag : {int16_t{0}, int16_t{2}, int16_t{-1}}) {
        m.zoom_open = flag;
        ASSERT_TRUE(ComposeFrame(m, 0));
        EXPECT_EQ(m.zoom_surface.pixel(0, 0), qRgb(1, 2, 3)) << flag;
    }
    EXPECT_EQ(repaints, 0);
}

TEST_F(ZoomTest, EveryCompositionIsMirroredWhileOpen) {
    m.pic[0].set_picture(solid(4, 2, qRgb(0, 255, 0)));
    m.win_main.resize_pixels(4, 2);
    bt_zoom_Click(m, port);
    m.pic[0].set_picture(from_rows({"RGBK", "MWYC"}));
    ASSERT_TRUE(ComposeFrame(m, 0));
    EXPECT_EQ(repaints, 2);
    expect_enlarged(m.win_main.image(), 16, 8);
}

TEST_F(ZoomTest, AStageGrownWhileOpenIsMirroredClippedFromTheTopLeft) {
    m.win_main.set_picture(solid(2, 1, qRgb(0, 0, 0)));
    bt_zoom_Click(m, port);
    m.pic[0].set_picture(from_rows({"RGBK", "MWYC"}));
    m.win_main.resize_pixels(4, 2);
    ASSERT_TRUE(ComposeFrame(m, 0));
    EXPECT_EQ(m.zoom_surface.image().size(), QSize(8, 4));
    expect_enlarged(m.win_main.image(), 8, 4);
}

// A 2048 x 2048 stage zooms to 8192 x 8192 pixels, exactly the 256 MiB an image may take.
TEST(ZoomSurfaceAllowed, SixteenTimesTheStageAtFourBytesMayReachTheImageLimitAndNoMore) {
    EXPECT_TRUE(zoom_surface_allowed(2048 * 15, 2048 * 15));
    EXPECT_FALSE(zoom_surface_allowed(2049 * 15, 2048 * 15));
    EXPECT_FALSE(zoom_surface_allowed(2048 * 15, 2049 * 15));
    // Sizes in pixels are rounded as the surface rounds them: 30721 twips x 4 are 8192.3 px.
    EXPECT_TRUE(zoom_surface_allowed(2048 * 15 + 1, 2048 * 15));
    EXPECT_FALSE(zoom_surface_allowed(2048 * 15 + 2, 2048 * 15));
    // The largest stage a background may give is far over and does not overflow.
    EXPECT_FALSE(zoom_surface_allowed(16384 * 15, 16384 * 15));
    EXPECT_TRUE(zoom_surface_allowed(462 * 15, 110 * 15));
    EXPECT_TRUE(zoom_surface_allowed(16384 * 15, 1 * 15));
}

TEST_F(ZoomTest, AStageTooBigToZoomIsRefusedBeforeAnythingIsMadeOrChanged) {
    m.win_main.resize_pixels(2049, 2048);
    const QSize surface_before = m.zoom_surface.image().size();
    m.last_focus_request.clear();

    const auto result = bt_zoom_Click(m, port);

    ASSERT_FALSE(result.has_value());
    EXPECT_EQ(result.error(), kZoomTooLarge);
    EXPECT_EQ(m.last_focus_request, "pic_dummy");
    EXPECT_EQ(m.zoom_open, 0);
    EXPECT_EQ(m.bt_zoom.caption, "ズーム");
    EXPECT_EQ(port.opened, 0);
    EXPECT_EQ(m.zoom_surface.image().size(), surface_before);
    EXPECT_EQ(repaints, 0);

    // Nothing is left behind: a stage that fits opens at the next press.
    m.win_main.resize_pixels(2048, 2048);
    ASSERT_TRUE(bt_zoom_Click(m, port).has_value());
    EXPECT_EQ(m.zoom_open, 1);
    EXPECT_EQ(port.opened, 1);
    EXPECT_EQ(m.zoom_surface.image().size(), QSize(8192, 8192));
}

TEST_F(ZoomTest, AnOpenZoomWindowStillClosesAfterItsStageGrewTooBig) {
    m.win_main.resize_pixels(4, 2);
    ASSERT_TRUE(bt_zoom_Click(m, port).has_value());
    m.win_main.resize_pixels(4096, 4096);
    EXPECT_TRUE(bt_zoom_Click(m, port).has_value());
    EXPECT_EQ(m.zoom_open, 0);
    EXPECT_EQ(port.unloaded, 1);
    EXPECT_EQ(m.bt_zoom.caption, "ズーム");
}

}  // namespace
}  // namespace koma
