#pragma once

#include <QByteArray>
#include <QString>
#include <expected>
#include <vector>

#include "platform/staged_file.h"

namespace koma {

/// Files written beside their targets and put in place together: a batch of staged files (see
/// StagedFile, whose rules for refused targets it follows). Nothing written here replaces a file
/// before commit(); a batch that is discarded (or destroyed) before that leaves every file as it
/// was and removes what it wrote. This is how an export that is cancelled or fails half-way
/// leaves the folder untouched, whether its files are written whole (write()) or in pieces as
/// the frames come (stage()).
class StagedFiles {
  public:
    StagedFiles() = default;
    /// Discards whatever was not committed.
    ~StagedFiles();
    StagedFiles(const StagedFiles&) = delete;
    StagedFiles& operator=(const StagedFiles&) = delete;

    /// Writes `bytes` into a new temporary file beside `path`, to become the whole content of the
    /// file at `path` at commit(). The target is found and refused as StagedFile says: through a
    /// chain of symbolic links the final file is the one replaced; only a regular file is
    /// replaced. Writing a path again replaces what was written for it. Fails with a message
    /// naming `path` and the reason as the system gives it ("No space left on device"), leaving
    /// nothing behind for it.
    std::expected<void, QString> write(const QString& path, const QByteArray& bytes);

    /// Stages an empty temporary file beside `path` and returns its name, for the caller to open
    /// and write in pieces (and close) before commit(); it then becomes the file at `path` as a
    /// file given to write() does. Refuses and replaces as write() does. Fails with a message
    /// naming `path` and the reason, leaving nothing behind for it.
    std::expected<QString, QString> stage(const QString& path);

    /// Removes what was written or staged for `path`, as if it never had been; other files of the
    /// batch stay staged.
    void drop(const QString& path);

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
    /// Takes `file` into the batch in place of an entry of the same target.
    void keep(StagedFile file);

    std::vector<StagedFile> entries_;
};

/// The batch a writer's files wait in: the caller's, whose commit puts them in place together
/// with the rest of an export, or else the writer's own, which the writer commits itself once
/// its files are complete.
class WriterBatch {
  public:
    WriterBatch() = default;
    WriterBatch(const WriterBatch&) = delete;
    WriterBatch& operator=(const WriterBatch&) = delete;

    /// Stages into `given` from now on; null keeps the writer's own batch.
    void use(StagedFiles* given) { batch_ = given != nullptr ? given : &own_; }
    StagedFiles& files() { return *batch_; }

    /// Commits the writer's own batch (see StagedFiles::commit); nothing for the caller's, whose
    /// files wait for the caller.
    std::expected<void, QString> commit_own() {
        if (batch_ != &own_) return {};
        return own_.commit();
    }

  private:
    StagedFiles own_;
    StagedFiles* batch_ = &own_;
};

}  // namespace koma
