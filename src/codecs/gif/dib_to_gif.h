#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <expected>
#include <span>

#include "codecs/frame_writer.h"
#include "codecs/gif/dib_capture.h"

namespace koma {

/// One frame entry of the GIF writer, 28 bytes, laid out as the writer's callers fill it.
/// The export writes 4096, 2 and 10 into every entry; the writer reads only `dib`, the other
/// fields do not change how the GIF is encoded.
struct GifFrame {
    uint32_t flags = 0;         ///< offset 0: 4096 (0x1000)
    uint8_t reserved[16] = {};  ///< offsets 4 to 19: zero
    uint16_t value_2 = 0;       ///< offset 20: 2
    uint16_t value_10 = 0;      ///< offset 22: 10
    DibHandle dib = 0;          ///< offset 24: the step's bitmap, from DCtoDIB
};
static_assert(sizeof(GifFrame) == 28, "GifFrame is a 28-byte record");
static_assert(offsetof(GifFrame, value_2) == 20 && offsetof(GifFrame, dib) == 24);

/// The options record of one GIF write, 16 bytes. The export writes 1024 into `flags` and zero
/// everywhere else; like the frame values it does not change the encoding.
struct GifOptions {
    uint32_t flags = 0;  ///< offset 0: 1024 (0x400)
    uint32_t value_4 = 0;
    uint32_t value_8 = 0;
    uint16_t value_12 = 0;
    uint16_t reserved = 0;
};
static_assert(sizeof(GifOptions) == 16, "GifOptions is a 16-byte record");

/// The delay of every GIF frame in hundredths of a second: 80 ms, the preview's rate.
inline constexpr int kGifFrameDelay = 8;

/// A frame time in hundredths of a second, as GIF holds it: the nearest, halves to even
/// (25 ms gives 2, 35 ms gives 4); never below 1.
int gif_delay_cs(int frame_ms);

/// The shortest delay a GIF frame is written with, in hundredths: players show shorter ones
/// slower, not faster.
inline constexpr int kMinGifDelay = 2;

/// What a GIF write did.
enum class GifWritten {
    File,     ///< the file was written (or replaced)
    Nothing,  ///< there were no frames: no file was written and none was touched
};

/// Writes the bitmaps of `frames[0..count-1]`, in entry order, as one animated GIF at
/// `file_name`: one image per entry, entry i shown for `durations_ms[i]` (where that is missing or
/// 0: `timing.frame_ms`, 80 ms by default), as gif_delay_cs rounds it and never below
/// kMinGifDelay, played `timing.loop_count` times, 0 forever, each pixel a `scale` x `scale`
/// block (see encode_gif_animation for colours, size and scale; the clear pixels of bitmaps
/// captured with a coverage are written clear).
/// The bitmaps are read one at a time as the encoder needs them, never all whole at once. The
/// file is replaced as replace_file_contents does: written beside it and renamed over the old
/// one, so a failed write leaves any earlier file intact; with `staged`, it waits in that batch
/// until the batch is committed.
/// With `count` 0 nothing is written and GifWritten::Nothing is returned. Fails with a message
/// naming the file and the reason when a handle is unknown, the frames cannot be encoded or the
/// file cannot be written. The bitmaps are not released (see DeleteDIB).
std::expected<GifWritten, QString> DIBtoGIFAniEx(const QString& file_name, const GifFrame* frames,
                                                 int count, const GifOptions* options,
                                                 const AnimationTiming& timing = {},
                                                 StagedFiles* staged = nullptr,
                                                 std::span<const int> durations_ms = {},
                                                 int scale = 1);

}  // namespace koma
