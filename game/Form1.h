// TForm1: the game window. It holds the level's components, the state of a game (fuel,
// boxes left, speed, whether the car is driving) and the rules that change it: the frame step,
// the collision responses, the resets and the buttons of the game, menu and win windows.
#pragma once

#include <array>
#include <memory>

#include "engine/base/Component.h"
#include "engine/scene/GLCamera.h"
#include "engine/scene/GLWorld.h"
#include "engine/sim/GLCadencer.h"
#include "engine/sim/GLCollisionManager.h"
#include "engine/sim/GLNavigator.h"
#include "platform/NumberText.h"
#include "platform/Sound.h"
#include "platform/Windows.h"

namespace ukh::game {

// The four top-level windows, created in this order; the game's rules show and hide them.
struct TGameWindows {
  platform::IWindow* Game = nullptr;     // TForm1
  platform::IWindow* Menu = nullptr;     // TForm2
  platform::IWindow* Loading = nullptr;  // TForm3
  platform::IWindow* Win = nullptr;      // TForm4
};

class TForm1 : public TComponent {
 public:
  // Rule constants.
  static constexpr double cStartSpeed = 60.0;
  static constexpr double cTopSpeedTest = 90.0;
  static constexpr double cLowSpeedTest = 30.0;
  static constexpr double cAcceleration = 30.0;  // km/h per second, also for braking
  static constexpr double cTurnRate = 30.0;      // degrees per second
  static constexpr double cDistanceFactor = 0.07;
  static constexpr double cFuelBurn = 0.01;  // litres per second
  static constexpr double cStartFuel = 2.0;
  static constexpr double cCanisterFuel = 1.0;
  static constexpr double cCameraOffsetZ = 4.0;
  static constexpr double cCollectedDrop = 5.0;
  static constexpr int32_t cStartBoxes = 10;
  static constexpr int32_t cBoxesAfterCancel = 1;

  TForm1(platform::ISound& sound, TGameWindows windows);
  ~TForm1() override;

  // ---- game state, in the order of the original window's fields ----
  double FOil = 0;
  int32_t BoxNum = 0;
  bool Fl = false;
  double Pause_Speed = 0;
  double Speed = 0;
  bool Stoped = false;

  // ---- components (owned), in creation order ----
  std::unique_ptr<TGLWorld> GLWorld1;
  std::unique_ptr<TGLCadencer> GLCadencer1;
  std::unique_ptr<TGLCollisionManager> CollisionManager1;
  std::unique_ptr<TGLNavigator> GLNavigator1;
  std::unique_ptr<TGLCollisionManager> CollisionManager2;
  std::unique_ptr<TGLCollisionManager> CollisionManager3;

  // ---- scene objects the rules touch (owned by the scene tree) ----
  TGLBaseSceneObject* Car = nullptr;
  TGLCamera* GLCamera1 = nullptr;
  std::array<TGLBaseSceneObject*, 10> Boxes{};  // Cube9 .. Cube18
  TGLBaseSceneObject* Cylinder1 = nullptr;
  TGLBaseSceneObject* Cylinder2 = nullptr;

  // Finds the objects above by name in GLWorld1; throws ukh::Exception naming a missing one.
  void BindSceneObjects();
  // Wires the cadencer's progress event, the managers' callbacks and the clicks of every
  // window's buttons; the menu's exit ends the process through `windowSystem`.
  void BindEvents(platform::IWindowSystem& windowSystem);

  // ---- the rules ----
  void GLCadencer1Progress(TPersistent* sender, double deltaTime, double newTime);
  void CollisionManager1Collision(TPersistent* sender, TGLBaseSceneObject* object1,
                                  TGLBaseSceneObject* object2);
  void CollisionManager2Collision(TPersistent* sender, TGLBaseSceneObject* object1,
                                  TGLBaseSceneObject* object2);
  void CollisionManager3Collision(TPersistent* sender, TGLBaseSceneObject* object1,
                                  TGLBaseSceneObject* object2);
  void NewGame();
  // The starting values FormCreate sets after the models and pictures are loaded.
  void ResetStartingState();

  // Game window buttons.
  void Button1Click();  // "Выход"
  void Button2Click();  // "ПАУЗА"
  void Button3Click();  // "СТАРТ"
  // Menu window buttons.
  void MenuStartClick();  // "Н А Ч А Т Ь"
  // Win window buttons.
  void WinOkClick();      // "OK"
  void WinCancelClick();  // "Cancel"

  platform::IControl& SpeedText() { return *FSpeedText; }
  platform::IControl& OilText() { return *FOilText; }
  platform::IControl& BoxText() { return *FBoxText; }
  platform::IControl& PauseButton() { return *FButton2; }
  platform::IControl& StartButton() { return *FButton3; }
  const TGameWindows& Windows() const { return FWindows; }

 private:
  void CameraFollow();
  void ReturnToStartReset();
  void RaiseCollectables();
  void ShowStartButton();
  static TGLBaseSceneObject* TouchedObject(TGLBaseSceneObject* object1,
                                           TGLBaseSceneObject* object2);

  platform::ISound& FSound;
  TGameWindows FWindows;
  // The user's locale is read once, when the window is made, as the run-time library does.
  platform::TFormatSettings FFormatSettings = platform::UserFormatSettings();
  platform::IControl* FSpeedText;
  platform::IControl* FOilText;
  platform::IControl* FBoxText;
  platform::IControl* FButton1;
  platform::IControl* FButton2;
  platform::IControl* FButton3;
};

}  // namespace ukh::game
