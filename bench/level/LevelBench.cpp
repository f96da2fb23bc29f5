// The level's loading time: a whole process from spawn to a loaded level (goal: under
// 150 ms), and the loading alone inside a running process, with and without the models and
// pictures of FormCreate; the document's parse on its own for scale.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>

#include <string>

#include "bench/level/LevelLoading.h"
#include "game/EmbeddedFiles.h"
#include "game/LevelDocument.h"

extern char** environ;

namespace ukh::bench {
namespace {

void BM_ProcessToLoadedLevel(benchmark::State& state) {
  char* argv[] = {const_cast<char*>(UKH_LEVEL_LOAD_ONCE), nullptr};
  for (auto _ : state) {
    pid_t pid = 0;
    if (posix_spawn(&pid, UKH_LEVEL_LOAD_ONCE, nullptr, nullptr, argv, environ) != 0) {
      state.SkipWithError("cannot start " UKH_LEVEL_LOAD_ONCE);
      return;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      state.SkipWithError("the level did not load (run level_load_once for the message)");
      return;
    }
  }
}
BENCHMARK(BM_ProcessToLoadedLevel)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadLevelWithAssets(benchmark::State& state) {
  for (auto _ : state) {
    TLoadedLevel level(true);
    if (!level.Created) {
      state.SkipWithError(level.Platform.MessageBox().Shown.front().c_str());
      return;
    }
  }
}
BENCHMARK(BM_LoadLevelWithAssets)->Unit(benchmark::kMillisecond);

void BM_LoadLevelWithoutAssets(benchmark::State& state) {
  for (auto _ : state) {
    try {
      TLoadedLevel level(false);
      benchmark::DoNotOptimize(level.Form->Car);
    } catch (const std::exception& e) {
      state.SkipWithError(e.what());
      return;
    }
  }
}
BENCHMARK(BM_LoadLevelWithoutAssets)->Unit(benchmark::kMillisecond);

void BM_ParseLevelDocument(benchmark::State& state) {
  const game::TEmbeddedFile* f = game::FindEmbeddedFile("level.json");
  const std::string text(reinterpret_cast<const char*>(f->Data), f->Size);
  for (auto _ : state) benchmark::DoNotOptimize(game::ParseLevelDocument(text, "level.json"));
}
BENCHMARK(BM_ParseLevelDocument)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace ukh::bench
