#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "compose/startup.h"
#include "state/load_save.h"
#include "support/pixels.h"

namespace koma {
namespace {

// No window system at all: no display, no Wayland, no platform chosen. The dynamic loader names
// every library it maps when LD_DEBUG=libs is set; those lines go to stderr.
QProcessEnvironment without_display(bool offscreen) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        env.remove(QLatin1String(name));
    }
    if (offscreen) env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("LD_DEBUG"), QStringLiteral("libs"));
    return env;
}

struct Traced {
    int code = -1;
    QString out;
    QString loader;  // stderr: the loader's lines and any message of the program
};

Traced run_traced(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessEnvironment(without_display(false));
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(30000));
    Traced run;
    run.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.loader = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

// A QApplication would load a platform plugin to reach the window system; the command line must
// not, or it would need a display.
void expect_no_platform_plugin(const Traced& run, const QString& what) {
    // The trace is there at all: otherwise the absence below would prove nothing.
    EXPECT_TRUE(run.loader.contains(QLatin1String("libQt6Core.so"))) << what.toStdString();
    EXPECT_FALSE(run.loader.contains(QLatin1String("/platforms/libq")))
        << what.toStdString() << " loads a platform plugin";
}

TEST(NoDisplay, VersionAndHelpRunWithoutOne) {
    const Traced version = run_traced(QStringLiteral(KOMA_BINARY), {"--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out, QStringLiteral("koma %1\n").arg(QLatin1String(KOMA_VERSION)));
    expect_no_platform_plugin(version, "--version");
    const Traced help = run_traced(QStringLiteral(KOMA_BINARY), {"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.startsWith("Usage:")) << help.out.toStdString();
    expect_no_platform_plugin(help, "--help");
}

// A real export, with a BMP background (read through the image plugins) and a PNG frame.
TEST(NoDisplay, AnExportRunsWithoutOne) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(test::solid(6, 4, 0xFF102030u).save(dir.filePath("bg.bmp"), "BMP"));
    ASSERT_TRUE(test::from_rows({"MR", "RM"}).save(dir.filePath("one.png")));
    EditingModel m(dir.path());
    Form1_Load(m);
    m.slot_files[0] = dir.filePath("bg.bmp");
    m.slot_files[1] = dir.filePath("one.png");
    m.pattern_anime.set_text(QStringLiteral("11"));
    m.sc_bar.set_value(1);
    m.basename.set_text(QStringLiteral("walk"));
    m.export_lists.set_path(dir.path());
    m.work_path = dir.filePath("state.pst");
    m.state_mode = 2;
    ASSERT_TRUE(load_save(m).has_value());

    const Traced run = run_traced(QStringLiteral(KOMA_BINARY),
                                  {"export", dir.filePath("state.pst"), "--format", "gif"});
    EXPECT_EQ(run.code, 0) << run.loader.right(400).toStdString();
    EXPECT_EQ(run.out, dir.filePath("walk.gif") + "\n");
    EXPECT_TRUE(QFile::exists(dir.filePath("walk.gif")));
    expect_no_platform_plugin(run, "export");
}

// The program is one file: copied alone into an empty folder, it opens its main window (here on
// the offscreen platform) and stays in the event loop until it is stopped.
TEST(NoDisplay, TheProgramCopiedAloneOpensItsWindow) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString copy = dir.filePath("koma");
    ASSERT_TRUE(QFile::copy(QStringLiteral(KOMA_BINARY), copy));
    ASSERT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);

    QProcess process;
    process.setProcessEnvironment(without_display(true));
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(copy, QStringList{});
    ASSERT_TRUE(process.waitForStarted(30000));
    QByteArray trace;
    QElapsedTimer waited;
    waited.start();
    while (!trace.contains("/platforms/libqoffscreen.so") && waited.elapsed() < 30000 &&
           process.state() == QProcess::Running) {
        process.waitForReadyRead(200);
        trace += process.readAll();
    }
    // Give a failing start-up the time to end the process.
    process.waitForFinished(1000);
    const bool running = process.state() == QProcess::Running;
    process.kill();
    process.waitForFinished(30000);
    trace += process.readAll();
    EXPECT_TRUE(running) << trace.right(400).toStdString();
    EXPECT_TRUE(trace.contains("libQt6Widgets.so"));
    EXPECT_TRUE(trace.contains("/platforms/libqoffscreen.so"));
}

}  // namespace
}  // namespace koma
