// One collision pass over N unit boxes scattered at random over a square field whose area grows
// with N, against two floors written here: every pair of world boxes tested (all pairs), and
// the plain Z sweep (sort, then each row scanned until a box starts above it), which visits the
// whole strip of the field that a box overlaps along Z and so grows as N^1.5. Two densities
// (the second argument, square units per box): 8, crowded, about a third of the boxes touching
// a neighbour; 356, the game's own field (18 boxes on 80 x 80).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <random>
#include <vector>

#include "engine/scene/GLWorld.h"
#include "engine/sim/GLCollisionIntersect.h"
#include "engine/sim/GLCollisionManager.h"

namespace ukh {
namespace {

struct TField {
  TGLWorld World;
  TGLCollisionManager Manager;
  std::vector<TGLBaseSceneObject*> Objects;
  int64_t Contacts = 0;

  TField(int n, int area) {
    std::mt19937 rng{uint32_t(n)};
    const float side = std::sqrt(float(area) * float(n));
    std::uniform_real_distribution<float> at(0, side);
    for (int i = 0; i < n; ++i) {
      auto* o = World.Objects().AddNewChild<TGLBaseSceneObject>();
      o->Position().SetPoint(at(rng), 0, at(rng));
      auto* c = o->Behaviours().AddNew<TGLBCollision>();
      c->SetBoundingMode(TCollisionBoundingMode::cbmCube);
      c->SetManager(&Manager);
      Objects.push_back(o);
    }
    Manager.OnCollision = [this](TPersistent*, TGLBaseSceneObject*, TGLBaseSceneObject*) {
      ++Contacts;
    };
  }

  struct TItem {
    TGLBaseSceneObject* Object;
    TAABB Box;
  };
  // Step 2 of a pass, as the floors need it too.
  std::vector<TItem> WorldBoxes() {
    std::vector<TItem> items;
    items.reserve(Objects.size());
    for (TGLBaseSceneObject* o : Objects)
      items.push_back(
          {o, AABBTransform(o->AxisAlignedBoundingBoxUnscaled(true), o->AbsoluteMatrix())});
    return items;
  }
  void Test(TGLBaseSceneObject* a, TGLBaseSceneObject* b) {
    if (FastCheckCubeVsCube(*a, *b)) ++Contacts;
  }
};

TField& Field(const benchmark::State& state) {
  static std::map<std::pair<int64_t, int64_t>, std::unique_ptr<TField>> fields;
  auto& f = fields[{state.range(0), state.range(1)}];
  if (!f) f = std::make_unique<TField>(int(state.range(0)), int(state.range(1)));
  return *f;
}

bool Apart(const TAABB& a, const TAABB& b) {
  for (int k = 0; k < 3; ++k)
    if (a.Max[k] < b.Min[k] || b.Max[k] < a.Min[k]) return true;
  return false;
}

void Report(benchmark::State& state, TField& f) {
  state.counters["contacts"] = double(f.Contacts) / double(state.iterations());
  state.counters["ns/client"] =
      benchmark::Counter(double(f.Objects.size()) * double(state.iterations()),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_CheckCollisions(benchmark::State& state) {
  TField& f = Field(state);
  f.Manager.CheckCollisions();  // warm the scratch buffers and matrices
  f.Contacts = 0;
  const uint64_t testsBefore = f.Manager.PairTestCount();
  for (auto _ : state) f.Manager.CheckCollisions();
  Report(state, f);
  state.counters["pairtests"] =
      double(f.Manager.PairTestCount() - testsBefore) / double(state.iterations());
}

void BM_PlainSweep(benchmark::State& state) {
  TField& f = Field(state);
  f.Contacts = 0;
  for (auto _ : state) {
    auto items = f.WorldBoxes();
    std::sort(items.begin(), items.end(), [](const TField::TItem& a, const TField::TItem& b) {
      return a.Box.Min.Z < b.Box.Min.Z;
    });
    for (size_t i = 0; i < items.size(); ++i)
      for (size_t j = i + 1; j < items.size(); ++j) {
        if (!(items[j].Box.Min.Z <= items[i].Box.Max.Z)) break;
        if (!Apart(items[i].Box, items[j].Box)) f.Test(items[i].Object, items[j].Object);
      }
  }
  Report(state, f);
}

void BM_AllPairs(benchmark::State& state) {
  TField& f = Field(state);
  f.Contacts = 0;
  for (auto _ : state) {
    const auto items = f.WorldBoxes();
    for (size_t i = 0; i < items.size(); ++i)
      for (size_t j = i + 1; j < items.size(); ++j)
        if (!Apart(items[i].Box, items[j].Box)) f.Test(items[i].Object, items[j].Object);
  }
  Report(state, f);
}

void Sizes(benchmark::internal::Benchmark* b) {
  for (const int area : {8, 356})
    for (int n = 10; n <= 100000; n *= 10) b->Args({n, area});
  b->Unit(benchmark::kMicrosecond);
}
BENCHMARK(BM_CheckCollisions)->Apply(Sizes);
BENCHMARK(BM_PlainSweep)->Apply(Sizes);
BENCHMARK(BM_AllPairs)->Apply(Sizes);

}  // namespace
}  // namespace ukh
