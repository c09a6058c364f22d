// The layer-compositing kernels on a whole 640 x 480 frame (see blit_cases.h): for each case the
// reference, ours (DrawPicture as the engine calls it), the SSE2 variant alone, and the floor, a
// loop with the same loads and stores and no arithmetic. One iteration is one frame, so the times
// are per frame. After the runs a summary gives each time as a multiple of the floor.
#include "bench/blit_cases.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace velmo::bench {
namespace {

const char* const Variants[] = {"reference", "ours", "sse2", "floor"};

void Run(benchmark::State& state, BlitScene& scene, const std::string& variant) {
  const std::function<void()> draw = variant == "reference" ? std::function<void()>([&] { scene.Reference(); })
                                     : variant == "ours"    ? std::function<void()>([&] { scene.Ours(); })
                                     : variant == "sse2"    ? std::function<void()>([&] { scene.Sse2(); })
                                                            : std::function<void()>([&] { scene.Floor(); });
  for (auto _ : state) {
    draw();
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(FrameBytes));
}

// The console output, then the ratios to the floor of the fastest repetition of each.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
  SummaryReporter() : ConsoleReporter(OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
      const double ns = run.GetAdjustedRealTime();
      const std::string name = run.benchmark_name();
      const auto found = best.find(name);
      best[name] = found == best.end() ? ns : std::min(found->second, ns);
    }
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    std::FILE* out = stdout;
    std::fprintf(out, "\n%-10s %12s %12s %12s %12s %10s %10s %10s\n", "case", "reference", "ours", "sse2", "floor",
                 "ref/floor", "ours/floor", "sse2/floor");
    for (const BlitCase& c : BlitCases) {
      const auto time = [&](const char* variant) {
        const auto found = best.find(std::string("BM_") + c.name + "/" + variant);
        return found == best.end() ? 0.0 : found->second;
      };
      const double floor = time("floor");
      if (floor <= 0) continue;
      std::fprintf(out, "%-10s %9.0f ns %9.0f ns %9.0f ns %9.0f ns %10.2f %10.2f %10.2f\n", c.name, time("reference"),
                   time("ours"), time("sse2"), floor, time("reference") / floor, time("ours") / floor,
                   time("sse2") / floor);
    }
  }

private:
  std::map<std::string, double> best;
};

} // namespace
} // namespace velmo::bench

int main(int argc, char** argv) {
  using namespace velmo::bench;
  std::vector<std::unique_ptr<BlitScene>> scenes;
  for (const BlitCase& c : BlitCases) {
    scenes.push_back(std::make_unique<BlitScene>(c.kind));
    BlitScene* scene = scenes.back().get();
    if (scene->KeyedShare() > 0)
      std::printf("%s: %.1f %% of the pixels are the key\n", c.name, 100 * scene->KeyedShare());
    for (const char* variant : Variants) {
      benchmark::RegisterBenchmark((std::string("BM_") + c.name + "/" + variant).c_str(),
                                   [scene, variant](benchmark::State& state) { Run(state, *scene, variant); });
    }
  }
  std::printf("AVX2 variant: %s\n", velmo::blit::Avx2Available() ? "used" : "not available");
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
