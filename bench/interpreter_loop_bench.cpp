// Interpreter speed in the headless player: a counting loop of two lines per iteration,
//   // loop
//   @Let i += 1
//   @if $i < N GOTO #loop
// played from a scrambled startup.scx as velmo-run plays it. Reported as lines and iterations per
// second of the whole run (start-up is a few lines and files; it is measured too but does not
// weigh at these loop lengths).
#include "engine/script/scenario.h"
#include "engine/script/script_state.h"
#include "tools/velmo_run/headless_run.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace velmo {
namespace {

std::string MakeGame(long iterations) {
  namespace fs = std::filesystem;
  const fs::path folder = fs::temp_directory_path() / ("velmo_bench_loop_" + std::to_string(iterations));
  fs::create_directories(folder / "system");
  std::string text =
      "@Let i = 0\r\n// loop\r\n@Let i += 1\r\n@if $i < " + std::to_string(iterations) + " GOTO #loop\r\n@Exit\r\n";
  for (char& c : text) c = SwapNibbles(c);
  std::ofstream(folder / "system" / "startup.scx", std::ios::binary) << text;
  return folder.string();
}

void BM_CountingLoop(benchmark::State& state) {
  const long iterations = static_cast<long>(state.range(0));
  const std::string folder = MakeGame(iterations);
  // The transcript is not wanted (this benchmark is built for the host only).
  std::FILE* sink = std::fopen("/dev/null", "w");
  std::uint64_t lines = 0;
  for (auto _ : state) {
    HeadlessRun run(folder, RunOptions{}, sink);
    if (run.Run() != RunEnd::Exit) state.SkipWithError("the loop did not end with @Exit");
    lines += run.GetEngine().script.linesRead;
  }
  std::fclose(sink);
  state.counters["lines/s"] = benchmark::Counter(static_cast<double>(lines), benchmark::Counter::kIsRate);
  state.counters["iterations/s"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * static_cast<double>(iterations), benchmark::Counter::kIsRate);
}

BENCHMARK(BM_CountingLoop)->Arg(100000)->Arg(3000000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
} // namespace velmo
