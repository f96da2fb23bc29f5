// The program's start-up, independent of the toolkit.
#include "game/Application.h"

#include "game/LevelLoader.h"
#include "game/WindowLayouts.h"

namespace ukh::game {

TApplication::TApplication(platform::IPlatform& platform)
    : FPlatform(platform), FViewer(std::make_unique<TGLWorldViewer>()) {}

TApplication::~TApplication() {
  // The level's camera goes with the form; the view lets go of it first.
  if (FViewer) FViewer->SetCamera(nullptr);
  FForm1.reset();
}

bool TApplication::Start(platform::IWindowSystem& windowSystem) {
  windowSystem.SetApplicationTitle(cApplicationTitle);
  // All four exist before the level is built: the level wires every window's buttons.
  FWindows.Game = &windowSystem.CreateWindow(Form1Layout());
  FWindows.Menu = &windowSystem.CreateWindow(Form2Layout());
  FWindows.Loading = &windowSystem.CreateWindow(Form3Layout());
  FWindows.Win = &windowSystem.CreateWindow(Form4Layout());
  FForm1 = std::make_unique<TForm1>(FPlatform.Sound(), FWindows);
  TLevelViewerSettings viewer;
  try {
    viewer = LoadEmbeddedLevel(*FForm1, windowSystem, &FPlatform);
  } catch (const std::exception& e) {
    FPlatform.MessageBox().ShowMessage(e.what());
    return false;
  }
  FViewer->SetCamera(viewer.Camera);
  FViewer->SetFieldOfView(viewer.FieldOfView);
  FViewer->Buffer().SetBackgroundColor(viewer.BackgroundColor);
  FormCreate(*FForm1, FPlatform.MessageBox());
  return true;
}

int TApplication::Run() {
  FPlatform.Loop().Run();
  return 0;
}

}  // namespace ukh::game
