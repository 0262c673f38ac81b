#include "adjust/background_settings.h"

#include <gtest/gtest.h>

#include "compose/startup.h"
#include "support/pixels.h"

namespace koma {
namespace {

using test::from_rows;

constexpr uint32_t kRedBgr = 0x0000FF;
constexpr QRgb kRed = 0xFFFF0000u;

bool uniform(const QImage& image, QRgb colour) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != colour) return false;
        }
    }
    return true;
}

class BackgroundSettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Form1_Load(m);
        m.pic[0].set_picture(from_rows({"RGB", "KWM"}));
        m.pic[0].resize_pixels(462, 110);
        m.slot_files[0] = QStringLiteral("/pictures/back.png");
    }
    // Opens the window in plain mode with the given sizes typed.
    void plain_with(const QString& width, const QString& height) {
        Form5_Load(m, form);
        Form5_Option1_Click(m, form);
        form.Text1.set_text(width);
        form.Text2.set_text(height);
    }
    void expect_nothing_changed() {
        EXPECT_EQ(m.stage_width, 80);
        EXPECT_EQ(m.stage_height, 50);
        EXPECT_EQ(m.pic[0].image().size(), QSize(462, 110));
        EXPECT_EQ(m.pic[0].pixel(0, 0), kRed);
        EXPECT_EQ(m.win_main.image().size(), QSize(462, 110));
        EXPECT_TRUE(m.background_window_open);
    }

    EditingModel m{QStringLiteral("/")};
    BackgroundSettings form;
};

TEST_F(BackgroundSettingsTest, LoadInFileModeShowsTheSizesGreyed) {
    m.bg_color = 0x00FF00;
    m.bg_from_file = -1;
    Form5_Load(m, form);
    EXPECT_TRUE(m.background_window_open);
    EXPECT_EQ(form.Text1.text(), "462");
    EXPECT_EQ(form.Text2.text(), "110");
    EXPECT_EQ(form.option, BackgroundOption::File);
    EXPECT_FALSE(form.inputs_enabled);
    EXPECT_EQ(m.bg_from_file, -1);
    EXPECT_TRUE(uniform(form.color_window.image(), qRgb(0, 255, 0)));
}

TEST_F(BackgroundSettingsTest, LoadInPlainModeSelectsPlainAndShowsFractions) {
    m.bg_from_file = 0;
    m.pic[0].resize_twips(1508, 1500);
    Form5_Load(m, form);
    EXPECT_EQ(form.option, BackgroundOption::Plain);
    EXPECT_TRUE(form.inputs_enabled);
    EXPECT_EQ(form.Text1.text(), "100.5333");
    EXPECT_EQ(form.Text2.text(), "100");
}

TEST_F(BackgroundSettingsTest, OptionsTakeEffectAtOnce) {
    Form5_Load(m, form);
    Form5_Option1_Click(m, form);
    EXPECT_EQ(m.bg_from_file, 0);
    EXPECT_TRUE(form.inputs_enabled);
    Form5_Option2_Click(m, form);
    EXPECT_EQ(m.bg_from_file, -1);
    EXPECT_FALSE(form.inputs_enabled);
}

TEST_F(BackgroundSettingsTest, PlainOkResizesAndFillsSlotZeroAndTheStage) {
    m.bg_color = kRedBgr;
    m.adjust_x.set_max(462);
    m.zoom_surface.resize_pixels(10, 10);
    plain_with(QStringLiteral("320"), QStringLiteral("200"));
    ASSERT_EQ(Form5_Command1_Click(m, form), BackgroundOkResult::Closed);
    EXPECT_FALSE(m.background_window_open);
    EXPECT_EQ(m.bg_from_file, 0);
    EXPECT_EQ(m.stage_width, 4800);
    EXPECT_EQ(m.stage_height, 3000);
    EXPECT_EQ(m.pic[0].width_twips(), 4800);
    EXPECT_EQ(m.pic[0].image().size(), QSize(320, 200));
    EXPECT_TRUE(uniform(m.pic[0].image(), kRed));
    EXPECT_EQ(m.win_main.width_twips(), 4800);
    EXPECT_EQ(m.win_main.height_twips(), 3000);
    EXPECT_EQ(m.win_main.image().size(), QSize(320, 200));
    // Not recomposed; ranges, the remembered file and the zoom surface stay.
    EXPECT_FALSE(uniform(m.win_main.image(), kRed));
    EXPECT_EQ(m.adjust_x.max(), 462);
    EXPECT_EQ(m.adjust_y.min(), -100);
    EXPECT_EQ(m.slot_files[0], "/pictures/back.png");
    EXPECT_EQ(m.zoom_surface.image().size(), QSize(10, 10));
}

TEST_F(BackgroundSettingsTest, FractionalPixelsRoundTheTwipsHalfToEven) {
    plain_with(QStringLiteral("100.5"), QStringLiteral("2.5"));
    ASSERT_EQ(Form5_Command1_Click(m, form), BackgroundOkResult::Closed);
    EXPECT_EQ(m.stage_width, 1508);  // 1507.5
    EXPECT_EQ(m.stage_height, 38);   // 37.5
    EXPECT_EQ(m.pic[0].image().size(), QSize(101, 3));
}

TEST_F(BackgroundSettingsTest, SizesTypedWithBlanksOrFullWidthDigitsAreRead) {
    plain_with(QStringLiteral(" ３２０ "), QStringLiteral("2184.4"));
    ASSERT_EQ(Form5_Command1_Click(m, form), BackgroundOkResult::Closed);
    EXPECT_EQ(m.stage_width, 4800);
    EXPECT_EQ(m.stage_height, 32766);
}

TEST_F(BackgroundSettingsTest, FileModeOkChangesNothingElse) {
    Form5_Load(m, form);
    form.Text1.set_text(QStringLiteral("abc"));
    ASSERT_EQ(Form5_Command1_Click(m, form), BackgroundOkResult::Closed);
    EXPECT_EQ(m.bg_from_file, -1);
    EXPECT_FALSE(m.background_window_open);
    m.background_window_open = true;  // only the unload differs from nothing changed
    expect_nothing_changed();
}

TEST_F(BackgroundSettingsTest, CancelUndoesNeitherTheOptionNorThePickedColour) {
    Form5_Load(m, form);
    Form5_Option1_Click(m, form);
    EXPECT_TRUE(Form5_color_window_Click(m, form, kRedBgr));
    EXPECT_TRUE(uniform(form.color_window.image(), kRed));
    form.Text1.set_text(QStringLiteral("10"));
    Form5_Command2_Click(m);
    EXPECT_FALSE(m.background_window_open);
    EXPECT_EQ(m.bg_from_file, 0);
    EXPECT_EQ(m.bg_color, kRedBgr);
    m.background_window_open = true;
    expect_nothing_changed();
    EXPECT_EQ(m.pic[0].pixel(1, 0), qRgb(0, 255, 0));
}

TEST_F(BackgroundSettingsTest, TheSwatchTakesNoColourInFileMode) {
    Form5_Load(m, form);
    EXPECT_FALSE(Form5_color_window_Click(m, form, kRedBgr));
    EXPECT_EQ(m.bg_color, 0xFFFFFFu);
}

TEST_F(BackgroundSettingsTest, UnusableSizesAreRefusedWithTheBoxSelected) {
    for (const char* bad :
         {"abc", "", "  ", "0", "-5", "0.2", "2184.5", "99999", "nan", "inf", "12px", "1,5"}) {
        SCOPED_TRACE(bad);
        plain_with(QString::fromUtf8(bad), QStringLiteral("200"));
        EXPECT_EQ(Form5_Command1_Click(m, form), BackgroundOkResult::RefusedText1);
        EXPECT_EQ(form.Text1.sel_start(), 0);
        EXPECT_EQ(form.Text1.sel_length(), form.Text1.text().size());
        expect_nothing_changed();
    }
    // A good width does not go through when the height is refused.
    plain_with(QStringLiteral("320"), QStringLiteral("-1"));
    EXPECT_EQ(Form5_Command1_Click(m, form), BackgroundOkResult::RefusedText2);
    EXPECT_EQ(form.Text2.sel_length(), 2);
    expect_nothing_changed();
}

TEST_F(BackgroundSettingsTest, ARefusalSaysInOneMessageWhatIsWrongAndWhichSizesAreTaken) {
    plain_with(QStringLiteral("abc"), QStringLiteral("0"));
    EXPECT_EQ(Form5_Command1_Click(m, form), BackgroundOkResult::RefusedText1);
    EXPECT_EQ(form.refusal,
              "よこ「abc」は数ではありません。\nたて「0」は小さすぎます。\n"
              "大きさは 1 ～ 2184 ピクセルで入れてください（小数も使えます）。");
    plain_with(QStringLiteral("320"), QStringLiteral("99999"));
    EXPECT_EQ(Form5_Command1_Click(m, form), BackgroundOkResult::RefusedText2);
    EXPECT_TRUE(form.refusal.startsWith("たて「99999」は大きすぎます。\n"));
    plain_with(QStringLiteral("320"), QStringLiteral("200"));
    EXPECT_EQ(Form5_Command1_Click(m, form), BackgroundOkResult::Closed);
    EXPECT_EQ(form.refusal, "");
}

}  // namespace
}  // namespace koma
