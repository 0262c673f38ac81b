#pragma once

#include <QString>
#include <QStringList>

namespace koma {

/// How many state files the recent list keeps.
inline constexpr int kRecentLimit = 10;

/// The state files read or written lately, kept between runs of the program. The windows show
/// what it reports; tests fake it.
class RecentProjects {
  public:
    virtual ~RecentProjects() = default;

    /// The state files, the one read or written last first; at most kRecentLimit.
    virtual QStringList paths() const = 0;
    /// The state file at `path` (absolute) was read or written now.
    virtual void remember(const QString& path) = 0;
};

/// `list` after the state file at `path` was read or written: `path` first, each path once,
/// at most kRecentLimit paths (the oldest dropped). An empty `path` changes nothing.
QStringList with_recent(QStringList list, const QString& path);

}  // namespace koma
