// Properties of the primitives without GL: defaults, "notify only on change", half-extents
// (signs, scale, alignment), the dummy cube's barycentre and ray test, and the box's stored
// "CubeSize" block.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/base/Exception.h"
#include "engine/scene/GLCube.h"
#include "engine/scene/GLCylinder.h"
#include "engine/scene/GLDummyCube.h"
#include "engine/scene/GLWorld.h"

namespace ukh {
namespace {

class TRecordingBuffer : public IGLSceneBuffer {
 public:
  int Changes = 0;
  void SceneChanged(TPersistent*) override { ++Changes; }
};

// An object in a scene whose buffer counts notifications; the pending structure change of a
// new object is cleared so that the next one can be seen.
template <class T>
struct TInScene {
  TGLWorld Scene;
  TRecordingBuffer Buffer;
  T* Object;
  TInScene() {
    Object = Scene.Objects().AddNewChild<T>();
    Scene.AddBuffer(&Buffer);
    Object->ClearStructureChanged();
    Buffer.Changes = 0;
  }
  bool StructurePending() const { return (Object->Changes() & ocStructure) != 0; }
};

TEST(PrimitivePropertiesTest, Defaults) {
  TGLDummyCube dummy;
  EXPECT_EQ(dummy.CubeSize(), 1.0f);
  EXPECT_EQ(dummy.EdgeColor().Color(), (TVector4f{1, 1, 1, 1}));
  EXPECT_FALSE(dummy.VisibleAtRunTime());
  EXPECT_FALSE(dummy.Amalgamate());
  EXPECT_EQ(dummy.CamInvarianceMode(), TGLCameraInvarianceMode::cimNone);
  EXPECT_TRUE(dummy.ObjectStyle() & osDirectDraw);

  TGLCube cube;
  EXPECT_EQ(cube.CubeSize(), (TVector3f{1, 1, 1}));
  EXPECT_EQ(cube.Parts(), 63);
  EXPECT_EQ(cube.NormalDirection(), TGLNormalDirection::ndOutside);
  EXPECT_TRUE(cube.ObjectStyle() & osDirectDraw);

  TGLCylinder cylinder;
  EXPECT_EQ(cylinder.Normals(), TGLNormalSmoothing::nsSmooth);
  EXPECT_EQ(cylinder.NormalDirection(), TGLNormalDirection::ndOutside);
  EXPECT_EQ(cylinder.BottomRadius(), 0.5f);
  EXPECT_EQ(cylinder.TopRadius(), 0.5f);
  EXPECT_EQ(cylinder.Height(), 1.0f);
  EXPECT_EQ(cylinder.Slices(), 16);
  EXPECT_EQ(cylinder.Stacks(), 4);
  EXPECT_EQ(cylinder.Loops(), 1);
  EXPECT_EQ(cylinder.Parts(), 7);
  EXPECT_EQ(cylinder.Alignment(), TGLCylinderAlignment::caCenter);
  // Drawn from its display list, not directly.
  EXPECT_FALSE(cylinder.ObjectStyle() & osDirectDraw);
}

TEST(PrimitivePropertiesTest, TopRadiusQueryOfTheCylinderBase) {
  TGLCylinderBase base;
  base.SetBottomRadius(0.25f);
  EXPECT_EQ(base.TopRadius(), 0.25f);
  TGLCylinder cylinder;
  cylinder.SetBottomRadius(0.25f);
  cylinder.SetTopRadius(0.75f);
  const TGLCylinderBase& asBase = cylinder;
  EXPECT_EQ(asBase.TopRadius(), 0.75f);
}

// Each setter: the current value changes nothing and notifies no one; a new value marks the
// structure and notifies the scene once.
template <class T>
void CheckSetters(const std::vector<std::pair<std::string, std::function<void(T&, bool)>>>& rows) {
  for (const auto& [name, set] : rows) {
    SCOPED_TRACE(name);
    TInScene<T> s;
    set(*s.Object, false);
    EXPECT_FALSE(s.StructurePending()) << "same value";
    EXPECT_EQ(s.Buffer.Changes, 0) << "same value";
    set(*s.Object, true);
    EXPECT_TRUE(s.StructurePending()) << "new value";
    EXPECT_EQ(s.Buffer.Changes, 1) << "new value";
  }
}

TEST(PrimitivePropertiesTest, SettersNotifyOnlyOnChange) {
  CheckSetters<TGLDummyCube>({
      {"CubeSize", [](TGLDummyCube& o, bool n) { o.SetCubeSize(n ? 2.0f : 1.0f); }},
      {"VisibleAtRunTime", [](TGLDummyCube& o, bool n) { o.SetVisibleAtRunTime(n); }},
      {"Amalgamate", [](TGLDummyCube& o, bool n) { o.SetAmalgamate(n); }},
  });
  CheckSetters<TGLCube>({
      {"CubeWidth", [](TGLCube& o, bool n) { o.SetCubeWidth(n ? 3.0f : 1.0f); }},
      {"CubeHeight", [](TGLCube& o, bool n) { o.SetCubeHeight(n ? 3.0f : 1.0f); }},
      {"CubeDepth", [](TGLCube& o, bool n) { o.SetCubeDepth(n ? 3.0f : 1.0f); }},
      {"CubeSize",
       [](TGLCube& o, bool n) {
         o.SetCubeSize({1, 1, n ? 78.9f : 1.0f});
       }},
      {"Parts", [](TGLCube& o, bool n) { o.SetParts(n ? CubePartBit(cpTop) : cAllCubeParts); }},
      {"NormalDirection",
       [](TGLCube& o, bool n) {
         o.SetNormalDirection(n ? TGLNormalDirection::ndInside : TGLNormalDirection::ndOutside);
       }},
  });
  CheckSetters<TGLCylinder>({
      {"Normals",
       [](TGLCylinder& o, bool n) {
         o.SetNormals(n ? TGLNormalSmoothing::nsFlat : TGLNormalSmoothing::nsSmooth);
       }},
      {"NormalDirection",
       [](TGLCylinder& o, bool n) {
         o.SetNormalDirection(n ? TGLNormalDirection::ndInside : TGLNormalDirection::ndOutside);
       }},
      {"BottomRadius", [](TGLCylinder& o, bool n) { o.SetBottomRadius(n ? 0.3f : 0.5f); }},
      {"TopRadius", [](TGLCylinder& o, bool n) { o.SetTopRadius(n ? 0.3f : 0.5f); }},
      {"Height", [](TGLCylinder& o, bool n) { o.SetHeight(n ? 2.0f : 1.0f); }},
      {"Slices", [](TGLCylinder& o, bool n) { o.SetSlices(n ? 8 : 16); }},
      {"Stacks", [](TGLCylinder& o, bool n) { o.SetStacks(n ? 1 : 4); }},
      {"Loops", [](TGLCylinder& o, bool n) { o.SetLoops(n ? 3 : 1); }},
      {"Parts", [](TGLCylinder& o, bool n) { o.SetParts(n ? CylinderPartBit(cySides) : 7); }},
      {"Alignment",
       [](TGLCylinder& o, bool n) {
         o.SetAlignment(n ? TGLCylinderAlignment::caTop : TGLCylinderAlignment::caCenter);
       }},
  });
}

TEST(PrimitivePropertiesTest, LoopsBelowOneAreIgnored) {
  TInScene<TGLCylinder> s;
  s.Object->SetLoops(3);
  s.Object->ClearStructureChanged();
  s.Buffer.Changes = 0;
  for (int32_t bad : {0, -1, INT32_MIN}) {
    s.Object->SetLoops(bad);
    EXPECT_EQ(s.Object->Loops(), 3) << bad;
  }
  EXPECT_FALSE(s.StructurePending());
  EXPECT_EQ(s.Buffer.Changes, 0);
  s.Object->SetLoops(1);
  EXPECT_EQ(s.Object->Loops(), 1);
}

TEST(PrimitivePropertiesTest, EdgeColourChangeReachesTheScene) {
  TInScene<TGLDummyCube> s;
  s.Object->EdgeColor().SetColor({1, 1, 1, 1});
  EXPECT_EQ(s.Buffer.Changes, 0);
  s.Object->EdgeColor().SetRed(0.5f);
  EXPECT_EQ(s.Buffer.Changes, 1);
}

TEST(PrimitivePropertiesTest, HalfExtents) {
  struct {
    const char* name;
    std::function<void(TGLBaseSceneObject*&, std::unique_ptr<TGLBaseSceneObject>&)> make;
    TVector4f unscaled;
    TVector4f scaled;
    TVector3f boxMax;  // of AxisAlignedBoundingBoxUnscaled
  } rows[] = {
      {"wall (81, 1, 1)",
       [](auto& o, auto& holder) {
         auto* c = new TGLCube;
         holder.reset(c);
         c->SetCubeSize({81, 1, 1});
         c->Scale().SetVector(2, 1, 1);
         o = c;
       },
       {40.5f, 0.5f, 0.5f, 0},
       {81, 0.5f, 0.5f, 0},
       {40.5f, 0.5f, 0.5f}},
      {"negative width keeps its sign",
       [](auto& o, auto& holder) {
         auto* c = new TGLCube;
         holder.reset(c);
         c->SetCubeSize({-4, 2, 1});
         o = c;
       },
       {-2, 1, 0.5f, 0},
       {-2, 1, 0.5f, 0},
       {2, 1, 0.5f}},
      {"canister",
       [](auto& o, auto& holder) {
         auto* c = new TGLCylinder;
         holder.reset(c);
         c->SetBottomRadius(0.3f);
         c->SetTopRadius(0.3f);
         c->SetHeight(1);
         o = c;
       },
       {0.3f, 0.5f, 0.3f, 0},
       {0.3f, 0.5f, 0.3f, 0},
       {0.3f, 0.5f, 0.3f}},
      {"cone, larger absolute radius, any alignment",
       [](auto& o, auto& holder) {
         auto* c = new TGLCylinder;
         holder.reset(c);
         c->SetBottomRadius(-0.75f);
         c->SetTopRadius(0.25f);
         c->SetHeight(3);
         c->SetAlignment(TGLCylinderAlignment::caBottom);
         c->Scale().SetVector(2, 2, 2);
         o = c;
       },
       {0.75f, 1.5f, 0.75f, 0},
       {1.5f, 3, 1.5f, 0},
       {0.75f, 1.5f, 0.75f}},
      {"dummy cube of negative size",
       [](auto& o, auto& holder) {
         auto* c = new TGLDummyCube;
         holder.reset(c);
         c->SetCubeSize(-3);
         o = c;
       },
       {1.5f, 1.5f, 1.5f, 0},
       {1.5f, 1.5f, 1.5f, 0},
       {1.5f, 1.5f, 1.5f}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    TGLBaseSceneObject* o = nullptr;
    std::unique_ptr<TGLBaseSceneObject> holder;
    row.make(o, holder);
    EXPECT_EQ(o->AxisAlignedDimensionsUnscaled(), row.unscaled);
    EXPECT_EQ(o->AxisAlignedDimensions(), row.scaled);
    const TAABB box = o->AxisAlignedBoundingBoxUnscaled(false);
    EXPECT_EQ(box.Max, row.boxMax);
    EXPECT_EQ(box.Min, NegateVector(row.boxMax));
  }
  // The canister's radius is the float nearest 0.3.
  TGLCylinder c;
  c.SetBottomRadius(0.3f);
  c.SetTopRadius(0.3f);
  EXPECT_EQ(double(c.AxisAlignedDimensionsUnscaled().X), 0.30000001192092896);
}

TEST(PrimitivePropertiesTest, DummyCubeBarycentreAndRay) {
  TGLWorld scene;
  auto* group = scene.Objects().AddNewChild<TGLDummyCube>();
  group->Position().SetPoint(10, 0, 0);
  EXPECT_EQ(group->BarycenterAbsolutePosition(), (TVector4f{10, 0, 0, 1}));

  auto* a = group->AddNewChild<TGLCube>();
  a->Position().SetPoint(1, 2, 3);
  auto* b = group->AddNewChild<TGLDummyCube>();
  b->Position().SetPoint(-1, 0, 1);
  // b's own barycentre comes from its child, at b + (0, 4, 0).
  auto* bChild = b->AddNewChild<TGLCube>();
  bChild->Position().SetPoint(0, 4, 0);
  // Children at (11, 2, 3) and (9, 4, 1): the mean of all four components.
  EXPECT_EQ(group->BarycenterAbsolutePosition(), (TVector4f{10, 3, 2, 1}));

  // Straight through the centre, still no hit: a group is not a surface.
  TVector4f hit{7, 7, 7, 7};
  EXPECT_FALSE(group->RayCastIntersect({10, 0, -10, 1}, {0, 0, 1, 0}, &hit, nullptr));
  EXPECT_EQ(hit, (TVector4f{7, 7, 7, 7}));
  // A box answers the ray by the base rule.
  EXPECT_TRUE(a->RayCastIntersect({11, 2, -10, 1}, {0, 0, 1, 0}));
}

TEST(PrimitivePropertiesTest, CubeSizeStoredForm) {
  TGLCube cube;
  EXPECT_FALSE(cube.CubeSizeStoredForm().has_value()) << "(1, 1, 1) is not stored";
  // The level's first wall.
  cube.SetCubeSize({1, 1, 78.9f});
  const auto stored = cube.CubeSizeStoredForm();
  ASSERT_TRUE(stored.has_value());
  const std::array<uint8_t, 12> cube1{0x00, 0x00, 0x80, 0x3F, 0x00, 0x00,
                                      0x80, 0x3F, 0xCD, 0xCC, 0x9D, 0x42};
  EXPECT_EQ(*stored, cube1);
  // Any one component off 1 is stored.
  TGLCube other;
  other.SetCubeHeight(0.5f);
  EXPECT_TRUE(other.CubeSizeStoredForm().has_value());

  TGLCube read;
  read.LoadCubeSizeStoredForm(cube1);
  EXPECT_EQ(read.CubeSize(), (TVector3f{1, 1, 78.9f}));
  // Bits come back as stored, negative zero included.
  const std::array<uint8_t, 12> negZero{0, 0, 0, 0x80, 0, 0, 0x80, 0x3F, 0, 0, 0x80, 0x3F};
  read.LoadCubeSizeStoredForm(negZero);
  EXPECT_TRUE(std::signbit(read.CubeWidth()));
  EXPECT_EQ(*read.CubeSizeStoredForm(), negZero);

  for (size_t size : {0u, 11u, 13u, 16u}) {
    std::vector<uint8_t> bytes(size, 0);
    try {
      read.LoadCubeSizeStoredForm(bytes);
      ADD_FAILURE() << size << " bytes accepted";
    } catch (const Exception& e) {
      EXPECT_EQ(std::string(e.what()),
                "Property \"CubeSize\" holds " + std::to_string(size) + " bytes instead of 12");
    }
    EXPECT_EQ(read.CubeHeight(), 1.0f) << "unchanged by a bad block";
  }
}

TEST(PrimitivePropertiesTest, AssignCopiesOwnProperties) {
  TGLCube a, b;
  a.SetCubeSize({2, 3, 4});
  a.SetParts(CubePartBit(cpLeft));
  a.SetNormalDirection(TGLNormalDirection::ndInside);
  b.Assign(a);
  EXPECT_EQ(b.CubeSize(), (TVector3f{2, 3, 4}));
  EXPECT_EQ(b.Parts(), CubePartBit(cpLeft));
  EXPECT_EQ(b.NormalDirection(), TGLNormalDirection::ndInside);

  TGLCylinder c, d;
  c.SetBottomRadius(0.1f);
  c.SetTopRadius(0.2f);
  c.SetHeight(5);
  c.SetSlices(7);
  c.SetStacks(2);
  c.SetLoops(3);
  c.SetParts(CylinderPartBit(cyTop));
  c.SetNormals(TGLNormalSmoothing::nsNone);
  d.Assign(c);
  EXPECT_EQ(d.BottomRadius(), 0.1f);
  EXPECT_EQ(d.TopRadius(), 0.2f);
  EXPECT_EQ(d.Height(), 5.0f);
  EXPECT_EQ(d.Slices(), 7);
  EXPECT_EQ(d.Stacks(), 2);
  EXPECT_EQ(d.Loops(), 3);
  EXPECT_EQ(d.Parts(), CylinderPartBit(cyTop));
  EXPECT_EQ(d.Normals(), TGLNormalSmoothing::nsNone);
  // Alignment is not among the copied properties.
  c.SetAlignment(TGLCylinderAlignment::caTop);
  d.Assign(c);
  EXPECT_EQ(d.Alignment(), TGLCylinderAlignment::caCenter);

  TGLDummyCube e, f;
  e.SetCubeSize(4);
  e.EdgeColor().SetColor({0, 1, 0, 1});
  e.SetVisibleAtRunTime(true);
  f.Assign(e);
  EXPECT_EQ(f.CubeSize(), 4.0f);
  EXPECT_EQ(f.EdgeColor().Color(), (TVector4f{0, 1, 0, 1}));
  EXPECT_TRUE(f.VisibleAtRunTime());
}

}  // namespace
}  // namespace ukh
