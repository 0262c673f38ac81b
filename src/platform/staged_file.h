#pragma once

#include <QByteArray>
#include <QString>
#include <expected>

namespace koma {

/// A file written beside its path that takes the place of the file there only when it is
/// complete: it is written under a temporary name in the same folder (".NAME.PID-N.SUFFIX", see
/// name_beside) and renamed over the path by commit(). Until then a file already at the path
/// stays as it was; a staged file dropped or discarded before commit() removes its temporary
/// file. This is the one way koma replaces a file: replace_file_contents and every export's
/// batch of files (StagedFiles) are made of staged files.
///
/// The target is found as resolve_write_target finds it: through a chain of symbolic links the
/// final file is replaced and every link stays a link; only a regular file is replaced (a
/// folder, a device, a FIFO, a socket, a read-only file and one this user may not write are
/// refused without opening them). The temporary file has the replaced file's permissions (and
/// owner, where the process may) from the moment it is created; beside a new file it gets the
/// usual permissions of new files.
class StagedFile {
  public:
    /// Creates the empty temporary file beside `path`, which the caller then opens and writes by
    /// temp_path(). Fails with a message naming `path` and the reason (a refused target, a
    /// folder that takes no new files); nothing is left behind then.
    static std::expected<StagedFile, QString> create(const QString& path);

    /// The same with `bytes` written into it, all of them, and their way to the disk started.
    /// Fails with a message naming `path` and the system's reason ("No space left on device");
    /// nothing is left behind then.
    static std::expected<StagedFile, QString> create(const QString& path, const QByteArray& bytes);

    StagedFile(StagedFile&& other) noexcept;
    StagedFile& operator=(StagedFile&& other) noexcept;
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;
    ~StagedFile();

    /// The path the file will take.
    const QString& path() const { return path_; }
    /// The file that is replaced: the path with every symbolic link followed.
    const QString& target() const { return target_; }
    /// Where it is written until commit(); empty once committed or discarded.
    const QString& temp_path() const { return temp_path_; }

    /// Forces the written temporary file to the disk (the caller has closed it). Fails with a
    /// message naming the path and the system's reason; the file stays staged then.
    std::expected<void, QString> sync() const;

    /// Renames the temporary file over the target without syncing anything (see commit()).
    /// Fails with a message naming the path and the reason (the target may have been made a
    /// folder or read-only since create()), after which the temporary file is gone and the
    /// target is as it was.
    std::expected<void, QString> place();

    /// sync(), place(), then forces the folder's new name to the disk: a crash afterwards finds
    /// the new file whole. Fails as those do; the temporary file is gone then and the target is
    /// as it was.
    std::expected<void, QString> commit();

    /// Removes the temporary file; the target stays as it was.
    void discard();

  private:
    StagedFile(QString path, QString target, QString temp_path);

    QString path_;       // as given
    QString target_;     // what is replaced: the path with its links followed
    QString temp_path_;  // empty once committed or discarded
};

}  // namespace koma
