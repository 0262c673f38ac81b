#include <gtest/gtest.h>

#include <vector>

#include "codecs/gif/dib_capture.h"
#include "support/pixels.h"

namespace koma {
namespace {

using test::from_rows;

DibHandle capture(const Surface& stage) {
    return DCtoDIB(stage, 0, 0, stage.width_px(), stage.height_twips());
}

// A stage captured step by step, as the export does: 5 x 3, a red block moving right.
class DibSequenceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        steps = {from_rows({"WWWWW", "RWWWW", "WWWWW"}), from_rows({"WWWWW", "WRWWW", "WWWWW"}),
                 from_rows({"WWWWW", "WRWWW", "WWWWW"}), from_rows({"WWWWW", "WWWRW", "WWWWB"})};
        for (const QImage& step : steps) {
            stage.set_picture(step);
            handles.push_back(capture(stage));
        }
        stage.fill(0xFF000000u);  // the captures keep their own pixels
    }
    void TearDown() override {
        for (DibHandle h : handles) DeleteDIB(h);
    }

    Surface stage;
    std::vector<QImage> steps;
    std::vector<DibHandle> handles;
};

TEST_F(DibSequenceTest, StepsAreHandedOnAsTheRectanglesThatChanged) {
    const auto frames = dib_frames(handles);
    ASSERT_TRUE(frames.has_value()) << frames.error().toStdString();
    EXPECT_EQ(frames->size, QSize(5, 3));
    ASSERT_EQ(frames->patches.size(), 4u);
    EXPECT_EQ(frames->patches[0].at, QPoint(0, 0));
    EXPECT_EQ(frames->patches[0].pixels, steps[0]);
    EXPECT_EQ(frames->patches[1].at, QPoint(0, 1));
    EXPECT_EQ(frames->patches[1].pixels, from_rows({"WR"}));
    EXPECT_TRUE(frames->patches[2].pixels.isNull());  // nothing changed
    EXPECT_EQ(frames->patches[3].at, QPoint(1, 1));
    EXPECT_EQ(frames->patches[3].pixels, from_rows({"WWRW", "WWWB"}));
    for (size_t i = 0; i < steps.size(); ++i) EXPECT_EQ(dib_image(handles[i]), steps[i]) << i;
}

TEST_F(DibSequenceTest, ReleasingEarlierStepsKeepsLaterOnesWhole) {
    DeleteDIB(handles[0]);
    DeleteDIB(handles[1]);
    EXPECT_TRUE(dib_image(handles[0]).isNull());
    EXPECT_EQ(dib_image(handles[3]), steps[3]);
    // A new capture after the old ones are gone starts whole again.
    stage.set_picture(steps[1]);
    const DibHandle fresh = capture(stage);
    EXPECT_EQ(dib_image(fresh), steps[1]);
    DeleteDIB(fresh);
}

TEST_F(DibSequenceTest, HandlesOutOfOrderOrRepeatedStillGiveEveryBitmap) {
    const std::vector<DibHandle> order{handles[3], handles[0], handles[0], handles[2]};
    const auto frames = dib_frames(order);
    ASSERT_TRUE(frames.has_value());
    QImage canvas(5, 3, QImage::Format_RGB32);
    const std::vector<QImage> expected{steps[3], steps[0], steps[0], steps[2]};
    for (size_t i = 0; i < order.size(); ++i) {
        const FramePatch& patch = frames->patches[i];
        for (int y = 0; y < patch.pixels.height(); ++y)
            for (int x = 0; x < patch.pixels.width(); ++x)
                canvas.setPixel(patch.at.x() + x, patch.at.y() + y, patch.pixels.pixel(x, y));
        EXPECT_EQ(canvas, expected[i]) << "frame " << i;
    }
    EXPECT_TRUE(frames->patches[2].pixels.isNull());

    const std::vector<DibHandle> unknown{handles[0], 0};
    const auto refused = dib_frames(unknown);
    ASSERT_FALSE(refused.has_value());
    EXPECT_TRUE(refused.error().contains("1")) << refused.error().toStdString();
}

TEST(DibTest, CapturesOfAnotherSizeStartWholeAndCannotBeMixed) {
    Surface big;
    big.set_picture(from_rows({"RGB", "BGR"}));
    Surface small;
    small.set_picture(from_rows({"K"}));
    const DibHandle a = capture(big);
    const DibHandle b = capture(small);
    const DibHandle c = DCtoDIB(big, 1, 1, 2, 15);  // the bottom-right 2 x 1
    EXPECT_EQ(dib_image(a), from_rows({"RGB", "BGR"}));
    EXPECT_EQ(dib_image(b), from_rows({"K"}));
    EXPECT_EQ(dib_image(c), from_rows({"GR"}));
    const std::vector<DibHandle> mixed{a, b};
    EXPECT_FALSE(dib_frames(mixed).has_value());
    for (DibHandle h : {a, b, c}) DeleteDIB(h);
}

TEST(DibTest, ARunWhoseColoursOutgrowATableStaysExact) {
    // Steps 0 and 1 have 200 colours; step 2 brings 200 more, step 3 goes back.
    auto step = [](int shift) {
        QImage image(20, 20, QImage::Format_RGB32);
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 20; ++x) {
                image.setPixel(x, y, y < 10 ? qRgb(x * 10, y * 20, shift) : qRgb(1, 2, 3));
            }
        }
        return image;
    };
    const std::vector<QImage> steps{step(0), step(0), step(7), step(0)};
    Surface stage;
    std::vector<DibHandle> handles;
    for (const QImage& image : steps) {
        stage.set_picture(image);
        handles.push_back(capture(stage));
    }
    for (size_t i = 0; i < steps.size(); ++i) EXPECT_EQ(dib_image(handles[i]), steps[i]) << i;
    const auto frames = dib_frames(handles);
    ASSERT_TRUE(frames.has_value());
    QImage canvas = frames->patches[0].pixels.copy();
    for (size_t i = 1; i < steps.size(); ++i) {
        const FramePatch& patch = frames->patches[i];
        for (int y = 0; y < patch.pixels.height(); ++y)
            for (int x = 0; x < patch.pixels.width(); ++x)
                canvas.setPixel(patch.at.x() + x, patch.at.y() + y, patch.pixels.pixel(x, y));
        EXPECT_EQ(canvas, steps[i]) << "frame " << i;
    }
    for (DibHandle h : handles) DeleteDIB(h);
}

TEST(DibTest, ACoverageCapturesUncoveredPixelsClear) {
    Surface stage;
    stage.set_picture(from_rows({"KRG", "BYC"}));
    QImage coverage(3, 2, QImage::Format_Grayscale8);
    coverage.fill(255);
    coverage.scanLine(0)[0] = 0;  // black is a colour; uncovered black is clear
    coverage.scanLine(1)[2] = 0;
    const DibHandle handle = DCtoDIB(stage, 0, 0, 3, 30, coverage);
    const QImage image = dib_image(handle);
    ASSERT_EQ(image.format(), QImage::Format_ARGB32);
    EXPECT_EQ(image.pixel(0, 0), 0u);
    EXPECT_EQ(image.pixel(2, 1), 0u);
    EXPECT_EQ(image.pixel(1, 0), 0xFFFF0000u);
    DeleteDIB(handle);
}

TEST(DibTest, CapturingGoesOnAfterTheCapturesWereRead) {
    Surface stage;
    const std::vector<QImage> steps{from_rows({"WWWW", "WRWW"}), from_rows({"WWWW", "WWRW"}),
                                    from_rows({"WWWW", "WWWR"})};
    std::vector<DibHandle> handles;
    for (size_t i = 0; i < 2; ++i) {
        stage.set_picture(steps[i]);
        handles.push_back(capture(stage));
    }
    ASSERT_TRUE(dib_source(handles).has_value());  // lets the comparison bitmap go
    stage.set_picture(steps[2]);
    handles.push_back(capture(stage));
    const auto frames = dib_frames(handles);
    ASSERT_TRUE(frames.has_value());
    EXPECT_EQ(frames->patches[2].at, QPoint(2, 1));
    EXPECT_EQ(frames->patches[2].pixels, from_rows({"WR"}));
    EXPECT_EQ(dib_image(handles[2]), steps[2]);
    for (DibHandle h : handles) DeleteDIB(h);
}

}  // namespace
}  // namespace koma
