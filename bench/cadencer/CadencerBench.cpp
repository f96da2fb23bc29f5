// The cadencer's own cost and the tick rate it reaches on the real loop.
//
// EmptyAsapTick: one cmASAP tick on the headless platform — the posted message, the handler,
// Progress with its message processing, an empty scene and an empty OnProgress, and the next
// post. ManualProgress is the floor: the same step called directly, with no message loop.
// FltkIdleTickRate: ticks per second of a cmASAP cadencer on FLTK's loop with one window
// shown, on a private Xvfb server.
#include <benchmark/benchmark.h>

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Window.H>

#include <memory>

#include "engine/scene/GLWorld.h"
#include "engine/sim/GLCadencer.h"
#include "platform/HeadlessPlatform.h"
#include "platform/fltk/FltkPlatform.h"
#include "platform/xvfb/XvfbServer.h"

namespace {

using namespace ukh;

void EmptyAsapTick(benchmark::State& state) {
  platform::THeadlessPlatform p;
  TGLWorld world;
  TGLCadencer cadencer(nullptr, &p);
  int64_t steps = 0;
  cadencer.OnProgress = [&](TPersistent*, double, double) { ++steps; };
  cadencer.SetScene(&world);
  for (auto _ : state) {
    // A millisecond a tick keeps the handler from parking on its too-fast timer.
    p.Clock().Advance(0.001);
    p.Loop().ProcessMessages();
  }
  if (steps != int64_t(state.iterations())) state.SkipWithError("a tick did not step");
}
BENCHMARK(EmptyAsapTick);

void ManualProgress(benchmark::State& state) {
  platform::THeadlessPlatform p;
  TGLWorld world;
  TGLCadencer cadencer(nullptr, &p);
  cadencer.SetMode(TGLCadencerMode::cmManual);
  cadencer.OnProgress = [](TPersistent*, double, double) {};
  cadencer.SetScene(&world);
  for (auto _ : state) {
    p.Clock().Advance(0.001);
    cadencer.Progress();
  }
}
BENCHMARK(ManualProgress);

void FltkIdleTickRate(benchmark::State& state) {
  if (!platform::TXvfbServer::Available()) {
    state.SkipWithError("Xvfb is not installed");
    return;
  }
  static auto server = std::make_unique<platform::TXvfbServer>();
  platform::TFltkPlatform p;
  Fl_Window window(100, 100, 200, 60, "bench");
  Fl_Box box(10, 10, 180, 40, "ticking");
  window.end();
  window.show();
  while (!window.visible()) Fl::wait(0.01);

  TGLWorld world;
  TGLCadencer cadencer(nullptr, &p);
  int64_t ticks = 0;
  cadencer.OnProgress = [&](TPersistent*, double, double) { ++ticks; };
  cadencer.SetScene(&world);
  for (auto _ : state) {
    const int64_t until = ticks + 1000;
    while (ticks < until) Fl::wait(0.1);
  }
  state.counters["ticks_per_s"] = benchmark::Counter(double(ticks), benchmark::Counter::kIsRate);
  state.SetItemsProcessed(ticks);
  cadencer.SetEnabled(false);
  window.hide();
}
BENCHMARK(FltkIdleTickRate)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
