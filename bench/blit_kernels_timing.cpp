// The layer-compositing kernels timed without Google Benchmark (which the Windows build does not
// have): the cases of blit_cases.h, each variant the best of several repetitions of a batch of
// frames, printed as nanoseconds per frame and as multiples of the floor; then ComposeAll of the
// busy scene of busy_scene.h.
//   velmo_blit_timing [repetitions [case]]
#include "bench/blit_cases.h"
#include "bench/busy_scene.h"
#include "bench/timing_clock.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace velmo::bench {
namespace {

using Variant = void (BlitScene::*)();
constexpr Variant Variants[] = {&BlitScene::Reference, &BlitScene::Ours, &BlitScene::Sse2, &BlitScene::Floor};
constexpr int VariantCount = 4;

// The best time of one frame of each variant, in nanoseconds: `repetitions` rounds, each timing a
// batch of about 2 ms of every variant in turn, so that a busy machine slows them alike.
void BestFrameTimes(BlitScene& scene, int repetitions, double best[VariantCount]) {
  int frames[VariantCount];
  for (int v = 0; v < VariantCount; ++v) {
    for (int i = 0; i < 3; ++i) (scene.*Variants[v])();
    const double start = NowNs();
    (scene.*Variants[v])();
    frames[v] = std::max(1, static_cast<int>(2e6 / std::max(NowNs() - start, 1.0)));
  }
  for (int r = 0; r < repetitions; ++r) {
    for (int v = 0; v < VariantCount; ++v) {
      const double start = NowNs();
      for (int f = 0; f < frames[v]; ++f) (scene.*Variants[v])();
      const double perFrame = (NowNs() - start) / frames[v];
      if (r == 0 || perFrame < best[v]) best[v] = perFrame;
    }
  }
}

} // namespace
} // namespace velmo::bench

int main(int argc, char** argv) {
  using namespace velmo::bench;
  const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
  std::printf("AVX2 variant: %s; best of %d repetitions, ns per 640 x 480 frame\n",
              velmo::blit::Avx2Available() ? "used" : "not available", repetitions);
  std::printf("%-10s %11s %11s %11s %11s %10s %10s %10s\n", "case", "reference", "ours", "sse2", "floor", "ref/floor",
              "ours/floor", "sse2/floor");
  for (const BlitCase& c : BlitCases) {
    if (argc > 2 && std::strcmp(argv[2], c.name) != 0) continue;
    BlitScene scene(c.kind);
    double t[VariantCount];
    BestFrameTimes(scene, repetitions, t);
    std::printf("%-10s %11.0f %11.0f %11.0f %11.0f %10.2f %10.2f %10.2f\n", c.name, t[0], t[1], t[2], t[3], t[0] / t[3],
                t[1] / t[3], t[2] / t[3]);
  }
  BusyScene busy;
  double bestUs = 0;
  for (int r = 0; r < repetitions; ++r) {
    const double start = NowNs();
    for (int f = 0; f < 20; ++f) busy.Compose();
    const double us = (NowNs() - start) / 20 / 1000;
    if (r == 0 || us < bestUs) bestUs = us;
  }
  std::printf("ComposeAll of the busy scene: %.0f us per frame\n", bestUs);
  return 0;
}
