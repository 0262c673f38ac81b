#include "support/small_tmpfs.h"

#include <sys/mount.h>
#include <sys/statvfs.h>

#include <QFile>
#include <cerrno>
#include <cstring>

namespace koma::test {

namespace {

QByteArray native(const QString& path) { return QFile::encodeName(path); }

}  // namespace

SmallTmpfs::SmallTmpfs(int kib) {
    const QByteArray options = "size=" + QByteArray::number(kib) + "k";
    if (!dir_.isValid()) {
        why_ = QStringLiteral("no temporary folder");
    } else if (::mount("tmpfs", native(dir_.path()).constData(), "tmpfs", 0, options.constData()) !=
               0) {
        why_ = QStringLiteral("mounting a tmpfs: %1").arg(QString::fromLocal8Bit(strerror(errno)));
    } else {
        mounted_ = true;
    }
}

SmallTmpfs::~SmallTmpfs() {
    if (mounted_) ::umount2(native(dir_.path()).constData(), MNT_DETACH);
}

bool SmallTmpfs::leave_free(int pages) {
    struct statvfs space {};
    if (::statvfs(native(dir_.path()).constData(), &space) != 0) return false;
    if (space.f_bavail < static_cast<fsblkcnt_t>(pages)) return false;
    QFile filler(file(QStringLiteral(".filler")));
    if (!filler.open(QIODevice::WriteOnly)) return false;
    const qint64 size = static_cast<qint64>(space.f_bavail - pages) * space.f_bsize;
    if (filler.write(QByteArray(size, 'f')) != size || !filler.flush()) return false;
    filler.close();
    return ::statvfs(native(dir_.path()).constData(), &space) == 0 &&
           space.f_bavail == static_cast<fsblkcnt_t>(pages);
}

bool SmallTmpfs::make_read_only() {
    return ::mount("tmpfs", native(dir_.path()).constData(), "tmpfs", MS_REMOUNT | MS_RDONLY,
                   nullptr) == 0;
}

}  // namespace koma::test
