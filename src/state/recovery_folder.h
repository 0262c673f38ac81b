#pragma once

#include <QString>
#include <map>
#include <optional>

#include "model/recovery_store.h"
#include "platform/file_lock.h"

namespace koma {

/// The folder koma keeps its recovery copies in: "koma/recovery" in the user's state folder
/// ($XDG_STATE_HOME, by default ~/.local/state); without a home folder, "recovery" in
/// QStandardPaths::AppLocalDataLocation.
QString recovery_folder_path();

/// Recovery copies as files in one folder. Each process has a name of its own (a UUID, so a
/// process id used again never meets an old copy): "NAME.recovery" holds its copy, replaced
/// whole at every write, and "NAME.lock" an advisory lock the process holds from its first
/// write until it drops its copy or ends. A copy whose lock can be taken belongs to a process
/// that no longer runs, whatever became of its process id.
class RecoveryFolder : public RecoveryStore {
  public:
    /// The copies in `folder`, which is made at the first write when missing.
    explicit RecoveryFolder(QString folder);
    /// Ends without dropping the copy: only drop() (a normal close) removes it.
    ~RecoveryFolder() override = default;

    std::expected<void, QString> keep(const QByteArray& bytes) override;
    void drop() override;
    std::vector<RecoveryCopy> orphans() override;
    void discard(const QString& id) override;

    const QString& folder() const { return folder_; }
    /// This process's name in the folder.
    const QString& id() const { return id_; }

  private:
    QString copy_path(const QString& id) const;
    QString lock_path(const QString& id) const;
    /// Whether the copy `id` belongs to no running process; takes and keeps its lock if so.
    bool claim(const QString& id);
    /// Removes the files of `id`, whose lock this store holds, and lets the lock go.
    void remove_claimed(const QString& id);
    /// Drops the oldest copies of ended processes beyond kRecoveryLimit.
    void prune();

    QString folder_;
    QString id_;
    std::optional<FileLock> own_lock_;
    std::map<QString, FileLock> claims_;
};

}  // namespace koma
