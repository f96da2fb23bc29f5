// Scene objects for the render tests: a cube of a given edge with outward normals whose
// geometry goes through BuildList (so it is cached in a display list unless drawn directly),
// counting and logging each build, and the same cube without its material applied.
#pragma once

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "engine/gl/GLApi.h"
#include "engine/scene/GLImmaterialSceneObject.h"
#include "engine/scene/GLWorldObject.h"

namespace ukh::test {

// A cube of edge `size` centred on the origin, each face with its outward normal and wound
// counter-clockwise seen from outside.
inline void EmitTestCube(float size) {
  const float h = size / 2;
  static constexpr float faces[6][3] = {{0, 0, 1},  {0, 0, -1}, {1, 0, 0},
                                        {-1, 0, 0}, {0, 1, 0},  {0, -1, 0}};
  gl::Begin(GL_QUADS);
  for (const auto& n : faces) {
    gl::Normal3f(n[0], n[1], n[2]);
    // Two axes spanning the face with a x b = n.
    const TVector3f nn{n[0], n[1], n[2]};
    const TVector3f a = std::abs(nn.X) > 0 ? TVector3f{0, 1, 0} : TVector3f{1, 0, 0};
    const TVector3f b = CrossProduct(nn, a);
    const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (const auto& c : corners) {
      gl::Vertex3f(h * (nn.X + c[0] * a.X + c[1] * b.X), h * (nn.Y + c[0] * a.Y + c[1] * b.Y),
                   h * (nn.Z + c[0] * a.Z + c[1] * b.Z));
    }
  }
  gl::End();
}

// The cube with an own material, built into its display list (or drawn directly).
class TTestCube : public TGLWorldObject {
 public:
  explicit TTestCube(TComponent* owner = nullptr, float size = 1)
      : TGLWorldObject(owner), FSize(size) {}

  float Size() const { return FSize; }
  void SetSize(float size) {
    if (size == FSize) return;
    FSize = size;
    StructureChanged();
  }
  void SetDirectDraw(bool on) {
    FObjectStyle = on ? (FObjectStyle | osDirectDraw) : (FObjectStyle & ~osDirectDraw);
  }
  TVector4f AxisAlignedDimensionsUnscaled() override {
    return {FSize / 2, FSize / 2, FSize / 2, 0};
  }

  void BuildList(TGLRenderContextInfo& rci) override {
    ++BuildCount;
    if (Log) Log->push_back(Name());
    if (OnBuild) OnBuild(rci);
    EmitTestCube(FSize);
  }

  int BuildCount = 0;
  std::vector<std::string>* Log = nullptr;
  std::function<void(TGLRenderContextInfo&)> OnBuild;

 private:
  float FSize;
};

// The same cube on an object that carries a material but does not apply it.
class TImmaterialCube : public TGLImmaterialSceneObject {
 public:
  TImmaterialCube(TComponent* owner, float size) : TGLImmaterialSceneObject(owner), FSize(size) {}
  void BuildList(TGLRenderContextInfo&) override { EmitTestCube(FSize); }

 private:
  float FSize;
};

}  // namespace ukh::test
