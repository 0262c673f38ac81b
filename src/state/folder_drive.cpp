#include "state/folder_drive.h"

#include <QStorageInfo>

namespace koma {

QString drive_of_folder(const QString& folder) {
    const QString root = QStorageInfo(folder).rootPath();
    return root.isEmpty() ? QStringLiteral("/") : root;
}

}  // namespace koma
