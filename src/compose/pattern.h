#pragma once

#include <QChar>
#include <QString>
#include <array>

#include "model/editing_model.h"

namespace koma {

/// The slot a pattern character selects: "1" to "9" (also the full-width "１" to "９") select
/// that frame slot; any other character, "0" included, selects slot 0.
int step_slot(QChar c);

/// The step slot table of a pattern: entry k is the slot of step k; entries past the end of the
/// pattern are 0. Characters past position 90 have no entry.
std::array<int16_t, kMaxSteps> step_slot_table(const QString& pattern);

}  // namespace koma
