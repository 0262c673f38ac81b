// Time, size, peak memory and fidelity of the new writers (animated AVIF, MP4, WebM, the sprite
// sheet) on a state file's animation, composed in process as the export composes it:
//   koma_outputs_bench bound STATE.pst
//       mean RGB PSNR of every step through 4:2:0 and back without an encoder, at scales 1, 2
//       and 4: this program's conversion against swscale's, shown by a player that interpolates
//       chroma and by one that repeats it
//   koma_outputs_bench mp4|webm STATE.pst SCALE CRF [noverify]
//   koma_outputs_bench avif STATE.pst SCALE SPEED [noverify]
//   koma_outputs_bench sheet STATE.pst SCALE [noverify]
// With keep=DIR the files are written into DIR and kept; steps=N writes the first N steps only;
// transparent gives the AVIF and the sheet the stage's coverage.
// Writing and checking are separate: the peak memory is read before the file is decoded back, and
// the checking composes every step again rather than keeping them.
#include <sys/resource.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImageReader>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>

extern "C" {
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include "codecs/avif/avif_writer.h"
#include "codecs/frame_writer.h"
#include "codecs/sheet/sheet_writer.h"
#include "codecs/video/video_writer.h"
#include "codecs/video/yuv420.h"
#include "compose/compose_frame.h"
#include "compose/startup.h"
#include "raster/integer_scale.h"
#include "state/load_save.h"
#include "support/avif_reader.h"
#include "support/video_reader.h"

namespace {

using namespace koma;

// Where the files go: a temporary folder, or the one given with keep=DIR.
QString g_keep;

QString output_folder(const QTemporaryDir& dir) { return g_keep.isEmpty() ? dir.path() : g_keep; }

struct Animation {
    std::unique_ptr<EditingModel> model;
    int steps = 0;
    int frame_ms = 80;

    // The stage of step `i`, enlarged.
    QImage step(int i, int scale) {
        model->pattern_pos = static_cast<int16_t>(i);
        ComposeFrame(*model, 0);
        return scaled_up(model->win_main.image(), scale);
    }
    // The coverage of the step last composed, enlarged; null unless transparent.
    QImage coverage(int scale) const {
        return transparent ? scaled_up(stage_coverage(*model), scale) : QImage();
    }
    bool transparent = false;
};

std::optional<Animation> load(const QString& state) {
    Animation a;
    a.model = std::make_unique<EditingModel>(QDir::currentPath());
    Form1_Load(*a.model);
    a.model->work_path = QFileInfo(state).absoluteFilePath();
    a.model->state_mode = 1;
    if (const auto loaded = load_save(*a.model); !loaded) {
        std::fprintf(stderr, "%s\n", qPrintable(loaded.error()));
        return std::nullopt;
    }
    a.steps = std::min<int>(static_cast<int>(a.model->pattern_anime.text().size()), kMaxSteps);
    a.frame_ms = a.model->export_settings.frame_ms;
    return a;
}

double cpu_seconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

long peak_kb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Planes as FFmpeg allocates them.
struct Planes {
    uint8_t* data[4] = {};
    int linesize[4] = {};
    int width;
    int height;
    Planes(int w, int h) : width(w), height(h) {
        av_image_alloc(data, linesize, w, h, AV_PIX_FMT_YUV420P, 64);
    }
    ~Planes() { av_freep(&data[0]); }
};

void swscale_to_yuv(const QImage& rgb, Planes& planes) {
    SwsContext* scale = sws_getContext(
        rgb.width(), rgb.height(), AV_PIX_FMT_RGB32, rgb.width(), rgb.height(), AV_PIX_FMT_YUV420P,
        SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INP, nullptr, nullptr, nullptr);
    const int* bt709 = sws_getCoefficients(SWS_CS_ITU709);
    sws_setColorspaceDetails(scale, bt709, 1, bt709, 0, 0, 1 << 16, 1 << 16);
    const uint8_t* in[1] = {rgb.constBits()};
    const int stride[1] = {static_cast<int>(rgb.bytesPerLine())};
    sws_scale(scale, in, stride, 0, rgb.height(), planes.data, planes.linesize);
    sws_freeContext(scale);
}

// A player that shows each 2 x 2 block's chroma on all four pixels.
QImage repeated_chroma(const Planes& p) {
    QImage rgb(p.width, p.height, QImage::Format_RGB32);
    const auto code = [](double v) { return std::clamp(static_cast<int>(std::lround(v)), 0, 255); };
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const double l = 1.164383 * (p.data[0][y * p.linesize[0] + x] - 16);
            const double u = p.data[1][y / 2 * p.linesize[1] + x / 2] - 128;
            const double v = p.data[2][y / 2 * p.linesize[2] + x / 2] - 128;
            rgb.setPixel(x, y,
                         qRgb(code(l + 1.792741 * v), code(l - 0.213249 * u - 0.532909 * v),
                              code(l + 2.112402 * u)));
        }
    }
    return rgb;
}

int bound(Animation& a) {
    std::printf(
        "| scale | conversion | interpolating player | repeating player |\n|---|---|---|---|\n");
    for (const int scale : {1, 2, 4}) {
        double sums[2][2] = {};
        for (int i = 0; i < a.steps; ++i) {
            const QImage stage = a.step(i, scale);
            for (int k = 0; k < 2; ++k) {
                Planes planes(stage.width(), stage.height());
                if (k == 0) {
                    rgb_to_yuv420(stage, stage.width(), stage.height(),
                                  {planes.data[0], planes.data[1], planes.data[2],
                                   planes.linesize[0], planes.linesize[1], planes.linesize[2]});
                } else {
                    swscale_to_yuv(stage, planes);
                }
                sums[k][0] += test::rgb_psnr(stage, test::to_rgb(planes.data, planes.linesize,
                                                                 stage.width(), stage.height()));
                sums[k][1] += test::rgb_psnr(stage, repeated_chroma(planes));
            }
        }
        for (int k = 0; k < 2; ++k) {
            std::printf("| %d | %s | %.2f dB | %.2f dB |\n", scale,
                        k == 0 ? "rgb_to_yuv420 (least squares)" : "swscale bicubic",
                        sums[k][0] / a.steps, sums[k][1] / a.steps);
        }
    }
    return 0;
}

// Writes every step through `add`, then `finish`; prints time and memory.
// The peak memory before the writer was made, the stage of the size in question composed.
long g_before = 0;

bool write_all(Animation& a, int scale, const std::function<bool(const QImage&, int)>& add,
               const std::function<bool()>& finish) {
    const long before = g_before;
    QElapsedTimer wall;
    wall.start();
    const double cpu = cpu_seconds();
    for (int i = 0; i < a.steps; ++i) {
        if (!add(a.step(i, scale), a.frame_ms)) return false;
    }
    if (!finish()) return false;
    std::printf(
        "steps %d, %.2f s wall, %.2f s CPU (composing included), peak RSS %ld KB (%ld KB "
        "before the writer was made)\n",
        a.steps, wall.elapsed() / 1000.0, cpu_seconds() - cpu, peak_kb(), before);
    return true;
}

int video(Animation& a, VideoCodec codec, int scale, int crf, bool verify) {
    QTemporaryDir dir;
    const QString path = output_folder(dir) + "/walk." + video_file_extension(codec);
    const QSize size = a.step(0, scale).size();
    g_before = peak_kb();
    auto writer = VideoWriter::create(path, {.codec = codec, .size = size, .crf = crf});
    if (!writer) {
        std::fprintf(stderr, "%s\n", qPrintable(writer.error()));
        return 1;
    }
    QString error;
    const auto add = [&](const QImage& stage, int ms) {
        const auto added = (*writer)->add(stage, ms);
        if (!added) error = added.error();
        return added.has_value();
    };
    const auto finish = [&] {
        const auto done = (*writer)->finish();
        if (!done) error = done.error();
        return done.has_value();
    };
    if (!write_all(a, scale, add, finish)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    std::printf("%s %dx%d crf %d: %lld bytes\n", codec == VideoCodec::H264 ? "H.264" : "VP9",
                size.width(), size.height(), crf, QFileInfo(path).size());
    if (!verify) return 0;
    const test::DecodedVideo decoded = test::decode_video(path);
    if (!decoded.error.isEmpty() || static_cast<int>(decoded.frames.size()) != a.steps) {
        std::fprintf(stderr, "decoding: %s\n", qPrintable(decoded.error));
        return 1;
    }
    double to_stage = 0;
    double lowest = 1000;
    double best = 0;
    double encoder = 0;
    int timing_errors = 0;
    for (int i = 0; i < a.steps; ++i) {
        const QImage stage = a.step(i, scale);
        const QImage shown = decoded.frames[i].copy(0, 0, stage.width(), stage.height());
        const QImage bound = test::yuv420_round_trip(stage);
        const double psnr = test::rgb_psnr(stage, shown);
        to_stage += psnr;
        lowest = std::min(lowest, psnr);
        best += test::rgb_psnr(stage, bound);
        encoder += test::rgb_psnr(bound, shown);
        if (decoded.starts_ms[i] != int64_t{i} * a.frame_ms) ++timing_errors;
    }
    std::printf(
        "PSNR against the stage: mean %.2f dB, lowest %.2f dB; 4:2:0 bound %.2f dB; "
        "encoder's own loss %.2f dB; %d frames with a wrong start\n",
        to_stage / a.steps, lowest, best / a.steps, encoder / a.steps, timing_errors);
    return 0;
}

int avif(Animation& a, int scale, int speed, bool verify) {
    QTemporaryDir dir;
    const QString path = output_folder(dir) + "/walk.avif";
    const QSize size = a.step(0, scale).size();
    g_before = peak_kb();
    auto writer =
        AvifWriter::create(path, {.size = size, .transparent = a.transparent, .speed = speed});
    if (!writer) {
        std::fprintf(stderr, "%s\n", qPrintable(writer.error()));
        return 1;
    }
    QString error;
    const auto add = [&](const QImage& stage, int ms) {
        const auto added = (*writer)->add(stage, a.coverage(scale), ms);
        if (!added) error = added.error();
        return added.has_value();
    };
    const auto finish = [&] {
        const auto done = (*writer)->finish();
        if (!done) error = done.error();
        return done.has_value();
    };
    if (!write_all(a, scale, add, finish)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    std::printf("AVIF %dx%d speed %d: %lld bytes\n", size.width(), size.height(), speed,
                QFileInfo(path).size());
    if (!verify) return 0;
    const test::DecodedAvif decoded = test::decode_avif(path);
    int wrong = 0;
    for (int i = 0; i < a.steps && i < static_cast<int>(decoded.frames.size()); ++i) {
        const QImage stage = a.step(i, scale);
        const QImage expected =
            a.transparent
                ? stage_with_alpha(stage, a.coverage(scale)).convertToFormat(QImage::Format_ARGB32)
                : stage;
        if (decoded.frames[i] != expected || decoded.durations_ms[i] != a.frame_ms) ++wrong;
    }
    std::printf("decoded %zu frames, %d of them not exact (%s)\n", decoded.frames.size(), wrong,
                decoded.error.isEmpty() ? "no error" : qPrintable(decoded.error));
    return wrong == 0 && static_cast<int>(decoded.frames.size()) == a.steps ? 0 : 1;
}

int sheet(Animation& a, int scale, bool verify) {
    QTemporaryDir dir;
    const QString image = output_folder(dir) + "/walk.png";
    const QSize size = a.step(0, scale).size();
    g_before = peak_kb();
    auto writer = SheetWriter::create(
        image, output_folder(dir) + "/walk.json",
        {.cell = size,
         .frame_count = a.steps,
         .transparent = a.transparent,
         .frame_name =
             [](int i) { return QStringLiteral("walk %1").arg(i, 2, 10, QLatin1Char('0')); },
         .app_version = "bench",
         .scale = scale});
    if (!writer) {
        std::fprintf(stderr, "%s\n", qPrintable(writer.error()));
        return 1;
    }
    QString error;
    const auto add = [&](const QImage& stage, int ms) {
        const auto added = (*writer)->add(stage, a.coverage(scale), ms);
        if (!added) error = added.error();
        return added.has_value();
    };
    const auto finish = [&] {
        const auto done = (*writer)->finish();
        if (!done) error = done.error();
        return done.has_value();
    };
    if (!write_all(a, scale, add, finish)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const SheetLayout layout = (*writer)->layout();
    std::printf("sheet %dx%d (%d x %d cells of %dx%d): %lld bytes\n", layout.size().width(),
                layout.size().height(), layout.columns, layout.rows, size.width(), size.height(),
                QFileInfo(image).size());
    if (!verify) return 0;
    QImageReader::setAllocationLimit(0);  // a scaled sheet is larger than Qt reads by default
    const QImage read =
        QImage(image).convertToFormat(a.transparent ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    int wrong = 0;
    for (int i = 0; i < a.steps; ++i) {
        const QImage stage = a.step(i, scale);
        const QImage expected =
            a.transparent
                ? stage_with_alpha(stage, a.coverage(scale)).convertToFormat(QImage::Format_ARGB32)
                : stage;
        if (read.copy(layout.cell_rect(i)) != expected) ++wrong;
    }
    std::printf("%d of %d cells not exact\n", wrong, a.steps);
    return wrong == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: see the comment at the top of bench/outputs_bench.cpp\n");
        return 2;
    }
    auto animation = load(args[1]);
    if (!animation) return 1;
    const QString mode = args[0];
    const bool verify = !args.contains("noverify");
    for (const QString& arg : args) {
        if (arg.startsWith("keep=")) g_keep = arg.mid(5);
        if (arg == "transparent") animation->transparent = true;
        if (arg.startsWith("steps="))
            animation->steps = std::min(animation->steps, arg.mid(6).toInt());
    }
    const int scale = args.size() > 2 ? args[2].toInt() : 1;
    if (mode == "bound") return bound(*animation);
    if ((mode == "mp4" || mode == "webm") && args.size() > 3) {
        return video(*animation, mode == "mp4" ? VideoCodec::H264 : VideoCodec::Vp9, scale,
                     args[3].toInt(), verify);
    }
    if (mode == "avif" && args.size() > 3) return avif(*animation, scale, args[3].toInt(), verify);
    if (mode == "sheet") return sheet(*animation, scale, verify);
    std::fprintf(stderr, "unknown command\n");
    return 2;
}
