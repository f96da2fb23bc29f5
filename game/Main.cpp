// ukhabitsa: the game on FLTK, Mesa and SDL2_mixer.
#include "game/Application.h"
#include "platform/fltk/FltkPlatform.h"
#include "platform/fltk/FltkWindowSystem.h"
#include "platform/fltkgl/FltkGLViewer.h"

#if defined(__SANITIZE_ADDRESS__)
// Sanitizer builds: what the font library, D-Bus (through SDL) and the GL driver keep until
// the exit is theirs, not a leak of the game's.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\nleak:libdbus-1.so\nleak:swrast_dri.so\n";
}
#endif

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
