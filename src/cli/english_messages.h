#pragma once

#include <QString>

namespace koma {

/// A message of the program's own (a reason an image or a state file could not be read, a
/// refused background) as the command line prints it: in English. The windows show these
/// messages in Japanese; here each known message, with the names and numbers inside it, is put
/// in English. A text that is no such message (a file name, a message of the system's) is
/// returned as it is.
QString english_message(const QString& message);

/// The name of a slot on the command line: "background", "1" to "9", "foreground".
QString english_slot_name(int slot);

}  // namespace koma
