#include "compose/number_reading.h"

#include <climits>
#include <cstdint>

namespace koma {

namespace {

bool is_digit(QChar c) { return c.unicode() >= u'0' && c.unicode() <= u'9'; }
int digit(QChar c) { return c.unicode() - u'0'; }

}  // namespace

int read_rounded_number(QStringView text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    bool negative = false;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }

    // Once the integer part passes the int range its further digits cannot matter, but they are
    // still walked so that the decimal point after them is found.
    int64_t magnitude = 0;
    bool saturated = false;
    for (; i < n && is_digit(text[i]); ++i) {
        if (!saturated) {
            magnitude = magnitude * 10 + digit(text[i]);
            saturated = magnitude > INT_MAX;
        }
    }

    int first_fraction_digit = 0;
    bool rest_non_zero = false;
    if (i < n && text[i] == u'.') {
        ++i;
        if (i < n && is_digit(text[i])) {
            first_fraction_digit = digit(text[i]);
            ++i;
        }
        for (; i < n && is_digit(text[i]); ++i) {
            rest_non_zero = rest_non_zero || text[i] != u'0';
        }
    }

    if (saturated) {
        return negative ? INT_MIN : INT_MAX;
    }
    const bool round_up = first_fraction_digit > 5 ||
                          (first_fraction_digit == 5 && (rest_non_zero || magnitude % 2 != 0));
    if (round_up) {
        ++magnitude;
    }
    if (magnitude > INT_MAX) {
        return negative ? INT_MIN : INT_MAX;
    }
    return static_cast<int>(negative ? -magnitude : magnitude);
}

}  // namespace koma
