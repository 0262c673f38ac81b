#include "model/recent_projects.h"

namespace koma {

QStringList with_recent(QStringList list, const QString& path) {
    if (path.isEmpty()) {
        return list;
    }
    list.removeAll(path);
    list.prepend(path);
    while (list.size() > kRecentLimit) {
        list.removeLast();
    }
    return list;
}

}  // namespace koma
