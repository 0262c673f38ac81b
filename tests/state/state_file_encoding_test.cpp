#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "compose/startup.h"
#include "state/load_save.h"
#include "state/state_codec.h"
#include "support/pixels.h"

namespace koma {
namespace {

// A state file of parts 1 to 4 with `slot1` as frame 1's path and `basename` as the base
// name, each given as raw bytes, then `tail` (an extension record or nothing).
QByteArray state_bytes(const QByteArray& slot1, const QByteArray& basename,
                       const QByteArray& tail = {}) {
    QByteArray bytes = "\"\"\r\n\"" + slot1 + "\"\r\n";
    for (int i = 2; i < 11; ++i) bytes += "\"\"\r\n";
    bytes += "0,0,0,\"\",\"\",\"\",\"" + basename + "\",\"\"\r\n#TRUE#,16777215,80,50\r\n";
    return bytes + tail;
}

class StateFileEncodingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        Form1_Load(model);
    }

    // Writes `bytes` as a state file and reads it into the model.
    void read(const QByteArray& bytes) {
        const QString file = dir.filePath(QStringLiteral("state.pst"));
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(out.write(bytes), bytes.size());
        out.close();
        model.work_path = file;
        model.state_mode = 1;
        ASSERT_TRUE(load_save(model).has_value());
    }

    QTemporaryDir dir;
    EditingModel model{QStringLiteral("/nowhere")};
};

TEST_F(StateFileEncodingTest, HalfWidthKatakanaFromWindowsIsNotTakenForUtf8) {
    // "ﾃｽ" in code page 932 is C3 BD, which is also "ý" in two-byte UTF-8.
    read(state_bytes("", QByteArray::fromHex("c3bd")));
    EXPECT_EQ(model.basename.text(), QStringLiteral("ﾃｽ"));
}

TEST_F(StateFileEncodingTest, AKanjiPathFromWindowsFindsItsFileBesideTheStateFile) {
    const QString frame = QStringLiteral("歩く.bmp");
    ASSERT_TRUE(test::solid(3, 2, qRgb(0, 0, 255)).save(dir.filePath(frame), "BMP"));
    // "C:\アニメ\歩く.bmp" and base name "表示" in code page 932; 5C inside 表 is no separator.
    read(state_bytes("C:\\" + QByteArray::fromHex("8341836a8381") + "\\" +
                         QByteArray::fromHex("95e082ad") + ".bmp",
                     QByteArray::fromHex("955c8ea6")));
    EXPECT_EQ(model.basename.text(), QStringLiteral("表示"));
    EXPECT_EQ(model.slot_files[1], dir.filePath(frame));
    EXPECT_EQ(model.pic[1].width_px(), 3);
}

TEST_F(StateFileEncodingTest, TheRecordMakesAFileUtf8EvenWithOnlyLatinLetters) {
    const QByteArray record = "\"#KOMA#\",1,\"encoding=UTF-8\"\r\n";
    read(state_bytes("", QStringLiteral("café").toUtf8(), record));
    EXPECT_EQ(model.basename.text(), QStringLiteral("café"));
    read(state_bytes("", QStringLiteral("café 歩く").toUtf8(), record));
    EXPECT_EQ(model.basename.text(), QStringLiteral("café 歩く"));
    // Keys of later versions are no error and change nothing known.
    read(state_bytes("", QStringLiteral("ﾃｽ").toUtf8(),
                     "\"#KOMA#\",3,\"encoding=UTF-8\",\"palette=warm\",\"x\"\r\n"));
    EXPECT_EQ(model.basename.text(), QStringLiteral("ﾃｽ"));
}

TEST_F(StateFileEncodingTest, WithoutTheRecordLongUtf8SequencesDecideAndTwoByteOnesDoNot) {
    read(state_bytes("", QStringLiteral("café 歩く").toUtf8()));
    EXPECT_EQ(model.basename.text(), QStringLiteral("café 歩く"));
    // Documented: accented Latin letters alone, without the record, read as code page 932.
    read(state_bytes("", QStringLiteral("café").toUtf8()));
    EXPECT_EQ(model.basename.text(), QStringLiteral("cafﾃｩ"));
    // Bytes that code page 932 refuses (a lead byte 81 before a quote) but UTF-8 takes ("Á")
    // stay UTF-8.
    EXPECT_EQ(decode_state_text(QByteArray::fromHex("22c38122")).value(), QStringLiteral("\"Á\""));
}

TEST_F(StateFileEncodingTest, AFileCutInsideTheRecordKeepsPartsOneToFour) {
    read(state_bytes("", QStringLiteral("café").toUtf8(), "\"#KOMA#\",1,\"enco"));
    EXPECT_EQ(model.basename.text(), QStringLiteral("café"));
    EXPECT_EQ(model.bg_from_file, -1);
}

}  // namespace
}  // namespace koma
