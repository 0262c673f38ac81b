#pragma once

#include <QString>
#include <expected>

namespace koma {

/// A file written in pieces that takes the place of the file at its path only when it is
/// complete: it is written under a temporary name in the same folder (".NAME.PID-N.part") and
/// renamed over the path by commit(), as replace_file_contents does with bytes held in memory.
/// Until then a file already at the path stays as it was; a staged file dropped or discarded
/// before commit() removes its temporary file.
///
/// The same targets are refused as by replace_file_contents: a folder, and an existing file
/// that is read-only or that this user may not write (through a symbolic link, the file it
/// points to is the target). A replaced file keeps its permissions; a new one gets the usual
/// ones for new files. The data is not forced to the disk.
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
    /// Where it is written until commit(); empty once committed or discarded.
    const QString& temp_path() const { return temp_path_; }

    /// Renames the written temporary file over the target (the caller has closed it). Fails
    /// with a message naming the path and the reason, after which the temporary file is gone
    /// and the target is as it was.
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
