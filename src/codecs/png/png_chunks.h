#pragma once

#include <QByteArray>
#include <cstdint>
#include <vector>

namespace koma {

/// One chunk of a PNG file: the type and its data.
struct PngChunk {
    QByteArray type;
    QByteArray data;
};

/// The chunks of PNG file bytes in order (the signature skipped; CRCs are not checked). Stops
/// at the first chunk that does not fit in the bytes.
std::vector<PngChunk> png_chunks(const QByteArray& png);

/// A chunk as it lies in a file: length, type, data and CRC.
QByteArray png_chunk_bytes(const char* type, const QByteArray& data);

/// Appends `v` as four big-endian bytes.
void append_be32(QByteArray& out, uint32_t v);
/// Appends `v` as two big-endian bytes.
void append_be16(QByteArray& out, uint16_t v);

}  // namespace koma
