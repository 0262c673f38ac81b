// The export of the benchmark scene, in process: the whole walk (compose, capture, encode,
// write) to one GIF and to 91 BMP files.
#include <benchmark/benchmark.h>

#include <QFileInfo>
#include <QTemporaryDir>

#include "compose/startup.h"
#include "export/frame_export.h"
#include "export/output_format.h"
#include "export_scene.h"

namespace {

void run_export(benchmark::State& state, bool gif) {
    QTemporaryDir dir;
    koma::EditingModel m(dir.path());
    koma::Form1_Load(m);
    koma::bench::load_scene(m);
    m.export_lists.set_path(dir.path());
    if (gif) koma::output_GIF_Click(m);
    qint64 bytes = 0;
    for (auto _ : state) {
        const auto result = koma::bt_exec_Click(m);
        if (!result || result->files.isEmpty()) {
            state.SkipWithError("export failed");
            return;
        }
        bytes = 0;
        for (const QString& f : result->files) bytes += QFileInfo(f).size();
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}

void BM_ExportGif(benchmark::State& state) { run_export(state, true); }
void BM_ExportBmp(benchmark::State& state) { run_export(state, false); }

BENCHMARK(BM_ExportGif)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportBmp)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
