#include "export/export_settings_form.h"

#include <gtest/gtest.h>

#include "compose/startup.h"
#include "export/export_settings_edit.h"
#include "export/output_format.h"

namespace koma {
namespace {

class ExportSettingsFormTest : public ::testing::Test {
  protected:
    void SetUp() override { Form1_Load(m); }

    /// Loads the form, types the two boxes and presses "ＯＫ".
    std::expected<void, ExportSettingsRefusal> ok_with(const QString& ms, const QString& loops) {
        export_settings_load(m, form);
        form.frame_ms.set_text(ms);
        form.loop_count.set_text(loops);
        return export_settings_ok(m, form);
    }

    EditingModel m{QStringLiteral("/")};
    ExportSettingsForm form;
};

TEST_F(ExportSettingsFormTest, LoadShowsTheSettingsAndTheFormatInForce) {
    m.gif_mode = -1;
    m.export_settings = {OutputFormat::Bmp, 120, 4, true};
    export_settings_load(m, form);
    EXPECT_TRUE(m.export_settings_open);
    EXPECT_EQ(form.format, OutputFormat::Gif);
    EXPECT_EQ(form.frame_ms.text(), "120");
    EXPECT_EQ(form.loop_count.text(), "4");
    EXPECT_TRUE(form.transparent);
}

TEST_F(ExportSettingsFormTest, OkTakesEverySettingAndBlanksOrFullWidthDigits) {
    export_settings_load(m, form);
    form.format = OutputFormat::Apng;
    form.transparent = true;
    form.frame_ms.set_text(QStringLiteral(" １００ "));
    form.loop_count.set_text(QStringLiteral("\t2"));
    ASSERT_TRUE(export_settings_ok(m, form));
    EXPECT_FALSE(m.export_settings_open);
    EXPECT_EQ(format_in_force(m), OutputFormat::Apng);
    EXPECT_EQ(m.export_settings.frame_ms, 100);
    EXPECT_EQ(m.export_settings.loop_count, 2);
    EXPECT_TRUE(m.export_settings.transparent);
}

TEST_F(ExportSettingsFormTest, ShortFrameTimeIsRefusedWithItsBoxSelectedAndNothingChanged) {
    export_settings_load(m, form);
    form.format = OutputFormat::Webp;
    form.transparent = true;
    form.frame_ms.set_text(QStringLiteral("15"));
    const auto refused = export_settings_ok(m, form);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().field, ExportSettingsField::FrameMs);
    EXPECT_EQ(refused.error().message, check_frame_ms(15).error());
    EXPECT_EQ(form.frame_ms.sel_length(), 2);
    EXPECT_TRUE(m.export_settings_open);
    EXPECT_EQ(format_in_force(m), OutputFormat::Bmp);
    EXPECT_FALSE(m.export_settings.transparent);
}

TEST_F(ExportSettingsFormTest, TextThatIsNoWholeNumberOrOutOfRangeIsRefusedNotReadAsZero) {
    for (const QString& text : {QStringLiteral(""), QStringLiteral("abc"), QStringLiteral("2.5"),
                                QStringLiteral("3回"), QStringLiteral("70000")}) {
        const auto refused = ok_with(QStringLiteral("60"), text);
        ASSERT_FALSE(refused) << text.toStdString();
        EXPECT_EQ(refused.error().field, ExportSettingsField::LoopCount);
        EXPECT_TRUE(refused.error().message.contains(text))
            << refused.error().message.toStdString();
    }
    // The good frame time is not taken alone.
    EXPECT_EQ(m.export_settings.frame_ms, 80);
    const auto refused = ok_with(QStringLiteral("8０ms"), QStringLiteral("0"));
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().field, ExportSettingsField::FrameMs);
}

TEST_F(ExportSettingsFormTest, AFormatButtonClickedWhileOpenReplacesTheChoiceNotYetTaken) {
    export_settings_load(m, form);
    form.format = OutputFormat::Webp;
    form.frame_ms.set_text(QStringLiteral("55"));
    // Other changes of the model leave the choice alone.
    m.pattern_anime.set_text(QStringLiteral("12"));
    EXPECT_FALSE(export_settings_follow(m, form));
    EXPECT_EQ(form.format, OutputFormat::Webp);

    output_GIF_Click(m);
    EXPECT_TRUE(export_settings_follow(m, form));
    EXPECT_EQ(form.format, OutputFormat::Gif);
    EXPECT_EQ(form.frame_ms.text(), "55");
    ASSERT_TRUE(export_settings_ok(m, form));
    EXPECT_EQ(format_in_force(m), OutputFormat::Gif);
}

TEST_F(ExportSettingsFormTest, TheEffortIsShownAndTakenWithTheRest) {
    m.export_settings.effort = CodingEffort::Max;
    export_settings_load(m, form);
    EXPECT_TRUE(form.max_effort);
    form.max_effort = false;
    export_settings_cancel(m);
    EXPECT_EQ(m.export_settings.effort, CodingEffort::Max);  // nothing taken on cancel
    export_settings_load(m, form);
    form.max_effort = false;
    ASSERT_TRUE(export_settings_ok(m, form));
    EXPECT_EQ(m.export_settings.effort, CodingEffort::Default);
}

}  // namespace
}  // namespace koma
