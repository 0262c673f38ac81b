#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "compose/startup.h"
#include "state/load_save.h"
#include "state/read_state.h"
#include "support/pixels.h"

namespace koma {
namespace {

class StateReadReportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("project")));
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("elsewhere")));
        Form1_Load(model);
    }

    QString path(const QString& name) const { return dir.filePath(name); }

    void write_bytes(const QString& file, const QByteArray& bytes) {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(out.write(bytes), bytes.size());
    }

    // A state file naming `slot0` and `slot1`, base name "walk", then the background record.
    void write_state(const QString& file, const QByteArray& slot0, const QByteArray& slot1,
                     const QByteArray& background = "#TRUE#,16777215,80,50") {
        QByteArray bytes = "\"" + slot0 + "\"\r\n\"" + slot1 + "\"\r\n";
        for (int i = 2; i < 11; ++i) bytes += "\"\"\r\n";
        bytes += "0,0,0,\"1\",\"\",\"\",\"walk\",\"\"\r\n0,0\r\n" + background + "\r\n";
        write_bytes(file, bytes);
    }

    QTemporaryDir dir;
    EditingModel model{QStringLiteral("/nowhere")};
};

TEST_F(StateReadReportTest, RelativeSlotPathsBelongToTheStateFilesFolderNotTheCurrentOne) {
    ASSERT_TRUE(test::solid(6, 2, qRgb(0, 0, 255)).save(path("project/sky.png")));
    ASSERT_TRUE(test::solid(9, 9, qRgb(255, 0, 0)).save(path("elsewhere/sky.png")));
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("project/art")));
    ASSERT_TRUE(test::solid(2, 2, qRgb(0, 255, 0)).save(path("project/art/one.png")));
    ASSERT_TRUE(test::solid(3, 3, qRgb(0, 0, 0)).save(path("elsewhere/one.png")));
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("elsewhere/art")));
    ASSERT_TRUE(test::solid(4, 4, qRgb(0, 0, 0)).save(path("elsewhere/art/one.png")));
    write_state(path("project/walk.pst"), "sky.png", "art/../art/one.png");

    const QString saved = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(path("elsewhere")));
    const auto read = read_state(model, QStringLiteral("../project/walk.pst"));
    QDir::setCurrent(saved);
    ASSERT_TRUE(read.has_value()) << read.error().toStdString();
    EXPECT_TRUE(read->slot_failures.empty());
    EXPECT_EQ(model.pic[0].width_px(), 6);
    EXPECT_EQ(model.pic[0].pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(model.slot_files[0], QDir::cleanPath(path("project/sky.png")));
    EXPECT_EQ(model.pic[1].pixel(1, 1), qRgb(0, 255, 0));
    EXPECT_EQ(model.slot_files[1], QDir::cleanPath(path("project/art/one.png")));
}

TEST_F(StateReadReportTest, MissingAndUndecodableSlotImagesAreListedAndLeftEmpty) {
    write_bytes(path("project/broken.png"), "\x89PNG\r\n\x1a\n not a picture");
    write_state(path("project/walk.pst"), "/gone/sky.png", "broken.png");
    model.pic[1].fill(qRgb(1, 2, 3));
    model.slot_files[1] = QStringLiteral("before.png");

    const auto read = read_state(model, path("project/walk.pst"));
    ASSERT_TRUE(read.has_value()) << read.error().toStdString();
    ASSERT_EQ(read->slot_failures.size(), 2u);
    EXPECT_EQ(read->slot_failures[0].slot, 0);
    EXPECT_EQ(read->slot_failures[0].path, "/gone/sky.png");
    EXPECT_FALSE(read->slot_failures[0].reason.isEmpty());
    EXPECT_EQ(read->slot_failures[1].slot, 1);
    EXPECT_EQ(read->slot_failures[1].path, path("project/broken.png"));
    EXPECT_FALSE(read->slot_failures[1].reason.isEmpty());
    // Empty as in a model that never held another project; the paths stay for a later SAVE.
    EXPECT_EQ(model.slot_files[0], "/gone/sky.png");
    EXPECT_EQ(model.slot_files[1], path("project/broken.png"));
    EXPECT_TRUE(model.pic[0] == blank_slot_surface(0));
    EXPECT_TRUE(model.pic[1] == blank_slot_surface(1));
    EXPECT_EQ(model.win_main.width_px(), blank_slot_surface(0).width_px());
    // The rest of the file still applies.
    EXPECT_EQ(model.basename.text(), "walk");

    const QString message = state_read_message(read);
    EXPECT_TRUE(message.contains(QStringLiteral("その枠は空です")));
    EXPECT_TRUE(message.contains(QStringLiteral("背景「/gone/sky.png」")));
    EXPECT_TRUE(message.contains(QStringLiteral("1「") + path("project/broken.png")));
    EXPECT_EQ(message.count(QLatin1Char('\n')), 2);
    EXPECT_EQ(state_read_message(StateReadReport{}), QString());
    EXPECT_EQ(state_read_message(std::unexpected(QStringLiteral("bad"))), "bad");
}

TEST_F(StateReadReportTest, ABackgroundFromAFileIgnoresAnUnusablePlainSize) {
    ASSERT_TRUE(test::solid(12, 5, qRgb(0, 0, 255)).save(path("project/sky.png")));
    write_state(path("project/walk.pst"), "sky.png", "", "#TRUE#,255,0,-3");
    const auto read = read_state(model, path("project/walk.pst"));
    ASSERT_TRUE(read.has_value()) << read.error().toStdString();
    EXPECT_TRUE(read->background_refused.isEmpty());
    EXPECT_EQ(model.bg_from_file, -1);
    EXPECT_EQ(model.bg_color, 255u);
    EXPECT_EQ(model.basename.text(), "walk");
    EXPECT_EQ(model.win_main.width_px(), 12);
}

// The file names no background image, so slot 0 is empty after the slots are read (as on the
// command line), and a plain background that makes no picture leaves it so.
TEST_F(StateReadReportTest, APlainBackgroundOfAnUnusableSizeLeavesTheBackgroundEmpty) {
    model.pic[0].resize_pixels(7, 4);
    model.pic[0].fill(qRgb(9, 9, 9));
    // 0 twips, 7 twips (under half a pixel) and a size past 16 bits.
    for (const QByteArray& sizes :
         {QByteArray("0,50"), QByteArray("80,7"), QByteArray("40000,50")}) {
        write_state(path("project/walk.pst"), "", "", "#FALSE#,255," + sizes);
        const auto read = read_state(model, path("project/walk.pst"));
        ASSERT_TRUE(read.has_value()) << read.error().toStdString();
        EXPECT_FALSE(read->background_refused.isEmpty()) << sizes.toStdString();
        EXPECT_EQ(model.bg_from_file, -1);
        EXPECT_TRUE(model.pic[0] == blank_slot_surface(0));
        EXPECT_EQ(model.win_main.width_px(), model.pic[0].width_px());
        EXPECT_EQ(model.basename.text(), "walk");
        model.basename.set_text(QStringLiteral("other"));
    }
    // A usable plain size still builds the background.
    write_state(path("project/walk.pst"), "", "", "#FALSE#,255,150,45");
    ASSERT_TRUE(read_state(model, path("project/walk.pst")).has_value());
    EXPECT_EQ(model.bg_from_file, 0);
    EXPECT_EQ(model.pic[0].width_px(), 10);
    EXPECT_EQ(model.pic[0].height_px(), 3);
}

TEST_F(StateReadReportTest, ABaseNameThatWouldLeaveTheExportFolderIsReportedAndNotTaken) {
    const QByteArray nul("../victim.txt\0", 14);
    for (const QByteArray& bad : {QByteArray("../escaped"), nul, QByteArray("")}) {
        QByteArray bytes;
        for (int i = 0; i < 11; ++i) bytes += "\"\"\r\n";
        bytes += "0,0,0,\"12\",\"\",\"\",\"" + bad + "\",\"\"\r\n";
        write_bytes(path("project/walk.pst"), bytes);
        model.basename.set_text(QStringLiteral("mine"));
        model.pattern_anime.set_text(QString());
        const auto read = read_state(model, path("project/walk.pst"));
        ASSERT_TRUE(read.has_value()) << read.error().toStdString();
        EXPECT_EQ(model.basename.text(), "mine");
        EXPECT_FALSE(read->basename_refused.isEmpty());
        EXPECT_TRUE(state_read_message(read).contains(read->basename_refused));
        // The rest of the file is the project's as usual.
        EXPECT_EQ(model.pattern_anime.text(), "12");
    }
}

}  // namespace
}  // namespace koma
