#include "codecs/png/png_chunks.h"

#include <zlib.h>

namespace koma {

std::vector<PngChunk> png_chunks(const QByteArray& png) {
    std::vector<PngChunk> chunks;
    const auto* bytes = reinterpret_cast<const uint8_t*>(png.constData());
    const qsizetype size = png.size();
    qsizetype at = 8;
    while (at + 12 <= size) {
        const uint32_t length = (uint32_t{bytes[at]} << 24) | (uint32_t{bytes[at + 1]} << 16) |
                                (uint32_t{bytes[at + 2]} << 8) | bytes[at + 3];
        if (length > static_cast<uint64_t>(size - at - 12)) break;
        chunks.push_back({png.mid(at + 4, 4), png.mid(at + 8, static_cast<qsizetype>(length))});
        at += 12 + static_cast<qsizetype>(length);
    }
    return chunks;
}

void append_be32(QByteArray& out, uint32_t v) {
    const char b[4] = {static_cast<char>(v >> 24), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 8), static_cast<char>(v)};
    out.append(b, 4);
}

void append_be16(QByteArray& out, uint16_t v) {
    const char b[2] = {static_cast<char>(v >> 8), static_cast<char>(v)};
    out.append(b, 2);
}

QByteArray png_chunk_bytes(const char* type, const QByteArray& data) {
    QByteArray out;
    out.reserve(data.size() + 12);
    append_be32(out, static_cast<uint32_t>(data.size()));
    out.append(type, 4);
    out.append(data);
    uLong crc = crc32(0L, Z_NULL, 0);
    crc = crc32(crc, reinterpret_cast<const Bytef*>(type), 4);
    crc = crc32(crc, reinterpret_cast<const Bytef*>(data.constData()),
                static_cast<uInt>(data.size()));
    append_be32(out, static_cast<uint32_t>(crc));
    return out;
}

}  // namespace koma
