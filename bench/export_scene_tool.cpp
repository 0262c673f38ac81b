// Writes the export benchmarks' scenes for the comparison with other encoders, for each scene
// NAME asked for (walk, gradient, plain, photo, flat; all of them when none is named):
//   DIR/NAME/scene/slotN.png and DIR/NAME/scene/scene.pst (its export folder DIR/NAME/out),
//   DIR/NAME/frames/walk00.bmp ..., the composed steps as the export writes them.
// --steps N gives every scene N steps (1 to 91; 91 when not given).
// Prints how long the in-process BMP and GIF exports took.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <cstdio>
#include <vector>

#include "compose/startup.h"
#include "export/frame_export.h"
#include "export/output_format.h"
#include "export_scene.h"

namespace {

int write_scene(const QDir& top, koma::bench::Scene scene, int steps) {
    const QString name = koma::bench::scene_name(scene);
    top.mkpath(name);
    const QDir root(top.filePath(name));
    for (const char* sub : {"scene", "frames", "out"}) {
        root.mkpath(QLatin1String(sub));
    }
    const auto pst =
        koma::bench::write_scene_files(root.filePath("scene"), root.filePath("out"), scene, steps);
    if (!pst) {
        std::fprintf(stderr, "%s\n", qPrintable(pst.error()));
        return 1;
    }

    koma::EditingModel m(root.path());
    koma::Form1_Load(m);
    koma::bench::load_scene(m, scene, steps);
    m.export_lists.set_path(root.filePath("frames"));
    m.basename.set_text(QStringLiteral("walk"));
    QElapsedTimer timer;
    timer.start();
    const auto bmp = koma::bt_exec_Click(m);
    const qint64 bmp_ms = timer.elapsed();
    koma::output_GIF_Click(m);
    m.export_lists.set_path(root.filePath("out"));
    m.basename.set_text(QStringLiteral("inprocess"));
    timer.restart();
    const auto gif = koma::bt_exec_Click(m);
    const qint64 gif_ms = timer.elapsed();
    if (!bmp || !gif) {
        std::fprintf(stderr, "%s\n", qPrintable(bmp ? gif.error() : bmp.error()));
        return 1;
    }
    const QSize size = koma::bench::scene_stage_size(scene);
    std::printf(
        "%s (%d x %d, %d steps): state file %s; in-process export: BMP files %lld ms, GIF %lld "
        "ms\n",
        qPrintable(name), size.width(), size.height(), steps, qPrintable(*pst),
        static_cast<long long>(bmp_ms), static_cast<long long>(gif_ms));
    return 0;
}

int usage() {
    std::fprintf(stderr,
                 "usage: koma_export_scene DIR [--steps N] [walk|gradient|plain|photo|flat ...]\n");
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) return usage();
    const QDir top(args.front());
    int steps = koma::kMaxSteps;
    std::vector<koma::bench::Scene> scenes;
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--steps")) {
            bool ok = false;
            steps = i + 1 < args.size() ? args[++i].toInt(&ok) : 0;
            if (!ok || steps < 1 || steps > koma::kMaxSteps) return usage();
        } else if (const auto scene = koma::bench::scene_named(args[i])) {
            scenes.push_back(*scene);
        } else {
            return usage();
        }
    }
    if (scenes.empty()) {
        scenes.assign(std::begin(koma::bench::kScenes), std::end(koma::bench::kScenes));
    }
    top.mkpath(QStringLiteral("."));
    for (const auto scene : scenes) {
        if (const int code = write_scene(top, scene, steps); code != 0) return code;
    }
    return 0;
}
