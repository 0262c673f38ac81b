// The time from a slot file's rename (as an image editor saves) to the stage showing the new
// picture, with the walk scene's preview running: the file system's notice, the wait for the
// writes to stop, decoding, and composing the step on the stage. Prints the median, the
// fastest and the slowest of the runs, and the part of it that is the notice alone.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "compose/animation_preview.h"
#include "compose/startup.h"
#include "export_scene.h"
#include "import/slot_follower.h"
#include "model/edit_history.h"
#include "platform/system_file_watch.h"
#include "state/recorded_load_save.h"

using namespace koma;

namespace {

struct Figures {
    double median, fastest, slowest;
};

Figures figures(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.front(), ms.back()};
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 20;
    QTemporaryDir dir;
    const auto state = bench::write_scene_files(dir.path(), dir.path());
    if (!state) {
        std::fprintf(stderr, "%s\n", qPrintable(state.error()));
        return 1;
    }
    EditingModel model(dir.path());
    Form1_Load(model);
    EditHistory history(model);
    model.work_path = *state;
    model.state_mode = 1;
    if (!recorded_load_save(model)) return 1;
    anime_click(model);  // the preview runs: the stage shows a composed step

    SystemFileWatch watch;
    SlotFollower follower(model, watch);
    const QString sky = model.slot_files[kBackgroundSlot];
    const QImage scene_sky(sky);
    QElapsedTimer clock;
    qint64 touched_at = -1;
    QObject::connect(&watch, &FileWatch::touched, [&] {
        if (touched_at < 0) touched_at = clock.nsecsElapsed();
    });

    std::vector<double> shown, noticed;
    for (int run = 0; run < runs; ++run) {
        // Every run another sky: the scene's with its colours turned around a different way.
        QImage picture = scene_sky.convertToFormat(QImage::Format_RGB32);
        const QRgb mark = qRgb(run * 7 % 256, 255 - run * 11 % 256, 100);
        picture.setPixel(0, 0, mark);
        const QString saving = sky + QStringLiteral(".saving");
        picture.save(saving, "PNG");
        touched_at = -1;
        clock.start();
        if (std::rename(QFile::encodeName(saving).constData(),
                        QFile::encodeName(sky).constData()) != 0) {
            return 1;
        }
        while (model.win_main.pixel(0, 0) != mark && clock.elapsed() < 5000) {
            app.processEvents(QEventLoop::WaitForMoreEvents, 5);
        }
        if (model.win_main.pixel(0, 0) != mark) {
            std::fprintf(stderr, "run %d: the stage did not show the new picture\n", run);
            return 1;
        }
        shown.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
        noticed.push_back(static_cast<double>(touched_at) / 1e6);
        // Let the last notices of this run go by before the next one.
        QElapsedTimer pause;
        pause.start();
        while (pause.elapsed() < 300) app.processEvents(QEventLoop::AllEvents, 20);
    }
    const Figures on_stage = figures(shown);
    const Figures notice = figures(noticed);
    std::printf("runs: %d, stage %d x %d, waiting for %d ms without writes\n", runs,
                model.win_main.width_px(), model.win_main.height_px(), DebounceTiming{}.quiet_ms);
    std::printf("rename to stage:  median %.1f ms, fastest %.1f ms, slowest %.1f ms\n",
                on_stage.median, on_stage.fastest, on_stage.slowest);
    std::printf("rename to notice: median %.2f ms, fastest %.2f ms, slowest %.2f ms\n",
                notice.median, notice.fastest, notice.slowest);
    return 0;
}
