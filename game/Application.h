// TApplication: the program's start-up and run on whatever window system and platform it is
// given. It sets the application title, creates the four windows in their order, builds the
// level into the game window with its creation step, points the 3D view at the level's
// camera, and runs the message loop; the first tick then switches to the menu.
#pragma once

#include <memory>

#include "engine/render/GLWorldViewer.h"
#include "game/Form1.h"
#include "platform/Platform.h"
#include "platform/Windows.h"

namespace ukh::game {

inline constexpr const char* cApplicationTitle = "Ухабица";

class TApplication {
 public:
  explicit TApplication(platform::IPlatform& platform);
  ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  // The game window's 3D view; it exists before the windows, so a window system can host it
  // in the game window's GLWorldViewer1 control.
  TGLWorldViewer& GLWorldViewer1() { return *FViewer; }

  // Title, windows and level. A level that cannot be built is reported in a message box and
  // gives false: without it no button would work, not even the way out. A model or picture
  // file that cannot be read is reported by the creation step, and the program goes on.
  bool Start(platform::IWindowSystem& windowSystem);
  // Runs the message loop until it ends; the exit status.
  int Run();

  TForm1& Form1() { return *FForm1; }
  const TGameWindows& Windows() const { return FWindows; }

 private:
  platform::IPlatform& FPlatform;
  std::unique_ptr<TGLWorldViewer> FViewer;
  TGameWindows FWindows;
  std::unique_ptr<TForm1> FForm1;
};

}  // namespace ukh::game
