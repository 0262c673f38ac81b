#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <expected>
#include <memory>
#include <optional>
#include <span>

#include "codecs/coding_effort.h"
#include "codecs/frame_writer.h"
#include "codecs/png/png_layout.h"

namespace koma {

/// What an animated PNG must know of all its frames before it can code the first: how many
/// there are, their size, and the one layout they share. Sees each frame once, in order, and
/// keeps only the frame before (and, for more than 256 colours, which colours were seen).
class ApngSurvey {
  public:
    /// Takes the next frame (RGB32, or ARGB32 with alpha 0 or 255 as stage_with_alpha makes
    /// them). Fails when it is empty or its size differs from the first frame's.
    std::expected<void, QString> add(const QImage& frame);

    int frames() const { return frames_; }
    QSize size() const { return size_; }

    /// The layout of every frame: a palette when they have at most 256 colours together (with
    /// a clear entry for blending when there is room), else RGB, with one colour no frame uses
    /// marked clear when there is more than one frame or some pixel is clear (RGBA only when no
    /// colour is left unused).
    PngLayout layout() const;

  private:
    QImage previous_;
    QSize size_;
    int frames_ = 0;
    ColourCensus census_;
    /// Every colour seen, kept once the census has overflowed.
    std::unique_ptr<UsedColours> used_;
};

/// Codes the frames of an animated PNG one by one, as they come, once an ApngSurvey has seen
/// them all: holds the frame before, the canvas that frame was drawn on and the coded bytes,
/// never the frames.
///
/// The first frame is the default image; every later one stores only the rectangle in which it
/// differs from what the frame before leaves on the canvas: that frame itself, that frame with
/// its rectangle cleared, or the canvas that frame was drawn on (its dispose operation none,
/// background or previous), either as it is or blended over with its unchanged pixels made
/// clear, whichever codes smallest; a frame equal to what is left stores one unchanged pixel.
/// The candidates are compared coded one quick way and only the winner is
/// coded for keeps: again by libdeflate when that is smaller, and with CodingEffort::Max first
/// with every coding of encode_png_smallest.
///
/// Indices of a palette of up to 16 colours can be packed several to a byte or stored one a
/// byte: packed suits large areas, bytes suit small rectangles at any column. Both are coded
/// for the first frames and the smaller goes on alone.
class ApngEncoder {
  public:
    ApngEncoder(const ApngSurvey& survey, const AnimationTiming& timing, CodingEffort effort);

    /// Codes the next frame, shown `duration_ms` ms (0: the timing's frame_ms). Fails when it
    /// is not the size surveyed, more frames come than were surveyed, or the PNG coder fails.
    std::expected<void, QString> add(const QImage& frame, int duration_ms = 0);

    /// The whole file. Fails when fewer frames were added than surveyed.
    std::expected<QByteArray, QString> finish();

  private:
    /// The frame before, coded; its dispose operation waits for the frame after it.
    struct Pending {
        QRect rect;
        uint8_t blend = 0;
        QByteArray data;  ///< the zlib stream of its rows
        int delay_ms = 0;
    };
    /// The file as coded in one layout.
    struct Track {
        PngLayout layout;
        QByteArray out;
        /// The canvas the frame before was drawn on.
        QImage before_previous;
        Pending pending;
        uint32_t sequence = 0;
    };

    std::expected<void, QString> start(Track& track, const QImage& first);
    std::expected<void, QString> code(Track& track, const QImage& frame);
    std::expected<QByteArray, QString> code_winner(const Track& track, const QImage& pixels,
                                                   const QByteArray& png);
    void write_pending(Track& track, uint8_t dispose);
    void keep_smallest_track();

    QSize size_;
    int frames_;
    AnimationTiming timing_;
    CodingEffort effort_;
    int added_ = 0;
    /// How long the frame being added is shown.
    int delay_ms_ = 0;
    /// One track, or two while the first frames try both ways of storing palette indices.
    std::vector<Track> tracks_;
    /// The frame before.
    QImage previous_;
};

/// Encodes equally sized frames (RGB32, or ARGB32 with alpha 0 or 255 as stage_with_alpha makes
/// them) as one animated PNG that decodes to exactly those pixels, one frame per image, frame i
/// shown `durations_ms[i]` ms (where that is missing or 0: `timing.frame_ms`), played
/// `timing.loop_count` times (0: forever): an ApngSurvey over them, then an ApngEncoder. Fails
/// with a message when there are no frames, their sizes differ or the PNG coder fails.
std::expected<QByteArray, QString> encode_apng(std::span<const QImage> frames,
                                               const AnimationTiming& timing,
                                               CodingEffort effort = CodingEffort::Default,
                                               std::span<const int> durations_ms = {});

/// A writer of one animated PNG at `path` (see encode_apng) coded with `effort`, each frame
/// shown for the duration it was added with; the file is written by finish() (see
/// FrameWriter::write_file), replacing an earlier one only once the whole animation is coded. It
/// surveys: given every step to survey() first, it codes each step as add() hands it over and
/// keeps none. Without a survey it keeps the frames added until finish().
std::unique_ptr<FrameWriter> make_apng_writer(const QString& path, const AnimationTiming& timing,
                                              CodingEffort effort = CodingEffort::Default);

}  // namespace koma
