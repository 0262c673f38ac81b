#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "app/startup.h"
#include "state/load_save.h"
#include "support/pixels.h"

namespace koma {
namespace {

// The dynamic loader names every library it maps when LD_DEBUG=libs is set; those lines go to
// stderr with the program's own output.
QProcessEnvironment loader_tracing(bool display) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        env.remove(QLatin1String(name));
    }
    if (display) env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("LD_DEBUG"), QStringLiteral("libs"));
    return env;
}

struct Traced {
    int code = -1;
    QString out;
    QString loader;  // stderr: the loader's lines and any message of the program
};

Traced run_traced(const QStringList& arguments) {
    QProcess process;
    process.setProcessEnvironment(loader_tracing(false));
    process.start(QStringLiteral(KOMA_BINARY), arguments);
    EXPECT_TRUE(process.waitForFinished(30000));
    Traced run;
    run.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.loader = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

// The libraries that only the windows need: the widgets, the module that holds them, and the
// window system's connection that a QApplication opens through a platform plugin.
void expect_no_window_library(const Traced& run, const QString& what) {
    // The trace is there at all: otherwise the absence below would prove nothing.
    EXPECT_TRUE(run.loader.contains(QLatin1String("libQt6Core.so"))) << what.toStdString();
    for (const char* library : {"libQt6Widgets.so", "koma_windows.so", "/platforms/libq"}) {
        EXPECT_FALSE(run.loader.contains(QLatin1String(library)))
            << what.toStdString() << " maps " << library;
    }
}

TEST(WindowLibraries, VersionAndHelpMapNone) {
    const Traced version = run_traced({"--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out, QStringLiteral("koma %1\n").arg(QLatin1String(KOMA_VERSION)));
    expect_no_window_library(version, "--version");
    const Traced help = run_traced({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.startsWith("Usage:")) << help.out.toStdString();
    expect_no_window_library(help, "--help");
}

// A real export, with a BMP background (read through the image plugins) and a PNG frame.
TEST(WindowLibraries, AnExportMapsNone) {
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

    const Traced run = run_traced({"export", dir.filePath("state.pst"), "--format", "gif"});
    EXPECT_EQ(run.code, 0) << run.loader.right(400).toStdString();
    EXPECT_EQ(run.out, dir.filePath("walk.gif") + "\n");
    EXPECT_TRUE(QFile::exists(dir.filePath("walk.gif")));
    expect_no_window_library(run, "export");
}

// The other half: without a command the program loads its window module and stays in the
// window system's event loop (here with the offscreen platform) until it is stopped.
TEST(WindowLibraries, TheWindowLoadsTheModule) {
    QProcess process;
    process.setProcessEnvironment(loader_tracing(true));
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral(KOMA_BINARY), QStringList{});
    ASSERT_TRUE(process.waitForStarted(30000));
    QByteArray trace;
    QElapsedTimer waited;
    waited.start();
    while (!trace.contains("/platforms/libqoffscreen.so") && waited.elapsed() < 30000 &&
           process.state() == QProcess::Running) {
        process.waitForReadyRead(200);
        trace += process.readAll();
    }
    const bool running = process.state() == QProcess::Running;
    process.kill();
    process.waitForFinished(30000);
    trace += process.readAll();
    EXPECT_TRUE(running) << trace.right(400).toStdString();
    EXPECT_TRUE(trace.contains("koma_windows.so"));
    EXPECT_TRUE(trace.contains("libQt6Widgets.so"));
    EXPECT_TRUE(trace.contains("/platforms/libqoffscreen.so"));
}

}  // namespace
}  // namespace koma
