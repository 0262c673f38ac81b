#include "platform/file_system.h"

namespace koma {

QString FileSystem::root_of(const QString& folder) const {
    QString best = QStringLiteral("/");
    for (const QString& root : roots()) {
        const bool holds =
            folder == root || root == QLatin1String("/") ||
            folder.startsWith(root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/'));
        if (holds && root.size() > best.size()) {
            best = root;
        }
    }
    return best;
}

QString child_path(const QString& folder, const QString& name) {
    if (folder.endsWith(QLatin1Char('/'))) {
        return folder + name;
    }
    return folder + QLatin1Char('/') + name;
}

}  // namespace koma
