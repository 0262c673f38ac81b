#include "export_scene.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTextStream>
#include <cmath>

#include "compose/compose_frame.h"
#include "walk_art.h"

namespace koma::bench {

namespace {

constexpr int kStageW = 462;
constexpr int kStageH = 110;
const QColor kFrameKey(0, 255, 255);

// A ramp in three channels: red along x, green along y, blue across the diagonal, so that
// nearly every pixel has a colour of its own.
QImage gradient() {
    QImage image(kStageW, kStageH, QImage::Format_RGB32);
    for (int y = 0; y < kStageH; ++y) {
        for (int x = 0; x < kStageW; ++x) {
            image.setPixel(x, y, qRgb(40 + x * 200 / kStageW, 30 + y * 2, 90 + (x + 3 * y) % 160));
        }
    }
    return image;
}

// A wooden frame around the stage and a signpost, on the cyan key.
QImage frame() {
    QImage image(kStageW, kStageH, QImage::Format_RGB32);
    image.fill(kFrameKey);
    QPainter p(&image);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(110, 70, 30));
    p.drawRect(0, 0, kStageW, 4);
    p.drawRect(0, kStageH - 4, kStageW, 4);
    p.drawRect(0, 0, 4, kStageH);
    p.drawRect(kStageW - 4, 0, 4, kStageH);
    p.setBrush(QColor(160, 110, 50));
    p.drawRect(1, 1, kStageW - 2, 1);
    p.drawRect(230, 60, 4, 46);
    p.drawRect(214, 58, 36, 12);
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
    }
    return {};
}

void load_scene(EditingModel& m, Scene scene) {
    if (scene == Scene::Plain) {
        // As reading a state file with a plain background builds slot 0.
        m.bg_from_file = 0;
        m.bg_color = static_cast<uint32_t>(qRed(kPlainSky) | qGreen(kPlainSky) << 8 |
                                           qBlue(kPlainSky) << 16);
        m.stage_width = static_cast<int16_t>(kStageW * 15);
        m.stage_height = static_cast<int16_t>(kStageH * 15);
        m.pic[0].resize_pixels(kStageW, kStageH);
        m.pic[0].fill(kPlainSky);
    } else {
        m.pic[0].set_picture(scene == Scene::Walk ? art::walk_background() : gradient());
    }
    m.win_main.resize_pixels(kStageW, kStageH);
    for (int i = 1; i <= 9; ++i) {
        m.pic[i].set_picture(art::walk_figure(i - 1, 9));
    }
    m.pic[10].set_picture(frame());
    QString pattern;
    for (int k = 0; k < kMaxSteps; ++k) {
        pattern += QChar(u'1' + k % 9);
    }
    m.pattern_anime.set_text(pattern);
    m.adjust_y.set_value(56);
    m.sc_bar.set_value(5);
    for (int k = 0; k < kMaxSteps; ++k) {
        m.step_dy[k] = static_cast<int16_t>(k % 2 == 0 ? -2 : 2);
    }
}

std::expected<QString, QString> write_scene_files(const QString& folder,
                                                  const QString& export_folder, Scene scene) {
    EditingModel m(folder);
    load_scene(m, scene);
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
