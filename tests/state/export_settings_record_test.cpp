#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "compose/startup.h"
#include "export/output_format.h"
#include "state/extension_record.h"
#include "state/load_save.h"
#include "state/state_codec.h"
#include "state/write_state.h"
#include "support/file_bytes.h"

namespace koma {
namespace {

using test::read_bytes;
using test::write_bytes;

/// The items of the extension record written for `model`, after the tag and the version.
QStringList record_items(const EditingModel& model) {
    const StateBytes parts = split_extension_record(state_text(model).toUtf8());
    QStringList items;
    if (parts.record) {
        for (const auto& [key, value] : parts.record->items) {
            items << key + "=" + value;
        }
    }
    return items;
}

class ExportSettingsRecordTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    std::unique_ptr<EditingModel> make_model() {
        auto m = std::make_unique<EditingModel>(dir.path());
        Form1_Load(*m);
        return m;
    }
    std::expected<void, QString> save(EditingModel& m, const QString& file) {
        m.work_path = file;
        m.state_mode = 2;
        return load_save(m);
    }
    std::expected<void, QString> load(EditingModel& m, const QString& file) {
        m.work_path = file;
        m.state_mode = 1;
        return load_save(m);
    }
    /// A model whose settings are far from the defaults, to see a read replace them.
    std::unique_ptr<EditingModel> changed_model() {
        auto m = make_model();
        m->export_settings = {OutputFormat::Webp, 33, 9, true};
        return m;
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    QString golden(const QString& name) const {
        return QStringLiteral(KOMA_TEST_DATA "/state/") + name;
    }

    QTemporaryDir dir;
};

// What is written.

TEST_F(ExportSettingsRecordTest, OnlySettingsThatAreNotDefaultsAreWritten) {
    auto m = make_model();
    output_GIF_Click(*m);  // the buttons' formats are not the project's
    EXPECT_EQ(record_items(*m), QStringList{"encoding=UTF-8"});
    m->export_settings = {OutputFormat::Apng, 40, 3, true};
    EXPECT_EQ(record_items(*m), (QStringList{"encoding=UTF-8", "format=apng", "frame_ms=40",
                                             "loop=3", "transparent=1"}));
    m->export_settings = {OutputFormat::Png, 80, 0, false};
    EXPECT_EQ(record_items(*m), (QStringList{"encoding=UTF-8", "format=png"}));
}

TEST_F(ExportSettingsRecordTest, AReaderThatStopsAfterTheBackgroundNeverSeesTheSettings) {
    auto m = make_model();
    m->pattern_anime.set_text(QStringLiteral("121"));
    m->export_settings = {OutputFormat::Webp, 120, 2, true};
    ItemReader in(state_text(*m));
    for (int i = 0; i < 11 + 8 + 3 * 2; ++i) {
        ASSERT_TRUE(in.read_string().has_value()) << "item " << i;
    }
    EXPECT_EQ(in.read_bool().value(), true);
    EXPECT_EQ(in.read_int(0, 0xFFFFFF).value(), 0xFFFFFF);
    EXPECT_EQ(in.read_int16().value(), 80);
    EXPECT_EQ(in.read_int16().value(), 50);
    EXPECT_EQ(in.read_string().value(), "#KOMA#");
}

// What is read.

TEST_F(ExportSettingsRecordTest, SettingsRoundTripThroughAStateFile) {
    auto written = make_model();
    written->pattern_anime.set_text(QStringLiteral("12"));
    written->export_settings = {OutputFormat::Apng, 45, 7, true};
    const QString file = path(QStringLiteral("settings.pst"));
    ASSERT_TRUE(save(*written, file));

    auto r = make_model();
    ASSERT_TRUE(load(*r, file));
    EXPECT_EQ(format_in_force(*r), OutputFormat::Apng);
    EXPECT_EQ(r->export_settings.frame_ms, 45);
    EXPECT_EQ(r->export_settings.loop_count, 7);
    EXPECT_TRUE(r->export_settings.transparent);
    EXPECT_EQ(r->pattern_anime.text(), "12");

    // Saved again, the file is the same.
    const QString again = path(QStringLiteral("again.pst"));
    ASSERT_TRUE(save(*r, again));
    EXPECT_EQ(read_bytes(again), read_bytes(file));
}

TEST_F(ExportSettingsRecordTest, ReadingKeepsTheFormatButtonsChoice) {
    const QString file = path(QStringLiteral("defaults.pst"));
    ASSERT_TRUE(save(*make_model(), file));
    auto r = changed_model();
    output_GIF_Click(*r);
    r->export_settings.extra_format = OutputFormat::Png;
    ASSERT_TRUE(load(*r, file));
    EXPECT_EQ(r->gif_mode, -1);
    EXPECT_EQ(format_in_force(*r), OutputFormat::Gif);
    EXPECT_EQ(r->export_settings.extra_format, OutputFormat::Gif);
}

TEST_F(ExportSettingsRecordTest, APlayingPreviewGoesOnAtTheFrameTimeRead) {
    auto written = make_model();
    written->export_settings.frame_ms = 150;
    const QString file = path(QStringLiteral("slow.pst"));
    ASSERT_TRUE(save(*written, file));
    auto r = make_model();
    r->timer1_interval = 80;
    ASSERT_TRUE(load(*r, file));
    EXPECT_EQ(r->timer1_interval, 150);
}

TEST_F(ExportSettingsRecordTest, FilesWithoutTheRecordReadWithTheDefaults) {
    for (const char* name :
         {"empty_pattern.pst", "parts_1_and_2.pst", "plain_background.pst", "windows_cp932.pst"}) {
        auto r = changed_model();
        ASSERT_TRUE(load(*r, golden(QString::fromLatin1(name)))) << name;
        EXPECT_EQ(format_in_force(*r), OutputFormat::Bmp) << name;
        EXPECT_EQ(r->export_settings.frame_ms, 80) << name;
        EXPECT_EQ(r->export_settings.loop_count, 0) << name;
        EXPECT_FALSE(r->export_settings.transparent) << name;
    }
}

TEST_F(ExportSettingsRecordTest, ARecordAfterAGoldenFileChangesNothingButTheSettings) {
    const QByteArray parts = read_bytes(golden(QStringLiteral("plain_background.pst")));
    const QString plain = path(QStringLiteral("plain.pst"));
    const QString with_record = path(QStringLiteral("with_record.pst"));
    write_bytes(plain, parts);
    write_bytes(with_record,
                parts + "\"#KOMA#\",1,\"encoding=UTF-8\",\"format=png\",\"frame_ms=60\"\r\n");

    auto a = make_model();
    auto b = make_model();
    ASSERT_TRUE(load(*a, plain));
    ASSERT_TRUE(load(*b, with_record));
    EXPECT_EQ(state_text(*a).section(QStringLiteral("\"#KOMA#\""), 0, 0),
              state_text(*b).section(QStringLiteral("\"#KOMA#\""), 0, 0));
    EXPECT_EQ(b->pic[0].image(), a->pic[0].image());
    EXPECT_EQ(b->export_settings.extra_format, OutputFormat::Png);
    EXPECT_EQ(b->export_settings.frame_ms, 60);
    EXPECT_EQ(a->export_settings.frame_ms, 80);
}

TEST_F(ExportSettingsRecordTest, ABadValueOfOneKeyIsIgnoredAndTheOthersAreTaken) {
    struct Case {
        const char* items;
        ExportSettings expected;
    };
    const Case cases[] = {
        {"\"frame_ms=abc\",\"loop=4\"", {OutputFormat::Bmp, 80, 4, false}},
        {"\"frame_ms=19\",\"transparent=1\"", {OutputFormat::Bmp, 80, 0, true}},
        {"\"frame_ms=65536\",\"format=webp\"", {OutputFormat::Webp, 80, 0, false}},
        {"\"frame_ms=\",\"loop=-1\",\"format=APNG\"", {OutputFormat::Apng, 80, 0, false}},
        {"\"loop=65536\",\"frame_ms=20\"", {OutputFormat::Bmp, 20, 0, false}},
        {"\"loop=2x\",\"transparent=yes\",\"format=gif\"", {OutputFormat::Bmp, 80, 0, false}},
        {"\"format=jpeg\",\"transparent\",\"loop=1\"", {OutputFormat::Bmp, 80, 1, false}},
        // The last of two items with one key counts; unknown keys are no error.
        {"\"frame_ms=30\",\"frame_ms=50\",\"future=1\"", {OutputFormat::Bmp, 50, 0, false}},
    };
    const QByteArray parts = read_bytes(golden(QStringLiteral("empty_pattern.pst")));
    for (const Case& c : cases) {
        const QString file = path(QStringLiteral("case.pst"));
        write_bytes(file, parts + "\"#KOMA#\",1,\"encoding=UTF-8\"," + c.items + "\r\n");
        auto r = changed_model();
        const auto read = load(*r, file);
        ASSERT_TRUE(read) << c.items << ": " << read.error().toStdString();
        EXPECT_EQ(r->export_settings.extra_format, c.expected.extra_format) << c.items;
        EXPECT_EQ(r->export_settings.frame_ms, c.expected.frame_ms) << c.items;
        EXPECT_EQ(r->export_settings.loop_count, c.expected.loop_count) << c.items;
        EXPECT_EQ(r->export_settings.transparent, c.expected.transparent) << c.items;
        EXPECT_EQ(r->basename.text(), "empty") << c.items;
    }
}

TEST_F(ExportSettingsRecordTest, TheEffortIsWrittenOnlyAtMaxAndReadBack) {
    auto m = make_model();
    m->export_settings.effort = CodingEffort::Max;
    EXPECT_EQ(record_items(*m), (QStringList{"encoding=UTF-8", "effort=max"}));
    ASSERT_TRUE(save(*m, path("max.pst")));
    auto read = changed_model();
    ASSERT_TRUE(load(*read, path("max.pst")));
    EXPECT_EQ(read->export_settings.effort, CodingEffort::Max);

    // Anything else reads as the default, as does a file without the key.
    QByteArray bytes = read_bytes(path("max.pst"));
    bytes.replace("effort=max", "effort=most");
    write_bytes(path("most.pst"), bytes);
    ASSERT_TRUE(load(*read, path("most.pst")));
    EXPECT_EQ(read->export_settings.effort, CodingEffort::Default);
}

TEST_F(ExportSettingsRecordTest, EveryKeyTogetherKeepsItsPlaceAndReadsBack) {
    auto m = make_model();
    m->export_settings = {OutputFormat::Apng, 40, 3, true, CodingEffort::Max};
    m->step_ms[1] = 120;
    m->project.direction = PlayDirection::PingPong;
    EXPECT_EQ(record_items(*m),
              (QStringList{"encoding=UTF-8", "format=apng", "frame_ms=40", "loop=3",
                           "transparent=1", "step_ms=0 120", "direction=pingpong", "effort=max"}));
    ASSERT_TRUE(save(*m, path("all.pst")));
    auto read = changed_model();
    ASSERT_TRUE(load(*read, path("all.pst")));
    EXPECT_EQ(read->export_settings, m->export_settings);
    EXPECT_EQ(read->step_ms, m->step_ms);
    EXPECT_EQ(read->project.direction, PlayDirection::PingPong);
}

TEST_F(ExportSettingsRecordTest, TheMemoryBudgetIsWrittenOnlyWhenNotTheDefault) {
    auto m = make_model();
    EXPECT_FALSE(record_items(*m).join(' ').contains("memory_limit"));
    m->export_settings.memory_limit_mb = 300;
    EXPECT_TRUE(record_items(*m).contains("memory_limit=300"));
    ASSERT_TRUE(save(*m, path("budget.pst")));
    auto r = make_model();
    ASSERT_TRUE(load(*r, path("budget.pst")));
    EXPECT_EQ(r->export_settings.memory_limit_mb, 300);
    // A value out of range reads as the default.
    QByteArray bytes = read_bytes(path("budget.pst"));
    bytes.replace("memory_limit=300", "memory_limit=0");
    write_bytes(path("budget.pst"), bytes);
    ASSERT_TRUE(load(*r, path("budget.pst")));
    EXPECT_EQ(r->export_settings.memory_limit_mb, 2048);
}

}  // namespace
}  // namespace koma
