#include "import/picker_model.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>

#include "compose/install_handlers.h"
#include "model/edit_history.h"
#include "support/fake_file_system.h"
#include "support/fine_adjust_checks.h"
#include "support/image_files.h"
#include "support/pixels.h"

namespace koma {
namespace {

int index_of(const PickerModel& picker, const QString& name) {
    return static_cast<int>(picker.File1.names().indexOf(name));
}

// The picker over a real temporary folder, as the files are really loaded.
class PickerOnDisk : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(test::write_file(dir.filePath("bg.PNG"),
                                     test::encoded(test::solid(320, 240, qRgb(0, 255, 0)), "png")));
        ASSERT_TRUE(test::write_file(
            dir.filePath("rg.bmp"),
            test::build_bmp(2, 1, 24, 0, {}, QByteArray("\x00\x00\xff\x00\xff\x00\x00\x00", 8))));
        ASSERT_TRUE(
            test::write_file(dir.filePath("fake.png"),
                             test::build_bmp(1, 1, 24, 0, {}, QByteArray("\xff\x00\x00\x00", 4))));
        ASSERT_TRUE(test::write_file(dir.filePath("broken.bmp"), QByteArray("BMnonsense")));
        model.path_ref.caption = dir.path();
        picker.Form2_Load();
    }
    QTemporaryDir dir;
    EditingModel model{QDir::currentPath()};
    PickerModel picker{model};
};

TEST_F(PickerOnDisk, LoadStartsAtPathRefWithTheBmpFilterAndTheSlotNames) {
    EXPECT_TRUE(model.picker_open);
    EXPECT_EQ(picker.lists.path(), dir.path());
    EXPECT_EQ(model.path_ref.caption, dir.path());
    EXPECT_EQ(picker.Combo1_text, "*.BMP");
    EXPECT_EQ(picker.Combo1_items, QStringList({"*.BMP", "*.JPG", "*.PNG"}));
    EXPECT_EQ(picker.File1.names(), QStringList({"broken.bmp", "rg.bmp"}));
    EXPECT_EQ(model.slot_names[0], "背景");
    EXPECT_EQ(model.slot_names[3], "パターン３");
    EXPECT_EQ(model.slot_names[10], "前景");
}

TEST_F(PickerOnDisk, SlotSelectionLabelAndNextWrapping) {
    picker.open_slot(3);
    EXPECT_EQ(picker.HScroll1.value(), 3);
    EXPECT_EQ(picker.Label2.caption, "パターン３");
    picker.HScroll1.set_value(9);
    EXPECT_EQ(picker.Label2.caption, "パターン９");
    picker.Command2_Click();
    EXPECT_EQ(picker.Label2.caption, "前景");
    picker.Command2_Click();
    EXPECT_EQ(picker.HScroll1.value(), 0);
    EXPECT_EQ(picker.Label2.caption, "背景");
}

TEST_F(PickerOnDisk, ClickingAFileLoadsItIntoTheSelectedSlot) {
    picker.open_slot(2);
    picker.File1_Click(index_of(picker, "rg.bmp"));
    EXPECT_EQ(model.work_path, dir.path() + "/rg.bmp");
    EXPECT_EQ(model.slot_files[2], dir.path() + "/rg.bmp");
    EXPECT_EQ(model.pic[2].width_twips(), 30);
    EXPECT_EQ(test::row_of(model.pic[2].image(), 0), "RG");
    EXPECT_TRUE(picker.notice.isEmpty());
}

TEST_F(PickerOnDisk, OnlyTheExactPngChoiceUsesThePngLoader) {
    picker.Combo1_Click(2);
    EXPECT_EQ(picker.File1.names(), QStringList({"bg.PNG", "fake.png"}));
    picker.open_slot(4);
    const QImage before = model.pic[4].image();
    // fake.png holds a BMP: the PNG loader refuses it, the slot keeps its image, the path is
    // recorded anyway and the notice says so.
    picker.File1_Click(index_of(picker, "fake.png"));
    EXPECT_EQ(model.pic[4].image(), before);
    EXPECT_EQ(model.slot_files[4], dir.path() + "/fake.png");
    EXPECT_TRUE(picker.notice.contains("fake.png"));

    // Typed in lower case, the filter text no longer selects the PNG loader; the list keeps
    // its pattern and the platform loader reads the BMP inside.
    picker.set_combo_text("*.png");
    EXPECT_EQ(picker.File1.pattern(), "*.PNG");
    picker.File1_Click(index_of(picker, "fake.png"));
    EXPECT_EQ(model.pic[4].width_px(), 1);
    EXPECT_EQ(model.pic[4].pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_TRUE(picker.notice.isEmpty());
}

TEST_F(PickerOnDisk, LoadingTheBackgroundFitsTheStageAndTheRanges) {
    model.bg_from_file = 0;
    model.adjust_mode = 1;
    model.win_main.fill(qRgb(1, 2, 3));
    picker.Combo1_Click(2);
    picker.open_slot(0);
    picker.File1_Click(index_of(picker, "bg.PNG"));
    EXPECT_EQ(model.win_main.width_twips(), 4800);
    EXPECT_EQ(model.win_main.height_twips(), 3600);
    EXPECT_EQ(model.win_main.pixel(100, 100), kWindowColour);
    EXPECT_EQ(model.adjust_x.max(), 320);
    EXPECT_EQ(model.adjust_x.min(), -60);
    EXPECT_EQ(model.adjust_y.max(), 240);
    EXPECT_EQ(model.adjust_y.min(), -240);
    EXPECT_EQ(model.adjust_mode, 0);
    EXPECT_EQ(model.bg_from_file, -1);
}

TEST_F(PickerOnDisk, ABarValueTheNewRangeLimitsIsDrawnAtTheNewSizeAndThenCleared) {
    install_handlers(model);
    model.adjust_x.set_value(50);
    model.adjust_mode = 1;
    picker.open_slot(0);
    picker.File1_Click(index_of(picker, "rg.bmp"));
    // The 2 x 1 background limits adjust_x to 2, whose change handler draws the adjust view;
    // the stage is cleared after that, so it shows nothing until the next redraw.
    EXPECT_EQ(model.adjust_x.value(), 2);
    EXPECT_EQ(model.offset_x.text(), "2");
    EXPECT_EQ(model.win_main.width_px(), 2);
    EXPECT_EQ(model.win_main.pixel(0, 0), kWindowColour);
    EXPECT_EQ(model.adjust_mode, 0);
}

TEST_F(PickerOnDisk, AFailedBackgroundStillFitsTheStageToTheUnchangedSlot) {
    model.win_main.resize_pixels(10, 10);
    picker.open_slot(0);
    picker.File1_Click(index_of(picker, "broken.bmp"));
    EXPECT_FALSE(picker.notice.isEmpty());
    EXPECT_EQ(model.slot_files[0], dir.path() + "/broken.bmp");
    EXPECT_EQ(model.win_main.width_px(), 462);
    EXPECT_EQ(model.adjust_x.max(), 462);
}

TEST_F(PickerOnDisk, BmpFilesGoThroughOurDecoderAndItsRefusalsReachTheNotice) {
    ASSERT_TRUE(QDir(dir.path()).mkpath("bmp"));
    // 5-5-5 white and red: full channels must read 255, not 248.
    test::BmpRecipe white_red;
    white_red.width = 2;
    white_red.bits = 16;
    white_red.sample = [](int x, int) { return x == 0 ? 0x7FFFu : 0x7C00u; };
    ASSERT_TRUE(test::write_file(dir.filePath("bmp/wr.bmp"), test::build_bmp(white_red)));
    white_red.pixels = QByteArray(2, '\0');
    ASSERT_TRUE(test::write_file(dir.filePath("bmp/short.bmp"), test::build_bmp(white_red)));
    picker.lists.set_path(dir.filePath("bmp"));
    picker.open_slot(5);
    picker.File1_Click(index_of(picker, "wr.bmp"));
    EXPECT_TRUE(picker.notice.isEmpty());
    EXPECT_EQ(test::row_of(model.pic[5].image(), 0), "WR");

    picker.File1_Click(index_of(picker, "short.bmp"));
    EXPECT_EQ(picker.notice, "「short.bmp」を読み込めません：BMP ファイルが途中で切れています");
    EXPECT_EQ(test::row_of(model.pic[5].image(), 0), "WR");
}

TEST_F(PickerOnDisk, AFolderEndingInASeparatorGivesADoubleSeparatorThatOpens) {
    picker.lists.set_path(dir.path() + "/");
    picker.open_slot(1);
    picker.File1_Click(index_of(picker, "rg.bmp"));
    EXPECT_EQ(model.slot_files[1], dir.path() + "//rg.bmp");
    EXPECT_EQ(model.pic[1].width_px(), 2);
}

TEST_F(PickerOnDisk, PickerOpenEndsWithThePicker) {
    {
        EditingModel other{QDir::currentPath()};
        {
            PickerModel p{other};
            p.Form2_Load();
            EXPECT_TRUE(other.picker_open);
        }
        EXPECT_FALSE(other.picker_open);
    }
}

TEST(PickerLoad, LeavesFineAdjustment) {
    EditingModel model{QStringLiteral("/")};
    model.pattern_anime.set_text("12121");
    model.fine_adjust = 1;
    model.bt_set2.caption = "微調整ＯＦＦ";
    model.pattern_anime.set_read_only(true);
    model.edit_cursor = 3;
    model.pointer_k_left = 66;
    model.pattern_anime.select(3, 1);
    PickerModel picker{model};
    picker.Form2_Load();
    test::expect_fine_adjust_left(model);
}

class PickerOnFake : public ::testing::Test {
  protected:
    void SetUp() override {
        fs.root_list = {"/", "/media/cd", "/media/usb"};
        fs.folders["/"] = {{"opt"}, {}};
        fs.folders["/opt/koma"] = {{}, {"x.bmp"}};
        fs.folders["/media/usb"] = {{"pics"}, {"top.bmp"}};
        fs.folders["/media/usb/pics"] = {{}, {"a.bmp", "B.BMP", "c.jpg"}};
        picker.lists.on_not_ready = [this](const QString& m) { messages.append(m); };
    }
    test::FakeFileSystem fs;
    EditingModel model{QStringLiteral("/opt/koma")};
    PickerModel picker{model, &fs};
    QStringList messages;
};

TEST_F(PickerOnFake, PathRefFollowsEveryFolderChangeAndTheFileListReloads) {
    model.path_ref.caption = "/media/usb/pics";
    picker.Form2_Load();
    EXPECT_EQ(picker.lists.drive(), "/media/usb");
    EXPECT_EQ(picker.File1.names(), QStringList({"a.bmp", "B.BMP"}));
    picker.lists.set_path("/media/usb");
    EXPECT_EQ(model.path_ref.caption, "/media/usb");
    EXPECT_EQ(picker.File1.names(), QStringList({"top.bmp"}));
}

TEST_F(PickerOnFake, NotReadyRootFallsBackToTheProgramsRootAndPathRefFollows) {
    model.path_ref.caption = "/media/usb/pics";
    picker.Form2_Load();
    picker.File1_Click(0);
    fs.not_ready.insert("/media/cd");
    picker.lists.set_drive("/media/cd");
    EXPECT_EQ(messages, QStringList({"ドライブの準備がまだです"}));
    EXPECT_EQ(picker.lists.drive(), "/");
    EXPECT_EQ(picker.lists.path(), "/");
    EXPECT_EQ(model.path_ref.caption, "/");
    EXPECT_EQ(picker.File1.folder(), "/");
    EXPECT_EQ(picker.File1.selected(), -1);
}

TEST_F(PickerOnFake, AMissingPathRefFolderOpensAtTheProgramsFolder) {
    model.path_ref.caption = "/media/usb/gone";
    picker.Form2_Load();
    EXPECT_EQ(picker.lists.path(), "/opt/koma");
    EXPECT_EQ(model.path_ref.caption, "/opt/koma");
    EXPECT_EQ(picker.File1.names(), QStringList({"x.bmp"}));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(PickerOnFake, ItOpensWhereTheSlotsImageIsElseWhereTheStateFileIs) {
    model.path_ref.caption = "/opt/koma";
    model.slot_files[3] = "/media/usb/pics/a.bmp";
    picker.Form2_Load(3);
    EXPECT_EQ(picker.lists.path(), "/media/usb/pics");
    EXPECT_EQ(model.path_ref.caption, "/media/usb/pics");

    model.path_ref.caption = "/opt/koma";
    EditHistory history(model);
    history.mark_saved("/media/usb/walk.pst");
    PickerModel for_empty_slot{model, &fs};
    for_empty_slot.Form2_Load(2);
    EXPECT_EQ(for_empty_slot.lists.path(), "/media/usb");
    // An image whose folder is gone does not count.
    model.slot_files[4] = "/media/cd/gone/b.bmp";
    PickerModel for_moved_image{model, &fs};
    for_moved_image.Form2_Load(4);
    EXPECT_EQ(for_moved_image.lists.path(), "/media/usb");
}

TEST_F(PickerOnFake, TheFileTypeStaysWhereTheUserLeftIt) {
    model.path_ref.caption = "/media/usb/pics";
    picker.Form2_Load();
    picker.Combo1_Click(1);
    {
        PickerModel next{model, &fs};
        next.Form2_Load();
        EXPECT_EQ(next.Combo1_text, "*.JPG");
        EXPECT_EQ(next.File1.names(), QStringList({"c.jpg"}));
        // Typed text shows as typed; the files stay filtered by the type last chosen.
        next.set_combo_text("*.bmp");
    }
    PickerModel last{model, &fs};
    last.Form2_Load();
    EXPECT_EQ(last.Combo1_text, "*.bmp");
    EXPECT_EQ(last.File1.names(), QStringList({"c.jpg"}));
}

TEST_F(PickerOnFake, AnUnreadableFolderIsNoticed) {
    model.path_ref.caption = "/media/usb/pics";
    picker.Form2_Load();
    fs.folders["/media/usb/pics/locked"] = {};
    fs.unreadable.insert("/media/usb/pics/locked");
    picker.lists.set_path("/media/usb/pics/locked");
    EXPECT_TRUE(picker.File1.names().isEmpty());
    EXPECT_FALSE(picker.notice.isEmpty());
}

}  // namespace
}  // namespace koma
