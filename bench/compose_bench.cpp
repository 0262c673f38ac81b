// ComposeFrame against a baseline that copies the stage's bytes three times.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "compose/compose_frame.h"
#include "model/editing_model.h"

namespace {

using koma::EditingModel;

// A stage of the given size with a background, a keyed frame in slot 1 and a keyed foreground
// that covers the whole stage (its key colour everywhere but a border).
void set_up(EditingModel& m, int stage_w, int stage_h, int frame_w, int frame_h) {
    QImage background(stage_w, stage_h, QImage::Format_RGB32);
    for (int y = 0; y < stage_h; ++y) {
        for (int x = 0; x < stage_w; ++x) {
            background.setPixel(x, y, qRgb(x & 0xFF, y & 0xFF, 128));
        }
    }
    m.pic[0].set_picture(background);
    m.win_main.resize_pixels(stage_w, stage_h);

    QImage frame(frame_w, frame_h, QImage::Format_RGB32);
    frame.fill(qRgb(255, 0, 255));
    for (int y = frame_h / 4; y < 3 * frame_h / 4; ++y) {
        for (int x = frame_w / 4; x < 3 * frame_w / 4; ++x) {
            frame.setPixel(x, y, qRgb(10, 200, 30));
        }
    }
    m.pic[1].set_picture(frame);

    QImage foreground(stage_w, stage_h, QImage::Format_RGB32);
    foreground.fill(qRgb(0, 255, 0));
    for (int x = 0; x < stage_w; ++x) {
        foreground.setPixel(x, stage_h - 1, qRgb(0, 0, 0));
    }
    m.pic[10].set_picture(foreground);

    m.pattern_anime.set_text(QStringLiteral("1"));
}

void BM_Compose(benchmark::State& state) {
    const int stage_w = static_cast<int>(state.range(0));
    const int stage_h = static_cast<int>(state.range(1));
    const int frame = static_cast<int>(state.range(2));
    EditingModel m(QStringLiteral("/"));
    set_up(m, stage_w, stage_h, frame, frame);
    // Start the frame near the right edge so that it wraps.
    m.adjust_x.set_max(stage_w);
    m.adjust_x.set_value(stage_w - frame / 2);
    for (auto _ : state) {
        koma::ComposeFrame(m, 0);
        benchmark::DoNotOptimize(m.win_main.image().constBits());
    }
}

void BM_CopyStageThreeTimes(benchmark::State& state) {
    const size_t bytes = static_cast<size_t>(state.range(0) * state.range(1) * 4);
    std::vector<unsigned char> a(bytes, 1), b(bytes, 2);
    for (auto _ : state) {
        for (int i = 0; i < 3; ++i) {
            std::memcpy(b.data(), a.data(), bytes);
            benchmark::ClobberMemory();
        }
    }
}

BENCHMARK(BM_Compose)->Args({462, 110, 80})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CopyStageThreeTimes)->Args({462, 110})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Compose)->Args({1920, 1080, 256})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CopyStageThreeTimes)->Args({1920, 1080})->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
