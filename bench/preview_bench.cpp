// The preview ("アニメテスト") as the main window runs it, on a benchmark scene (the 1920 x 1080
// flat scene unless named): processor time per tick of
//   compose   ComposeFrame alone, every step of the pattern in turn;
//   refresh   a tick as the timer runs it, ComposeFrame and the views told (Form1::refresh and
//             the other listeners), without painting;
//   paint     the same and the window painted and shown (the event loop run until idle);
//   timer     the preview itself: the 80 ms timer running for a few seconds, the whole
//             process's time divided by the ticks it made.
// Usage: koma_preview_bench [SCENE] [SECONDS]   (run under Xvfb or with QT_QPA_PLATFORM)
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <ctime>

#include "app/main_window.h"
#include "compose/animation_preview.h"
#include "compose/compose_frame.h"
#include "compose/startup.h"
#include "export_scene.h"

namespace {

double process_cpu_ms() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

void report(const char* what, double cpu_ms, int ticks, int frame_ms) {
    const double per_tick = cpu_ms / ticks;
    std::printf("%-8s %4d ticks  %7.2f ms CPU a tick  %5.1f %% of one core at %d ms a tick\n", what,
                ticks, per_tick, 100.0 * per_tick / frame_ms, frame_ms);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const auto scene = koma::bench::scene_named(argc > 1 ? QString::fromLocal8Bit(argv[1])
                                                         : QStringLiteral("flat"));
    const double seconds = argc > 2 ? std::atof(argv[2]) : 8.0;
    if (!scene || seconds <= 0) {
        std::fprintf(stderr, "usage: koma_preview_bench [SCENE] [SECONDS]\n");
        return 1;
    }
    QTemporaryDir dir;
    koma::EditingModel m(dir.path());
    koma::Form1_Load(m);
    koma::bench::load_scene(m, *scene);
    koma::Form1 window(m);
    m.notify();
    window.show();
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 500) QApplication::processEvents();
    const int frame_ms = m.export_settings.frame_ms;
    const int steps = static_cast<int>(m.pattern_anime.text().size());
    const QSize stage = koma::bench::scene_stage_size(*scene);
    std::printf("%s scene, %d x %d stage, window %d x %d\n",
                qPrintable(koma::bench::scene_name(*scene)), stage.width(), stage.height(),
                window.width(), window.height());

    double start = process_cpu_ms();
    for (int i = 0; i < steps; ++i) {
        m.pattern_pos = static_cast<int16_t>(i);
        koma::ComposeFrame(m, 0);
    }
    report("compose", process_cpu_ms() - start, steps, frame_ms);

    m.pattern_pos = 0;
    start = process_cpu_ms();
    for (int i = 0; i < steps; ++i) {
        koma::timer1_tick(m);
        m.notify();
    }
    report("refresh", process_cpu_ms() - start, steps, frame_ms);
    QApplication::processEvents();

    start = process_cpu_ms();
    for (int i = 0; i < steps; ++i) {
        koma::timer1_tick(m);
        m.notify();
        QApplication::processEvents();
    }
    report("paint", process_cpu_ms() - start, steps, frame_ms);

    // The preview itself, started as its button does; each tick tells the views once.
    int ticks = 0;
    QObject::connect(&m, &koma::EditingModel::changed, [&] { ++ticks; });
    koma::anime_click(m);
    m.notify();
    ticks = 0;
    QTimer::singleShot(static_cast<int>(seconds * 1000), &app, &QApplication::quit);
    start = process_cpu_ms();
    QApplication::exec();
    report("timer", process_cpu_ms() - start, ticks, frame_ms);
    return 0;
}
