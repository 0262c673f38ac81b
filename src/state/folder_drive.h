#pragma once

#include <QString>

namespace koma {

/// The drive of a folder as the drive lists name it: the mounted root that holds the folder,
/// "/" when none can be found.
QString drive_of_folder(const QString& folder);

}  // namespace koma
