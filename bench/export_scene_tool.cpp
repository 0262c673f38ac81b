// Writes the export benchmarks' scenes for the comparison with other encoders, for each scene
// NAME (walk, gradient, plain):
//   DIR/NAME/scene/slotN.png and DIR/NAME/scene/scene.pst (its export folder DIR/NAME/out),
//   DIR/NAME/frames/walk00.bmp .. walk90.bmp, the 91 composed steps as the export writes them.
// Prints how long the in-process BMP and GIF exports took.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <cstdio>

#include "compose/startup.h"
#include "export/frame_export.h"
#include "export/output_format.h"
#include "export_scene.h"

namespace {

int write_scene(const QDir& top, koma::bench::Scene scene) {
    const QString name = koma::bench::scene_name(scene);
    top.mkpath(name);
    const QDir root(top.filePath(name));
    for (const char* sub : {"scene", "frames", "out"}) {
        root.mkpath(QLatin1String(sub));
    }
    const auto pst =
        koma::bench::write_scene_files(root.filePath("scene"), root.filePath("out"), scene);
    if (!pst) {
        std::fprintf(stderr, "%s\n", qPrintable(pst.error()));
        return 1;
    }

    koma::EditingModel m(root.path());
    koma::Form1_Load(m);
    koma::bench::load_scene(m, scene);
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
    std::printf("%s: state file %s; in-process export: 91 BMP files %lld ms, GIF %lld ms\n",
                qPrintable(name), qPrintable(*pst), static_cast<long long>(bmp_ms),
                static_cast<long long>(gif_ms));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: koma_export_scene DIR\n");
        return 1;
    }
    const QDir top(QString::fromLocal8Bit(argv[1]));
    top.mkpath(QStringLiteral("."));
    for (const auto scene :
         {koma::bench::Scene::Walk, koma::bench::Scene::Gradient, koma::bench::Scene::Plain}) {
        if (const int code = write_scene(top, scene); code != 0) return code;
    }
    return 0;
}
