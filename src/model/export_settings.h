#pragma once

#include <QString>
#include <cstdint>
#include <expected>
#include <optional>

#include "codecs/coding_effort.h"
#include "raster/integer_scale.h"

namespace koma {

class EditingModel;

/// The file formats an export can write.
enum class OutputFormat {
    Bmp,    ///< numbered 24-bit BMP files, one per step
    Gif,    ///< one animated GIF
    Png,    ///< numbered PNG files, one per step
    Apng,   ///< one animated PNG
    Webp,   ///< one lossless animated WebP
    Avif,   ///< one lossless animated AVIF
    Mp4,    ///< one H.264 video in MP4
    Webm,   ///< one VP9 video in WebM
    Sheet,  ///< one sprite sheet PNG with its JSON data file
};

/// Export settings of the project beyond the two format buttons. With their defaults an export
/// is exactly what the format buttons alone choose: 80 ms a step, looping forever, opaque.
struct ExportSettings {
    /// A format other than BMP or GIF chosen in the settings window; while it is Bmp or Gif the
    /// format buttons (gif_mode) alone decide, and a click on them sets it back to the choice
    /// they make.
    OutputFormat extra_format = OutputFormat::Bmp;
    /// Milliseconds a step is shown, in the preview and in every animated format.
    int frame_ms = 80;
    /// How often an animation plays; 0 plays it forever.
    int loop_count = 0;
    /// Whether the background's own key-coloured pixels are exported transparent.
    bool transparent = false;
    /// How hard the PNG sequence and the animated PNG look for small files.
    CodingEffort effort = CodingEffort::Default;
    /// Megabytes an export may take at most (see export_memory_need); an export that would
    /// need more is refused before it starts.
    int memory_limit_mb = 2048;
    /// How many times every format enlarges the stage: each pixel a scale x scale block,
    /// 1 to kMaxScale.
    int scale = 1;
    /// Columns of a sprite sheet; 0: the most square grid. Not kept in the state file.
    int sheet_columns = 0;
    /// The videos' quality from 0 to 100 (see crf_for_quality); -1: the codec's default. Not
    /// kept in the state file; the lossless formats have no quality to set.
    int video_quality = -1;

    bool operator==(const ExportSettings&) const = default;
};

/// Shortest frame time players honour; shorter times are refused.
inline constexpr int kMinFrameMs = 20;
/// Longest frame time: APNG and WebP store milliseconds in 16 bits.
inline constexpr int kMaxFrameMs = 65535;
/// Most plays an animation can be given (0 is forever); the formats store 16 bits.
inline constexpr int kMaxLoopCount = 65535;

/// The smallest and largest memory budget of an export, in megabytes (MiB).
inline constexpr int kMinMemoryLimitMb = 1;
inline constexpr int kMaxMemoryLimitMb = 1024 * 1024;

/// `ms` as a frame time when it lies in [kMinFrameMs, kMaxFrameMs]; otherwise a message saying
/// what is allowed (a time under kMinFrameMs is one players would not honour).
std::expected<int, QString> check_frame_ms(int64_t ms);

/// `count` as a loop count when it lies in [0, kMaxLoopCount]; otherwise a message saying what
/// is allowed.
std::expected<int, QString> check_loop_count(int64_t count);

/// `mb` as a memory budget when it lies in [kMinMemoryLimitMb, kMaxMemoryLimitMb].
std::optional<int> check_memory_limit(int64_t mb);

/// `scale` as an enlargement when it lies in [1, kMaxScale]; otherwise a message saying what is
/// allowed.
std::expected<int, QString> check_scale(int64_t scale);

/// Whether `format` is one the format buttons cannot choose (any but Bmp and Gif), so that the
/// settings alone decide while it is chosen.
bool is_extra_format(OutputFormat format);

/// The format an export writes: the settings' extra_format when it is an extra format,
/// otherwise what the format buttons chose (gif_mode non-zero: Gif, zero: Bmp).
OutputFormat format_in_force(const EditingModel& model);

}  // namespace koma
