#include "codecs/png/deflate_recode.h"

#include <libdeflate.h>
#include <zlib.h>

#include <cstdint>
#include <vector>

namespace koma {

QByteArray recode_smaller(const QByteArray& data, size_t filtered_size) {
    std::vector<uint8_t> rows(filtered_size);
    uLongf length = static_cast<uLongf>(filtered_size);
    if (uncompress(rows.data(), &length, reinterpret_cast<const Bytef*>(data.constData()),
                   static_cast<uLong>(data.size())) != Z_OK ||
        length != filtered_size) {
        return data;
    }
    libdeflate_compressor* compressor = libdeflate_alloc_compressor(12);
    if (!compressor) return data;
    QByteArray out(
        static_cast<qsizetype>(libdeflate_zlib_compress_bound(compressor, filtered_size)),
        Qt::Uninitialized);
    const size_t size = libdeflate_zlib_compress(compressor, rows.data(), filtered_size, out.data(),
                                                 static_cast<size_t>(out.size()));
    libdeflate_free_compressor(compressor);
    if (size == 0 || size >= static_cast<size_t>(data.size())) return data;
    out.truncate(static_cast<qsizetype>(size));
    return out;
}

}  // namespace koma
