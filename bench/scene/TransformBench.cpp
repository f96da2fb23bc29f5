// Lazy matrices of a 10 000-object tree: the cost of the rebuild after the root moves, of a
// second read that must rebuild nothing, and of every object moving at once; and the cost of
// one progress walk over that tree.
#include <benchmark/benchmark.h>

#include <vector>

#include "engine/scene/GLWorld.h"

namespace ukh {
namespace {

// 100 groups of 99 leaves below the root's first child: 1 + 100 + 9 900 = 10 001 objects.
struct TTree {
  TGLWorld Scene;
  TGLBaseSceneObject* Top;
  std::vector<TGLBaseSceneObject*> All;
  TTree() {
    Top = Scene.Objects().AddNewChild<TGLBaseSceneObject>();
    All.push_back(Top);
    for (int g = 0; g < 100; ++g) {
      auto* group = Top->AddNewChild<TGLBaseSceneObject>();
      group->Position().SetPoint(float(g), 0, 0);
      All.push_back(group);
      for (int i = 0; i < 99; ++i) {
        auto* leaf = group->AddNewChild<TGLBaseSceneObject>();
        leaf->Position().SetPoint(0, 0, float(i));
        leaf->SetTurnAngle(float(i));
        All.push_back(leaf);
      }
    }
    ReadAll();
  }
  float ReadAll() {
    float sum = 0;
    for (TGLBaseSceneObject* o : All) sum += o->AbsoluteMatrix().W.X;
    return sum;
  }
};

void BM_RebuildAfterRootMove(benchmark::State& state) {
  TTree tree;
  float x = 0;
  for (auto _ : state) {
    tree.Top->Position().SetCoordinate(0, x += 1);
    benchmark::DoNotOptimize(tree.ReadAll());
  }
  state.counters["ns/object"] =
      benchmark::Counter(double(tree.All.size()) * state.iterations(),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_RebuildAfterRootMove)->Unit(benchmark::kMicrosecond);

void BM_SecondReadRebuildsNothing(benchmark::State& state) {
  TTree tree;
  for (auto _ : state) benchmark::DoNotOptimize(tree.ReadAll());
  state.counters["ns/object"] =
      benchmark::Counter(double(tree.All.size()) * state.iterations(),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_SecondReadRebuildsNothing)->Unit(benchmark::kMicrosecond);

void BM_EveryObjectMoves(benchmark::State& state) {
  TTree tree;
  float z = 0;
  for (auto _ : state) {
    z += 1;
    for (TGLBaseSceneObject* o : tree.All) o->Position().SetCoordinate(1, z);
    benchmark::DoNotOptimize(tree.ReadAll());
  }
  state.counters["ns/object"] =
      benchmark::Counter(double(tree.All.size()) * state.iterations(),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_EveryObjectMoves)->Unit(benchmark::kMicrosecond);

// One progress walk of the scene over the same tree: every object's (empty) behaviours and
// progress event, children last to first.
void BM_ProgressWalk(benchmark::State& state) {
  TTree tree;
  double t = 0;
  for (auto _ : state) tree.Scene.Progress(0.01, t += 0.01);
  state.counters["ns/object"] =
      benchmark::Counter(double(tree.All.size()) * state.iterations(),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ProgressWalk)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace ukh
