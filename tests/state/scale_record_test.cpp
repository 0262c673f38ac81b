#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "compose/startup.h"
#include "state/extension_record.h"
#include "state/load_save.h"
#include "state/state_codec.h"
#include "state/write_state.h"
#include "support/file_bytes.h"

namespace koma {
namespace {

// The scale and the new formats in the extension record.
class ScaleRecordTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        Form1_Load(written);
        Form1_Load(read);
    }
    /// `written` saved and read into `read`, whose settings were other ones.
    void round_trip() {
        const QString file = dir.filePath("scale.pst");
        written.work_path = file;
        written.state_mode = 2;
        ASSERT_TRUE(load_save(written));
        read.export_settings.scale = 5;
        read.export_settings.extra_format = OutputFormat::Webp;
        read.work_path = file;
        read.state_mode = 1;
        ASSERT_TRUE(load_save(read));
    }
    QString record_line() {
        const StateBytes parts = split_extension_record(state_text(written).toUtf8());
        QStringList items;
        for (const auto& [key, value] : parts.record->items) items << key + "=" + value;
        return items.join(',');
    }

    QTemporaryDir dir;
    EditingModel written{QStringLiteral("/")};
    EditingModel read{QStringLiteral("/")};
};

TEST_F(ScaleRecordTest, TheScaleAndTheNewFormatsRoundTripAndScaleOneIsNotWritten) {
    EXPECT_EQ(record_line(), "encoding=UTF-8");
    round_trip();
    EXPECT_EQ(read.export_settings.scale, 1);
    for (const auto& [format, name] :
         {std::pair{OutputFormat::Avif, "avif"}, std::pair{OutputFormat::Mp4, "mp4"},
          std::pair{OutputFormat::Webm, "webm"}, std::pair{OutputFormat::Sheet, "sheet"}}) {
        written.export_settings.extra_format = format;
        written.export_settings.scale = 3;
        EXPECT_EQ(record_line(), QStringLiteral("encoding=UTF-8,format=%1,scale=3").arg(name));
        round_trip();
        EXPECT_EQ(read.export_settings.extra_format, format);
        EXPECT_EQ(read.export_settings.scale, 3);
    }
    // What only the command line sets is not the project's.
    written.export_settings.sheet_columns = 4;
    written.export_settings.video_quality = 60;
    EXPECT_EQ(record_line(), "encoding=UTF-8,format=sheet,scale=3");
    // A scale out of range or not a number reads as 1.
    for (const char* value : {"0", "9", "2x"}) {
        read.export_settings.scale = 4;
        apply_extension_record(read, ExtensionRecord{1, {{"scale", value}}});
        EXPECT_EQ(read.export_settings.scale, 1) << value;
    }
}

}  // namespace
}  // namespace koma
