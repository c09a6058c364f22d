// The whole-frame loops of the basic plug-in on a 640 x 480 frame: the cross-fade OVERLAP (one
// frame of it), the MONOTONE filter and the SHADOW filter. For each: the formula as written
// (reference), ours (what the plug-in calls: SSE2), and the floor, a loop with the same memory
// traffic and no arithmetic (an or, or an xor, to use the loaded bytes) in 16-byte loads and
// stores: OVERLAP reads two frames and writes a third, the filters change one frame in place.
// One iteration is one frame. After the runs a summary gives each time as a multiple of the floor.
#include "plugins/basicfx/basicfx_kernels.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr std::size_t FramePixels = 640 * 480;
constexpr std::size_t FrameBytes = FramePixels * 3;

// A frame-sized buffer starting on a 64-byte boundary, filled with noise.
class Frame {
public:
  explicit Frame(unsigned seed) : storage(FrameBytes + 64) {
    const auto address = reinterpret_cast<std::uintptr_t>(storage.data());
    data = storage.data() + (64 - address % 64) % 64;
    std::mt19937 random(seed);
    for (std::size_t i = 0; i < FrameBytes; ++i) data[i] = static_cast<std::uint8_t>(random());
  }
  Frame(const Frame&) = delete;
  Frame& operator=(const Frame&) = delete;
  std::uint8_t* data;

private:
  std::vector<std::uint8_t> storage;
};

// out = a | b, or in place p ^= 0x5A when `b` is null.
void FloorLoop(const std::uint8_t* a, const std::uint8_t* b, std::uint8_t* out) {
  std::size_t i = 0;
#if defined(__SSE2__)
  const __m128i k = _mm_set1_epi8(0x5A);
  for (; i + 16 <= FrameBytes; i += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
    const __m128i w = b != nullptr ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i)) : k;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), b != nullptr ? _mm_or_si128(v, w) : _mm_xor_si128(v, w));
  }
#endif
  for (; i < FrameBytes; ++i) out[i] = b != nullptr ? a[i] | b[i] : a[i] ^ 0x5A;
}

struct Scene {
  Frame from{1}, to{2}, out{3};
};

const char* const Cases[] = {"OVERLAP", "MONOTONE", "SHADOW"};
const char* const Variants[] = {"reference", "ours", "floor"};
const std::int32_t ShadowPercents[3] = {-50, 30, 70};
constexpr std::int32_t OverlapFrame = 3;

std::function<void()> Work(Scene& s, const std::string& c, const std::string& variant) {
  using namespace velmo::basicfx;
  if (c == "OVERLAP") {
    if (variant == "reference")
      return [&s] { OverlapReference(s.from.data, s.to.data, s.out.data, FrameBytes, OverlapFrame); };
    if (variant == "ours") return [&s] { Overlap(s.from.data, s.to.data, s.out.data, FrameBytes, OverlapFrame); };
    return [&s] { FloorLoop(s.from.data, s.to.data, s.out.data); };
  }
  if (c == "MONOTONE") {
    if (variant == "reference") return [&s] { MonoToneReference(s.out.data, FramePixels); };
    if (variant == "ours") return [&s] { MonoTone(s.out.data, FramePixels); };
    return [&s] { FloorLoop(s.out.data, nullptr, s.out.data); };
  }
  if (variant == "reference") return [&s] { ShadowReference(s.out.data, FramePixels, ShadowPercents); };
  if (variant == "ours") return [&s] { Shadow(s.out.data, FramePixels, ShadowPercents); };
  return [&s] { FloorLoop(s.out.data, nullptr, s.out.data); };
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
      const auto found = best.find(run.benchmark_name());
      best[run.benchmark_name()] = found == best.end() ? ns : std::min(found->second, ns);
    }
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\n%-10s %12s %12s %12s %10s %10s %10s\n", "case", "reference", "ours", "floor", "ref/floor",
                "ours/floor", "ref/ours");
    for (const char* c : Cases) {
      const auto time = [&](const char* variant) {
        const auto found = best.find(std::string("BM_") + c + "/" + variant);
        return found == best.end() ? 0.0 : found->second;
      };
      const double floor = time("floor"), ours = time("ours");
      if (floor <= 0 || ours <= 0) continue;
      std::printf("%-10s %9.0f ns %9.0f ns %9.0f ns %10.2f %10.2f %10.2f\n", c, time("reference"), ours, floor,
                  time("reference") / floor, ours / floor, time("reference") / ours);
    }
  }

private:
  std::map<std::string, double> best;
};

} // namespace

int main(int argc, char** argv) {
  Scene scene;
  for (const char* c : Cases) {
    for (const char* variant : Variants) {
      const std::function<void()> work = Work(scene, c, variant);
      benchmark::RegisterBenchmark((std::string("BM_") + c + "/" + variant).c_str(), [work](benchmark::State& state) {
        for (auto _ : state) {
          work();
          benchmark::ClobberMemory();
        }
        state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(FrameBytes));
      });
    }
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
