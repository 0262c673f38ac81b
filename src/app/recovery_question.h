#pragma once

#include <QString>
#include <cstddef>

#include "model/recovery_store.h"

class QWidget;

namespace koma {

/// The text of the question asked at start-up about `newest`, the newest of `count` recovery
/// copies left by windows that did not close: which project (its state file's name, or that it
/// was never saved) and when it was last copied; with more than one copy, that the others are
/// offered again at the next start.
QString recovery_question_text(const RecoveryCopy& newest, std::size_t count);

/// Asks over `parent`, in a message box, whether to restore `newest` (see
/// recovery_question_text). "復元する" is the default button, "破棄する" answers no; Escape and
/// the close box answer nothing. Returns whether to restore.
bool ask_restore(QWidget* parent, const RecoveryCopy& newest, std::size_t count);

}  // namespace koma
