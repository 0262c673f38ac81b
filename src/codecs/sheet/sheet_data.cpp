#include "codecs/sheet/sheet_data.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace koma {

namespace {

QJsonObject size_object(QSize size) {
    return {{QStringLiteral("w"), size.width()}, {QStringLiteral("h"), size.height()}};
}

QJsonObject rect_object(const QRect& rect) {
    return {{QStringLiteral("x"), rect.x()},
            {QStringLiteral("y"), rect.y()},
            {QStringLiteral("w"), rect.width()},
            {QStringLiteral("h"), rect.height()}};
}

}  // namespace

QByteArray sheet_data(const std::vector<SheetFrame>& frames, const SheetMeta& meta) {
    QJsonObject listed;
    for (const SheetFrame& frame : frames) {
        // Frames are never trimmed: each is its whole stage.
        listed.insert(frame.name,
                      QJsonObject{{QStringLiteral("frame"), rect_object(frame.rect)},
                                  {QStringLiteral("rotated"), false},
                                  {QStringLiteral("trimmed"), false},
                                  {QStringLiteral("spriteSourceSize"),
                                   rect_object(QRect(QPoint(0, 0), frame.rect.size()))},
                                  {QStringLiteral("sourceSize"), size_object(frame.rect.size())},
                                  {QStringLiteral("duration"), frame.duration_ms}});
    }
    const QJsonObject about{{QStringLiteral("app"), QStringLiteral("koma")},
                            {QStringLiteral("version"), meta.app_version},
                            {QStringLiteral("image"), meta.image},
                            {QStringLiteral("format"), QStringLiteral("RGBA8888")},
                            {QStringLiteral("size"), size_object(meta.size)},
                            {QStringLiteral("scale"), QString::number(meta.scale)}};
    return QJsonDocument(
               QJsonObject{{QStringLiteral("frames"), listed}, {QStringLiteral("meta"), about}})
        .toJson(QJsonDocument::Indented);
}

}  // namespace koma
