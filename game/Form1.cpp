// The game's rules: frame step, collision responses, resets and button handlers.
#include "game/Form1.h"

#include <string>

#include "engine/base/Exception.h"
#include "engine/sim/GLKeyboard.h"
#include "platform/Keyboard.h"
#include "platform/NumberText.h"

namespace ukh::game {

namespace {
constexpr const char* cTrack = "Track01";
constexpr const char* cMenuSound = "Menu.wav";
// The car is the one scene object tagged 1.
constexpr int32_t cCarTag = 1;
}  // namespace

TForm1::TForm1(platform::ISound& sound, TGameWindows windows) : FSound(sound), FWindows(windows) {
  platform::IWindow& w = *FWindows.Game;
  FSpeedText = &w.Control("SpeedText");
  FOilText = &w.Control("OilText");
  FBoxText = &w.Control("BoxText");
  FButton1 = &w.Control("Button1");
  FButton2 = &w.Control("Button2");
  FButton3 = &w.Control("Button3");
}

TForm1::~TForm1() {
  // The cadencer and the managers hold links into the scene: they go first.
  GLCadencer1.reset();
  CollisionManager3.reset();
  CollisionManager2.reset();
  GLNavigator1.reset();
  CollisionManager1.reset();
  GLWorld1.reset();
}

void TForm1::BindSceneObjects() {
  auto find = [this](const std::string& name) {
    TGLBaseSceneObject* o = GLWorld1->FindSceneObject(name);
    if (!o) throw Exception("The level has no object " + name);
    return o;
  };
  Car = find("Car");
  GLCamera1 = dynamic_cast<TGLCamera*>(find("GLCamera1"));
  if (!GLCamera1) throw Exception("The level's GLCamera1 is not a camera");
  for (size_t i = 0; i < Boxes.size(); ++i) Boxes[i] = find("Cube" + std::to_string(9 + i));
  Cylinder1 = find("Cylinder1");
  Cylinder2 = find("Cylinder2");
}

void TForm1::BindEvents(platform::IWindowSystem& windowSystem) {
  GLCadencer1->OnProgress = [this](TPersistent* s, double dt, double t) {
    GLCadencer1Progress(s, dt, t);
  };
  CollisionManager1->OnCollision = [this](TPersistent* s, TGLBaseSceneObject* a,
                                          TGLBaseSceneObject* b) {
    CollisionManager1Collision(s, a, b);
  };
  CollisionManager2->OnCollision = [this](TPersistent* s, TGLBaseSceneObject* a,
                                          TGLBaseSceneObject* b) {
    CollisionManager2Collision(s, a, b);
  };
  CollisionManager3->OnCollision = [this](TPersistent* s, TGLBaseSceneObject* a,
                                          TGLBaseSceneObject* b) {
    CollisionManager3Collision(s, a, b);
  };
  FButton1->OnClick = [this] { Button1Click(); };
  FButton2->OnClick = [this] { Button2Click(); };
  FButton3->OnClick = [this] { Button3Click(); };
  FWindows.Menu->Control("Button3").OnClick = [this] { MenuStartClick(); };
  FWindows.Menu->Control("Button1").OnClick = [&windowSystem] { windowSystem.Exit(0); };
  FWindows.Win->Control("Button1").OnClick = [this] { WinOkClick(); };
  FWindows.Win->Control("Button2").OnClick = [this] { WinCancelClick(); };
}

void TForm1::GLCadencer1Progress(TPersistent*, double deltaTime, double) {
  if (Fl) {
    FWindows.Loading->Show();
    FWindows.Game->Hide();
    FWindows.Menu->Show();
    Fl = false;
    FSound.Play(cMenuSound, false);
    FWindows.Loading->Hide();
  }

  // The read-outs show the state the previous frame left.
  FSpeedText->SetCaption(platform::IntToStr(platform::Round(Speed)));
  FBoxText->SetCaption(platform::IntToStr(BoxNum));
  FOilText->SetCaption(
      platform::FloatToStrF(FOil, platform::TFloatFormat::ffFixed, 4, 2, FFormatSettings));

  if (!Stoped) return;

  // The limits are tested before the change, so a step may carry the speed past them.
  if (KeyHeld(platform::VK_UP) && Speed < cTopSpeedTest && Speed != 0)
    Speed = Speed + cAcceleration * deltaTime;
  if (KeyHeld(platform::VK_DOWN) && Speed > cLowSpeedTest && Speed != 0)
    Speed = Speed - cAcceleration * deltaTime;
  if (KeyHeld(platform::VK_RIGHT)) GLNavigator1->TurnHorizontal(float(cTurnRate * deltaTime));
  if (KeyHeld(platform::VK_LEFT)) GLNavigator1->TurnHorizontal(float(-cTurnRate * deltaTime));

  Car->Move(float(-deltaTime * Speed * cDistanceFactor));
  CameraFollow();

  if (FOil > 0) {
    FOil = FOil - cFuelBurn * deltaTime;
  } else {
    Speed = 0;
    Stoped = false;
    FOil = 0;
  }

  // All three passes run even when the first one stops the car.
  CollisionManager1->CheckCollisions();
  CollisionManager2->CheckCollisions();
  CollisionManager3->CheckCollisions();

  if (BoxNum == 0) {
    Stoped = false;
    Pause_Speed = Speed;
    Speed = 0;
    FWindows.Win->Show();
  }
}

TGLBaseSceneObject* TForm1::TouchedObject(TGLBaseSceneObject* object1,
                                          TGLBaseSceneObject* object2) {
  return object2->Tag() == cCarTag ? object1 : object2;
}

void TForm1::CollisionManager1Collision(TPersistent*, TGLBaseSceneObject*, TGLBaseSceneObject*) {
  Pause_Speed = Speed;
  Speed = 0;
  Stoped = false;
}

void TForm1::CollisionManager2Collision(TPersistent*, TGLBaseSceneObject* object1,
                                        TGLBaseSceneObject* object2) {
  TGLBaseSceneObject* box = TouchedObject(object1, object2);
  box->Position().SetCoordinate(1, float(box->Position().GetCoordinate(1) - cCollectedDrop));
  BoxNum = BoxNum - 1;
}

void TForm1::CollisionManager3Collision(TPersistent*, TGLBaseSceneObject* object1,
                                        TGLBaseSceneObject* object2) {
  TGLBaseSceneObject* canister = TouchedObject(object1, object2);
  canister->Position().SetCoordinate(1,
                                     float(canister->Position().GetCoordinate(1) - cCollectedDrop));
  FOil = FOil + cCanisterFuel;
}

// Same X, Z + 4: the camera keeps its world offset whatever the car's heading.
void TForm1::CameraFollow() {
  GLCamera1->Position().SetCoordinate(0, Car->Position().GetCoordinate(0));
  GLCamera1->Position().SetCoordinate(2, float(Car->Position().GetCoordinate(2) + cCameraOffsetZ));
}

void TForm1::RaiseCollectables() {
  for (TGLBaseSceneObject* box : Boxes) box->Position().SetCoordinate(1, 0);
  Cylinder1->Position().SetCoordinate(1, 0);
  Cylinder2->Position().SetCoordinate(1, 0);
}

void TForm1::ResetStartingState() {
  Pause_Speed = cStartSpeed;
  Speed = 0;
  FOil = cStartFuel;
  BoxNum = cStartBoxes;
}

void TForm1::ShowStartButton() {
  FButton2->SetVisible(false);
  FButton3->SetVisible(true);
}

void TForm1::NewGame() {
  FSound.Stop();
  FWindows.Menu->Show();
  FWindows.Game->Hide();
  Stoped = false;
  Car->Position().SetCoordinate(0, 0);
  Car->Position().SetCoordinate(2, 0);
  Car->SetTurnAngle(0);
  // The navigator holds the negated sum of all turns: this brings back the heading at load.
  GLNavigator1->TurnHorizontal(GLNavigator1->CurrentHAngle());
  RaiseCollectables();
  CameraFollow();
  ResetStartingState();
  ShowStartButton();
}

// Used by "Выход" and "OK"; the heading comes back only with the next NewGame.
void TForm1::ReturnToStartReset() {
  Car->Position().SetCoordinate(0, 0);
  Car->Position().SetCoordinate(2, 0);
  RaiseCollectables();
  CameraFollow();
  ResetStartingState();
}

void TForm1::Button1Click() {
  FSound.Stop();
  FWindows.Menu->Show();
  FWindows.Game->Hide();
  Stoped = false;
  ReturnToStartReset();
  ShowStartButton();
}

void TForm1::Button2Click() {
  Stoped = false;
  Pause_Speed = Speed;
  Speed = 0;
  ShowStartButton();
}

void TForm1::Button3Click() {
  Stoped = true;
  Speed = Pause_Speed;
  FButton2->SetVisible(true);
  FButton3->SetVisible(false);
}

void TForm1::MenuStartClick() {
  NewGame();
  FWindows.Game->Show();
  FWindows.Menu->Hide();
  FSound.Stop();
  FSound.Play(cTrack, true);
}

void TForm1::WinOkClick() {
  FSound.Stop();
  FWindows.Menu->Show();
  FWindows.Game->Hide();
  FWindows.Win->Hide();
  ReturnToStartReset();
}

void TForm1::WinCancelClick() {
  FWindows.Win->Hide();
  Stoped = true;
  Speed = Pause_Speed;
  BoxNum = cBoxesAfterCancel;
}

}  // namespace ukh::game
