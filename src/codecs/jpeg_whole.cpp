#include "codecs/jpeg_whole.h"

#include <cstdint>

namespace koma {

namespace {

constexpr uint8_t kSoi = 0xD8;
constexpr uint8_t kEoi = 0xD9;
constexpr uint8_t kSos = 0xDA;
constexpr uint8_t kTem = 0x01;

bool is_restart(uint8_t marker) { return marker >= 0xD0 && marker <= 0xD7; }

}  // namespace

bool jpeg_stream_whole(const QByteArray& bytes) {
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.constData());
    const qsizetype size = bytes.size();
    if (size < 4 || data[0] != 0xFF || data[1] != kSoi) {
        return false;
    }
    bool scanned = false;
    qsizetype at = 2;
    while (at < size) {
        if (data[at] != 0xFF) {
            return false;
        }
        // A marker may be preceded by any number of fill bytes.
        while (at < size && data[at] == 0xFF) ++at;
        if (at >= size) {
            return false;
        }
        const uint8_t marker = data[at++];
        if (marker == kEoi) {
            return scanned;
        }
        if (marker == kSoi || marker == 0x00) {
            return false;
        }
        if (is_restart(marker) || marker == kTem) {
            continue;
        }
        if (at + 2 > size) {
            return false;
        }
        const qsizetype length = (qsizetype{data[at]} << 8) | data[at + 1];
        if (length < 2 || at + length > size) {
            return false;
        }
        at += length;
        if (marker != kSos) {
            continue;
        }
        // The coded data runs to the next marker that is neither a stuffed 0xFF 0x00 nor a
        // restart marker.
        scanned = true;
        for (;;) {
            while (at < size && data[at] != 0xFF) ++at;
            if (at + 1 >= size) {
                return false;
            }
            const uint8_t next = data[at + 1];
            if (next == 0x00 || is_restart(next) || next == 0xFF) {
                at += next == 0xFF ? 1 : 2;
                continue;
            }
            break;
        }
    }
    return false;
}

}  // namespace koma
