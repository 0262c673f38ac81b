#include "widgets/base_name_validator.h"

#include <algorithm>

#include "model/base_name.h"

namespace koma {

QValidator::State BaseNameValidator::validate(QString& input, int& pos) const {
    (void)pos;
    if (!std::all_of(input.begin(), input.end(), base_name_char_allowed)) {
        return Invalid;
    }
    return base_name_fault(input).isEmpty() ? Acceptable : Intermediate;
}

}  // namespace koma
