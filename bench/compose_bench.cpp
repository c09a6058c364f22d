// ComposeAll of a busy scene (bench/busy_scene.h), as @UpdateScreen runs it: the goal is a frame
// in well under a millisecond.
#include "bench/busy_scene.h"

#include <benchmark/benchmark.h>

namespace velmo::bench {
namespace {

void BM_ComposeBusyScene(benchmark::State& state) {
  BusyScene scene;
  for (auto _ : state) {
    scene.Compose();
    benchmark::DoNotOptimize(scene.Shown());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_ComposeBusyScene)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace velmo::bench

BENCHMARK_MAIN();
