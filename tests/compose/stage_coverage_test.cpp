#include <gtest/gtest.h>

#include "compose/compose_frame.h"
#include "compose/startup.h"
#include "support/pixels.h"

namespace koma {
namespace {

using test::from_rows;

/// The coverage as rows of '0' (clear) and '1' (covered).
std::vector<std::string> rows_of(const QImage& mask) {
    std::vector<std::string> rows;
    for (int y = 0; y < mask.height(); ++y) {
        std::string row;
        for (int x = 0; x < mask.width(); ++x) row += mask.constScanLine(y)[x] ? '1' : '0';
        rows.push_back(row);
    }
    return rows;
}

// A 6 x 2 stage over a background of white with one black pixel; slot 1 a frame keyed on
// magenta whose body has a white pixel, the background's key colour.
class StageCoverageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Form1_Load(m);
        m.pic[0].set_picture(from_rows({"WWWWWW", "WKWWWW"}));
        m.win_main.resize_pixels(6, 2);
        m.pic[1].set_picture(from_rows({"MWR", "MMR"}));
        m.pattern_anime.set_text(QStringLiteral("1"));
        m.pattern_pos = 0;
    }

    EditingModel m{QStringLiteral("/")};
};

TEST_F(StageCoverageTest, BackgroundKeyPixelsAreClearAndItsOtherPixelsCovered) {
    m.pattern_anime.set_text(QStringLiteral("0"));  // no frame at this step
    const QImage mask = stage_coverage(m);
    ASSERT_EQ(mask.format(), QImage::Format_Grayscale8);
    EXPECT_EQ(rows_of(mask), (std::vector<std::string>{"000000", "010000"}));
}

TEST_F(StageCoverageTest, FramePixelsAreCoveredEvenInTheBackgroundsKeyColour) {
    m.adjust_x.set_value(2);
    ASSERT_TRUE(ComposeFrame(m, 0));
    // The frame's white pixel lies at (3, 0): white like the background's key, but opaque.
    EXPECT_EQ(m.win_main.pixel(3, 0), 0xFFFFFFFFu);
    EXPECT_EQ(rows_of(stage_coverage(m)), (std::vector<std::string>{"000110", "010010"}));
}

TEST_F(StageCoverageTest, AWrappedFrameIsCoveredOnBothSides) {
    m.adjust_x.set_value(4);
    ASSERT_TRUE(ComposeFrame(m, 0));
    // Columns 0 and 1 of the frame land at 4 and 5, column 2 wraps to 0.
    EXPECT_EQ(rows_of(stage_coverage(m)), (std::vector<std::string>{"100001", "110000"}));
}

TEST_F(StageCoverageTest, ForegroundPixelsAreCovered) {
    m.pattern_anime.set_text(QStringLiteral("0"));
    m.pic[10].set_picture(from_rows({"CCCCCW"}));  // keyed on cyan; a white pixel at (5, 0)
    EXPECT_EQ(rows_of(stage_coverage(m)), (std::vector<std::string>{"000001", "010000"}));
}

TEST_F(StageCoverageTest, APlainBackgroundIsClearWhereverItShows) {
    m.bg_from_file = 0;
    m.adjust_x.set_value(2);
    EXPECT_EQ(rows_of(stage_coverage(m)), (std::vector<std::string>{"000110", "000010"}));
}

TEST_F(StageCoverageTest, StageBeyondTheBackgroundIsClear) {
    m.win_main.resize_pixels(8, 3);
    m.pattern_anime.set_text(QStringLiteral("0"));
    EXPECT_EQ(rows_of(stage_coverage(m)),
              (std::vector<std::string>{"00000000", "01000000", "00000000"}));
}

TEST_F(StageCoverageTest, ARangeErrorGivesNoCoverage) {
    m.pattern_pos = 91;
    EXPECT_TRUE(stage_coverage(m).isNull());
}

}  // namespace
}  // namespace koma
