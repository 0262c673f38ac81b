#pragma once

#include <QByteArray>
#include <QString>
#include <expected>
#include <vector>

namespace koma {

/// Files written beside their targets and put in place together. Nothing written here replaces
/// a file before commit(); a batch that is discarded (or destroyed) before that leaves every
/// file as it was and removes what it wrote. This is how an export that is cancelled or fails
/// half-way leaves the folder untouched.
class StagedFiles {
  public:
    StagedFiles() = default;
    /// Discards whatever was not committed.
    ~StagedFiles();
    StagedFiles(const StagedFiles&) = delete;
    StagedFiles& operator=(const StagedFiles&) = delete;

    /// Writes `bytes` into a new temporary file beside `path`, to become the whole content of the
    /// file at `path` at commit(). Through a chain of symbolic links the final file is the one
    /// replaced, and every link stays a link. Only a regular file is replaced: a folder, a
    /// device, a FIFO, a socket, an existing file that this user may not write and one that
    /// nobody may write (made read-only on purpose) are refused without opening them. The new
    /// file has the replaced file's permissions (and owner, where the process may) from the
    /// moment it is created. Writing a path again replaces what was written for it. Fails with
    /// a message naming `path` and the reason as the system gives it ("No space left on
    /// device"), leaving nothing behind for it.
    std::expected<void, QString> write(const QString& path, const QByteArray& bytes);

    /// Forces every temporary file to the disk, then renames each over its target, in the order
    /// the paths were first written, and finally forces the folders' new names to the disk: a
    /// crash afterwards finds the new files whole. Should a sync or a rename fail, the files
    /// already put in place are taken back (an earlier file gets its content back, a new one is
    /// removed), the remaining temporary files are removed, and the message names the file and
    /// the reason. Afterwards nothing is staged.
    std::expected<void, QString> commit();

    /// Removes every temporary file; no target is touched.
    void discard();

    /// Whether nothing waits to be committed.
    bool empty() const { return entries_.empty(); }

  private:
    struct Entry {
        QString temp;    ///< the temporary file beside the target
        QString target;  ///< the file it replaces (a link already followed)
    };
    std::vector<Entry> entries_;
};

}  // namespace koma
