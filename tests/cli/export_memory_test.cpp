// Peak memory of the real program's exports, 10 steps against 91 on the same large stage: what
// an export holds at once must not grow with the number of steps.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <vector>

#include "compose/startup.h"
#include "state/load_save.h"

extern char** environ;

namespace koma {
namespace {

constexpr int kStageW = 800;
constexpr int kStageH = 600;
constexpr long kStageKb = kStageW * kStageH * 4 / 1024;

/// Peak resident memory in KiB of one run of the program, or -1 when it did not end well.
long peak_kb(const QStringList& arguments) {
    std::vector<QByteArray> args{QByteArray(KOMA_BINARY)};
    for (const QString& a : arguments) args.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    // Without a display; a sanitizer build keeps no freed memory aside, which would look like
    // memory held.
    QByteArray asan = qgetenv("ASAN_OPTIONS");
    asan = "ASAN_OPTIONS=" + asan + (asan.isEmpty() ? "" : ":") + "quarantine_size_mb=0";
    std::vector<QByteArray> env{"QT_QPA_PLATFORM=offscreen", asan};
    for (char** e = environ; *e; ++e) {
        const QByteArray entry(*e);
        if (!entry.startsWith("DISPLAY=") && !entry.startsWith("QT_QPA_PLATFORM=") &&
            !entry.startsWith("ASAN_OPTIONS=")) {
            env.push_back(entry);
        }
    }
    std::vector<char*> envp;
    for (QByteArray& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return -1;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return -1;
    }
    return usage.ru_maxrss;
}

// An 800 x 600 stage: a plain sky (the background's key colour, clear when exported
// transparent) over striped ground; a 60 x 90 figure keyed on magenta walking 8 px a step.
class ExportMemoryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QImage background(kStageW, kStageH, QImage::Format_RGB32);
        background.fill(qRgb(120, 170, 235));
        for (int y = 400; y < kStageH; ++y) {
            for (int x = 0; x < kStageW; ++x) {
                background.setPixel(x, y,
                                    (x / 20 + y / 10) % 3 ? qRgb(90, 140, 60) : qRgb(150, 120, 80));
            }
        }
        ASSERT_TRUE(background.save(dir.filePath("bg.png")));
        QImage figure(60, 90, QImage::Format_RGB32);
        figure.fill(qRgb(255, 0, 255));
        for (int y = 5; y < 85; ++y) {
            for (int x = 10; x < 50; ++x) {
                figure.setPixel(x, y, y < 30 ? qRgb(250, 210, 170) : qRgb(220, 60, 50));
            }
        }
        ASSERT_TRUE(figure.save(dir.filePath("figure.png")));
        for (int steps : {10, 91}) write_state(steps);
    }

    void write_state(int steps) {
        EditingModel m(dir.path());
        Form1_Load(m);
        m.work_path = state(steps);
        m.slot_files[0] = dir.filePath("bg.png");
        m.slot_files[1] = dir.filePath("figure.png");
        m.pattern_anime.set_text(QString(steps, QLatin1Char('1')));
        m.adjust_y.set_value(360);
        m.sc_bar.set_value(8);
        m.basename.set_text(QStringLiteral("walk"));
        m.export_lists.set_path(dir.path());
        m.state_mode = 2;
        ASSERT_TRUE(load_save(m).has_value());
    }

    QString state(int steps) const { return dir.filePath(QStringLiteral("s%1.pst").arg(steps)); }

    /// How much more memory 91 steps take than 10.
    long growth_kb(const QStringList& options) {
        long peak[2] = {0, 0};
        int k = 0;
        for (int steps : {10, 91}) {
            QStringList arguments{QStringLiteral("export"), state(steps), QStringLiteral("--out"),
                                  dir.path()};
            arguments << options;
            peak[k] = peak_kb(arguments);
            EXPECT_GT(peak[k], 0) << options.join(' ').toStdString() << ", " << steps << " steps";
            ++k;
        }
        return peak[1] - peak[0];
    }

    QTemporaryDir dir;
};

// 81 more steps held as stages would be 81 x 1875 KiB; the streaming writers hold the same few
// stages whatever the number of steps, and what they keep per step (the coded frames, a GIF's
// captures of what changed) is far below one stage.
TEST_F(ExportMemoryTest, AnimationsHoldAFewStagesWhateverTheNumberOfSteps) {
#if defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer gives every allocation redzones and shadow memory: the GIF's many small
    // captures then weigh several times what they weigh in the program users run.
    GTEST_SKIP() << "peak memory is measured without AddressSanitizer";
#endif
    for (const QStringList& options :
         {QStringList{"--format", "apng"}, QStringList{"--format", "apng", "--transparent"},
          QStringList{"--format", "gif"}, QStringList{"--format", "gif", "--transparent"},
          QStringList{"--format", "webp", "--transparent"}}) {
        EXPECT_LT(growth_kb(options), kStageKb) << options.join(' ').toStdString();
    }
}

}  // namespace
}  // namespace koma
