#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>
#include <expected>
#include <memory>

#include "codecs/frame_writer.h"
#include "codecs/video/video_codec.h"
#include "platform/staged_files.h"

namespace koma {

/// How a video is written.
struct VideoSettings {
    VideoCodec codec = VideoCodec::H264;
    /// The size of every frame, in pixels.
    QSize size{};
    /// The encoder's constant-quality setting (see crf_range); -1: default_crf. Values outside
    /// the codec's range are taken as its nearest end.
    int crf = -1;
    /// Threads the encoder may use; 0: one per processor core.
    int threads = 0;
};

/// Writes one video, frame by frame, through FFmpeg's libraries: H.264 (libx264) in MP4 with
/// its index at the front (fast start), or VP9 (libvpx) in WebM. Frames are coded as YUV 4:2:0
/// at limited range, BT.709 primaries, transfer and matrix (tagged so), chroma sited at the
/// block centres (see rgb_to_yuv420), at the constant quality of VideoSettings::crf. Each
/// frame's duration becomes its timestamp step on a millisecond clock: frame k starts at the sum
/// of the durations before it, and every packet carries its frame's duration, so the last frame
/// lasts as long as asked too.
///
/// H.264 4:2:0 codes only even sizes: a frame of odd width or height is padded by repeating its
/// last column or row, and the video is one pixel wider or taller. VP9 keeps odd sizes. Video
/// holds no transparency: the stage's colours are written as they are.
///
/// Memory: one frame's planes, and what the encoder keeps (x264 looks 20 frames ahead; VP9 is
/// told to look at none). The video goes into a temporary file beside the path as it is coded,
/// staged in a batch (see StagedFiles): the caller's, which puts it in place when the caller
/// commits it, or the writer's own, committed by finish(). A writer that fails or is dropped
/// before finish() takes it out of the batch, leaving any earlier file at the path as it was.
///
/// The libraries' log is kept off stderr (see quiet_ffmpeg_log); their error lines go into the
/// failure messages.
class VideoWriter {
  public:
    /// A writer of the video at `path`: opens the encoder and the temporary file and writes the
    /// container's header. Fails with a message naming the path and the reason: a size outside
    /// 1 to 16384 pixels a side, the target refused (see StagedFile), the encoder missing from
    /// the FFmpeg libraries or refusing the settings. With `batch`, the file waits there after
    /// finish() (see the class comment); `batch` must outlive the writer.
    static std::expected<std::unique_ptr<VideoWriter>, QString> create(
        const QString& path, const VideoSettings& settings, StagedFiles* batch = nullptr);

    ~VideoWriter();
    VideoWriter(const VideoWriter&) = delete;
    VideoWriter& operator=(const VideoWriter&) = delete;

    /// Codes the next frame, shown `duration_ms` milliseconds (1 to 65535). `stage` is RGB32 or
    /// ARGB32 (alpha is not read; other formats are converted) of the writer's size. Fails with a
    /// message naming the path, the frame and the reason; after a failure the writer takes no
    /// more frames and has removed its temporary file.
    std::expected<void, QString> add(const QImage& stage, int duration_ms);

    /// Drains the encoder, completes the file and moves it to the path, replacing a file there
    /// (with a caller's batch: leaves it waiting there), and returns the list of that one file.
    /// Fails with a message naming the path and the reason when no frame was added, an earlier
    /// add() failed, or coding or writing fails; the path then holds what it held before.
    std::expected<QStringList, QString> finish();

  private:
    struct State;
    explicit VideoWriter(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

/// A writer of one video at `path` for an export (see VideoWriter) in `codec` at the encoder's
/// constant quality `crf` (-1: default_crf): the first frame sets the size, each frame is shown
/// for the duration it was added with (0: timing.frame_ms), the coverage is not looked at (video
/// holds no transparency), and the file waits in the batch given to write_into() after finish().
/// No frames write no file. The loop count is not written: players loop a video as they choose.
std::unique_ptr<FrameWriter> make_video_frame_writer(const QString& path, VideoCodec codec,
                                                     const AnimationTiming& timing, int crf = -1);

}  // namespace koma
