// The code-built test level.
#include "tests/game/TestLevel.h"

#include "engine/sim/GLBCollision.h"
#include "game/WindowLayouts.h"

namespace ukh::test {

namespace {

// An object with given unscaled half-extents, standing in for a cube, a cylinder or a mesh.
class TBox : public TGLBaseSceneObject {
 public:
  TBox(TComponent* owner, TVector4f halfExtents) : TGLBaseSceneObject(owner), FHalf(halfExtents) {}
  TVector4f AxisAlignedDimensionsUnscaled() override { return FHalf; }

 private:
  TVector4f FHalf;
};

TGLBaseSceneObject* AddBox(TGLBaseSceneObject* parent, const std::string& name, TVector3f pos,
                           TVector4f half) {
  auto* o = static_cast<TGLBaseSceneObject*>(
      parent->AddChild(std::make_unique<TBox>(parent->Owner(), half)));
  o->SetName(name);
  o->Position().SetPoint(pos);
  return o;
}

void Collide(TGLBaseSceneObject* o, TGLCollisionManager* manager, TCollisionBoundingMode mode) {
  auto* c = o->Behaviours().AddNew<TGLBCollision>();
  c->SetBoundingMode(mode);
  c->SetManager(manager);
}

}  // namespace

TTestLevel::TTestLevel() {
  using game::TGameWindows;
  TGameWindows w;
  w.Game = &WindowSystem.CreateWindow(game::Form1Layout());
  w.Menu = &WindowSystem.CreateWindow(game::Form2Layout());
  w.Loading = &WindowSystem.CreateWindow(game::Form3Layout());
  w.Win = &WindowSystem.CreateWindow(game::Form4Layout());
  Form = std::make_unique<game::TForm1>(Platform.Sound(), w);
  game::TForm1& f = *Form;

  f.GLWorld1 = std::make_unique<TGLWorld>(&f);
  TGLBaseSceneObject* root = &f.GLWorld1->Objects();
  f.GLCadencer1 = std::make_unique<TGLCadencer>(&f, &Platform);
  f.GLCadencer1->SetMode(TGLCadencerMode::cmManual);
  f.CollisionManager1 = std::make_unique<TGLCollisionManager>(&f);
  f.GLNavigator1 = std::make_unique<TGLNavigator>(&f);
  f.CollisionManager2 = std::make_unique<TGLCollisionManager>(&f);
  f.CollisionManager3 = std::make_unique<TGLCollisionManager>(&f);
  auto* m1 = f.CollisionManager1.get();
  auto* m2 = f.CollisionManager2.get();
  auto* m3 = f.CollisionManager3.get();

  using M = TCollisionBoundingMode;
  const TVector4f alongZ{0.5f, 0.5f, 39.45f, 0}, alongX{40.5f, 0.5f, 0.5f, 0};
  Collide(AddBox(root, "Cube1", {40, 0, 0}, alongZ), m1, M::cbmCube);
  Collide(AddBox(root, "Cube2", {-40, 0, 0}, alongZ), m1, M::cbmCube);
  Collide(AddBox(root, "Cube3", {0, 0, 40}, alongX), m1, M::cbmCube);
  Collide(AddBox(root, "Cube4", {0, 0, -40}, alongX), m1, M::cbmCube);
  Collide(AddBox(root, "Hous01", {20, 0, 15}, {30, 50, 30, 0}), m1, M::cbmPoint);

  // The car's mesh is 5 x 3 x 10 model units; at scale 0.2 its box is 1 x 0.6 x 2.
  TGLBaseSceneObject* car = AddBox(root, "Car", {0, 0, 0}, {2.5f, 1.5f, 5, 0});
  car->Scale().SetVector(0.2f, 0.2f, 0.2f);
  car->SetTag(1);
  Collide(car, m1, M::cbmCube);
  Collide(car, m2, M::cbmCube);
  Collide(car, m3, M::cbmCube);

  const TVector3f boxes[10] = {{29, 0, 28},   {-18, 0, -23}, {22, 0, -30}, {32, 0, -13},
                               {-20, 0, 19},  {-15, 0, 30},  {7, 0, 4},    {-27, 0, -8},
                               {-29, 0, -32}, {31, 0, 6}};
  for (int i = 0; i < 10; ++i)
    Collide(AddBox(root, "Cube" + std::to_string(9 + i), boxes[i], {0.5f, 0.5f, 0.5f, 0}), m2,
            M::cbmPoint);
  Collide(AddBox(root, "Cylinder1", {-31, 0, -9}, {0.3f, 0.5f, 0.3f, 0}), m3, M::cbmPoint);
  Collide(AddBox(root, "Cylinder2", {-9, 0, 30}, {0.3f, 0.5f, 0.3f, 0}), m3, M::cbmPoint);

  auto* camera = root->AddNewChild<TGLCamera>();
  camera->SetName("GLCamera1");
  camera->Position().SetPoint(0, 15, 4);

  f.GLNavigator1->SetVirtualUp({0, 1, 0, 1});
  f.GLNavigator1->SetMovingObject(car);
  f.GLCadencer1->SetScene(f.GLWorld1.get());
  f.BindSceneObjects();
  f.BindEvents(WindowSystem);

  // As the game window's creation step leaves it.
  f.Fl = true;
  f.Stoped = false;
  f.ResetStartingState();
  f.PauseButton().SetVisible(false);
  f.StartButton().SetVisible(true);
}

TTestLevel::~TTestLevel() = default;

void TTestLevel::PlaceCar(float x, float z) {
  Form->Car->Position().SetCoordinate(0, x);
  Form->Car->Position().SetCoordinate(2, z);
}

void TTestLevel::StartDriving() {
  Step(0.01);  // the first frame: loading -> menu
  Form->MenuStartClick();
  Form->Button3Click();
}

}  // namespace ukh::test
