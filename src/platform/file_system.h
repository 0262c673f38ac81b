#pragma once

#include <QString>
#include <QStringList>
#include <expected>

namespace koma {

/// The subfolders and files of one folder, by name, sorted without regard to case.
struct FolderEntries {
    QStringList folders;
    QStringList files;
};

/// The machine's roots and folders as the drive, folder and file lists see them. Tests put a
/// fake in its place to make a root that is not ready or a folder that cannot be read.
class FileSystem {
  public:
    virtual ~FileSystem() = default;

    /// The mounted roots, "/" first and always present.
    virtual QStringList roots() const = 0;
    /// Whether `root` can be read now; false for a device without its medium, a root that
    /// vanished or one that is not mounted.
    virtual bool root_ready(const QString& root) const = 0;
    /// The entries of `folder`, or a message (for the user) when it cannot be listed. Files
    /// whose names begin with a dot are listed with the others.
    virtual std::expected<FolderEntries, QString> list(const QString& folder) const = 0;

    /// The root that holds `folder`: the longest of roots() that is `folder` or one of its
    /// parents; "/" when none is.
    QString root_of(const QString& folder) const;
};

/// The file system of this machine: roots from its mounted volumes, folders through QDir.
const FileSystem& machine_file_system();

/// `folder` + "/" + `name`, without doubling a separator `folder` already ends in.
QString child_path(const QString& folder, const QString& name);

}  // namespace koma
