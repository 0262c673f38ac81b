#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "codecs/frame_writer.h"
#include "compose/compose_frame.h"
#include "compose/startup.h"
#include "state/load_save.h"
#include "support/apng_reader.h"
#include "support/gif_reader.h"
#include "support/koma_process.h"
#include "support/pixels.h"
#include "support/webp_reader.h"

namespace koma {
namespace {

using test::from_rows;
using test::pixel_difference;

using Outcome = test::KomaRun;

Outcome run_koma(const QStringList& arguments, const QString& working_folder) {
    return test::run_koma_binary(arguments, working_folder);
}

// A state file written by the program: a 9 x 3 black background with one yellow pixel, a frame
// keyed on magenta with a black body pixel in slot 1, the pattern "1111" travelling 2 px a step,
// basename "walk", export folder "saved".
class ExportFlagsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QDir(dir.path()).mkpath(QStringLiteral("saved"));
        QImage background = test::solid(9, 3, 0xFF000000u);
        background.setPixel(4, 1, 0xFFFFFF00u);
        ASSERT_TRUE(background.save(path("bg.png")));
        ASSERT_TRUE(from_rows({"MRK", "MRM"}).save(path("one.png")));
        EditingModel m(dir.path());
        Form1_Load(m);
        m.work_path = path("state.pst");
        m.slot_files[0] = path("bg.png");
        m.slot_files[1] = path("one.png");
        m.pattern_anime.set_text(QStringLiteral("1111"));
        m.sc_bar.set_value(2);
        m.basename.set_text(QStringLiteral("walk"));
        m.export_lists.set_path(path("saved"));
        m.state_mode = 2;
        ASSERT_TRUE(load_save(m).has_value());
    }

    QString path(const QString& name) const { return dir.filePath(name); }

    /// The stages of the state file, with the coverage as alpha when `clear`.
    std::vector<QImage> composed(bool clear) {
        EditingModel m(dir.path());
        Form1_Load(m);
        m.work_path = path("state.pst");
        m.state_mode = 1;
        EXPECT_TRUE(load_save(m).has_value());
        std::vector<QImage> stages;
        for (int i = 0; i < 4; ++i) {
            m.pattern_pos = static_cast<int16_t>(i);
            EXPECT_TRUE(ComposeFrame(m, 0));
            stages.push_back(
                stage_with_alpha(m.win_main.image(), clear ? stage_coverage(m) : QImage()));
        }
        return stages;
    }

    Outcome koma_export(QStringList options) {
        options.prepend(path("state.pst"));
        options.prepend(QStringLiteral("export"));
        return run_koma(options, dir.path());
    }

    QStringList files() const { return QDir(path("saved")).entryList(QDir::Files, QDir::Name); }

    QTemporaryDir dir;
};

void expect_steps(const std::vector<QImage>& got, const std::vector<QImage>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(pixel_difference(got[i], want[i]), "") << "step " << i;
    }
}

// --- --format ---

TEST_F(ExportFlagsTest, FormatApngWritesOneAnimatedPng) {
    const Outcome run = koma_export({"--format", "apng"});
    EXPECT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, path("saved/walk.png") + "\n");
    EXPECT_EQ(files(), QStringList{"walk.png"});
    const auto apng = test::decode_apng_file(path("saved/walk.png"));
    EXPECT_EQ(apng.error.toStdString(), "");
    expect_steps(apng.frames, composed(false));
    EXPECT_EQ(apng.delays_ms, std::vector<double>(4, 80));  // the state file's defaults
    EXPECT_EQ(apng.num_plays, 0);
}

TEST_F(ExportFlagsTest, FormatWebpWritesOneLosslessAnimation) {
    const Outcome run = koma_export({"--format=webp"});
    EXPECT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, path("saved/walk.webp") + "\n");
    const auto webp = test::decode_webp_file(path("saved/walk.webp"));
    EXPECT_EQ(webp.error.toStdString(), "");
    EXPECT_TRUE(webp.all_lossless);
    std::vector<QImage> steps;
    for (size_t i = 0; i < webp.frames.size(); ++i) {
        for (int t = 0; t < webp.durations_ms[i]; t += 80) steps.push_back(webp.frames[i]);
    }
    expect_steps(steps, composed(false));
}

TEST_F(ExportFlagsTest, FormatPngWritesOneFilePerStep) {
    const Outcome run = koma_export({"--format", "png", "--basename", "p"});
    EXPECT_EQ(run.code, 0) << run.err.toStdString();
    const QStringList names{"p00.png", "p01.png", "p02.png", "p03.png"};
    EXPECT_EQ(files(), names);
    std::vector<QImage> steps;
    QString lines;
    for (const QString& name : names) {
        steps.emplace_back(path("saved/") + name);
        lines += path("saved/") + name + "\n";
    }
    EXPECT_EQ(run.out, lines);
    expect_steps(steps, composed(false));
}

// --- --frame-ms and --loop ---

TEST_F(ExportFlagsTest, FrameTimeAndLoopCountGoIntoTheFile) {
    Outcome run = koma_export({"--format", "apng", "--frame-ms", "40", "--loop", "2"});
    EXPECT_EQ(run.code, 0) << run.err.toStdString();
    const auto apng = test::decode_apng_file(path("saved/walk.png"));
    EXPECT_EQ(apng.delays_ms, std::vector<double>(4, 40));
    EXPECT_EQ(apng.num_plays, 2);

    run = koma_export({"--format", "webp", "--frame-ms=100", "--loop=1"});
    EXPECT_EQ(run.code, 0) << run.err.toStdString();
    const auto webp = test::decode_webp_file(path("saved/walk.webp"));
    EXPECT_EQ(webp.loop_count, 1);
    int total = 0;
    for (int d : webp.durations_ms) total += d;
    EXPECT_EQ(total, 400);
}

TEST_F(ExportFlagsTest, AGifTimeOffTheHundredthsIsToldOnceOnStderr) {
    const Outcome run = koma_export({"--format", "gif", "--frame-ms", "45"});
    EXPECT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, path("saved/walk.gif") + "\n");
    EXPECT_EQ(run.err.count(QStringLiteral("koma: note: ")), 1) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("40 ms")));
    EXPECT_EQ(run.err.count(QLatin1Char('\n')), 1);
    EXPECT_EQ(test::decode_gif(path("saved/walk.gif")).delays, std::vector<int>(4, 4));
}

// --- --transparent ---

TEST_F(ExportFlagsTest, TransparentClearsTheBackgroundsKeyPixelsOnly) {
    const Outcome run = koma_export({"--format", "apng", "--transparent"});
    EXPECT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_EQ(run.err, "");
    const std::vector<QImage> want = composed(true);
    // Step 0: the frame's black pixel at (2, 0) stays opaque, the black background beside it
    // is clear, the yellow background pixel opaque.
    EXPECT_EQ(want[0].pixel(2, 0), 0xFF000000u);
    EXPECT_EQ(qAlpha(want[0].pixel(3, 0)), 0);
    EXPECT_EQ(want[0].pixel(4, 1), 0xFFFFFF00u);
    expect_steps(test::decode_apng_file(path("saved/walk.png")).frames, want);
}

TEST_F(ExportFlagsTest, TransparentBmpIsWrittenOpaqueWithANote) {
    const Outcome run = koma_export({"--transparent"});
    EXPECT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_EQ(files().size(), 4);
    EXPECT_EQ(run.err.count(QStringLiteral("koma: note: ")), 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("BMP")));
    const QImage first(path("saved/walk00.bmp"));
    EXPECT_FALSE(first.hasAlphaChannel());
    EXPECT_EQ(pixel_difference(first, composed(false)[0]), "");
}

// --- bad values ---

TEST_F(ExportFlagsTest, BadValuesExitOneWithOneClearLine) {
    const std::vector<std::pair<QStringList, QString>> cases = {
        {{"--frame-ms", "19"}, "--frame-ms"},
        {{"--frame-ms", "0"}, "--frame-ms"},
        {{"--frame-ms", "65536"}, "--frame-ms"},
        {{"--frame-ms", "8x"}, "--frame-ms"},
        {{"--frame-ms=-40"}, "--frame-ms"},
        {{"--frame-ms", "40", "--frame-ms", "50"}, "twice"},
        {{"--loop", "-1"}, "--loop"},
        {{"--loop", "65536"}, "--loop"},
        {{"--loop", "forever"}, "--loop"},
        {{"--format", "tiff"}, "apng"},
        {{"--transparent=yes"}, "--transparent"},
        {{"--transparent", "--transparent"}, "twice"},
        {{"--frame-ms"}, "needs a value"},
    };
    for (const auto& [options, word] : cases) {
        const Outcome run = koma_export(options);
        const std::string what = options.join(' ').toStdString();
        EXPECT_EQ(run.code, 1) << what;
        EXPECT_EQ(run.out, "") << what;
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("koma: "))) << what;
        EXPECT_EQ(run.err.count(QLatin1Char('\n')), 1) << what << ": " << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(word)) << what << ": " << run.err.toStdString();
    }
    EXPECT_TRUE(files().isEmpty());
}

TEST_F(ExportFlagsTest, TheSmallestAndLargestValuesAreTaken) {
    EXPECT_EQ(koma_export({"--format", "apng", "--frame-ms", "20", "--loop", "65535"}).code, 0);
    const auto apng = test::decode_apng_file(path("saved/walk.png"));
    EXPECT_EQ(apng.delays_ms, std::vector<double>(4, 20));
    EXPECT_EQ(apng.num_plays, 65535);
}

TEST_F(ExportFlagsTest, HelpDescribesEveryOption) {
    const Outcome help = run_koma({"--help"}, dir.path());
    EXPECT_EQ(help.code, 0);
    for (const char* word : {"--format png", "--format apng", "--format webp", "--frame-ms N",
                             "--loop N", "--transparent"}) {
        EXPECT_TRUE(help.out.contains(QLatin1String(word))) << word;
    }
}

}  // namespace
}  // namespace koma
