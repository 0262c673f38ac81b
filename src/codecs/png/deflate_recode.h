#pragma once

#include <QByteArray>
#include <cstddef>

namespace koma {

/// The same rows as the zlib stream `data` of `rows` x `row_bytes` filtered bytes (filter byte
/// included), coded again by libdeflate at its highest level when that is smaller; else `data`
/// itself. libpng chooses the filters, libdeflate finds the shorter code for them.
QByteArray recode_smaller(const QByteArray& data, size_t filtered_size);

}  // namespace koma
