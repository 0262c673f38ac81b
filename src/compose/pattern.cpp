#include "compose/pattern.h"

#include <algorithm>

namespace koma {

int step_slot(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') {
        return u - u'0';
    }
    if (u >= u'０' && u <= u'９') {
        return u - u'０';
    }
    return 0;
}

std::array<int16_t, kMaxSteps> step_slot_table(const QString& pattern) {
    std::array<int16_t, kMaxSteps> table{};
    const int n = std::min<int>(static_cast<int>(pattern.size()), kMaxSteps);
    for (int i = 0; i < n; ++i) {
        table[i] = static_cast<int16_t>(step_slot(pattern[i]));
    }
    return table;
}

}  // namespace koma
