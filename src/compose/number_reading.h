#pragma once

#include <QStringView>

namespace koma {

/// Reads the number at the start of `text`: an optional sign ("+" or "-"), digits and at most
/// one decimal point, up to the first other character ("1e9" reads 1, "2.5.1" reads 2.5). The
/// value is taken to the nearest integer, halves to the even neighbour ("2.5" -> 2, "3.5" -> 4,
/// "-0.5" -> 0). A text that does not begin with a number ("", "abc", "-", ".") reads 0. The
/// digits are read exactly, however many there are; a magnitude beyond the int range reads as
/// that range's limit with its sign. Never fails.
int read_rounded_number(QStringView text);

}  // namespace koma
