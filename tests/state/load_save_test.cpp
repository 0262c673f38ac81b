#include "state/load_save.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <memory>

#include "compose/startup.h"
#include "platform/file_system.h"
#include "state/write_state.h"
#include "support/file_bytes.h"
#include "support/image_files.h"
#include "support/pixels.h"

namespace koma {
namespace {

using test::read_bytes;
using test::write_bytes;

class LoadSaveTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("bin")));
        model = make_model();
    }

    std::unique_ptr<EditingModel> make_model() {
        auto m = std::make_unique<EditingModel>(path(QStringLiteral("bin")));
        Form1_Load(*m);
        return m;
    }

    QString path(const QString& name) const { return dir.filePath(name); }

    // A copy of a hand-written state file in the temporary folder.
    QString golden(const QString& name) {
        const QString copy = path(name);
        QFile::remove(copy);
        EXPECT_TRUE(QFile::copy(QStringLiteral(KOMA_TEST_DATA "/state/") + name, copy));
        return copy;
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

    QTemporaryDir dir;
    std::unique_ptr<EditingModel> model;
};

TEST_F(LoadSaveTest, WriteThenReadRestoresEveryStoredValue) {
    EditingModel& m = *model;
    const QString background = path(QStringLiteral("back.bmp"));
    ASSERT_TRUE(test::solid(300, 120, qRgb(0, 0, 255)).save(background, "BMP"));
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("out")));
    m.slot_files[0] = background;
    m.adjust_x.set_value(37);
    m.adjust_y.set_value(-20);
    m.sc_bar.set_value(-7);
    m.pattern_anime.set_text(QStringLiteral("1a2b5"));
    const std::array<int16_t, 5> dx{0, -32768, 32767, 4, -1};
    const std::array<int16_t, 5> dy{3, 0, -2, 32767, -32768};
    for (int j = 0; j < 5; ++j) {
        m.step_dx[j] = dx[j];
        m.step_dy[j] = dy[j];
    }
    m.export_lists.set_path(path(QStringLiteral("out")));
    m.basename.set_text(QStringLiteral("歩く \"ねこ\", 2"));
    m.path_ref.caption = QStringLiteral("/some/where, else");
    m.bg_from_file = -1;
    m.bg_color = 0x123456;
    m.stage_width = 1000;
    m.stage_height = 2000;
    const QString file = path(QStringLiteral("all.pst"));
    ASSERT_TRUE(save(m, file).has_value());

    auto r = make_model();
    r->pattern_pos = 3;
    ASSERT_TRUE(load(*r, file).has_value());
    EXPECT_EQ(r->slot_files[0], background);
    EXPECT_EQ(r->pic[0].width_px(), 300);
    EXPECT_EQ(r->pic[0].pixel(5, 5), qRgb(0, 0, 255));
    EXPECT_EQ(r->adjust_x.value(), 37);
    EXPECT_EQ(r->adjust_y.value(), -20);
    EXPECT_EQ(r->sc_bar.value(), -7);
    EXPECT_EQ(r->pattern_anime.text(), "1a2b5");
    for (int j = 0; j < 5; ++j) {
        EXPECT_EQ(r->step_dx[j], dx[j]) << j;
        EXPECT_EQ(r->step_dy[j], dy[j]) << j;
    }
    EXPECT_EQ(r->export_lists.path(), path(QStringLiteral("out")));
    EXPECT_EQ(r->basename.text(), m.basename.text());
    EXPECT_EQ(r->path_ref.caption, m.path_ref.caption);
    EXPECT_EQ(r->bg_from_file, -1);
    EXPECT_EQ(r->bg_color, 0x123456u);
    EXPECT_EQ(r->stage_width, 1000);
    EXPECT_EQ(r->stage_height, 2000);
    EXPECT_EQ(r->pattern_pos, 3);
    EXPECT_EQ(r->adjust_mode, 0);
    // The stage takes slot 0's size and is cleared; the bars follow slot 0.
    EXPECT_EQ(r->win_main.width_px(), 300);
    EXPECT_EQ(r->win_main.height_px(), 120);
    EXPECT_EQ(r->win_main.pixel(5, 5), kWindowColour);
    EXPECT_EQ(r->adjust_x.max(), 300);
    EXPECT_EQ(r->adjust_x.min(), -60);
    EXPECT_EQ(r->adjust_y.max(), 120);
    EXPECT_EQ(r->adjust_y.min(), -120);
    // What was read writes back byte for byte.
    const QString again = path(QStringLiteral("again.pst"));
    ASSERT_TRUE(save(*r, again).has_value());
    EXPECT_EQ(read_bytes(again), read_bytes(file));
}

TEST_F(LoadSaveTest, StartUpStateWritesThirteenRecordsInUtf8) {
    const QString file = path(QStringLiteral("start.pst"));
    ASSERT_TRUE(save(*model, file).has_value());
    const QString home = path(QStringLiteral("bin"));
    QByteArray expected;
    for (int i = 0; i < 11; ++i) {
        expected += "\"\"\r\n";
    }
    expected += QStringLiteral("0,0,0,\"\",\"%1\",\"%2\",\"sample\",\"%2\"\r\n")
                    .arg(machine_file_system().root_of(home), home)
                    .toUtf8();
    expected += "#TRUE#,16777215,80,50\r\n";
    expected += "\"#KOMA#\",1,\"encoding=UTF-8\"\r\n";
    EXPECT_EQ(read_bytes(file), expected);
}

TEST_F(LoadSaveTest, OnlyThePatternsStepsAreWrittenAndTheRestReadBackAsZero) {
    model->pattern_anime.set_text(QStringLiteral("1234"));
    model->step_dx.fill(9);
    model->step_dy.fill(-9);
    const QString file = path(QStringLiteral("four.pst"));
    ASSERT_TRUE(save(*model, file).has_value());
    const QList<QByteArray> records = read_bytes(file).split('\n');
    // The last split is after the final line end, which closes the extension record.
    ASSERT_EQ(records.size(), 11 + 1 + 4 + 1 + 1 + 1);
    EXPECT_EQ(records[12], "9,-9\r");
    EXPECT_EQ(records[15], "9,-9\r");
    EXPECT_EQ(records[16], "#TRUE#,16777215,80,50\r");

    auto r = make_model();
    r->step_dx.fill(5);
    r->step_dy.fill(5);
    ASSERT_TRUE(load(*r, file).has_value());
    for (int j = 0; j < kMaxSteps; ++j) {
        EXPECT_EQ(r->step_dx[j], j < 4 ? 9 : 0) << j;
        EXPECT_EQ(r->step_dy[j], j < 4 ? -9 : 0) << j;
    }
}

TEST_F(LoadSaveTest, ReadsAFileWrittenOnWindowsWithItsImagesBesideIt) {
    const QString file = golden(QStringLiteral("windows_cp932.pst"));
    // Code page 932 bytes of "表示歩く" and CR LF line ends, as the file is stored.
    EXPECT_TRUE(read_bytes(file).contains(QByteArray::fromHex("955c8ea695e082ad22")));
    EXPECT_TRUE(read_bytes(file).endsWith("#TRUE#,16777215,80,50\r\n"));

    ASSERT_TRUE(test::solid(320, 100, qRgb(0, 0, 255)).save(path("back.bmp"), "BMP"));
    ASSERT_TRUE(test::solid(4, 3, qRgb(255, 255, 0)).save(path("walk1.png"), "PNG"));
    // A BMP named ".PNG" goes to the picture loader, which reads it; a BMP named ".png" goes to
    // the PNG loader, which refuses it.
    ASSERT_TRUE(test::solid(5, 2, qRgb(0, 255, 0)).save(path("walk2.PNG"), "BMP"));
    ASSERT_TRUE(test::solid(7, 7, qRgb(0, 255, 0)).save(path("walk3.png"), "BMP"));
    model->pic[3].fill(qRgb(255, 0, 255));
    model->slot_files[3] = QStringLiteral("kept.bmp");

    ASSERT_TRUE(load(*model, file).has_value());
    const EditingModel& m = *model;
    EXPECT_EQ(m.basename.text(), QStringLiteral("表示歩く"));
    EXPECT_EQ(m.slot_files[0], path("back.bmp"));
    EXPECT_EQ(m.slot_files[1], path("walk1.png"));
    EXPECT_EQ(m.slot_files[2], path("walk2.PNG"));
    EXPECT_EQ(m.pic[0].width_px(), 320);
    EXPECT_EQ(m.win_main.width_px(), 320);
    EXPECT_EQ(m.win_main.height_px(), 100);
    EXPECT_EQ(m.pic[1].width_px(), 4);
    EXPECT_EQ(m.pic[1].pixel(3, 2), qRgb(255, 255, 0));
    EXPECT_EQ(m.pic[2].width_px(), 5);
    EXPECT_EQ(m.pic[2].pixel(4, 1), qRgb(0, 255, 0));
    // The slot whose file does not load is empty, as the command line has it, and keeps the
    // path for a later SAVE.
    EXPECT_EQ(m.slot_files[3], path("walk3.png"));
    EXPECT_TRUE(m.pic[3] == blank_slot_surface(3));
    EXPECT_EQ(m.adjust_x.value(), -5);
    EXPECT_EQ(m.adjust_y.value(), 12);
    EXPECT_EQ(m.sc_bar.value(), 3);
    EXPECT_EQ(m.pattern_anime.text(), "1212");
    EXPECT_EQ(m.step_dx[1], 3);
    EXPECT_EQ(m.step_dy[1], -2);
    EXPECT_EQ(m.step_dx[3], -1);
    EXPECT_EQ(m.step_dy[3], 4);
    EXPECT_EQ(m.path_ref.caption, "C:\\anime");
    // "C:\anime\out" is no folder here: the export lists go to the state file's folder.
    EXPECT_EQ(m.export_lists.path(), dir.path());
    EXPECT_EQ(m.export_lists.drive(), machine_file_system().root_of(dir.path()));
    EXPECT_EQ(m.bg_from_file, -1);
    EXPECT_EQ(m.bg_color, 0xFFFFFFu);
}

TEST_F(LoadSaveTest, AFileEndingAfterPartTwoClearsTheDeltasAndKeepsTheBackgroundValues) {
    model->step_dx[0] = 4;
    model->step_dy[50] = 4;
    model->bg_from_file = 0;
    model->bg_color = 0x112233;
    model->stage_width = 300;
    model->stage_height = 450;
    ASSERT_TRUE(load(*model, golden(QStringLiteral("parts_1_and_2.pst"))).has_value());
    EXPECT_EQ(model->adjust_x.value(), 7);
    EXPECT_EQ(model->adjust_y.value(), -3);
    EXPECT_EQ(model->sc_bar.value(), 2);
    EXPECT_EQ(model->basename.text(), "parts");
    EXPECT_EQ(model->path_ref.caption, "/nonexistent/koma");
    EXPECT_EQ(model->step_dx[0], 0);
    EXPECT_EQ(model->step_dy[50], 0);
    EXPECT_EQ(model->bg_from_file, 0);
    EXPECT_EQ(model->bg_color, 0x112233u);
    EXPECT_EQ(model->stage_width, 300);
    EXPECT_EQ(model->stage_height, 450);
}

TEST_F(LoadSaveTest, AnEmptyPatternSkipsPartThreeAndReadsPartFour) {
    ASSERT_TRUE(load(*model, golden(QStringLiteral("empty_pattern.pst"))).has_value());
    EXPECT_EQ(model->pattern_anime.text(), "");
    EXPECT_EQ(model->bg_from_file, 0);
    EXPECT_EQ(model->bg_color, 0x00FF00u);
    EXPECT_EQ(model->pic[0].width_px(), 100);
    EXPECT_EQ(model->pic[0].height_px(), 50);
    EXPECT_EQ(model->pic[0].pixel(99, 49), qRgb(0, 255, 0));
    EXPECT_EQ(model->basename.text(), "empty");
}

TEST_F(LoadSaveTest, APlainBackgroundIsRebuiltAndTheStageTakesItsSize) {
    ASSERT_TRUE(load(*model, golden(QStringLiteral("plain_background.pst"))).has_value());
    const EditingModel& m = *model;
    EXPECT_EQ(m.pic[0].width_twips(), 4800);
    EXPECT_EQ(m.pic[0].height_twips(), 1500);
    EXPECT_EQ(m.pic[0].width_px(), 320);
    EXPECT_EQ(m.pic[0].height_px(), 100);
    EXPECT_EQ(m.pic[0].pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(m.pic[0].pixel(319, 99), qRgb(255, 0, 0));
    EXPECT_EQ(m.win_main.width_twips(), 4800);
    EXPECT_EQ(m.win_main.height_twips(), 1500);
    // The bar ranges were fitted to slot 0 before the plain background was built.
    EXPECT_EQ(m.adjust_x.max(), 462);
    EXPECT_EQ(m.adjust_y.min(), -110);
    EXPECT_EQ(m.step_dx[1], 3);
    EXPECT_EQ(m.step_dy[1], -2);
}

TEST_F(LoadSaveTest, ABackgroundFromAFileKeepsSlotZeroAsTheSlotsLeftIt) {
    model->bg_from_file = 0;
    model->pic[0].resize_pixels(200, 30);
    const QString file = path(QStringLiteral("file_bg.pst"));
    auto writer = make_model();
    writer->bg_color = 255;
    writer->stage_width = 4800;
    writer->stage_height = 1500;
    ASSERT_TRUE(save(*writer, file).has_value());
    ASSERT_TRUE(load(*model, file).has_value());
    EXPECT_EQ(model->bg_from_file, -1);
    EXPECT_EQ(model->bg_color, 255u);
    EXPECT_EQ(model->stage_width, 4800);
    // The file names no background image: slot 0 is the empty start-up slot after the slots
    // are read, and keeps that size; the part 4 sizes are not used.
    EXPECT_TRUE(model->pic[0] == blank_slot_surface(0));
    EXPECT_EQ(model->win_main.width_px(), model->pic[0].width_px());
    EXPECT_EQ(model->win_main.height_px(), model->pic[0].height_px());
    EXPECT_NE(model->pic[0].width_px(), 320);
}

// A project read over another must not keep the other's pictures in the slots it leaves
// empty: the window then makes the same animation from the file as the command line.
TEST_F(LoadSaveTest, ASlotTheFileLeavesEmptyIsEmptyAfterTheRead) {
    const QString file = path(QStringLiteral("no_foreground.pst"));
    ASSERT_TRUE(save(*make_model(), file).has_value());
    model->pic[10].set_picture(test::solid(5, 3, qRgb(1, 2, 3)));
    model->slot_files[10] = path(QStringLiteral("other/grass.png"));
    model->pic[4].set_picture(test::solid(2, 2, qRgb(4, 5, 6)));
    model->slot_files[4] = path(QStringLiteral("other/walk4.png"));
    ASSERT_TRUE(load(*model, file).has_value());
    for (int slot : {4, 10}) {
        EXPECT_TRUE(model->slot_files[slot].isEmpty()) << slot;
        EXPECT_TRUE(model->pic[slot] == blank_slot_surface(slot)) << slot;
    }
}

TEST_F(LoadSaveTest, ChangeHandlersRunInTheOrderOfReadingWithTheAdjustViewOff) {
    const QString file = path(QStringLiteral("order.pst"));
    auto writer = make_model();
    writer->adjust_x.set_value(5);
    writer->adjust_y.set_value(6);
    writer->sc_bar.set_value(7);
    writer->pattern_anime.set_text(QStringLiteral("12"));
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("out")));
    writer->export_lists.set_path(path(QStringLiteral("out")));
    writer->basename.set_text(QStringLiteral("walk"));
    ASSERT_TRUE(save(*writer, file).has_value());

    QStringList events;
    EditingModel& m = *model;
    m.adjust_mode = 1;
    m.adjust_x.on_change = [&] { events << QStringLiteral("adjust_x:%1").arg(m.adjust_mode); };
    m.adjust_y.on_change = [&] { events << QStringLiteral("adjust_y"); };
    m.sc_bar.on_change = [&] { events << QStringLiteral("sc_bar"); };
    m.pattern_anime.on_change = [&] { events << QStringLiteral("pattern"); };
    m.export_lists.on_folder_change = [&] { events << QStringLiteral("folder"); };
    m.basename.on_change = [&] { events << QStringLiteral("basename"); };
    ASSERT_TRUE(load(m, file).has_value());
    events.removeDuplicates();
    EXPECT_EQ(events,
              QStringList({"adjust_x:0", "adjust_y", "sc_bar", "pattern", "folder", "basename"}));
}

TEST_F(LoadSaveTest, NothingHappensForAMissingFileOrAnotherMode) {
    model->basename.set_text(QStringLiteral("mine"));
    EXPECT_TRUE(load(*model, path(QStringLiteral("missing.pst"))).has_value());
    EXPECT_EQ(model->basename.text(), "mine");
    EXPECT_EQ(model->win_main.width_px(), 462);

    model->state_mode = 0;
    model->work_path = path(QStringLiteral("never.pst"));
    EXPECT_TRUE(load_save(*model).has_value());
    EXPECT_FALSE(QFile::exists(model->work_path));
}

TEST_F(LoadSaveTest, ASlotPathThatNamesNoFileIsTriedInTheStateFilesOwnFolder) {
    QDir root(dir.path());
    ASSERT_TRUE(root.mkpath(QStringLiteral("project")));
    const QString frame = path(QStringLiteral("project/frame.bmp"));
    ASSERT_TRUE(test::solid(6, 4, qRgb(255, 0, 0)).save(frame, "BMP"));
    model->slot_files[5] = frame;
    // A path with two separators in a row, as picked at the top of a drive.
    model->slot_files[6] = path(QStringLiteral("project//frame.bmp"));
    model->slot_files[7] = path(QStringLiteral("project/nowhere.bmp"));
    ASSERT_TRUE(save(*model, path(QStringLiteral("project/state.pst"))).has_value());
    ASSERT_TRUE(root.rename(QStringLiteral("project"), QStringLiteral("moved")));

    auto r = make_model();
    r->slot_files[7] = QStringLiteral("kept");
    ASSERT_TRUE(load(*r, path(QStringLiteral("moved/state.pst"))).has_value());
    const QString moved = path(QStringLiteral("moved/frame.bmp"));
    EXPECT_EQ(r->slot_files[5], moved);
    EXPECT_EQ(r->slot_files[6], moved);
    EXPECT_EQ(r->pic[5].width_px(), 6);
    EXPECT_EQ(r->pic[6].pixel(5, 3), qRgb(255, 0, 0));
    EXPECT_EQ(r->slot_files[7], path(QStringLiteral("project/nowhere.bmp")));
    EXPECT_TRUE(r->pic[7] == blank_slot_surface(7));
}

TEST_F(LoadSaveTest, ASlotFileThatDoesNotDecodeEmptiesTheSlotAndReadingGoesOn) {
    write_bytes(path("broken.bmp"), "BM not really a bitmap");
    // The PNG signature followed by junk: the loader sizes the slot, the decoder fails.
    write_bytes(path("broken.png"), QByteArray::fromHex("89504e470d0a1a0a") +
                                        QByteArray::fromHex("0000000d4948445200000064000000c8") +
                                        QByteArray("junk"));
    auto writer = make_model();
    writer->slot_files[1] = path("broken.bmp");
    writer->slot_files[2] = path("broken.png");
    writer->pattern_anime.set_text(QStringLiteral("99"));
    ASSERT_TRUE(save(*writer, path("broken.pst")).has_value());

    model->pic[2].fill(qRgb(0, 255, 255));
    ASSERT_TRUE(load(*model, path("broken.pst")).has_value());
    EXPECT_EQ(model->slot_files[1], path("broken.bmp"));
    EXPECT_EQ(model->slot_files[2], path("broken.png"));
    EXPECT_TRUE(model->pic[1] == blank_slot_surface(1));
    EXPECT_TRUE(model->pic[2] == blank_slot_surface(2));
    EXPECT_EQ(model->pattern_anime.text(), "99");
}

TEST_F(LoadSaveTest, BmpSlotFilesAreDecodedByOurDecoder) {
    // An RLE8 frame whose codes skip pixels, and a 5-6-5 frame: skipped pixels take palette
    // entry 0 and full channels read 255.
    test::BmpRecipe rle;
    rle.width = 3;
    rle.bits = 8;
    rle.compression = 1;
    rle.palette = {qRgb(0, 0, 255), qRgb(255, 0, 0)};
    rle.pixels = QByteArray("\x00\x02\x02\x00\x01\x01\x00\x01", 8);
    ASSERT_TRUE(test::write_file(path("rle.bmp"), test::build_bmp(rle)));
    test::BmpRecipe fields;
    fields.width = 2;
    fields.bits = 16;
    fields.compression = 3;
    fields.masks = {0xF800, 0x07E0, 0x001F};
    fields.sample = [](int x, int) { return x == 0 ? 0xFFFFu : 0x07E0u; };
    ASSERT_TRUE(test::write_file(path("565.bmp"), test::build_bmp(fields)));

    auto writer = make_model();
    writer->slot_files[1] = path("rle.bmp");
    writer->slot_files[2] = path("565.bmp");
    ASSERT_TRUE(save(*writer, path("bmp.pst")).has_value());
    ASSERT_TRUE(load(*model, path("bmp.pst")).has_value());
    EXPECT_EQ(model->slot_files[1], path("rle.bmp"));
    EXPECT_EQ(test::row_of(model->pic[1].image(), 0), "BBR");
    EXPECT_EQ(test::row_of(model->pic[2].image(), 0), "WG");
}

TEST_F(LoadSaveTest, OutOfRangeBarValuesAreLimitedAndLongPatternsCutTo91) {
    QByteArray text;
    for (int i = 0; i < 11; ++i) {
        text += "\"\"\r\n";
    }
    text += "-32768,32767,15,\"" + QByteArray(100, '1') + "\",\"/\",\"/\",\"b\",\"/\"\r\n";
    for (int j = 0; j < 91; ++j) {
        text += QByteArray::number(j) + ",-1\r\n";
    }
    text += "#TRUE#,0,15,15\r\n";
    write_bytes(path("long.pst"), text);
    ASSERT_TRUE(load(*model, path("long.pst")).has_value());
    EXPECT_EQ(model->adjust_x.value(), -60);
    EXPECT_EQ(model->adjust_y.value(), 110);
    EXPECT_EQ(model->pattern_anime.text(), QString(91, QLatin1Char('1')));
    EXPECT_EQ(model->step_dx[90], 90);
    EXPECT_EQ(model->bg_color, 0u);
}

// Damaged files: reading stops at the bad item with a message naming its line, and what was
// restored before it stays.
TEST_F(LoadSaveTest, DamagedFilesStopAtTheBadItemAndKeepWhatWasRestored) {
    const QByteArray slot_records = QByteArray("\"\"\r\n").repeated(11);
    const QByteArray part2 = "4,5,6,\"123\",\"/\",\"/nonexistent\",\"dam\",\"/p\"\r\n";
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* line;  // empty when no line is named
        int restored_dx1;  // step_dx[1] afterwards
        bool part2_restored;
    };
    const QByteArray junk = QByteArray::fromHex("00ff10feff00e3812c2c22ff") + QByteArray(64, '\0');
    const Case cases[] = {
        {"empty", QByteArray(), "1 行目", 0, false},
        {"binary junk", junk, "", 0, false},
        {"a million commas", QByteArray(1'000'000, ','), "1 行目", 0, false},
        {"quote never closed", slot_records + "4,5,6,\"123\",\"/\",\"/nonexistent\",\"dam\r\n",
         "12 行目", 0, false},
        {"ends inside part 3", slot_records + part2 + "0,0\r\n7,7\r\n", "15 行目", 7, true},
        {"text for a number", slot_records + part2 + "0,0\r\n8,x\r\n", "14 行目", 8, true},
        {"huge number", slot_records + "99999,5,6,\"1\",\"/\",\"/\",\"d\",\"/\"\r\n", "12 行目", 0,
         false},
        {"#TRUE without its #", slot_records + part2 + "0,0\r\n1,1\r\n2,2\r\n#TRUE,1,1,1\r\n",
         "16 行目", 1, true},
        {"no stage size", slot_records + part2 + "0,0\r\n1,1\r\n2,2\r\n#FALSE#,1,,1\r\n", "16 行目",
         1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto m = make_model();
        m->step_dx[1] = 99;
        const QString file = path(QStringLiteral("damaged.pst"));
        write_bytes(file, c.bytes);
        auto result = load(*m, file);
        ASSERT_FALSE(result.has_value());
        EXPECT_TRUE(result.error().contains(file));
        EXPECT_TRUE(result.error().contains(QString::fromUtf8(c.line)))
            << result.error().toStdString();
        EXPECT_EQ(m->adjust_x.value(), c.part2_restored ? 4 : 0);
        EXPECT_EQ(m->basename.text(), "sample");
        EXPECT_EQ(m->bg_from_file, -1);
        EXPECT_EQ(m->bg_color, 0xFFFFFFu);
        EXPECT_EQ(m->step_dx[1], c.part2_restored ? c.restored_dx1 : 99);
        EXPECT_EQ(m->win_main.width_px(), 462);
    }
}

TEST_F(LoadSaveTest, AFileThatStopsAfterANewBackgroundStillFitsTheStageToIt) {
    ASSERT_TRUE(test::solid(40, 20, qRgb(0, 0, 255)).save(path("bg.bmp"), "BMP"));
    write_bytes(path("cut.pst"), "\"" + path("bg.bmp").toUtf8() + "\"\r\n\"\"\r\n");
    ASSERT_FALSE(load(*model, path("cut.pst")).has_value());
    EXPECT_EQ(model->slot_files[0], path("bg.bmp"));
    EXPECT_EQ(model->win_main.width_px(), 40);
    EXPECT_EQ(model->adjust_x.max(), 40);
    EXPECT_EQ(model->adjust_y.min(), -20);
}

TEST_F(LoadSaveTest, AFolderIsRefusedWithAMessageBothWays) {
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("folder.pst")));
    auto read = load(*model, path("folder.pst"));
    ASSERT_FALSE(read.has_value());
    EXPECT_TRUE(read.error().contains(QStringLiteral("フォルダ")));
    auto write = save(*model, path("folder.pst"));
    ASSERT_FALSE(write.has_value());
    EXPECT_TRUE(QFileInfo(path("folder.pst")).isDir());
}

TEST_F(LoadSaveTest, AnUnreadableFileIsRefusedWithAMessage) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "file permissions do not bind the super-user";
    }
    write_bytes(path("locked.pst"), "\"\"\r\n");
    QFile::setPermissions(path("locked.pst"), QFileDevice::WriteOwner);
    EXPECT_FALSE(load(*model, path("locked.pst")).has_value());
}

TEST_F(LoadSaveTest, AFailingWriteLeavesTheOldFileByteForByte) {
    const QString file = path(QStringLiteral("keep.pst"));
    const QByteArray old = "\"old\"\r\n";
    write_bytes(file, old);
    model->pattern_anime.set_text(QString(91, QLatin1Char('1')));

    // A file size limit makes the write of the new file fail part way, for any user.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previous_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 200;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    auto result = save(*model, file);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous_handler);

    ASSERT_FALSE(result.has_value());
    EXPECT_TRUE(result.error().contains(file));
    EXPECT_EQ(read_bytes(file), old);
    // No temporary file is left behind.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"keep.pst"});
}

TEST_F(LoadSaveTest, AWriteIntoAMissingFolderFailsWithAMessage) {
    auto result = save(*model, path(QStringLiteral("no/such/folder/a.pst")));
    ASSERT_FALSE(result.has_value());
    EXPECT_FALSE(result.error().isEmpty());
}

}  // namespace
}  // namespace koma
