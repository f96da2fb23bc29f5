// tickdemo: a cadencer in cmASAP on the real FLTK loop. The window shows the tick rate and a
// live tick counter; the button pauses and resumes the cadencer (a click is served between
// two ticks). With --seconds N it quits after N seconds and prints the rate.
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Window.H>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/scene/GLWorld.h"
#include "engine/sim/GLCadencer.h"
#include "platform/fltk/FltkPlatform.h"

namespace {

using namespace ukh;

struct TTickDemo {
  platform::TFltkPlatform Platform;
  platform::TCurrentPlatform Current{Platform};
  Fl_Window Window{320, 130, "Tick demo"};
  Fl_Box Rate{10, 10, 300, 30, "rate: -"};
  Fl_Box Counter{10, 45, 300, 30, "ticks: 0"};
  Fl_Button Pause{110, 85, 100, 30, "Pause"};
  TGLWorld World;
  TGLCadencer Cadencer{nullptr, &Platform};

  uint64_t Ticks = 0;
  uint64_t TicksAtRate = 0;
  double TimeAtRate = 0;
  double TimeAtCounter = 0;
  double QuitAfter = -1;
  double LastRate = 0;

  TTickDemo() {
    Window.end();
    Window.position((Fl::w() - Window.w()) / 2, (Fl::h() - Window.h()) / 2);
    Window.callback([](Fl_Widget*, void* self) { static_cast<TTickDemo*>(self)->Quit(); }, this);
    Pause.callback([](Fl_Widget*, void* self) { static_cast<TTickDemo*>(self)->TogglePause(); },
                   this);
    Cadencer.OnProgress = [this](TPersistent*, double, double newTime) { Step(newTime); };
  }

  void Step(double now) {
    ++Ticks;
    // Labels are repainted at most 30 times a second so painting does not set the rate.
    if (now - TimeAtCounter >= 1.0 / 30) {
      Counter.copy_label(("ticks: " + std::to_string(Ticks)).c_str());
      TimeAtCounter = now;
    }
    if (now - TimeAtRate >= 0.5) {
      LastRate = double(Ticks - TicksAtRate) / (now - TimeAtRate);
      char text[64];
      std::snprintf(text, sizeof text, "rate: %.0f ticks/s", LastRate);
      Rate.copy_label(text);
      TicksAtRate = Ticks;
      TimeAtRate = now;
    }
    if (QuitAfter >= 0 && now >= QuitAfter) Quit();
  }

  void TogglePause() {
    Cadencer.SetEnabled(!Cadencer.Enabled());
    Pause.label(Cadencer.Enabled() ? "Pause" : "Resume");
  }

  void Quit() {
    Cadencer.SetEnabled(false);
    Platform.Loop().Terminate();
  }

  int Run() {
    Window.show();
    Cadencer.SetScene(&World);  // activates: the first tick is posted
    auto start = std::chrono::steady_clock::now();
    Platform.Loop().Run();
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (QuitAfter >= 0)
      std::printf("%llu ticks in %.2f s: %.0f ticks/s (last half second %.0f)\n",
                  static_cast<unsigned long long>(Ticks), seconds, double(Ticks) / seconds,
                  LastRate);
    return 0;
  }
};

}  // namespace

int main(int argc, char** argv) {
  double seconds = -1;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) {
      seconds = std::atof(argv[++i]);
    } else {
      std::fprintf(stderr, "usage: %s [--seconds N]\n", argv[0]);
      return 2;
    }
  }
  TTickDemo demo;
  demo.QuitAfter = seconds;
  return demo.Run();
}
