#pragma once

#include <QString>

namespace koma {

/// Whether new files can be put into `folder`: it is a folder, this user may write it, and it
/// is not read-only on purpose (no write permission for anyone, which the super-user would
/// otherwise write all the same).
bool folder_writable(const QString& folder);

/// The user's pictures folder when it exists, else the home folder.
QString pictures_folder();

/// Where the folder lists start when nothing else says: the program's own folder when it can
/// be written (a build tree, a copy in a folder of the user's), else `user_folder` (for an
/// installed program, the pictures folder).
QString start_folder(const QString& program_folder, const QString& user_folder);

}  // namespace koma
