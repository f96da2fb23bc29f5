// Loading the built-in level as the program does at start-up, on the headless platform:
// the four windows, the game window, its level, then FormCreate with the real asset files.
#pragma once

#include <memory>
#include <string>

#include "game/Form1.h"
#include "game/LevelLoader.h"
#include "game/WindowLayouts.h"
#include "platform/HeadlessPlatform.h"
#include "platform/HeadlessWindows.h"

namespace ukh::bench {

struct TLoadedLevel {
  platform::THeadlessPlatform Platform;
  platform::TCurrentPlatform Current{Platform};
  platform::THeadlessWindowSystem WindowSystem;
  std::unique_ptr<game::TForm1> Form;
  bool Created = false;  // FormCreate read every asset

  // With `assets` false, FormCreate (models, pictures) is left out.
  explicit TLoadedLevel(bool assets) {
    game::TGameWindows w;
    w.Game = &WindowSystem.CreateWindow(game::Form1Layout());
    w.Menu = &WindowSystem.CreateWindow(game::Form2Layout());
    w.Loading = &WindowSystem.CreateWindow(game::Form3Layout());
    w.Win = &WindowSystem.CreateWindow(game::Form4Layout());
    Form = std::make_unique<game::TForm1>(Platform.Sound(), w);
    game::LoadEmbeddedLevel(*Form, WindowSystem, &Platform);
    if (assets) Created = game::FormCreate(*Form, Platform.MessageBox());
  }
};

}  // namespace ukh::bench
