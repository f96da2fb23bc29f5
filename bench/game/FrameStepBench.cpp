// One full frame step of the game's rules on the code-built test level (no drawing): keys,
// movement, camera follow, fuel and the three collision passes.
#include <benchmark/benchmark.h>

#include "tests/game/TestLevel.h"

namespace ukh {
namespace {

void BM_FrameStepWhileDriving(benchmark::State& state) {
  test::TTestLevel level;
  level.StartDriving();
  level.Hold(platform::VK_RIGHT);  // circle forever: no wall, no box on a radius-8 circle here
  level.PlaceCar(-5, -20);
  for (auto _ : state) {
    level.Step(0.001);
    level.F().FOil = 2;
  }
  benchmark::DoNotOptimize(level.F().Car->Position().AsVector());
  state.SetLabel(level.F().Stoped ? "driving" : "stopped");
}
BENCHMARK(BM_FrameStepWhileDriving);

}  // namespace
}  // namespace ukh
