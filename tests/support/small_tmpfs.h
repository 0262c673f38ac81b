#pragma once

#include <QString>
#include <QTemporaryDir>

namespace koma::test {

/// A small file system of its own (tmpfs) mounted on a temporary folder for one test, so that a
/// full disk or a read-only file system can be met for real. Mounting needs the super-user;
/// where the system refuses, mounted() is false and the test is skipped.
class SmallTmpfs {
  public:
    /// Mounts a tmpfs of `kib` KiB.
    explicit SmallTmpfs(int kib);
    /// Unmounts it, with whatever is on it.
    ~SmallTmpfs();
    SmallTmpfs(const SmallTmpfs&) = delete;
    SmallTmpfs& operator=(const SmallTmpfs&) = delete;

    bool mounted() const { return mounted_; }
    /// Why it could not be mounted.
    const QString& why() const { return why_; }
    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return dir_.filePath(name); }

    /// Fills the file system with a file ".filler" until only `pages` pages of it are free
    /// (a file takes whole pages). False when that cannot be done.
    bool leave_free(int pages);
    /// Remounts it read-only. False when that cannot be done.
    bool make_read_only();

  private:
    QTemporaryDir dir_;
    bool mounted_ = false;
    QString why_;
};

}  // namespace koma::test
