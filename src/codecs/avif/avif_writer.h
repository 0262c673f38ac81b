#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>
#include <expected>
#include <memory>

#include "codecs/frame_writer.h"
#include "platform/staged_files.h"

namespace koma {

/// The fastest libavif speed whose animations are still lossless. libavif 0.11 hands its speeds
/// 7 to 10 to libaom's real-time mode, whose inter frames come back with wrong pixels even at
/// the lossless quantiser (libaom 3.6).
inline constexpr int kAvifFastestExactSpeed = 6;
/// The speed an export uses unless told otherwise.
inline constexpr int kAvifDefaultSpeed = 6;

/// How an animated AVIF is written.
struct AvifSettings {
    /// The size of every frame, in pixels.
    QSize size{};
    /// Whether the file has an alpha plane; the frames' coverage fills it.
    bool transparent = false;
    /// libavif's encoder speed, 0 (slowest) to kAvifFastestExactSpeed; a faster one asked for is
    /// taken as kAvifFastestExactSpeed.
    int speed = kAvifDefaultSpeed;
    /// Threads the AV1 encoder may use; 0: one per processor core.
    int threads = 0;
    /// How often the animation plays, 0 forever; stored only where libavif can (see
    /// AvifWriter::stores_loop_count).
    int loop_count = 0;
};

/// Writes one lossless animated AVIF, frame by frame, through libavif with libaom. Each frame is
/// coded as 8-bit YUV 4:4:4 with the identity matrix at full range (G, B and R in the Y, U and V
/// planes) at AV1's lossless quantiser, so that libavif's decoder gives back exactly the pixels
/// handed in, alpha included. The first frame is the one key frame.
///
/// The frame's planes are handed to the encoder within add() and not kept. What is held between
/// frames is libaom's: its look-ahead of source frames at its default lag, which libavif 0.11
/// does not let a caller shorten, allocated at the first frame whatever the number of frames
/// (with libaom 3.6 about 57 MB for 462 x 110 frames and 306 MB for 1848 x 440; 81 MB for
/// 462 x 110 with an alpha plane, which has an encoder of its own), and libavif's: every coded
/// frame, until finish() assembles the file in memory. finish() writes it to a temporary file
/// beside the path, staged in a batch (see StagedFiles): the caller's, which puts it in place
/// when the caller commits it, or the writer's own, committed by finish(). A writer that fails
/// or is dropped before finish() takes its file out of the batch, leaving any earlier file at
/// the path as it was and nothing else.
///
/// Loop count: libavif 0.11 writes no edit list, so the file then holds one play (the track's
/// duration is the sum of the frames' durations) and says nothing of repeating it; each reader
/// decides how often to play it. From libavif 1.0 on the count is written.
class AvifWriter {
  public:
    /// A writer of the animation at `path`. Creates the temporary file at once, so that a folder
    /// that takes no files is refused before any frame is coded. Fails with a message naming the
    /// path and the reason: a size outside 1 to 65536 pixels a side, the target refused (see
    /// StagedFile), no libaom encoder in libavif. With `batch`, the file waits there after
    /// finish() (see the class comment); `batch` must outlive the writer.
    static std::expected<std::unique_ptr<AvifWriter>, QString> create(const QString& path,
                                                                      const AvifSettings& settings,
                                                                      StagedFiles* batch = nullptr);

    ~AvifWriter();
    AvifWriter(const AvifWriter&) = delete;
    AvifWriter& operator=(const AvifWriter&) = delete;

    /// Codes the next frame, shown `duration_ms` milliseconds (1 to 65535). `stage` is RGB32 (any
    /// other format is converted; alpha in it is not read) of the writer's size. `coverage` is
    /// null for an opaque frame; otherwise QImage::Format_Grayscale8 of the same size, 0 where the
    /// pixel is transparent: such a pixel is written as transparent black, every other pixel
    /// opaque in the stage's colour (as stage_with_alpha makes them). A writer that is not
    /// transparent refuses a coverage. Fails with a message naming the path, the frame and the
    /// reason; after a failure the writer takes no more frames and has removed its temporary file.
    std::expected<void, QString> add(const QImage& stage, const QImage& coverage, int duration_ms);

    /// Assembles the file and moves it to the path, replacing a file there (with a caller's batch:
    /// leaves it waiting there), and returns the list of that one file. Fails with a message naming
    /// the path and the reason when no frame was added, an earlier add() failed, or the encoder or
    /// the file fails; the path then holds what it held before.
    std::expected<QStringList, QString> finish();

    /// Whether the libavif this program was built with writes AvifSettings::loop_count.
    static bool stores_loop_count();

  private:
    struct State;
    explicit AvifWriter(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

/// A writer of one lossless animated AVIF at `path` for an export (see AvifWriter, at
/// kAvifDefaultSpeed): the first frame sets the size and whether the file has an alpha plane (a
/// coverage given), each frame is shown for the duration it was added with (0: timing.frame_ms),
/// and the file waits in the batch given to write_into() after finish(). No frames write no file.
std::unique_ptr<FrameWriter> make_avif_frame_writer(const QString& path,
                                                    const AnimationTiming& timing);

}  // namespace koma
