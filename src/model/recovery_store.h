#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <expected>
#include <vector>

namespace koma {

/// A recovery copy left by a koma that ended without closing its window.
struct RecoveryCopy {
    QString id;  ///< names the copy in the store
    QByteArray bytes;
    QDateTime written;
};

/// How many recovery copies a store keeps, this process's included.
inline constexpr int kRecoveryLimit = 10;

/// Where the recovery copies of running and ended processes are kept: one copy per running
/// process, replaced whole at every write. Tests fake it.
class RecoveryStore {
  public:
    virtual ~RecoveryStore() = default;

    /// Replaces this process's copy with `bytes`, atomically: a reader finds the old copy or
    /// the new one, never a part. Keeps at most kRecoveryLimit copies, dropping the oldest of
    /// ended processes. On failure the old copy stays and the message says why.
    virtual std::expected<void, QString> keep(const QByteArray& bytes) = 0;
    /// Removes this process's copy, if there is one.
    virtual void drop() = 0;
    /// The copies of processes that no longer run, the newest first. Empty copies are never
    /// offered (they are removed). While this store lives, no other process is offered the
    /// copies it returned.
    virtual std::vector<RecoveryCopy> orphans() = 0;
    /// Removes the copy `id` of a process that no longer runs.
    virtual void discard(const QString& id) = 0;
};

}  // namespace koma
