// GL layer costs on a headless llvmpipe context. The floor for a counted wrapper is the raw
// GL call it wraps; the state cache's skipped call is measured against the GL call it saves.
#include <benchmark/benchmark.h>

#include <memory>

#include "engine/gl/GLApi.h"
#include "engine/gl/GLMaterial.h"
#include "engine/gl/GLRenderContextInfo.h"
#include "platform/egl/EGLHeadlessContext.h"

namespace {

using namespace ukh;

// One context for the whole run: creating it takes far longer than any case here.
platform::TEGLHeadlessContext& Context() {
  static auto* context = [] {
    auto* c = new platform::TEGLHeadlessContext(64, 64);
    c->CreateContext(0);
    c->Activate();
    return c;
  }();
  return *context;
}

void RawColor4f(benchmark::State& state) {
  Context();
  float v = 0;
  for (auto _ : state) {
    ::glColor4f(v, 0.5f, 0.25f, 1);
    v += 1e-7f;
  }
}
BENCHMARK(RawColor4f);

void CountedColor4f(benchmark::State& state) {
  Context();
  float v = 0;
  for (auto _ : state) {
    gl::Color4f(v, 0.5f, 0.25f, 1);
    v += 1e-7f;
  }
}
BENCHMARK(CountedColor4f);

void RawDepthFuncSameValue(benchmark::State& state) {
  Context();
  for (auto _ : state) ::glDepthFunc(GL_LEQUAL);
}
BENCHMARK(RawDepthFuncSameValue);

void CachedDepthFuncSameValue(benchmark::State& state) {
  TGLStateCache& cache = Context().GLStates();
  cache.SetDepthFunc(cfLEqual);
  for (auto _ : state) {
    cache.SetDepthFunc(cfLEqual);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(CachedDepthFuncSameValue);

void CachedDepthFuncAlternating(benchmark::State& state) {
  TGLStateCache& cache = Context().GLStates();
  bool flip = false;
  for (auto _ : state) {
    cache.SetDepthFunc(flip ? cfLEqual : cfLess);
    flip = !flip;
  }
}
BENCHMARK(CachedDepthFuncAlternating);

// Every object applies its full material each frame; with the states already in GL this
// is the cost per object.
void ApplyUnchangedMaterial(benchmark::State& state) {
  TGLRenderContextInfo rci;
  rci.GLStates = &Context().GLStates();
  rci.BufferLighting = rci.BufferFaceCull = rci.BufferDepthTest = true;
  TGLMaterial m(nullptr);
  m.FrontProperties().Diffuse().SetColor({0.3f, 0.6f, 0.9f, 1});
  m.Apply(rci);
  gl::ResetCallCounts();
  for (auto _ : state) {
    m.Apply(rci);
    m.UnApply(rci);
    benchmark::ClobberMemory();
  }
  state.counters["gl_calls"] = double(gl::TotalCallCount());
}
BENCHMARK(ApplyUnchangedMaterial);

// Two materials alternating: every colour and switch that differs reaches GL.
void ApplyAlternatingMaterials(benchmark::State& state) {
  TGLRenderContextInfo rci;
  rci.GLStates = &Context().GLStates();
  rci.BufferLighting = rci.BufferFaceCull = rci.BufferDepthTest = true;
  TGLMaterial a(nullptr), b(nullptr);
  b.FrontProperties().Diffuse().SetColor({0.3f, 0.6f, 0.9f, 1});
  b.FrontProperties().Ambient().SetColor({0.1f, 0.1f, 0.1f, 1});
  b.SetBlendingMode(bmTransparency);
  bool flip = false;
  for (auto _ : state) {
    (flip ? a : b).Apply(rci);
    flip = !flip;
  }
}
BENCHMARK(ApplyAlternatingMaterials);

}  // namespace
