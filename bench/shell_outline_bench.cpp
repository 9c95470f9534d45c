// The outline of each size mode's skin, as the main window builds it for its window shape.
// Run: build/bench/shell_outline_bench
#include <QImage>
#include <benchmark/benchmark.h>

#include <cstdio>

#include "shell/bitmap_region.h"

namespace {

void Outline(benchmark::State& state, const char* file) {
  const QImage skin = QImage(QStringLiteral(TOLVEX_BENCH_PROGRAM_DIR "/skins/") + QString::fromLatin1(file))
                          .convertToFormat(QImage::Format_RGB888);
  if (skin.isNull()) {
    state.SkipWithError("the skins are missing: build the program first");
    return;
  }
  const tolvex::RgbPicture picture{skin.width(), skin.height(), skin.constBits(), skin.bytesPerLine()};
  std::size_t points = 0;
  for (auto _ : state) {
    const tolvex::Outline outline = tolvex::build_outline(picture);
    points = outline.points.size();
    benchmark::DoNotOptimize(outline.points.data());
  }
  state.counters["points"] = static_cast<double>(points);
  state.counters["cells"] = 9.0 * (skin.width() + 2) * (skin.height() + 2);
}

BENCHMARK_CAPTURE(Outline, normal_505x394, "normal.png")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Outline, medio_800x560, "medio.png")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Outline, grande_1000x700, "grande.png")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
