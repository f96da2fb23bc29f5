// The built-in level against its table: every object's name, class, order, parent, position,
// scale, size and colour; textures and pictures; light, camera, navigator, cadencer and viewer;
// the collision set-up with its managers' clients; the loading order's results; the stored
// bytes of Cube1.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/gl/GLPersistentImage.h"
#include "engine/gl/GLTexture.h"
#include "engine/scene/GLCamera.h"
#include "engine/scene/GLCube.h"
#include "engine/scene/GLCylinder.h"
#include "engine/scene/GLDummyCube.h"
#include "engine/scene/GLLightSource.h"
#include "engine/sim/GLBCollision.h"
#include "game/LevelModels.h"
#include "tests/level/LevelFixture.h"

namespace ukh::test {
namespace {

std::string ClassOf(const TGLBaseSceneObject* o) {
  if (dynamic_cast<const TGLDummyCube*>(o)) return "TGLDummyCube";
  if (dynamic_cast<const TGLCylinder*>(o)) return "TGLCylinder";
  if (dynamic_cast<const TGLLightSource*>(o)) return "TGLLightSource";
  if (dynamic_cast<const TGLCamera*>(o)) return "TGLCamera";
  if (game::IsModel(o)) return "TGLFreeForm";
  if (dynamic_cast<const TGLCube*>(o)) return "TGLCube";
  return "?";
}

const std::string cModelClass = "TGLFreeForm";

class LevelContentTest : public ::testing::Test {
 protected:
  void SetUp() override { Viewer = L.Load(EmbeddedLevelJson().dump()); }
  TLevelFixture L;
  game::TLevelViewerSettings Viewer;
};

TEST_F(LevelContentTest, ObjectTreeInOrderWithPlacesAndScales) {
  const TVector4f one{1, 1, 1, 0}, house{0.07f, 0.07f, 0.07f, 0};
  const struct {
    const char* Name;
    std::string Class;
    const char* Parent;
    TVector4f Position;
    TVector4f Scale;
  } rows[] = {
      {"Plane", "TGLDummyCube", "", {0, 0, 0, 1}, one},
      {"Cube1", "TGLCube", "Plane", {40, 0, 0, 1}, one},
      {"Cube2", "TGLCube", "Plane", {-40, 0, 0, 1}, one},
      {"Cube3", "TGLCube", "Plane", {0, 0, 40, 1}, one},
      {"Cube4", "TGLCube", "Plane", {0, 0, -40, 1}, one},
      {"Pole", "TGLCube", "Plane", {0, -1, 0, 1}, one},
      {"Mask", "TGLDummyCube", "Plane", {0, 0, 0, 1}, one},
      {"Cube5", "TGLCube", "Mask", {39, 0, 0, 1}, one},
      {"Cube6", "TGLCube", "Mask", {-39, 0, 0, 1}, one},
      {"Cube7", "TGLCube", "Mask", {0, 0, 39, 1}, one},
      {"Cube8", "TGLCube", "Mask", {0, 0, -39, 1}, one},
      {"Hous01", cModelClass, "Plane", {20, 0, 15, 1}, house},
      {"Hous02", cModelClass, "Plane", {-10, 0, 8, 1}, house},
      {"Hous03", cModelClass, "Plane", {-21, 0, -10, 1}, house},
      {"Hous04", cModelClass, "Plane", {15, 0, -30, 1}, house},
      {"Hous05", cModelClass, "Plane", {7, 0, 21, 1}, house},
      {"Car", cModelClass, "", {0, 0, 0, 1}, {0.2f, 0.2f, 0.2f, 0}},
      {"GLLightSource1", "TGLLightSource", "", {-10, 20, 20, 1}, one},
      {"Map", "TGLDummyCube", "", {0, 0, 0, 1}, one},
      {"Cube9", "TGLCube", "Map", {29, 0, 28, 1}, one},
      {"Cube10", "TGLCube", "Map", {-18, 0, -23, 1}, one},
      {"Cube11", "TGLCube", "Map", {22, 0, -30, 1}, one},
      {"Cube12", "TGLCube", "Map", {32, 0, -13, 1}, one},
      {"Cube13", "TGLCube", "Map", {-20, 0, 19, 1}, one},
      {"Cube14", "TGLCube", "Map", {-15, 0, 30, 1}, one},
      {"Cube15", "TGLCube", "Map", {7, 0, 4, 1}, one},
      {"Cube16", "TGLCube", "Map", {-27, 0, -8, 1}, one},
      {"Cube17", "TGLCube", "Map", {-29, 0, -32, 1}, one},
      {"Cube18", "TGLCube", "Map", {31, 0, 6, 1}, one},
      {"Cylinder1", "TGLCylinder", "Map", {-31, 0, -9, 1}, one},
      {"Cylinder2", "TGLCylinder", "Map", {-9, 0, 30, 1}, one},
      {"GLCamera1", "TGLCamera", "", {0, 15, 4, 1}, one},
  };
  std::vector<TGLBaseSceneObject*> walk;
  std::function<void(TGLBaseSceneObject*)> visit = [&](TGLBaseSceneObject* o) {
    for (int i = 0; i < o->Count(); ++i) {
      walk.push_back(o->Get(i));
      visit(o->Get(i));
    }
  };
  TGLBaseSceneObject* root = &L.F().GLWorld1->Objects();
  visit(root);
  ASSERT_EQ(walk.size(), std::size(rows));
  for (size_t i = 0; i < walk.size(); ++i) {
    const auto& row = rows[i];
    SCOPED_TRACE(row.Name);
    TGLBaseSceneObject* o = walk[i];
    EXPECT_EQ(o->Name(), row.Name);
    EXPECT_EQ(ClassOf(o), row.Class);
    EXPECT_EQ(o->Parent() == root ? std::string() : o->Parent()->Name(), row.Parent);
    EXPECT_EQ(o->Position().AsVector(), row.Position);
    EXPECT_EQ(o->Scale().AsVector(), row.Scale);
    EXPECT_EQ(o->Owner(), L.Form.get());
    EXPECT_FALSE(o->IsLoading());
  }
}

TEST_F(LevelContentTest, SizesOfWallsGroundStripsBoxesAndCanisters) {
  const std::map<std::string, TVector3f> cubes = {
      {"Cube1", {1, 1, 78.9f}}, {"Cube2", {1, 1, 78.9f}}, {"Cube3", {81, 1, 1}},
      {"Cube4", {81, 1, 1}},    {"Pole", {80, 1, 80}},    {"Cube5", {1, 1, 80}},
      {"Cube6", {1, 1, 80}},    {"Cube7", {80, 1, 1}},    {"Cube8", {80, 1, 1}}};
  for (const auto& [name, size] : cubes)
    EXPECT_EQ(dynamic_cast<TGLCube*>(L.Object(name))->CubeSize(), size) << name;
  for (int i = 9; i <= 18; ++i)
    EXPECT_EQ(dynamic_cast<TGLCube*>(L.Object("Cube" + std::to_string(i)))->CubeSize(),
              (TVector3f{1, 1, 1}));
  for (const char* name : {"Plane", "Mask", "Map"})
    EXPECT_EQ(dynamic_cast<TGLDummyCube*>(L.Object(name))->CubeSize(), 1.0f) << name;
  for (const char* name : {"Cylinder1", "Cylinder2"}) {
    auto* c = dynamic_cast<TGLCylinder*>(L.Object(name));
    EXPECT_EQ(double(c->BottomRadius()), 0.30000001192092896) << name;
    EXPECT_EQ(double(c->TopRadius()), 0.30000001192092896) << name;
    EXPECT_EQ(c->Height(), 1.0f) << name;
    EXPECT_EQ(c->AxisAlignedDimensionsUnscaled(), (TVector4f{0.3f, 0.5f, 0.3f, 0})) << name;
  }
  // The ground's top at -0.5 and the walls' inner faces at +-39.5.
  EXPECT_EQ(L.Object("Pole")->AxisAlignedBoundingBox(false).Max.Y - 1, -0.5f);
  EXPECT_EQ(40 - L.Object("Cube1")->AxisAlignedDimensions().X, 39.5f);
}

TEST_F(LevelContentTest, MaterialsTexturesAndPictures) {
  auto material = [&](const std::string& name) -> TGLMaterial& {
    return dynamic_cast<TGLCustomSceneObject*>(L.Object(name))->Material();
  };
  const TVector4f ambient{0.65f, 0.5f, 0.39f, 1}, diffuse{0.91f, 0.76f, 0.65f, 1};
  const TVector4f black{0, 0, 0, 1};
  for (const char* name : {"Hous01", "Hous02", "Hous03", "Hous04", "Hous05"}) {
    SCOPED_TRACE(name);
    TGLMaterial& m = material(name);
    const bool second = std::string(name) == "Hous02";
    EXPECT_EQ(m.FrontProperties().Ambient().Color(), ambient);
    EXPECT_EQ(m.FrontProperties().Diffuse().Color(), diffuse);
    EXPECT_EQ(m.BackProperties().Ambient().Color(), ambient);
    EXPECT_EQ(m.BackProperties().Diffuse().Color(),
              second ? m.BackProperties().Diffuse().DefaultColor() : diffuse);
    EXPECT_EQ(m.BackProperties().Emission().Color(), second ? diffuse : black);
    EXPECT_EQ(m.Texture().ImageAlpha(), tiaLuminance);
    EXPECT_EQ(m.Texture().MappingMode(), tmmCubeMapNormal);
    EXPECT_TRUE(m.Texture().Disabled()) << "enabled by FormCreate";
  }
  EXPECT_EQ(material("Car").BackProperties().Diffuse().Color(),
            (TVector4f{0.45f, 0.45f, 0.45f, 1}));
  EXPECT_EQ(material("Car").FrontProperties().Diffuse().Color(),
            material("Cube1").FrontProperties().Diffuse().Color())
      << "the car's front keeps the default";

  for (const char* name : {"Pole", "Cube9"}) {
    SCOPED_TRACE(name);
    TGLTexture& t = material(name).Texture();
    EXPECT_FALSE(t.Disabled());
    auto* image = dynamic_cast<TGLPictureImage*>(&t.Image());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Width(), 756);
    EXPECT_EQ(image->Height(), 512);
    EXPECT_EQ(image->Picture().Graphic()->BitsPerPixel, 24);
  }
  for (const char* name : {"Cube10", "Cube18", "Cylinder1", "Cube1"})
    EXPECT_TRUE(material(name).Texture().Disabled()) << name;
}

TEST_F(LevelContentTest, LightCameraNavigatorCadencerAndViewer) {
  auto* light = dynamic_cast<TGLLightSource*>(L.Object("GLLightSource1"));
  EXPECT_EQ(light->ConstAttenuation(), 1.0f);
  EXPECT_EQ(light->SpotCutOff(), 180.0f);
  EXPECT_EQ(L.F().GLWorld1->Lights()[0], light) << "the scene's first light slot";

  TGLCamera* camera = L.F().GLCamera1;
  EXPECT_EQ(camera->DepthOfView(), 100.0f);
  EXPECT_EQ(camera->FocalLength(), 50.0f);
  EXPECT_EQ(camera->TargetObject(), L.F().Car);

  EXPECT_EQ(L.F().GLNavigator1->MovingObject(), L.F().Car);
  EXPECT_EQ(L.F().GLNavigator1->VirtualUp().AsVector(), (TVector4f{0, 1, 0, 1}));
  EXPECT_FALSE(L.F().GLNavigator1->UseVirtualUp());

  EXPECT_EQ(L.F().GLCadencer1->Scene(), L.F().GLWorld1.get());
  EXPECT_EQ(L.F().GLCadencer1->Mode(), TGLCadencerMode::cmASAP);
  EXPECT_EQ(L.F().GLCadencer1->MaxDeltaTime(), 0.0);
  // Its end of loading posted the first tick, waiting for the message loop.
  const TGLCadencerASAPState asap = GLCadencerASAPState();
  ASSERT_TRUE(asap.HandlerExists);
  EXPECT_EQ(L.Platform.Loop().QueuedCount(asap.Window, asap.TickMessage), 1u);

  EXPECT_EQ(Viewer.Camera, camera);
  EXPECT_EQ(Viewer.FieldOfView, 153.9332885742188f);
  EXPECT_EQ(Viewer.BackgroundColor, 0xFF000001u) << "the desktop's system colour";

  const std::vector<std::string> names = {
      L.F().GLWorld1->Name(),     L.F().GLCadencer1->Name(),       L.F().CollisionManager1->Name(),
      L.F().GLNavigator1->Name(), L.F().CollisionManager2->Name(), L.F().CollisionManager3->Name()};
  EXPECT_EQ(names,
            (std::vector<std::string>{"GLWorld1", "GLCadencer1", "CollisionManager1",
                                      "GLNavigator1", "CollisionManager2", "CollisionManager3"}));
}

TEST_F(LevelContentTest, CollisionSetUpAndClients) {
  using M = TCollisionBoundingMode;
  struct TClient {
    std::string Object;
    M Mode;
  };
  auto clients = [](TGLCollisionManager* m) {
    std::vector<std::string> r;
    for (int i = 0; i < m->ClientCount(); ++i) {
      TGLBCollision* c = m->Client(i);
      EXPECT_EQ(c->Name(), "Collision");
      EXPECT_EQ(c->GroupIndex(), 0);
      EXPECT_EQ(c->Manager(), m);
      EXPECT_TRUE(c->ManagerName().empty()) << "resolved at the end of loading";
      static const std::set<std::string> cubes = {"Car", "Cube1", "Cube2", "Cube3", "Cube4"};
      const M expected = cubes.count(c->OwnerBaseSceneObject()->Name()) ? M::cbmCube : M::cbmPoint;
      EXPECT_EQ(c->BoundingMode(), expected) << c->OwnerBaseSceneObject()->Name();
      r.push_back(c->OwnerBaseSceneObject()->Name());
    }
    std::sort(r.begin(), r.end());
    return r;
  };
  using V = std::vector<std::string>;
  EXPECT_EQ(clients(L.F().CollisionManager1.get()),
            (V{"Car", "Cube1", "Cube2", "Cube3", "Cube4", "Hous01", "Hous02", "Hous03", "Hous04",
               "Hous05"}));
  EXPECT_EQ(clients(L.F().CollisionManager2.get()),
            (V{"Car", "Cube10", "Cube11", "Cube12", "Cube13", "Cube14", "Cube15", "Cube16",
               "Cube17", "Cube18", "Cube9"}));
  EXPECT_EQ(clients(L.F().CollisionManager3.get()), (V{"Car", "Cylinder1", "Cylinder2"}));
  EXPECT_EQ(L.F().Car->Behaviours().Count(), 3);
  for (const char* name : {"Pole", "Mask", "Cube5", "Plane", "Map", "GLCamera1"})
    EXPECT_FALSE(L.Object(name)->HasBehaviours() && L.Object(name)->Behaviours().Count() > 0)
        << name;
}

TEST_F(LevelContentTest, NoContactAmongTheLevelsObjectsWithoutTheCar) {
  TGLBaseSceneObject* car = L.F().Car;
  for (int i = 0; i < car->Behaviours().Count(); ++i)
    dynamic_cast<TGLBCollision*>(car->Behaviours().Get(i))->SetManager(nullptr);
  int contacts = 0;
  for (TGLCollisionManager* m : {L.F().CollisionManager1.get(), L.F().CollisionManager2.get(),
                                 L.F().CollisionManager3.get()}) {
    m->OnCollision = [&](TPersistent*, TGLBaseSceneObject* a, TGLBaseSceneObject* b) {
      ADD_FAILURE() << a->Name() << " touches " << b->Name();
      ++contacts;
    };
    m->CheckCollisions();
  }
  EXPECT_EQ(contacts, 0);
}

TEST_F(LevelContentTest, CarStandsAtTheOriginWithoutItsTag) {
  EXPECT_EQ(L.F().Car->Position().AsVector(), (TVector4f{0, 0, 0, 1}));
  EXPECT_EQ(L.F().Car->Tag(), 0) << "FormCreate tags it";
}

TEST(LevelDocumentTest, Cube1IsStoredInTheEnginesForms) {
  const auto doc = EmbeddedLevelJson();
  const auto& cube1 = doc["scene"]["objects"][0]["children"][0];
  ASSERT_EQ(cube1["name"], "Cube1");
  EXPECT_EQ(cube1["data"]["Position.Coordinates"], "0000204200000000000000000000803F");
  EXPECT_EQ(cube1["data"]["CubeSize"], "0000803F0000803FCDCC9D42");
  // The 64-byte archive of one collision behaviour of the first manager, as a cube.
  const std::string archive = cube1["data"]["BehavioursData"];
  EXPECT_EQ(archive.size(), 128u);
  EXPECT_EQ(archive.substr(0, 10), "0458434F4C");

  TLevelFixture l;
  l.Load(EmbeddedLevelJson().dump());
  const auto stored = dynamic_cast<TGLCube*>(l.Object("Cube1"))->CubeSizeStoredForm();
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(*stored, (std::array<uint8_t, 12>{0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0x80, 0x3F, 0xCD,
                                              0xCC, 0x9D, 0x42}));
  uint8_t position[16];
  l.Object("Cube1")->Position().WriteCoordinatesBytes(position);
  EXPECT_EQ(std::vector<uint8_t>(position, position + 16),
            (std::vector<uint8_t>{0, 0, 0x20, 0x42, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80, 0x3F}));
  const auto car = WriteBehavioursData(*l.F().Car);
  ASSERT_TRUE(car.has_value());
  EXPECT_EQ(car->size(), 148u) << "the car's three behaviours";
}

}  // namespace
}  // namespace ukh::test
