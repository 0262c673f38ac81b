#include "cli/english_messages.h"

#include "model/project_state.h"
#include "model/translations.h"
#include "state/read_state.h"

namespace koma {

void use_english_messages() { install_translations(QStringLiteral("en")); }

QString state_unread_reason(const QString& message, const QString& path) {
    const QString naming = state_unread_message(path, QString());
    return message.startsWith(naming) ? message.mid(naming.size()) : message;
}

QString english_slot_name(int slot) {
    if (slot == kBackgroundSlot) return QStringLiteral("background");
    if (slot == kForegroundSlot) return QStringLiteral("foreground");
    return QString::number(slot);
}

}  // namespace koma
