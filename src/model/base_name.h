#pragma once

#include <QString>

#include "platform/translatable_text.h"

namespace koma {

/// Why a text cannot be the base name of exported files, in the words the program shows the
/// user.
namespace base_name_message {
inline constexpr TranslatableText kEmpty{"BaseName",
                                         QT_TRANSLATE_NOOP("BaseName", "ベース名が空です")};
inline constexpr TranslatableText kDots{
    "BaseName", QT_TRANSLATE_NOOP("BaseName", "ベース名「%1」はファイルの名前になりません")};
inline constexpr TranslatableText kSeparator{
    "BaseName", QT_TRANSLATE_NOOP("BaseName", "ベース名「%1」に / か \\ があります")};
inline constexpr TranslatableText kControl{
    "BaseName", QT_TRANSLATE_NOOP("BaseName", "ベース名に制御文字 (U+%1) があります")};
}  // namespace base_name_message

/// Whether `c` may stand in a base name: anything but "/", "\" and the control characters
/// (NUL, U+0001 to U+001F, DEL and U+0080 to U+009F).
bool base_name_char_allowed(QChar c);

/// Why `name` cannot be a base name, or an empty text when it can. The export joins the base name
/// to its folder as it stands, so a base name must name a file in that folder and nothing else:
/// it is not empty, not "." or "..", and every character passes base_name_char_allowed.
QString base_name_fault(const QString& name);

/// Whether `path`, cleaned, lies directly in `folder`, cleaned: the last check on a file name
/// the export built by joining a base name to its folder.
bool lies_in_folder(const QString& path, const QString& folder);

}  // namespace koma
