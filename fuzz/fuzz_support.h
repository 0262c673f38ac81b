#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>

namespace koma::fuzz {

/// Writes the input to one scratch file per process (in /dev/shm when there is one) and
/// returns its path; the loaders under test read files by path.
QString write_scratch_file(const uint8_t* data, size_t size, const char* suffix);

}  // namespace koma::fuzz
