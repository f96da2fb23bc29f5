// A frame of a scene of the game's shape (ground, four walls, ten boxes, two cylinders, a car
// and five houses of a few thousand triangles, one light) at 624 x 432 on the headless
// context, through the engine's viewer, against a floor written here in plain GL: the same
// triangles in display lists, the same light, camera and colours, and nothing else. Each
// benchmark draws 500 frames and reports the GL calls per frame; the engine's run also
// reports its call ratio to the floor's. Mesa's llvmpipe rasterises in worker threads unless
// LP_NUM_THREADS=0, with which the CPU time column holds all of a frame's work.
#include <benchmark/benchmark.h>

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

struct TFrameResult {
  double SecondsPerFrame = 0;
  double CallsPerFrame = 0;
};
TFrameResult gFloor;

// The engine's frames of the level. With `primitives`, the grouping nodes are dummy cubes,
// the ground, walls and boxes cubes and the canisters cylinders, as in the game (cubes are
// drawn directly every frame, not from a list); else every piece is a display-listed mesh.
void EngineFrames(benchmark::State& state, bool primitives) {
  const TLevel& level = Level();
  TGLWorld scene;
  std::vector<TGLBaseSceneObject*> groups;
  TGLCustomSceneObject* car = nullptr;
  auto group = [&](const std::string& name) -> TGLBaseSceneObject* {
    if (name.empty()) return &scene.Objects();
    for (TGLBaseSceneObject* g : groups)
      if (g->Name() == name) return g;
    TGLBaseSceneObject* g =
        primitives ? static_cast<TGLBaseSceneObject*>(scene.Objects().AddNewChild<TGLDummyCube>())
                   : scene.Objects().AddNewChild<TBenchGroup>();
    g->SetName(name);
    groups.push_back(g);
    return g;
  };
  for (const TPiece& piece : level.Pieces) {
    TGLBaseSceneObject* parent = group(piece.Group);
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
  auto* light = scene.Objects().AddNewChild<TGLLightSource>();
  light->Position().SetPoint(-10, 20, 20);
  auto* camera = scene.Objects().AddNewChild<TGLCamera>();
  camera->Position().SetPoint(level.CarPosition.X, 15, level.CarPosition.Z + 4);
  camera->SetTargetObject(car);

  test::THeadlessViewer host(cWidth, cHeight);
  host.Buffer().SetCamera(camera);
  host.Buffer().SetBackgroundColor(0x00A0A0A0);
  host.CreateWindow();
  TGLContext& context = *host.Buffer().RenderingContext();
  // Held current across the frames, so each frame's own activation is a nested one and costs
  // no eglMakeCurrent, as with the window host, whose context stays current.
  context.Activate();
  for (int i = 0; i < cWarmUpFrames; ++i) {  // the first compiles the lists
    host.Paint();
    glFinish();
  }

  gl::ResetCallCounts();
  for (auto _ : state) {
    host.Paint();
    glFinish();  // the rasteriser's work belongs to the frame
  }
  context.Deactivate();
  const double calls = double(gl::TotalCallCount()) / double(state.iterations());
  state.counters["gl_calls_per_frame"] = calls;
  state.counters["triangles"] = double(level.Triangles());
  state.counters["objects"] = double(level.Pieces.size());
  if (gFloor.CallsPerFrame > 0) state.counters["calls_vs_floor"] = calls / gFloor.CallsPerFrame;
}

void BM_EngineFrame(benchmark::State& state) {
  EngineFrames(state, false);
}
void BM_EnginePrimitivesFrame(benchmark::State& state) {
  EngineFrames(state, true);
}

// ---- floor ----------------------------------------------------------------------------------

void BM_FloorFrame(benchmark::State& state) {
  const TLevel& level = Level();
  platform::TEGLHeadlessContext context(cWidth, cHeight);
  context.CreateContext(0);
  context.Activate();

  std::vector<GLuint> lists;
  for (const TPiece& piece : level.Pieces) {
    const GLuint list = gl::GenLists(1);
    gl::NewList(list, GL_COMPILE);
    EmitMesh(*piece.Mesh);
    gl::EndList();
    lists.push_back(list);
  }
  // The engine's camera: focal length 50 at 96 dpi, looking at the car.
  const double maxDim = cWidth;
  const double zNear = 50.0 * 2 * 96 / (25.4 * maxDim);
  const TMatrix4f projection =
      FrustumMatrix(-0.5, 0.5, -cHeight / (2 * maxDim), cHeight / (2 * maxDim), zNear, zNear + 100);
  const TVector4f eye{level.CarPosition.X, 15, level.CarPosition.Z + 4, 1};
  const TMatrix4f view = LookAtMatrix(eye, PointMake(level.CarPosition), {0, 1, 0, 0});
  std::vector<TMatrix4f> modelView;
  for (const TPiece& piece : level.Pieces)
    modelView.push_back(MultiplyMatrices(TranslationMatrix(piece.Position), view));

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
  const TVector4f lightPosition{-10, 20, 20, 1};

  auto frame = [&] {
    gl::Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    gl::LoadMatrixf(view.data());
    gl::Lightfv(GL_LIGHT0, GL_POSITION, &lightPosition.X);
    const TVector4f* color = nullptr;
    for (size_t i = 0; i < lists.size(); ++i) {
      if (!color || !(*color == level.Pieces[i].Color)) {
        color = &level.Pieces[i].Color;
        gl::Materialfv(GL_FRONT, GL_DIFFUSE, &color->X);
      }
      gl::LoadMatrixf(modelView[i].data());
      gl::CallList(lists[i]);
    }
    glFinish();  // the headless swap is a flush; finishing waits for the rasteriser
  };
  // As many warm-up frames as the engine's run has (the rasteriser compiles its code for
  // the states of the first frames).
  for (int i = 0; i < cWarmUpFrames; ++i) frame();

  gl::ResetCallCounts();
  for (auto _ : state) frame();
  gFloor.CallsPerFrame = double(gl::TotalCallCount()) / double(state.iterations());
  state.counters["gl_calls_per_frame"] = gFloor.CallsPerFrame;
  context.Deactivate();
  context.DestroyContext();
}

BENCHMARK(BM_FloorFrame)->Iterations(cFrames)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EngineFrame)->Iterations(cFrames)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EnginePrimitivesFrame)->Iterations(cFrames)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace ukh
