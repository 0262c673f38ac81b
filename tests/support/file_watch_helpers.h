#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

#include "platform/file_watch.h"

namespace koma::test {

/// A FileWatch whose changes the test tells itself.
class FakeFileWatch : public FileWatch {
  public:
    QStringList watched;
    void watch(const QStringList& paths) override { watched = paths; }
    /// Tells that the watched file at `path` changed.
    void touch(const QString& path) { emit touched(path); }
};

/// A clock the test moves on itself.
struct FakeClock {
    int64_t now = 0;
    std::function<int64_t()> function() {
        return [this] { return now; };
    }
};

/// Makes sure a QCoreApplication exists (the file system's notices need its event loop); the
/// one made lives until the process ends.
void ensure_application();

/// Runs the event loop until `done` says so or `timeout_ms` passed; returns `done()`.
bool wait_until(const std::function<bool()>& done, int timeout_ms = 5000);

/// Writes `bytes` as the whole file at `path`, in place (the same inode when it exists).
void write_in_place(const QString& path, const QByteArray& bytes);

/// Writes `bytes` into a new file beside `path`, then renames it over `path`, as editors and
/// atomic savers do.
void replace_by_rename(const QString& path, const QByteArray& bytes);

}  // namespace koma::test
