#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "support/koma_process.h"
#include "support/pixels.h"

namespace koma {
namespace {

using test::run_koma_binary;

bool plain_ascii(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 128; });
}

class CommandLineMessagesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(test::solid(6, 2, qRgb(0, 0, 255)).save(dir.filePath("sky.png")));
    }
    /// A state file with background `background`, slot 1 `frame` and the pattern "11".
    QString state(const QByteArray& background, const QByteArray& frame,
                  const QByteArray& tail = "#FALSE#,255,90,30\r\n") {
        QByteArray bytes = "\"" + background + "\"\r\n\"" + frame + "\"\r\n";
        for (int i = 2; i < 11; ++i) bytes += "\"\"\r\n";
        bytes += "0,0,0,\"11\",\"\",\"\",\"walk\",\"\"\r\n0,0\r\n0,0\r\n" + tail;
        QFile out(dir.filePath("walk.pst"));
        EXPECT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(bytes);
        return dir.filePath("walk.pst");
    }
    QTemporaryDir dir;
};

TEST_F(CommandLineMessagesTest, UnknownOptionsAreNamedAndFormatsTakeAnyCase) {
    const QString file = state("sky.png", "");
    const auto bogus = run_koma_binary({"export", file, "--bogus"}, dir.path());
    EXPECT_EQ(bogus.code, 1);
    EXPECT_EQ(bogus.err, "koma: unknown option --bogus (see koma --help)\n");
    const auto valued = run_koma_binary({"export", file, "--bogus=3"}, dir.path());
    EXPECT_EQ(valued.err, "koma: unknown option --bogus (see koma --help)\n");

    const auto gif = run_koma_binary({"export", file, "--format", "GIF", "--out", "."}, dir.path());
    EXPECT_EQ(gif.code, 0) << gif.err.toStdString();
    EXPECT_EQ(gif.out, dir.filePath("walk.gif") + "\n");
}

TEST_F(CommandLineMessagesTest, WarningsAndFailuresAreEnglishWithoutLibraryNoise) {
    QFile broken(dir.filePath("broken.bmp"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("BM cut");
    broken.close();
    const auto run = run_koma_binary(
        {"export", state("gone.png", "broken.bmp", "#FALSE#,255,0,30\r\n"), "--out", "."},
        dir.path());
    EXPECT_EQ(run.code, 4);
    EXPECT_EQ(run.err,
              "koma: warning: slot 0 (background) not loaded: gone.png: no such file\n"
              "koma: warning: slot 1 (1) not loaded: " +
                  dir.filePath("broken.bmp") +
                  ": the BMP file is cut short\n"
                  "koma: warning: a plain background of 0 x 30 twips cannot be made: "
                  "the background is kept\n");

    const auto damaged =
        run_koma_binary({"export", state("sky.png", "", "#FALSE#,255,x,30\r\n")}, dir.path());
    EXPECT_EQ(damaged.code, 2);
    EXPECT_EQ(damaged.err, "koma: cannot read " + dir.filePath("walk.pst") +
                               ": line 15: \"x\" where a number belongs\n");
    EXPECT_TRUE(plain_ascii(run.err + damaged.err));
}

TEST_F(CommandLineMessagesTest, LibrariesSayNothingOfTheirOwn) {
    // A name with a NUL byte in it makes Qt warn about a broken file name, twice.
    const QString file = state(QByteArray("sky.png"), QByteArray("gone\0x.png", 10));
    const auto run = run_koma_binary({"export", file, "--out", "."}, dir.path());
    EXPECT_EQ(run.code, 4);
    EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
    EXPECT_TRUE(run.err.startsWith("koma: warning: slot 1 (1) not loaded: "))
        << run.err.toStdString();
}

TEST(CommandLineHelp, NamesEveryFormatOnce) {
    const auto help = run_koma_binary({"--help"}, QDir::tempPath());
    EXPECT_EQ(help.code, 0);
    for (const char* format : {"bmp", "gif", "png", "apng", "webp"}) {
        const QRegularExpression line(QStringLiteral("--format %1 ").arg(QLatin1String(format)));
        EXPECT_EQ(help.out.count(line), 1) << format;
        EXPECT_FALSE(help.out.contains(QStringLiteral("|%1").arg(QLatin1String(format)))) << format;
    }
    EXPECT_TRUE(plain_ascii(help.out));
}

}  // namespace
}  // namespace koma
