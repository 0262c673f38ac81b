// Draws the images of the example project: a sky-and-hills background, eight poses of a small
// walking figure on a magenta key colour, and a foreground of grass and a signpost on a cyan key
// colour. Pixel art: no antialiasing, so the key colours stay exact.
#include <QGuiApplication>
#include <QImage>
#include <cstdio>

#include "walk_art.h"

namespace {

using namespace koma;

bool save(const QImage& image, const QString& path) {
    if (!image.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: koma_example_art FOLDER\n");
        return 1;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    bool ok = save(art::walk_background(), folder + QStringLiteral("/sky.png"));
    for (int phase = 0; phase < 8; ++phase) {
        ok = save(art::walk_figure(phase, 8),
                  folder + QStringLiteral("/walk%1.png").arg(phase + 1)) &&
             ok;
    }
    ok = save(art::walk_foreground(), folder + QStringLiteral("/grass.png")) && ok;
    return ok ? 0 : 2;
}
