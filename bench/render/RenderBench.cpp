// A frame of a scene of the game's shape (ground, four walls, ten boxes, two cylinders, a car
// and five houses of a few thousand triangles, one light) at 624 x 432 on the headless
// context, through the engine's viewer, against a floor written here in plain GL: the same
// triangles in display lists, the same light, camera and colours, and nothing else. Each
// benchmark draws 500 frames and reports the GL calls per frame; the engine's run also
// reports its call ratio to the floor's. Mesa's llvmpipe rasterises in worker threads unless
// LP_NUM_THREADS=0, with which the CPU time column holds all of a frame's work.
#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "engine/gl/GLApi.h"
#include "engine/scene/GLCamera.h"
#include "engine/scene/GLCameraInvariantObject.h"
#include "engine/scene/GLCube.h"
#include "engine/scene/GLCylinder.h"
#include "engine/scene/GLDummyCube.h"
#include "engine/scene/GLLightSource.h"
#include "engine/scene/GLWorld.h"
#include "engine/scene/GLWorldObject.h"
#include "tests/render/HeadlessViewer.h"

namespace ukh {
namespace {

constexpr int32_t cWidth = 624;
constexpr int32_t cHeight = 432;
constexpr int cFrames = 500;
constexpr int cWarmUpFrames = 5;

// Triangles with one normal each, as the display lists get them.
struct TMesh {
  std::vector<TVector3f> Normals;   // one per triangle
  std::vector<TVector3f> Vertices;  // three per triangle
  size_t Triangles() const { return Normals.size(); }
};

// A box of half-extents h whose faces are split into n x n quads, bulged outwards by `bulge`
// so that the normals vary like those of a model.
TMesh MakeBox(TVector3f h, int n, float bulge) {
  TMesh m;
  static constexpr float faces[6][3] = {{0, 0, 1},  {0, 0, -1}, {1, 0, 0},
                                        {-1, 0, 0}, {0, 1, 0},  {0, -1, 0}};
  auto point = [&](const TVector3f& nn, const TVector3f& a, const TVector3f& b, float u, float v) {
    const float lift = 1 + bulge * (1 - u * u) * (1 - v * v);
    return TVector3f{h.X * (nn.X * lift + u * a.X + v * b.X),
                     h.Y * (nn.Y * lift + u * a.Y + v * b.Y),
                     h.Z * (nn.Z * lift + u * a.Z + v * b.Z)};
  };
  for (const auto& f : faces) {
    const TVector3f nn{f[0], f[1], f[2]};
    const TVector3f a = std::abs(nn.X) > 0 ? TVector3f{0, 1, 0} : TVector3f{1, 0, 0};
    const TVector3f b = CrossProduct(nn, a);
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < n; ++j) {
        const float u0 = -1 + 2.0f * i / n, u1 = -1 + 2.0f * (i + 1) / n;
        const float v0 = -1 + 2.0f * j / n, v1 = -1 + 2.0f * (j + 1) / n;
        const TVector3f p[4] = {point(nn, a, b, u0, v0), point(nn, a, b, u1, v0),
                                point(nn, a, b, u1, v1), point(nn, a, b, u0, v1)};
        const int tris[2][3] = {{0, 1, 2}, {0, 2, 3}};
        for (const auto& t : tris) {
          const TVector3f e1 = SubtractVector(p[t[1]], p[t[0]]);
          const TVector3f e2 = SubtractVector(p[t[2]], p[t[0]]);
          m.Normals.push_back(Normalized(CrossProduct(e1, e2)));
          for (int k : t) m.Vertices.push_back(p[k]);
        }
      }
  }
  return m;
}

// A capped cylinder along Y, as the canisters: 16 slices, 4 stacks.
TMesh MakeCylinder(float radius, float height) {
  TMesh m;
  const int slices = 16, stacks = 4;
  auto at = [&](int s, float y) {
    const double a = 2 * 3.14159265358979 * s / slices;
    return TVector3f{float(radius * std::sin(a)), y, float(radius * std::cos(a))};
  };
  for (int s = 0; s < slices; ++s) {
    for (int k = 0; k < stacks; ++k) {
      const float y0 = -height / 2 + height * k / stacks,
                  y1 = -height / 2 + height * (k + 1) / stacks;
      const TVector3f p[4] = {at(s, y0), at(s + 1, y0), at(s + 1, y1), at(s, y1)};
      const TVector3f n = Normalized(TVector3f{p[0].X + p[1].X, 0, p[0].Z + p[1].Z});
      for (const auto& t : {std::array<int, 3>{0, 1, 2}, std::array<int, 3>{0, 2, 3}}) {
        m.Normals.push_back(n);
        for (int i : t) m.Vertices.push_back(p[i]);
      }
    }
    for (float y : {height / 2, -height / 2}) {
      const bool top = y > 0;
      m.Normals.push_back({0, top ? 1.0f : -1.0f, 0});
      m.Vertices.push_back({0, y, 0});
      m.Vertices.push_back(top ? at(s, y) : at(s + 1, y));
      m.Vertices.push_back(top ? at(s + 1, y) : at(s, y));
    }
  }
  return m;
}

void EmitMesh(const TMesh& mesh) {
  gl::Begin(GL_TRIANGLES);
  for (size_t t = 0; t < mesh.Triangles(); ++t) {
    gl::Normal3fv(&mesh.Normals[t].X);
    for (int k = 0; k < 3; ++k) gl::Vertex3fv(&mesh.Vertices[3 * t + k].X);
  }
  gl::End();
}

// What the level holds, in drawing order: a mesh, a place and a colour each, and the
// primitive that draws the same shape in the level.
enum class TPrimitive { Cube, Cylinder, Model };
struct TPiece {
  std::string Group;
  const TMesh* Mesh;
  TVector3f Position;
  TVector4f Color;
  TPrimitive Primitive = TPrimitive::Model;
  TVector3f Size{};  // of a cube
};

struct TLevel {
  TMesh Ground = MakeBox({40, 0.5f, 40}, 1, 0);
  TMesh WallX = MakeBox({40.5f, 1, 0.5f}, 1, 0);
  TMesh WallZ = MakeBox({0.5f, 1, 40.5f}, 1, 0);
  TMesh Box = MakeBox({0.5f, 0.5f, 0.5f}, 1, 0);
  TMesh Canister = MakeCylinder(0.3f, 1);
  TMesh Car = MakeBox({0.8f, 0.5f, 1.6f}, 12, 0.15f);
  TMesh House = MakeBox({3, 2.5f, 3}, 6, 0.1f);
  std::vector<TPiece> Pieces;
  TVector3f CarPosition{0, 0.5f, 10};

  TLevel() {
    const TPrimitive cube = TPrimitive::Cube, cylinder = TPrimitive::Cylinder;
    Pieces.push_back({"Plane", &Ground, {0, -0.5f, 0}, {0.2f, 0.6f, 0.2f, 1}, cube, {80, 1, 80}});
    for (float z : {-40.0f, 40.0f})
      Pieces.push_back({"Plane", &WallX, {0, 1, z}, {0.6f, 0.6f, 0.6f, 1}, cube, {81, 2, 1}});
    for (float x : {-40.0f, 40.0f})
      Pieces.push_back({"Plane", &WallZ, {x, 1, 0}, {0.6f, 0.6f, 0.6f, 1}, cube, {1, 2, 81}});
    for (int i = 0; i < 10; ++i)
      Pieces.push_back({"Mask",
                        &Box,
                        {-30.0f + 6.5f * i, 0.5f, float((i * 37) % 60 - 30)},
                        {0.7f, 0.45f, 0.2f, 1},
                        cube,
                        {1, 1, 1}});
    Pieces.push_back({"Map", &Canister, {5, 0.5f, -5}, {0.9f, 0.1f, 0.1f, 1}, cylinder});
    Pieces.push_back({"Map", &Canister, {-12, 0.5f, 18}, {0.9f, 0.1f, 0.1f, 1}, cylinder});
    for (int i = 0; i < 5; ++i)
      Pieces.push_back({"Map",
                        &House,
                        {-25.0f + 12.5f * i, 2.5f, -20.0f + 9.0f * (i % 3)},
                        {0.85f, 0.8f, 0.6f, 1}});
    Pieces.push_back({"", &Car, CarPosition, {0.1f, 0.2f, 0.8f, 1}});
  }
  size_t Triangles() const {
    size_t n = 0;
    for (const TPiece& p : Pieces) n += p.Mesh->Triangles();
    return n;
  }
};

const TLevel& Level() {
  static const TLevel level;
  return level;
}

// ---- engine ---------------------------------------------------------------------------------

// A mesh drawn from a display list compiled by the render pass.
class TBenchMesh : public TGLWorldObject {
 public:
  TBenchMesh(TComponent* owner, const TMesh* mesh) : TGLWorldObject(owner), FMesh(mesh) {}
  void BuildList(TGLRenderContextInfo&) override { EmitMesh(*FMesh); }

 private:
  const TMesh* FMesh;
};

// A grouping node that draws nothing, as the level's dummy cubes.
class TBenchGroup : public TGLCameraInvariantObject {
 public:
  explicit TBenchGroup(TComponent* owner) : TGLCameraInvariantObject(owner) {
    FObjectStyle |= osDirectDraw;
  }
};

// The level in the engine: the scene, its camera and light, and the headless viewer. With
// `primitives`, the grouping nodes are dummy cubes, the ground, walls and boxes cubes and
// the canisters cylinders, as in the game (cubes are drawn directly every frame, not from a
// list); else every piece is a display-listed mesh.
class TEngineLevel {
 public:
  explicit TEngineLevel(bool primitives) {
    const TLevel& level = Level();
    TGLCustomSceneObject* car = nullptr;
    for (const TPiece& piece : level.Pieces) {
      TGLBaseSceneObject* parent = Group(piece.Group, primitives);
      TGLCustomSceneObject* object;
      if (primitives && piece.Primitive == TPrimitive::Cube) {
        auto* cube = parent->AddNewChild<TGLCube>();
        cube->SetCubeSize(piece.Size);
        object = cube;
      } else if (primitives && piece.Primitive == TPrimitive::Cylinder) {
        auto* cylinder = parent->AddNewChild<TGLCylinder>();
        cylinder->SetBottomRadius(0.3f);
        cylinder->SetTopRadius(0.3f);
        object = cylinder;
      } else {
        object = parent->AddNewChild<TBenchMesh>(piece.Mesh);
      }
      object->Position().SetPoint(piece.Position);
      object->Material().FrontProperties().Diffuse().SetColor(piece.Color);
      car = object;
    }
    auto* light = FScene.Objects().AddNewChild<TGLLightSource>();
    light->Position().SetPoint(-10, 20, 20);
    auto* camera = FScene.Objects().AddNewChild<TGLCamera>();
    camera->Position().SetPoint(level.CarPosition.X, 15, level.CarPosition.Z + 4);
    camera->SetTargetObject(car);
    FHost.Buffer().SetCamera(camera);
    FHost.Buffer().SetBackgroundColor(0x00A0A0A0);
    FHost.CreateWindow();
  }
  TGLContext& Context() { return *FHost.Buffer().RenderingContext(); }
  void Frame() {
    FHost.Paint();
    glFinish();  // the rasteriser's work belongs to the frame
  }

 private:
  TGLBaseSceneObject* Group(const std::string& name, bool primitives) {
    if (name.empty()) return &FScene.Objects();
    for (TGLBaseSceneObject* g : FGroups)
      if (g->Name() == name) return g;
    TGLBaseSceneObject* g =
        primitives ? static_cast<TGLBaseSceneObject*>(FScene.Objects().AddNewChild<TGLDummyCube>())
                   : FScene.Objects().AddNewChild<TBenchGroup>();
    g->SetName(name);
    FGroups.push_back(g);
    return g;
  }

  TGLWorld FScene;
  test::THeadlessViewer FHost{cWidth, cHeight};
  std::vector<TGLBaseSceneObject*> FGroups;
};

// The floor: the level's triangles in display lists, drawn with the same camera, light and
// colours by plain GL calls, on a headless context of its own.
class TFloorLevel {
 public:
  TFloorLevel() : FContext(cWidth, cHeight) {
    const TLevel& level = Level();
    FContext.CreateContext(0);
    FContext.Activate();
    for (const TPiece& piece : level.Pieces) {
      const GLuint list = gl::GenLists(1);
      gl::NewList(list, GL_COMPILE);
      EmitMesh(*piece.Mesh);
      gl::EndList();
      FLists.push_back(list);
    }
    // The engine's camera: focal length 50 at 96 dpi, looking at the car.
    const double maxDim = cWidth;
    const double zNear = 50.0 * 2 * 96 / (25.4 * maxDim);
    const TMatrix4f projection = FrustumMatrix(-0.5, 0.5, -cHeight / (2 * maxDim),
                                               cHeight / (2 * maxDim), zNear, zNear + 100);
    const TVector4f eye{level.CarPosition.X, 15, level.CarPosition.Z + 4, 1};
    FView = LookAtMatrix(eye, PointMake(level.CarPosition), {0, 1, 0, 0});
    for (const TPiece& piece : level.Pieces)
      FModelView.push_back(MultiplyMatrices(TranslationMatrix(piece.Position), FView));

    gl::Viewport(0, 0, cWidth, cHeight);
    gl::MatrixMode(GL_PROJECTION);
    gl::LoadMatrixf(projection.data());
    gl::MatrixMode(GL_MODELVIEW);
    gl::Enable(GL_DEPTH_TEST);
    gl::Enable(GL_CULL_FACE);
    gl::Enable(GL_LIGHTING);
    gl::Enable(GL_LIGHT0);
    gl::Enable(GL_NORMALIZE);
    gl::Disable(GL_DITHER);
    gl::ClearColor(160 / 255.0f, 160 / 255.0f, 160 / 255.0f, 1);
    FContext.Deactivate();
  }
  ~TFloorLevel() { FContext.DestroyContext(); }
  TGLContext& Context() { return FContext; }
  void Frame() {
    const TLevel& level = Level();
    static constexpr TVector4f lightPosition{-10, 20, 20, 1};
    gl::Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    gl::LoadMatrixf(FView.data());
    gl::Lightfv(GL_LIGHT0, GL_POSITION, &lightPosition.X);
    const TVector4f* color = nullptr;
    for (size_t i = 0; i < FLists.size(); ++i) {
      if (!color || !(*color == level.Pieces[i].Color)) {
        color = &level.Pieces[i].Color;
        gl::Materialfv(GL_FRONT, GL_DIFFUSE, &color->X);
      }
      gl::LoadMatrixf(FModelView[i].data());
      gl::CallList(FLists[i]);
    }
    glFinish();  // the headless swap is a flush; finishing waits for the rasteriser
  }

 private:
  platform::TEGLHeadlessContext FContext;
  std::vector<GLuint> FLists;
  TMatrix4f FView;
  std::vector<TMatrix4f> FModelView;
};

double gFloorCallsPerFrame = 0;

// Runs the frames of one renderer with its context held current (so that each engine
// frame's own activation is a nested one and costs no eglMakeCurrent, as with the window
// host, whose context stays current), after as many warm-up frames for each (the first
// compiles the lists, the rasteriser compiles its code for the states of the first frames).
template <class TRenderer>
double RunFrames(benchmark::State& state, TRenderer& renderer) {
  renderer.Context().Activate();
  for (int i = 0; i < cWarmUpFrames; ++i) renderer.Frame();
  gl::ResetCallCounts();
  for (auto _ : state) renderer.Frame();
  renderer.Context().Deactivate();
  const double calls = double(gl::TotalCallCount()) / double(state.iterations());
  state.counters["gl_calls_per_frame"] = calls;
  return calls;
}

void BM_FloorFrame(benchmark::State& state) {
  TFloorLevel floor;
  gFloorCallsPerFrame = RunFrames(state, floor);
}

void EngineFrames(benchmark::State& state, bool primitives) {
  TEngineLevel engine(primitives);
  const double calls = RunFrames(state, engine);
  state.counters["triangles"] = double(Level().Triangles());
  state.counters["objects"] = double(Level().Pieces.size());
  if (gFloorCallsPerFrame > 0) state.counters["calls_vs_floor"] = calls / gFloorCallsPerFrame;
}
void BM_EngineFrame(benchmark::State& state) {
  EngineFrames(state, false);
}
void BM_EnginePrimitivesFrame(benchmark::State& state) {
  EngineFrames(state, true);
}

// The thread's CPU time and the wall clock, in seconds.
struct TStamp {
  double Cpu, Wall;
  static TStamp Now() {
    timespec cpu{}, wall{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu);
    clock_gettime(CLOCK_MONOTONIC, &wall);
    return {double(cpu.tv_sec) + cpu.tv_nsec * 1e-9, double(wall.tv_sec) + wall.tv_nsec * 1e-9};
  }
};

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Engine and floor frames in turn, each timed on its own, so that both meet the same load
// of the machine; the medians of their frame times and the ratio engine / floor. Run with
// LP_NUM_THREADS=0 the CPU times hold all of the rasteriser's work; the wall times of the
// threaded rasteriser swing with the scheduling of its threads on a loaded machine.
void BM_EngineVsFloorInTurn(benchmark::State& state) {
  TFloorLevel floor;
  TEngineLevel engine(false);
  std::vector<double> floorCpu, floorWall, engineCpu, engineWall;
  auto timed = [](auto& renderer, std::vector<double>& cpu, std::vector<double>& wall) {
    renderer.Context().Activate();
    const TStamp a = TStamp::Now();
    renderer.Frame();
    const TStamp b = TStamp::Now();
    renderer.Context().Deactivate();
    cpu.push_back(b.Cpu - a.Cpu);
    wall.push_back(b.Wall - a.Wall);
  };
  std::vector<double> scratch;
  for (int i = 0; i < cWarmUpFrames; ++i) {
    timed(floor, scratch, scratch);
    timed(engine, scratch, scratch);
  }
  // Which goes first alternates: the one after a context switch pays for waking the
  // rasteriser's threads.
  bool floorFirst = true;
  for (auto _ : state) {
    if (floorFirst) timed(floor, floorCpu, floorWall);
    timed(engine, engineCpu, engineWall);
    if (!floorFirst) timed(floor, floorCpu, floorWall);
    floorFirst = !floorFirst;
  }
  state.counters["floor_cpu_us"] = Median(floorCpu) * 1e6;
  state.counters["engine_cpu_us"] = Median(engineCpu) * 1e6;
  state.counters["cpu_ratio"] = Median(engineCpu) / Median(floorCpu);
  state.counters["floor_wall_us"] = Median(floorWall) * 1e6;
  state.counters["engine_wall_us"] = Median(engineWall) * 1e6;
  state.counters["wall_ratio"] = Median(engineWall) / Median(floorWall);
}

BENCHMARK(BM_FloorFrame)->Iterations(cFrames)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EngineFrame)->Iterations(cFrames)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EnginePrimitivesFrame)->Iterations(cFrames)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EngineVsFloorInTurn)->Iterations(cFrames)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace ukh
