#include "export_scene.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTextStream>
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "compose/compose_frame.h"
#include "model/slot_loader.h"
#include "walk_art.h"

namespace koma::bench {

namespace {

// The walk scene's stage; the other scenes place things in proportion to it.
constexpr int kWalkW = 462;
constexpr int kWalkH = 110;
const QColor kFrameKey(0, 255, 255);
const QColor kFlatSky(120, 170, 235);

/// A scene's stage and how much larger than the walk scene its figure and frame are drawn.
/// Heights are counted from the bottom, so that a taller stage gets more sky.
struct Geometry {
    int width = kWalkW;
    int height = kWalkH;
    int scale = 1;

    /// A distance of the walk scene, scaled.
    int len(int walk_px) const { return walk_px * scale; }
    /// A horizontal place of the walk scene, as the same share of this stage's width.
    int x(int walk_x) const { return walk_x * width / kWalkW; }
    /// The row `walk_y` of the walk scene, kept at its distance from the bottom, scaled.
    int y(int walk_y) const { return height - (kWalkH - walk_y) * scale; }
    /// Pixels the figure moves per step: five on the walk scene's stage, and across this stage
    /// once (wrapping once) in 91 steps on any other.
    int travel() const {
        return scale == 1 ? 5 : static_cast<int>(std::lround(5.0 * width / kWalkW));
    }
};

Geometry geometry(Scene scene) {
    switch (scene) {
        case Scene::Photo:
            return {1280, 720, 6};
        case Scene::Flat:
            return {1920, 1080, 9};
        case Scene::Walk:
        case Scene::Gradient:
        case Scene::Plain:
            break;
    }
    return {};
}

QRgb* row_of(QImage& image, int y) { return reinterpret_cast<QRgb*>(image.scanLine(y)); }

// A ramp in three channels: red along x, green along y, blue across the diagonal, so that
// nearly every pixel has a colour of its own.
QImage gradient() {
    QImage image(kWalkW, kWalkH, QImage::Format_RGB32);
    for (int y = 0; y < kWalkH; ++y) {
        for (int x = 0; x < kWalkW; ++x) {
            image.setPixel(x, y, qRgb(40 + x * 200 / kWalkW, 30 + y * 2, 90 + (x + 3 * y) % 160));
        }
    }
    return image;
}

/// A plain sky, sun, clouds, hills with a darker rim and striped ground, in 14 flat colours.
QImage flat_landscape(const Geometry& g) {
    QImage image(g.width, g.height, QImage::Format_RGB32);
    image.fill(kFlatSky);
    QPainter p(&image);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 236, 160));
    p.drawEllipse(QPoint(g.x(400), g.len(24)), g.len(12), g.len(12));
    p.setBrush(QColor(250, 250, 250));
    for (const QPoint c :
         {QPoint(g.x(60), g.len(22)), QPoint(g.x(190), g.len(14)), QPoint(g.x(310), g.len(30))}) {
        p.drawEllipse(c, g.len(20), g.len(6));
        p.drawEllipse(c + QPoint(g.len(12), -g.len(4)), g.len(12), g.len(6));
    }
    p.end();
    const int ground = g.y(96);
    for (int x = 0; x < g.width; ++x) {
        const int top =
            g.y(70) + static_cast<int>(std::lround(g.len(8) * std::sin(x / (37.0 * g.scale))));
        for (int y = top; y < ground; ++y) {
            row_of(image, y)[x] = y < top + g.len(2) ? qRgb(80, 140, 80) : qRgb(110, 170, 110);
        }
        for (int y = ground; y < g.height; ++y) {
            row_of(image, y)[x] = (x / g.len(7) + (y - ground) / g.len(3)) % 5 == 0
                                      ? qRgb(130, 100, 70)
                                      : qRgb(150, 120, 80);
        }
    }
    return image;
}

/// A repeatable value in -4..4 for pixel (x, y) and channel `c`: the grain of a photograph.
int grain(int x, int y, int c) {
    uint32_t h = static_cast<uint32_t>(x) * 0x9E3779B1u ^ static_cast<uint32_t>(y) * 0x85EBCA77u ^
                 static_cast<uint32_t>(c) * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    return static_cast<int>(h % 9u) - 4;
}

uint8_t channel(double value) {
    return static_cast<uint8_t>(std::clamp(static_cast<int>(std::lround(value)), 0, 255));
}

// Like a photograph of a landscape: a sky darkening upwards with a glow around the sun, a
// rolling horizon, ground shaded by distance and by long waves, all with a fine grain of its
// own in every channel.
QImage photo(const Geometry& g) {
    QImage image(g.width, g.height, QImage::Format_RGB32);
    const double sun_x = 0.72 * g.width;
    const double sun_y = 0.18 * g.height;
    const double glow = 0.12 * g.height;
    for (int y = 0; y < g.height; ++y) {
        QRgb* row = row_of(image, y);
        for (int x = 0; x < g.width; ++x) {
            const double horizon = 0.62 * g.height + 0.04 * g.height * std::sin(x / 140.0) +
                                   0.015 * g.height * std::sin(x / 37.0 + 1.0);
            double r = 0, gr = 0, b = 0;
            if (y < horizon) {
                const double t = y / horizon;
                const double dx = x - sun_x, dy = y - sun_y;
                const double shine = 90.0 * std::exp(-(dx * dx + dy * dy) / (2 * glow * glow));
                r = 55 + 140 * t + shine;
                gr = 105 + 105 * t + shine * 0.9;
                b = 190 + 50 * t + shine * 0.4;
            } else {
                const double t = (y - horizon) / (g.height - horizon);
                const double wave = std::sin(x / 90.0 + y / 45.0);
                r = 70 + 80 * t + 18 * wave;
                gr = 120 - 35 * t + 12 * wave;
                b = 50 + 10 * t;
            }
            row[x] = qRgb(channel(r + grain(x, y, 0)), channel(gr + grain(x, y, 1)),
                          channel(b + grain(x, y, 2)));
        }
    }
    return image;
}

QImage background(Scene scene, const Geometry& g) {
    switch (scene) {
        case Scene::Gradient:
            return gradient();
        case Scene::Photo:
            return photo(g);
        case Scene::Flat:
            return flat_landscape(g);
        case Scene::Walk:
        case Scene::Plain:
            break;
    }
    return art::walk_background();
}

// The walk's pixel-art figure, each pixel drawn as a square of the scene's scale, so that the
// key colour stays exact.
QImage figure(int pose, const Geometry& g) {
    const QImage small = art::walk_figure(pose, 9);
    if (g.scale == 1) return small;
    return small.scaled(small.size() * g.scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

// A wooden frame around the stage and a signpost, on the cyan key.
QImage frame(const Geometry& g) {
    QImage image(g.width, g.height, QImage::Format_RGB32);
    image.fill(kFrameKey);
    QPainter p(&image);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(110, 70, 30));
    const int edge = g.len(4);
    p.drawRect(0, 0, g.width, edge);
    p.drawRect(0, g.height - edge, g.width, edge);
    p.drawRect(0, 0, edge, g.height);
    p.drawRect(g.width - edge, 0, edge, g.height);
    p.setBrush(QColor(160, 110, 50));
    p.drawRect(g.len(1), g.len(1), g.width - g.len(2), g.len(1));
    const int post = g.x(230);
    p.drawRect(post, g.y(60), g.len(4), g.len(46));
    p.drawRect(post - g.len(16), g.y(58), g.len(36), g.len(12));
    p.end();
    image.setPixel(0, 0, kFrameKey.rgb());  // a cut corner: the key is the top-left pixel
    return image;
}

}  // namespace

QString scene_name(Scene scene) {
    switch (scene) {
        case Scene::Walk:
            return QStringLiteral("walk");
        case Scene::Gradient:
            return QStringLiteral("gradient");
        case Scene::Plain:
            return QStringLiteral("plain");
        case Scene::Photo:
            return QStringLiteral("photo");
        case Scene::Flat:
            return QStringLiteral("flat");
    }
    return {};
}

std::optional<Scene> scene_named(const QString& name) {
    for (const Scene scene : kScenes) {
        if (scene_name(scene) == name) return scene;
    }
    return std::nullopt;
}

QSize scene_stage_size(Scene scene) {
    const Geometry g = geometry(scene);
    return {g.width, g.height};
}

void load_scene(EditingModel& m, Scene scene, int steps) {
    steps = std::clamp(steps, 1, kMaxSteps);
    const Geometry g = geometry(scene);
    if (scene == Scene::Plain) {
        // As reading a state file with a plain background builds slot 0.
        m.bg_from_file = 0;
        m.bg_color = static_cast<uint32_t>(qRed(kPlainSky) | qGreen(kPlainSky) << 8 |
                                           qBlue(kPlainSky) << 16);
        m.stage_width = static_cast<int16_t>(g.width * 15);
        m.stage_height = static_cast<int16_t>(g.height * 15);
        m.pic[0].resize_pixels(g.width, g.height);
        m.pic[0].fill(kPlainSky);
    } else {
        m.pic[0].set_picture(background(scene, g));
    }
    // As reading a state file does: the offset bars reach across the background.
    fit_ranges_to_background(m);
    m.win_main.resize_pixels(g.width, g.height);
    for (int i = 1; i <= 9; ++i) {
        m.pic[i].set_picture(figure(i - 1, g));
    }
    m.pic[10].set_picture(frame(g));
    QString pattern;
    for (int k = 0; k < steps; ++k) {
        pattern += QChar(u'1' + k % 9);
    }
    m.pattern_anime.set_text(pattern);
    m.adjust_y.set_value(g.y(56));
    // The travel bar holds a few pixels; what a large stage needs more goes into every step.
    const int travel = g.travel();
    m.sc_bar.set_value(std::min(travel, m.sc_bar.max()));
    for (int k = 0; k < kMaxSteps; ++k) {
        m.step_dx[k] = static_cast<int16_t>(k < steps ? travel - m.sc_bar.value() : 0);
        m.step_dy[k] = static_cast<int16_t>(k >= steps ? 0 : k % 2 == 0 ? -g.len(2) : g.len(2));
    }
}

std::expected<QString, QString> write_scene_files(const QString& folder,
                                                  const QString& export_folder, Scene scene,
                                                  int steps) {
    EditingModel m(folder);
    load_scene(m, scene, steps);
    QStringList slot_paths;
    for (int i = 0; i < kSlotCount; ++i) {
        if (i == 0 && scene == Scene::Plain) {
            slot_paths << QString();
            continue;
        }
        const QString path = QDir(folder).filePath(QStringLiteral("slot%1.png").arg(i));
        if (!m.pic[i].image().save(path, "PNG")) {
            return std::unexpected(QStringLiteral("cannot write %1").arg(path));
        }
        slot_paths << path;
    }
    const QString pst = QDir(folder).filePath(QStringLiteral("scene.pst"));
    QFile file(pst);
    if (!file.open(QIODevice::WriteOnly)) {
        return std::unexpected(QStringLiteral("cannot write %1").arg(pst));
    }
    QTextStream out(&file);
    auto quoted = [](const QString& s) { return QLatin1Char('"') + s + QLatin1Char('"'); };
    for (const QString& path : slot_paths) {
        out << quoted(path) << "\r\n";
    }
    out << m.adjust_x.value() << ',' << m.adjust_y.value() << ',' << m.sc_bar.value() << ','
        << quoted(m.pattern_anime.text()) << ',' << quoted(QStringLiteral("/")) << ','
        << quoted(export_folder) << ',' << quoted(QStringLiteral("walk")) << ',' << quoted(folder)
        << "\r\n";
    for (int k = 0; k < m.pattern_anime.text().size(); ++k) {
        out << m.step_dx[k] << ',' << m.step_dy[k] << "\r\n";
    }
    if (scene == Scene::Plain) {
        out << "#FALSE#," << m.bg_color << ',' << m.stage_width << ',' << m.stage_height << "\r\n";
    } else {
        out << "#TRUE#,16777215,80,50\r\n";
    }
    return pst;
}

}  // namespace koma::bench
