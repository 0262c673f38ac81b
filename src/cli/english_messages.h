#pragma once

#include <QString>

namespace koma {

/// Puts the program's own messages (a reason an image or a state file could not be read, a
/// refused background) into English for the command line: installs the English translation the
/// windows use when they speak English. Call it once, on the command line's application, before
/// any message is made.
void use_english_messages();

/// Why the state file `path` could not be read, from read_state's message `message` about it:
/// the message without the part that names the file, which the command line says itself.
QString state_unread_reason(const QString& message, const QString& path);

/// The name of a slot on the command line: "background", "1" to "9", "foreground".
QString english_slot_name(int slot);

}  // namespace koma
