#pragma once

#include <QString>
#include <expected>

namespace koma {

/// Creates a new, empty file of a name nobody uses beside `target` (in its folder:
/// ".NAME.PID-N.SUFFIX"), created as any new file is, so that it gets the usual permissions of
/// new files. Returns its path, or why the folder takes no new file.
std::expected<QString, QString> create_file_beside(const QString& target, const QString& suffix);

/// A file written beside its path that takes the place of the file there only when it is
/// complete: it is written under a temporary name in the same folder (see create_file_beside)
/// and renamed over the path by commit(). Until then a file already at the path stays as it was;
/// a staged file dropped or discarded before commit() removes its temporary file. This is the
/// one way koma replaces a file: replace_file_contents and every export's batch of files
/// (StagedFiles) are made of staged files.
///
/// A folder is refused as a target, and so is an existing file that this user may not write or
/// that nobody may write (made read-only on purpose, which the super-user could otherwise
/// replace like any other): renaming over a file needs only the right to write its folder, so
/// the file's own permissions are checked here. Through a symbolic link, the file it points to
/// is the target. A replaced file keeps its permissions; a new one gets the usual ones for new
/// files. The data is not forced to the disk.
class StagedFile {
  public:
    /// Creates the empty temporary file beside `path`, which the caller then opens and writes by
    /// temp_path(). Fails with a message naming `path` and the reason (a refused target, a
    /// folder that takes no new files); nothing is left behind then.
    static std::expected<StagedFile, QString> create(const QString& path);

    StagedFile(StagedFile&& other) noexcept;
    StagedFile& operator=(StagedFile&& other) noexcept;
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;
    ~StagedFile();

    /// The path the file will take.
    const QString& path() const { return path_; }
    /// The file that is replaced: the path, or the file a symbolic link at the path names.
    const QString& target() const { return target_; }
    /// Where it is written until commit(); empty once committed or discarded.
    const QString& temp_path() const { return temp_path_; }

    /// Renames the written temporary file over the target (the caller has closed it). Fails
    /// with a message naming the path and the reason (the target may have been made a folder
    /// or read-only since create()), after which the temporary file is gone and the target is as
    /// it was.
    std::expected<void, QString> commit();

    /// Removes the temporary file; the target stays as it was.
    void discard();

  private:
    StagedFile(QString path, QString target, QString temp_path);

    QString path_;       // as given
    QString target_;     // what is replaced: the path, or the file a symbolic link names
    QString temp_path_;  // empty once committed or discarded
};

}  // namespace koma
