// ukhabitsa: the game on FLTK, Mesa and SDL2_mixer.
#include "game/Application.h"
#include "platform/fltk/FltkPlatform.h"
#include "platform/fltk/FltkWindowSystem.h"
#include "platform/fltkgl/FltkGLViewer.h"

int main() {
  using namespace ukh;
  platform::TFltkPlatform platform;
  platform::TCurrentPlatform current(platform);
  game::TApplication application(platform);
  platform::TFltkWindowSystem windows([&application](const platform::TControlLayout& c) {
    return new platform::TFltkGLViewer(c.Left, c.Top, c.Width, c.Height,
                                       application.GLWorldViewer1());
  });
  if (!application.Start(windows)) return 1;
  return application.Run();
}
