#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include "platform/file_system.h"

namespace koma {

namespace {

class MachineFileSystem final : public FileSystem {
  public:
    QStringList roots() const override {
        QStringList result{QStringLiteral("/")};
        QStringList others;
        for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
            const QString root = volume.rootPath();
            if (volume.isValid() && !root.isEmpty() && root != QLatin1String("/") &&
                !others.contains(root)) {
                others.append(root);
            }
        }
        others.sort(Qt::CaseInsensitive);
        return result + others;
    }

    bool root_ready(const QString& root) const override {
        const QStorageInfo volume(root);
        const QFileInfo info(root);
        return volume.isValid() && volume.isReady() && info.isDir() && info.isReadable();
    }

    std::expected<FolderEntries, QString> list(const QString& folder) const override {
        const QFileInfo info(folder);
        if (!info.isDir()) {
            return std::unexpected(
                QCoreApplication::translate("FileSystem", "フォルダがありません"));
        }
        if (!info.isReadable() || !info.isExecutable()) {
            return std::unexpected(
                QCoreApplication::translate("FileSystem", "フォルダを読めません"));
        }
        const QDir dir(folder);
        const QDir::SortFlags order = QDir::Name | QDir::IgnoreCase;
        FolderEntries entries;
        entries.folders = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, order);
        // Names that begin with a dot are files like any other here (".pst" is a state file).
        entries.files = dir.entryList(QDir::Files | QDir::Hidden, order);
        return entries;
    }
};

}  // namespace

const FileSystem& machine_file_system() {
    static const MachineFileSystem instance;
    return instance;
}

}  // namespace koma
