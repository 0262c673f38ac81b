#include "platform/start_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace koma {

bool folder_writable(const QString& folder) {
    const QFileInfo info(folder);
    const QFile::Permissions anyone = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    return info.isDir() && info.isWritable() && (info.permissions() & anyone);
}

QString pictures_folder() {
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!pictures.isEmpty() && QFileInfo(pictures).isDir()) {
        return pictures;
    }
    return QDir::homePath();
}

QString start_folder(const QString& program_folder, const QString& user_folder) {
    return folder_writable(program_folder) ? program_folder : user_folder;
}

}  // namespace koma
