#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "compose/startup.h"
#include "model/slot_loader.h"
#include "state/write_state.h"
#include "support/file_bytes.h"
#include "support/image_files.h"
#include "support/koma_process.h"
#include "support/pixels.h"

namespace koma {
namespace {

using test::from_rows;
using Outcome = test::KomaRun;

// State files of one 12 x 5 stage with two frames, each with its own pattern, travel, base
// name and (through its settings) format.
class SeveralFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QImage background = test::solid(12, 5, qRgb(0, 0, 0));
        background.setPixel(6, 2, qRgb(255, 255, 0));
        ASSERT_TRUE(background.save(path("bg.png")));
        ASSERT_TRUE(from_rows({"MRR", "MRM"}).save(path("one.png")));
        ASSERT_TRUE(from_rows({"MGB", "BBM"}).save(path("two.png")));
        const struct {
            const char* name;
            const char* pattern;
            int travel;
            OutputFormat format;
        } projects[] = {{"a", "1212121", 1, OutputFormat::Apng},
                        {"b", "21122112", 2, OutputFormat::Webp},
                        {"c", "111222", 3, OutputFormat::Png},
                        {"d", "12", 1, OutputFormat::Bmp}};
        for (const auto& p : projects) {
            EditingModel m(dir.path());
            Form1_Load(m);
            QString message;
            ASSERT_TRUE(load_slot_file(m, 0, path("bg.png"), false, message));
            ASSERT_TRUE(load_slot_file(m, 1, path("one.png"), false, message));
            ASSERT_TRUE(load_slot_file(m, 2, path("two.png"), false, message));
            m.pattern_anime.set_text(QString::fromLatin1(p.pattern));
            m.sc_bar.set_value(p.travel);
            m.basename.set_text(QString::fromLatin1(p.name));
            m.export_settings.extra_format = p.format;
            ASSERT_TRUE(write_state(m, path(QStringLiteral("%1.pst").arg(p.name))));
        }
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    Outcome koma(const QStringList& arguments) {
        return test::run_koma_binary(QStringList{"export"} + arguments, dir.path());
    }
    /// Every file of `folder` with its bytes.
    QMap<QString, QByteArray> contents(const QString& folder) const {
        QMap<QString, QByteArray> out;
        for (const QString& name : QDir(path(folder)).entryList(QDir::Files)) {
            out.insert(name, test::read_bytes(path(folder + "/" + name)));
        }
        return out;
    }
    /// Exports each state file by itself into `folder`, with `options`.
    void one_by_one(const QStringList& states, const QString& folder, const QStringList& options) {
        QDir(dir.path()).mkpath(folder);
        for (const QString& state : states) {
            const Outcome run = koma(QStringList{state, "--out", folder} + options);
            ASSERT_EQ(run.code, 0) << run.err.toStdString();
        }
    }

    QTemporaryDir dir;
    const QStringList states{"a.pst", "b.pst", "c.pst", "d.pst"};
};

TEST_F(SeveralFilesTest, SeveralFilesExportToTheSameBytesAsOneByOne) {
    for (const QStringList& options : {QStringList{}, QStringList{"--format", "gif"}}) {
        const QString format = options.isEmpty() ? "own" : "gif";
        one_by_one(states, format + "-alone", options);
        QDir(dir.path()).mkpath(format + "-together");
        const Outcome run = koma(states + QStringList{"--out", format + "-together"} + options);
        EXPECT_EQ(run.code, 0) << run.err.toStdString();
        EXPECT_EQ(run.err, "");
        const auto together = contents(format + "-together");
        EXPECT_EQ(together, contents(format + "-alone")) << format.toStdString();
        EXPECT_GE(together.size(), options.isEmpty() ? 2 + 6 + 2 : 4);
        // Every line names its state file, in the order they were given.
        const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), together.size());
        EXPECT_TRUE(lines.front().startsWith("a.pst: " + path(format + "-together/a")));
        EXPECT_TRUE(lines.back().startsWith("d.pst: " + path(format + "-together/d")));
    }
}

TEST_F(SeveralFilesTest, TheWorstStatusIsReturnedAndTheOthersAreStillExported) {
    ASSERT_TRUE(QFile::remove(path("two.png")));
    const Outcome missing_slot = koma({"a.pst", "d.pst", "--out", "."});
    EXPECT_EQ(missing_slot.code, 4);
    EXPECT_TRUE(missing_slot.err.startsWith("koma: a.pst: warning: slot 2"))
        << missing_slot.err.toStdString();
    const Outcome missing_state = koma({"a.pst", "gone.pst", "d.pst", "--out", "."});
    EXPECT_EQ(missing_state.code, 2);
    EXPECT_TRUE(missing_state.err.contains("koma: cannot read gone.pst: no such file"));
    EXPECT_TRUE(QFile::exists(path("d01.bmp")));

    const Outcome named = koma({"a.pst", "d.pst", "--basename", "x"});
    EXPECT_EQ(named.code, 1);
    EXPECT_TRUE(named.err.startsWith("koma: --basename needs exactly one state file"));
}

TEST_F(SeveralFilesTest, StateFilesWritingTheSameFilesWriteThemInTheOrderGiven) {
    // The same name and format as b, another travel.
    QByteArray other = test::read_bytes(path("b.pst"));
    ASSERT_TRUE(other.contains(",2,\"21122112\""));
    other.replace(",2,\"21122112\"", ",4,\"21122112\"");
    ASSERT_TRUE(test::write_file(path("b2.pst"), other));
    one_by_one({"b.pst", "b2.pst"}, "alone", {});
    QDir(dir.path()).mkpath("together");
    const Outcome run = koma({"b.pst", "a.pst", "b2.pst", "--out", "together"});
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.err, "koma: b2.pst: warning: writes the same files as b.pst, after it\n");
    EXPECT_EQ(test::read_bytes(path("together/b.webp")), test::read_bytes(path("alone/b.webp")));
    // And that is b2's picture, not b's.
    one_by_one({"b.pst"}, "b-only", {});
    EXPECT_NE(test::read_bytes(path("together/b.webp")), test::read_bytes(path("b-only/b.webp")));
}

}  // namespace
}  // namespace koma
