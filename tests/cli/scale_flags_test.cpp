#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include "cli/batch_export.h"
#include "compose/startup.h"
#include "state/load_save.h"
#include "support/koma_process.h"
#include "support/pixels.h"

namespace koma {
namespace {

std::expected<ExportRequest, QString> parse(const QStringList& options) {
    return parse_export_arguments(QStringList{"state.pst"} + options);
}

TEST(ScaleFlags, ScaleColumnsAndQualityAreReadAndCheckedForRangeAndFormat) {
    const auto all =
        parse({"--format", "WebM", "--scale=3", "--sheet-columns", "5", "--quality", "0"});
    ASSERT_TRUE(all) << all.error().toStdString();
    EXPECT_EQ(all->format, OutputFormat::Webm);
    EXPECT_EQ(all->scale, 3);
    EXPECT_EQ(all->sheet_columns, 5);
    EXPECT_EQ(all->quality, 0);
    EXPECT_EQ(parse({"--format", "sheet"})->format, OutputFormat::Sheet);
    EXPECT_EQ(parse({"--format", "avif"})->format, OutputFormat::Avif);
    EXPECT_EQ(parse({"--format", "mp4", "--quality", "100"})->quality, 100);

    const std::vector<std::pair<QStringList, QString>> refused = {
        {{"--scale", "9"}, "--scale must be a whole number from 1 to 8, not \"9\""},
        {{"--scale", "0"}, "--scale must be a whole number from 1 to 8, not \"0\""},
        {{"--scale", "2", "--scale", "2"}, "--scale given twice"},
        {{"--sheet-columns", "0"},
         "--sheet-columns must be a whole number from 1 to 180, not \"0\""},
        {{"--quality", "101"}, "--quality must be a whole number from 0 to 100, not \"101\""},
        {{"--format", "gif", "--quality", "50"},
         "--quality applies to mp4 and webm only; --format gif is lossless"},
        {{"--format", "movie"},
         "--format must be bmp, gif, png, apng, webp, avif, mp4, webm or sheet, not \"movie\""},
    };
    for (const auto& [options, message] : refused) {
        const auto request = parse(options);
        ASSERT_FALSE(request) << options.join(' ').toStdString();
        EXPECT_EQ(request.error(), message);
    }
}

// A state file whose background is `width` x 3 pixels, pattern "11", base name "walk", export
// folder "saved".
class ScaleCommandTest : public ::testing::Test {
  protected:
    void make_state(int width) {
        ASSERT_TRUE(dir.isValid());
        QDir(dir.path()).mkpath(QStringLiteral("saved"));
        ASSERT_TRUE(test::solid(width, 3, 0xFF204060u).save(dir.filePath("bg.png")));
        ASSERT_TRUE(test::from_rows({"MRK", "MRM"}).save(dir.filePath("one.png")));
        EditingModel m(dir.path());
        Form1_Load(m);
        m.work_path = dir.filePath("state.pst");
        m.slot_files[0] = dir.filePath("bg.png");
        m.slot_files[1] = dir.filePath("one.png");
        m.pattern_anime.set_text(QStringLiteral("11"));
        m.basename.set_text(QStringLiteral("walk"));
        m.export_lists.set_path(dir.filePath("saved"));
        m.state_mode = 2;
        ASSERT_TRUE(load_save(m).has_value());
    }
    test::KomaRun koma_export(const QStringList& options) {
        return test::run_koma_binary(QStringList{"export", dir.filePath("state.pst")} + options,
                                     dir.path());
    }
    QStringList saved() const {
        return QDir(dir.filePath("saved")).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    QTemporaryDir dir;
};

TEST_F(ScaleCommandTest, AScaleTooLargeFailsNamingTheLargestThatFitsAndWritesNothing) {
    make_state(3000);
    const auto run = koma_export({"--format", "gif", "--scale", "8"});
    EXPECT_EQ(run.code, 3);
    EXPECT_EQ(run.err,
              "koma: cannot export: at scale 8 the image would be 24000 x 24 pixels, more than "
              "16384 pixels a side or 256 MiB; the largest scale that fits is 5\n");
    EXPECT_TRUE(saved().isEmpty());
    // A quality for a format taken from the state file is said to be of no use, not refused.
    const auto bmp = koma_export({"--quality", "50"});
    EXPECT_EQ(bmp.code, 0);
    EXPECT_EQ(bmp.err,
              "koma: note: --quality applies to mp4 and webm only; this format is "
              "lossless and ignores it\n");
}

}  // namespace
}  // namespace koma
