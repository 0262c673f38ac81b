#include "fuzz_support.h"

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace koma::fuzz {

QString write_scratch_file(const uint8_t* data, size_t size, const char* suffix) {
    static const QString dir = QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                   ? QStringLiteral("/dev/shm")
                                   : QDir::tempPath();
    const QString path = QStringLiteral("%1/koma-fuzz-%2%3")
                             .arg(dir)
                             .arg(static_cast<long long>(getpid()))
                             .arg(QLatin1String(suffix));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    return path;
}

}  // namespace koma::fuzz
