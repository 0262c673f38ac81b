#pragma once

#include <QValidator>

namespace koma {

/// Keeps out of a base name box what can never be part of a base name (see
/// base_name_char_allowed): typing or pasting "/", "\" or a control character changes nothing.
/// An empty box, "." and ".." are let stand while typing (they may become a name); the export
/// refuses them.
class BaseNameValidator : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

}  // namespace koma
