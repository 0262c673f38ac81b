#include "platform/atomic_write.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSaveFile>

namespace koma {

std::expected<void, QString> write_file_atomically(const QString& path, const QByteArray& bytes) {
    if (QFileInfo(path).isDir()) {
        return std::unexpected(
            QCoreApplication::translate("FileSystem", "「%1」はフォルダです").arg(path));
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return std::unexpected(QCoreApplication::translate("FileSystem", "「%1」を作れません: %2")
                                   .arg(path, file.errorString()));
    }
    // Flush before commit and check the error state: commit() can report success after a
    // write that the file system cut short, and would then rename the short file into place.
    const bool written = file.write(bytes) == bytes.size() && file.flush();
    if (!written || file.error() != QFileDevice::NoError) {
        const QString why = file.errorString();
        file.cancelWriting();
        return std::unexpected(
            QCoreApplication::translate("FileSystem", "「%1」に書き込めません: %2").arg(path, why));
    }
    // commit() syncs the temporary file to the disk and renames it over the target.
    if (!file.commit()) {
        return std::unexpected(
            QCoreApplication::translate("FileSystem", "「%1」を保存できません: %2")
                .arg(path, file.errorString()));
    }
    return {};
}

}  // namespace koma
