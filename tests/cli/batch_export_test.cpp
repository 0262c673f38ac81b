#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include "compose/compose_frame.h"
#include "compose/startup.h"
#include "state/load_save.h"
#include "support/gif_reader.h"
#include "support/koma_process.h"
#include "support/pixels.h"

namespace koma {
namespace {

using test::from_rows;

using Outcome = test::KomaRun;

// Runs the real program with no display at all.
Outcome run_koma(const QStringList& arguments, const QString& working_folder) {
    return test::run_koma_binary(arguments, working_folder);
}

// A state file written by the program itself: a 9 x 3 background, two frames in slots 1 and 2,
// the pattern "1212" travelling 2 px per step, basename "walk", export folder "saved".
class ExportCommandTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QDir(dir.path()).mkpath(QStringLiteral("saved"));
        QDir(dir.path()).mkpath(QStringLiteral("work"));
        QImage background = test::solid(9, 3, 0xFF000000u);
        background.setPixel(4, 1, 0xFFFFFF00u);
        ASSERT_TRUE(background.save(path("bg.png")));
        ASSERT_TRUE(from_rows({"MRR", "MRM"}).save(path("one.png")));
        ASSERT_TRUE(from_rows({"MGB"}).save(path("two.png")));
        write_state(QStringLiteral("1212"), path("state.pst"));
    }

    QString path(const QString& name) const { return dir.filePath(name); }

    void write_state(const QString& pattern, const QString& file) {
        EditingModel m(path("work"));
        Form1_Load(m);
        m.work_path = file;
        m.state_mode = 1;
        // Start from the images on disk, as LOAD would restore them.
        m.slot_files[0] = path("bg.png");
        m.slot_files[1] = path("one.png");
        m.slot_files[2] = path("two.png");
        m.pattern_anime.set_text(pattern);
        m.sc_bar.set_value(2);
        m.basename.set_text(QStringLiteral("walk"));
        m.export_lists.set_path(path("saved"));
        m.state_mode = 2;
        ASSERT_TRUE(load_save(m).has_value());
    }

    /// The stages "コマ作成" composes for the state file, read back as LOAD reads it.
    std::vector<QImage> composed(const QString& file) {
        EditingModel m(path("work"));
        Form1_Load(m);
        m.work_path = file;
        m.state_mode = 1;
        EXPECT_TRUE(load_save(m).has_value());
        std::vector<QImage> stages;
        for (int i = 0; i < m.pattern_anime.text().size(); ++i) {
            m.pattern_pos = static_cast<int16_t>(i);
            EXPECT_TRUE(ComposeFrame(m, 0));
            stages.push_back(m.win_main.image().copy());
        }
        return stages;
    }

    QStringList files(const QString& folder) const {
        return QDir(path(folder)).entryList(QDir::Files, QDir::Name);
    }

    QTemporaryDir dir;
};

TEST_F(ExportCommandTest, BmpIsTheDefaultAndGoesToTheSavedFolder) {
    const Outcome run = run_koma({"export", path("state.pst")}, path("work"));
    EXPECT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_EQ(run.err, "");
    const QStringList expected{"walk00.bmp", "walk01.bmp", "walk02.bmp", "walk03.bmp"};
    EXPECT_EQ(files("saved"), expected);
    QString lines;
    for (const QString& name : expected) lines += path("saved") + "/" + name + "\n";
    EXPECT_EQ(run.out, lines);

    const std::vector<QImage> stages = composed(path("state.pst"));
    ASSERT_EQ(stages.size(), 4u);
    EXPECT_NE(stages[0], stages[1]);
    for (int i = 0; i < 4; ++i) {
        const QImage written(path("saved/") + expected[i]);
        EXPECT_EQ(written.convertToFormat(QImage::Format_RGB32), stages[i]) << "step " << i;
    }
}

TEST_F(ExportCommandTest, GifWithOutFolderAndBasename) {
    const Outcome run = run_koma(
        {"export", path("state.pst"), "--format", "gif", "--out", "../saved", "--basename=anim"},
        path("work"));
    EXPECT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, path("saved") + "/anim.gif\n");
    EXPECT_EQ(files("saved"), QStringList{"anim.gif"});
    const test::DecodedGif gif = test::decode_gif(path("saved/anim.gif"));
    ASSERT_TRUE(gif.error.isEmpty()) << gif.error.toStdString();
    const std::vector<QImage> stages = composed(path("state.pst"));
    ASSERT_EQ(gif.frames.size(), stages.size());
    for (size_t i = 0; i < stages.size(); ++i) EXPECT_EQ(gif.frames[i], stages[i]) << i;
    EXPECT_EQ(gif.delays, std::vector<int>(4, 8));
    EXPECT_EQ(gif.loop_count, 0);
}

TEST_F(ExportCommandTest, AMissingSavedFolderMeansTheCurrentFolder) {
    ASSERT_TRUE(QDir(path("saved")).removeRecursively());
    const Outcome run = run_koma({"export", "../state.pst", "--format", "gif"}, path("work"));
    EXPECT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_EQ(files("work"), QStringList{"walk.gif"});
}

TEST_F(ExportCommandTest, UsageErrorsExitOneWithOneLine) {
    for (const QStringList& arguments :
         {QStringList{"export"}, QStringList{"export", path("state.pst"), "--format", "tiff"},
          QStringList{"export", path("state.pst"), "--fast"},
          QStringList{"export", path("state.pst"), "--out"},
          QStringList{"export", path("state.pst"), path("state.pst")}}) {
        const Outcome run = run_koma(arguments, path("work"));
        EXPECT_EQ(run.code, 1) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.startsWith("koma: ")) << run.err.toStdString();
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
        EXPECT_EQ(run.out, "");
    }
    EXPECT_TRUE(files("saved").isEmpty());
}

TEST_F(ExportCommandTest, AnUnreadableStateFileExitsTwo) {
    for (const QString& state : {path("missing.pst"), path("saved")}) {
        const Outcome run = run_koma({"export", state}, path("work"));
        EXPECT_EQ(run.code, 2);
        EXPECT_TRUE(run.err.startsWith("koma: cannot read " + state)) << run.err.toStdString();
        EXPECT_EQ(run.err.count('\n'), 1);
    }
    QFile damaged(path("damaged.pst"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("\"a\"\r\n\"b\"\r\n1,2,x\r\n");
    damaged.close();
    const Outcome run = run_koma({"export", path("damaged.pst")}, path("work"));
    EXPECT_EQ(run.code, 2) << run.err.toStdString();
    EXPECT_EQ(run.err.count('\n'), 1);
    EXPECT_TRUE(files("work").isEmpty());
}

TEST_F(ExportCommandTest, AnUnwritableFolderExitsThreeNamingTheFile) {
    QFile plain(path("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    for (const char* format : {"bmp", "gif"}) {
        const Outcome run =
            run_koma({"export", path("state.pst"), "--format", format, "--out", path("plain")},
                     path("work"));
        EXPECT_EQ(run.code, 3);
        const QString file =
            path("plain") + (format == QLatin1String("gif") ? "/walk.gif" : "/walk00.bmp");
        EXPECT_TRUE(run.err.startsWith("koma: cannot export: " + file + ": "))
            << run.err.toStdString();
        EXPECT_EQ(run.err.count('\n'), 1);
        EXPECT_EQ(run.out, "");
    }
}

TEST_F(ExportCommandTest, AReadOnlyFileExitsThreeAndIsKept) {
    const auto read_only = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    for (const char* name : {"walk02.bmp", "walk.gif"}) {
        QFile old(path("saved/") + name);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("kept");
        old.close();
        ASSERT_TRUE(QFile::setPermissions(old.fileName(), read_only));
    }
    for (const char* format : {"bmp", "gif"}) {
        const Outcome run =
            run_koma({"export", path("state.pst"), "--format", format}, path("work"));
        EXPECT_EQ(run.code, 3) << run.err.toStdString();
        const QString file =
            path("saved") + (format == QLatin1String("gif") ? "/walk.gif" : "/walk02.bmp");
        EXPECT_TRUE(run.err.startsWith("koma: cannot export: " + file + ": "))
            << run.err.toStdString();
        EXPECT_EQ(run.err.count('\n'), 1);
        QFile kept(file);
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), "kept");
    }
    // A failed export leaves nothing of its own, not even the steps before the refused file.
    EXPECT_EQ(files("saved"), (QStringList{"walk.gif", "walk02.bmp"}));
}

TEST_F(ExportCommandTest, ALinkToAFifoIsRefusedWithoutWaitingForAReader) {
    // Opening the FIFO to write would wait for a reader forever.
    const QString fifo = path("fifo");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0666), 0);
    ASSERT_TRUE(QFile::link(fifo, path("saved/walk.gif")));
    const Outcome run = run_koma({"export", path("state.pst"), "--format", "gif"}, path("work"));
    EXPECT_EQ(run.code, 3);
    EXPECT_EQ(run.err, "koma: cannot export: " + path("saved/walk.gif") +
                           ": is a FIFO (named pipe), not a file\n");
    EXPECT_TRUE(QFileInfo(path("saved/walk.gif")).isSymLink());
    EXPECT_EQ(QDir(path("saved"))
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
              QStringList{"walk.gif"});
}

TEST_F(ExportCommandTest, AnEmptyPatternWritesNothing) {
    write_state(QString(), path("empty.pst"));
    const Outcome run = run_koma({"export", path("empty.pst"), "--format", "gif"}, path("work"));
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(run.err.contains("nothing to export")) << run.err.toStdString();
    EXPECT_TRUE(files("saved").isEmpty());
}

// Runs the real program with stderr on a pseudo-terminal (stdout on a pipe); returns what the
// terminal showed.
QString run_koma_on_terminal(const QStringList& arguments, int& code) {
    int terminal = -1;
    int side = -1;
    code = -1;
    if (openpty(&terminal, &side, nullptr, nullptr, nullptr) != 0) {
        ADD_FAILURE() << "no pseudo-terminal";
        return {};
    }
    std::vector<QByteArray> owned{QByteArray(KOMA_BINARY)};
    for (const QString& argument : arguments) owned.push_back(argument.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& argument : owned) argv.push_back(argument.data());
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(side, STDERR_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(side);
    QByteArray shown;
    char buffer[512];
    for (ssize_t got; (got = read(terminal, buffer, sizeof buffer)) > 0;) shown.append(buffer, got);
    close(terminal);
    int status = 0;
    waitpid(child, &status, 0);
    code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return QString::fromLocal8Bit(shown);
}

TEST_F(ExportCommandTest, ProgressShowsOnATerminalOnly) {
    int code = -1;
    const QString shown = run_koma_on_terminal(
        {"export", path("state.pst"), "--format", "gif", "--out", path("saved")}, code);
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(shown.contains("\rstep 0/4")) << shown.toStdString();
    EXPECT_TRUE(shown.contains("\rstep 4/4")) << shown.toStdString();
    EXPECT_LT(shown.indexOf("step 1/4"), shown.indexOf("step 2/4"));
    EXPECT_TRUE(shown.endsWith("\r")) << shown.toStdString();  // the line is wiped at the end
    EXPECT_FALSE(shown.contains('\n')) << shown.toStdString();

    // On pipes, as scripts see it: nothing but the file names.
    for (const char* format : {"gif", "bmp"}) {
        const Outcome run =
            run_koma({"export", path("state.pst"), "--format", format}, path("work"));
        EXPECT_EQ(run.code, 0);
        EXPECT_EQ(run.err, "") << format;
        EXPECT_FALSE(run.out.contains("step")) << format;
    }
}

TEST(CommandLineTest, HelpAndVersion) {
    const Outcome help = run_koma({"--help"}, QDir::tempPath());
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.contains("koma export STATE.pst [--format FORMAT] [--out DIR]"));
    const Outcome version = run_koma({"--version"}, QDir::tempPath());
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out, QStringLiteral("koma " KOMA_VERSION "\n"));
    const Outcome unknown = run_koma({"export", "--format"}, QDir::tempPath());
    EXPECT_EQ(unknown.code, 1);
}

TEST_F(ExportCommandTest, EffortMaxWritesTheSameStepsAndOtherEffortsAreRefused) {
    const Outcome run =
        run_koma({"export", path("state.pst"), "--format", "png", "--effort", "max"}, path("work"));
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    const std::vector<QImage> stages = composed(path("state.pst"));
    const QStringList written = files("saved");
    ASSERT_EQ(written.size(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(test::pixel_difference(QImage(path("saved/" + written[i])), stages[i]), "")
            << "step " << i;
    }
    for (const QStringList& options :
         {QStringList{"--effort", "fast"}, QStringList{"--effort=max", "--effort", "max"}}) {
        const Outcome refused =
            run_koma(QStringList{"export", path("state.pst")} + options, path("work"));
        EXPECT_EQ(refused.code, 1) << options.join(' ').toStdString();
        EXPECT_TRUE(refused.err.contains("--effort")) << refused.err.toStdString();
    }
}

}  // namespace
}  // namespace koma
