// Reading a 3DS file with every record decoded, against lib3ds_file_load on the same files.
#include <benchmark/benchmark.h>
#include <lib3ds/file.h>

#include <filesystem>
#include <string>

#include "engine/mesh/File3DS.h"
#include "tests/mesh/DecodeAll3DS.h"

namespace {

const char* const kModels = "/usr/share/glmark2/models/";

std::string Path(const char* name) {
  return std::string(kModels) + name;
}

void BM_TFile3DS(benchmark::State& state, const char* name) {
  const std::string path = Path(name);
  if (!std::filesystem::exists(path)) {
    state.SkipWithError("glmark2-data is not installed");
    return;
  }
  for (auto _ : state) {
    ukh::TFile3DS f;
    f.LoadFromFile(path);
    benchmark::DoNotOptimize(ukh::test3ds::DecodeAll(f));
  }
}

void BM_lib3ds(benchmark::State& state, const char* name) {
  const std::string path = Path(name);
  if (!std::filesystem::exists(path)) {
    state.SkipWithError("glmark2-data is not installed");
    return;
  }
  for (auto _ : state) {
    Lib3dsFile* f = lib3ds_file_load(path.c_str());
    benchmark::DoNotOptimize(f);
    lib3ds_file_free(f);
  }
}

}  // namespace

BENCHMARK_CAPTURE(BM_TFile3DS, horse, "horse.3ds")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_lib3ds, horse, "horse.3ds")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TFile3DS, cat, "cat.3ds")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_lib3ds, cat, "cat.3ds")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TFile3DS, asteroid_high, "asteroid-high.3ds")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_lib3ds, asteroid_high, "asteroid-high.3ds")->Unit(benchmark::kMillisecond);
