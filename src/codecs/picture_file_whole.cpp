#include "codecs/picture_file_whole.h"

#include <QFile>
#include <QtEndian>
#include <algorithm>

namespace koma {

namespace {

bool jpeg_ends(QFile& file) {
    // Writers may pad the file after the marker; a cut file ends in the middle of its data.
    constexpr qint64 kTail = 4096;
    const qint64 size = file.size();
    if (!file.seek(std::max<qint64>(0, size - kTail))) return false;
    QByteArray tail = file.read(kTail);
    while (tail.endsWith('\0')) tail.chop(1);
    return tail.endsWith("\xff\xd9");
}

bool bmp_complete(QFile& file, const QByteArray& head) {
    if (head.size() < 6) return false;
    const quint32 declared = qFromLittleEndian<quint32>(head.constData() + 2);
    // Some writers leave the size 0; nothing is known then.
    return declared == 0 || file.size() >= static_cast<qint64>(declared);
}

}  // namespace

bool picture_file_looks_whole(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray head = file.read(6);
    if (head.startsWith("\xff\xd8\xff")) return jpeg_ends(file);
    if (head.startsWith("BM")) return bmp_complete(file, head);
    return true;
}

}  // namespace koma
