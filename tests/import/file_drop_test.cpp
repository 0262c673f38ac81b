#include "import/file_drop.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "compose/startup.h"
#include "model/slot_loader.h"
#include "support/image_files.h"
#include "support/model_state.h"
#include "support/pixels.h"

namespace koma {
namespace {

class FileDropTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    QString file(const QString& name, const QByteArray& bytes) {
        const QString path = QDir(dir.path()).filePath(name);
        EXPECT_TRUE(test::write_file(path, bytes));
        return path;
    }
    QString image(const QString& name, const char* format = "png", int width = 3) {
        return file(name, test::encoded(test::solid(width, 2, qRgb(0, 128, 255)), format));
    }

    QTemporaryDir dir;
};

// --- Which files go where ---

TEST_F(FileDropTest, SeveralFilesFillFromTheSlotInNaturalNameOrder) {
    const QString w10 = image("walk10.png"), w2 = image("walk2.bmp", "bmp"),
                  w1 = image("Walk1.jpg", "jpg"), w02 = image("walk02b.png");
    const FileDrop drop = plan_file_drop({w10, w2, w02, w1}, 3);
    ASSERT_EQ(drop.kind, FileDrop::Kind::LoadImages) << drop.message.toStdString();
    const std::vector<SlotFile> expected{{3, w1}, {4, w2}, {5, w02}, {6, w10}};
    EXPECT_EQ(drop.images, expected);
}

TEST_F(FileDropTest, FilesThatDoNotFitUpToSlot9AreRefusedAsAWhole) {
    const FileDrop drop = plan_file_drop({image("a.png"), image("b.png"), image("c.png")}, 8);
    EXPECT_EQ(drop.kind, FileDrop::Kind::Refused);
    EXPECT_TRUE(drop.images.empty());
    EXPECT_EQ(plan_file_drop({image("d.png"), image("e.png")}, 8).kind, FileDrop::Kind::LoadImages);
}

TEST_F(FileDropTest, BackgroundAndForegroundTakeOneFileOnly) {
    const QStringList two{image("a.png"), image("b.png")};
    EXPECT_EQ(plan_file_drop(two, 0).kind, FileDrop::Kind::Refused);
    EXPECT_EQ(plan_file_drop(two, 10).kind, FileDrop::Kind::Refused);
    EXPECT_EQ(plan_file_drop({two[0]}, 10).kind, FileDrop::Kind::LoadImages);
}

TEST_F(FileDropTest, ImagesOffTheSlotsAreRefused) {
    EXPECT_EQ(plan_file_drop({image("a.png")}, -1).kind, FileDrop::Kind::Refused);
}

// --- Content, not names ---

TEST_F(FileDropTest, TheContentDecidesNotTheName) {
    const QString png_named_txt = image("picture.txt");
    const QString text_named_png = file("fake.png", "hello, not an image");
    EXPECT_TRUE(is_image_by_content(png_named_txt));
    EXPECT_FALSE(is_image_by_content(text_named_png));
    EXPECT_EQ(plan_file_drop({png_named_txt}, 1).kind, FileDrop::Kind::LoadImages);
    const FileDrop refused = plan_file_drop({image("ok.png"), text_named_png}, 1);
    EXPECT_EQ(refused.kind, FileDrop::Kind::Refused);
    EXPECT_TRUE(refused.message.contains("fake.png"));
}

TEST_F(FileDropTest, AFileThatDoesNotDecodeRefusesTheWholeDrop) {
    QByteArray cut = test::encoded(test::solid(40, 40, qRgb(1, 2, 3)), "png");
    cut.truncate(cut.size() / 2);
    const FileDrop drop = plan_file_drop({image("a.png"), file("broken.png", cut)}, 2);
    EXPECT_EQ(drop.kind, FileDrop::Kind::Refused);
    EXPECT_TRUE(drop.message.contains("broken.png"));
}

// --- State files ---

TEST_F(FileDropTest, AStateFileReadsAsLoadWhereverItLands) {
    const QString state = file("walk.PST", "x");
    for (int slot : {-1, 0, 5}) {
        const FileDrop drop = plan_file_drop({state}, slot);
        EXPECT_EQ(drop.kind, FileDrop::Kind::LoadState);
        EXPECT_EQ(drop.state_file, state);
    }
    EXPECT_EQ(plan_file_drop({state, image("a.png")}, 1).kind, FileDrop::Kind::Refused);
}

// --- Loading is the picker's loading ---

TEST_F(FileDropTest, ADroppedBackgroundLoadsAsAPickerClickDoes) {
    const QString path = image("bg.png", "png", 12);
    EditingModel dropped{QStringLiteral("/")}, clicked{QStringLiteral("/")};
    for (EditingModel* m : {&dropped, &clicked}) {
        Form1_Load(*m);
        m->adjust_mode = 1;
    }
    EXPECT_TRUE(load_dropped_images(dropped, {{0, path}}).isEmpty());
    QString message;
    ASSERT_TRUE(load_slot_file(clicked, 0, path, false, message));
    EXPECT_TRUE(test::model_state(dropped) == test::model_state(clicked));
    EXPECT_EQ(dropped.adjust_mode, 0);
    EXPECT_EQ(dropped.slot_files[0], path);
}

}  // namespace
}  // namespace koma
