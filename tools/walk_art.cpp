#include "walk_art.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace koma::art {

namespace {

constexpr int kStageW = 462;
constexpr int kStageH = 110;
constexpr int kFigureW = 32;
constexpr int kFigureH = 44;
const QColor kFigureKey(255, 0, 255);
const QColor kForegroundKey(0, 255, 255);

}  // namespace

QImage walk_background() {
    QImage image(kStageW, kStageH, QImage::Format_RGB32);
    QPainter p(&image);
    for (int y = 0; y < kStageH; ++y) {  // banded sky, light at the horizon
        const int band = y / 8;
        p.setPen(QColor(120 + band * 8, 170 + band * 5, 235));
        p.drawLine(0, y, kStageW - 1, y);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 236, 160));
    p.drawEllipse(QPoint(390, 22), 12, 12);
    p.setBrush(QColor(250, 250, 250));
    for (const QPoint c : {QPoint(60, 20), QPoint(200, 14), QPoint(300, 30)}) {
        p.drawEllipse(c, 18, 6);
        p.drawEllipse(c + QPoint(12, -4), 12, 6);
    }
    p.setBrush(QColor(110, 170, 110));
    QPainterPath hills;
    hills.moveTo(0, 80);
    for (int x = 0; x <= kStageW; x += 6) {
        hills.lineTo(x, 72 + 8 * std::sin(x / 40.0));
    }
    hills.lineTo(kStageW, kStageH);
    hills.lineTo(0, kStageH);
    p.drawPath(hills);
    p.setBrush(QColor(150, 120, 80));
    p.drawRect(0, 96, kStageW, kStageH - 96);
    return image;
}

QImage walk_figure(int pose, int poses) {
    QImage image(kFigureW, kFigureH, QImage::Format_RGB32);
    image.fill(kFigureKey);
    QPainter p(&image);
    const double swing = std::sin(pose * 2 * M_PI / poses);
    const QColor skin(250, 210, 170), shirt(220, 60, 50), trousers(40, 60, 140), hair(60, 40, 20);
    auto limb = [&](QPoint from, double angle, int length, const QColor& colour, int width) {
        p.setPen(QPen(colour, width, Qt::SolidLine, Qt::SquareCap));
        const QPoint to = from + QPoint(static_cast<int>(std::lround(length * std::sin(angle))),
                                        static_cast<int>(std::lround(length * std::cos(angle))));
        p.drawLine(from, to);
    };
    limb(QPoint(15, 28), -0.5 * swing, 13, trousers.darker(130), 4);  // far leg
    limb(QPoint(15, 16), 0.6 * swing, 10, skin.darker(115), 3);       // far arm
    p.setPen(Qt::NoPen);
    p.setBrush(shirt);
    p.drawRect(11, 14, 9, 15);
    limb(QPoint(15, 28), 0.5 * swing, 13, trousers, 4);  // near leg
    limb(QPoint(15, 16), -0.6 * swing, 10, skin, 3);     // near arm
    p.setPen(Qt::NoPen);
    p.setBrush(skin);
    p.drawEllipse(QPoint(16, 8), 6, 6);
    p.setBrush(hair);
    p.drawRect(10, 1, 12, 4);
    p.setBrush(Qt::black);
    p.drawRect(19, 7, 2, 2);
    return image;
}

QImage walk_foreground() {
    QImage image(kStageW, kStageH, QImage::Format_RGB32);
    image.fill(kForegroundKey);
    QPainter p(&image);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 130, 60));
    for (int x = 0; x < kStageW; x += 7) {  // grass tufts along the bottom
        const int h = 5 + (x * 37 % 6);
        p.drawRect(x, kStageH - h, 3, h);
    }
    p.setBrush(QColor(120, 80, 40));  // a signpost the walker passes behind
    p.drawRect(300, 58, 5, 52);
    p.setBrush(QColor(200, 160, 100));
    p.drawRect(282, 56, 42, 16);
    p.setBrush(QColor(90, 60, 30));
    p.drawRect(288, 62, 30, 2);
    p.drawRect(288, 66, 22, 2);
    return image;
}

}  // namespace koma::art
