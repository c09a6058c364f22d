// Variable lookup with 300, 3,000 and 65,536 variables: the plain search of the creation-order
// list (the reference) beside TListHash's indexed lookup. Names are looked up in a shuffled
// order that touches every variable, as a script that uses all of them would.
#include "engine/script/list_hash.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace velmo {
namespace {

std::vector<std::string> MakeNames(std::size_t count) {
  std::vector<std::string> names;
  names.reserve(count);
  char name[32];
  for (std::size_t i = 0; i < count; ++i) {
    std::snprintf(name, sizeof name, "save[%zu]", i + 1);
    names.emplace_back(name);
  }
  return names;
}

std::vector<std::string> ShuffledQueries(const std::vector<std::string>& names) {
  std::vector<std::string> queries(names);
  std::shuffle(queries.begin(), queries.end(), std::mt19937(12345));
  return queries;
}

// The reference: entries in creation order, compared one by one.
struct PlainEntry {
  std::string name;
  char value[TListHash::ValueSize];
};

const char* PlainGetVar(const std::vector<PlainEntry>& entries, const std::string& name) {
  for (const PlainEntry& e : entries) {
    if (std::strcmp(e.name.c_str(), name.c_str()) == 0) return e.value;
  }
  return "";
}

void BM_LookupPlainList(benchmark::State& state) {
  const auto names = MakeNames(static_cast<std::size_t>(state.range(0)));
  std::vector<PlainEntry> entries;
  for (const auto& n : names) entries.push_back(PlainEntry{n, "1"});
  const auto queries = ShuffledQueries(names);
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(PlainGetVar(entries, queries[i]));
    if (++i == queries.size()) i = 0;
  }
}

void BM_LookupTListHash(benchmark::State& state) {
  const auto names = MakeNames(static_cast<std::size_t>(state.range(0)));
  TListHash vars;
  for (const auto& n : names) vars.SetVarText(n, "1");
  const auto queries = ShuffledQueries(names);
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(vars.GetVar(queries[i]));
    if (++i == queries.size()) i = 0;
  }
}

BENCHMARK(BM_LookupPlainList)->Arg(300)->Arg(3000)->Arg(65536);
BENCHMARK(BM_LookupTListHash)->Arg(300)->Arg(3000)->Arg(65536);

} // namespace
} // namespace velmo
