// A small level built in code with just what the game's rules touch: the car (a box with
// the car's collision size), the camera, the four walls, the ten boxes, the two canisters
// and one house, wired to a TForm1 on the headless platform and headless windows.
#pragma once

#include <memory>

#include "game/Form1.h"
#include "platform/HeadlessPlatform.h"
#include "platform/HeadlessWindows.h"

namespace ukh::test {

class TTestLevel {
 public:
  TTestLevel();
  ~TTestLevel();

  platform::THeadlessPlatform Platform;
  platform::TCurrentPlatform Current{Platform};
  platform::THeadlessWindowSystem WindowSystem;
  std::unique_ptr<game::TForm1> Form;

  game::TForm1& F() { return *Form; }
  // One frame step of `dt` seconds, as the cadencer calls it.
  void Step(double dt) { Form->GLCadencer1Progress(Form->GLCadencer1.get(), dt, 0); }
  void Hold(int32_t vk, bool down = true) { Platform.Keyboard().SetKeyDown(vk, down); }
  // Puts the car at X, Z (heading unchanged).
  void PlaceCar(float x, float z);
  TGLBaseSceneObject* Object(const std::string& name) {
    return Form->GLWorld1->FindSceneObject(name);
  }
  // "Driving" state from a fresh game: the menu's start, then "СТАРТ".
  void StartDriving();
};

}  // namespace ukh::test
