#pragma once

#include <QMap>
#include <QSet>

#include "platform/file_system.h"

namespace koma::test {

/// A file system in memory: roots that can be made not ready, folders with their entries, and
/// folders that refuse to be listed.
class FakeFileSystem final : public FileSystem {
  public:
    QStringList root_list{QStringLiteral("/")};
    QSet<QString> not_ready;
    QMap<QString, FolderEntries> folders;
    QSet<QString> unreadable;

    QStringList roots() const override { return root_list; }
    bool root_ready(const QString& root) const override {
        return root_list.contains(root) && !not_ready.contains(root);
    }
    std::expected<FolderEntries, QString> list(const QString& folder) const override {
        if (unreadable.contains(folder))
            return std::unexpected(QStringLiteral("フォルダを読めません"));
        const auto it = folders.find(folder);
        if (it == folders.end()) return std::unexpected(QStringLiteral("フォルダがありません"));
        return *it;
    }
};

}  // namespace koma::test
