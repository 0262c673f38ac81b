#include "platform/atomic_write.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include "platform/write_target.h"

namespace koma {

std::expected<void, QString> write_file_atomically(const QString& path, const QByteArray& bytes) {
    const auto target = resolve_write_target(path);
    if (!target) {
        if (QFileInfo(path).isDir()) {
            return std::unexpected(
                QCoreApplication::translate("FileSystem", "「%1」はフォルダです").arg(path));
        }
        return std::unexpected(QCoreApplication::translate("FileSystem", "「%1」を作れません: %2")
                                   .arg(path, target.error()));
    }
    auto temp = FileBeside::create(*target, QStringLiteral("tmp"));
    if (!temp) {
        return std::unexpected(QCoreApplication::translate("FileSystem", "「%1」を作れません: %2")
                                   .arg(path, temp.error()));
    }
    auto cannot_write = [&](const QString& why) {
        return std::unexpected(
            QCoreApplication::translate("FileSystem", "「%1」に書き込めません: %2").arg(path, why));
    };
    if (auto written = temp->write(bytes); !written) return cannot_write(written.error());
    auto released = temp->release();
    if (!released) return cannot_write(released.error());
    // The data reaches the disk before the new name does, and the name before this returns.
    auto placed = sync_file(*released);
    if (placed) placed = rename_over(*released, target->file);
    if (!placed) {
        QFile::remove(*released);
        return std::unexpected(
            QCoreApplication::translate("FileSystem", "「%1」を保存できません: %2")
                .arg(path, placed.error()));
    }
    (void)sync_folder(QFileInfo(target->file).absolutePath());
    return {};
}

}  // namespace koma
