// ukh_playmeter: the whole game in this process on a private Xvfb, started and driven in
// circles (the right arrow held through xdotool) for a given time, printing once a second the
// frames drawn, the ticks, and the resident memory; at the end the time to the menu and the
// averages. The meter keeps the car going: it presses "СТАРТ" again after a crash, and tops up
// the fuel and the boxes so that a long run neither runs dry nor ends in the win window.
//
//     ukh_playmeter [seconds] [sample-seconds]
#include <FL/Fl.H>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "game/Application.h"
#include "platform/fltk/FltkPlatform.h"
#include "platform/fltk/FltkWindowSystem.h"
#include "platform/fltkgl/FltkGLViewer.h"
#include "platform/xvfb/XvfbServer.h"

namespace {

using namespace ukh;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from) {
  return std::chrono::duration<double>(Clock::now() - from).count();
}

double ResidentMiB() {
  std::ifstream statm("/proc/self/statm");
  long size = 0, resident = 0;
  statm >> size >> resident;
  return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

struct TMeter {
  Clock::time_point Start = Clock::now();
  double Duration = 60, Sample = 1;
  platform::TFltkPlatform* Platform = nullptr;
  game::TApplication* App = nullptr;
  platform::TFltkGLViewer* View = nullptr;
  long Ticks = 0, LastTicks = 0, LastDraws = 0;
  double LastTime = 0, DriveStart = 0;
  long DrawsAtDrive = 0, TicksAtDrive = 0;
  double MenuAt = -1;

  static void OnSample(void* self) { static_cast<TMeter*>(self)->SampleNow(); }
  void SampleNow() {
    const double t = Seconds(Start);
    game::TForm1& f = App->Form1();
    const long draws = View->DrawCount();
    std::printf("t=%6.1f s  frames/s=%6.1f  ticks/s=%7.0f  rss=%7.2f MiB  speed=%s  driving=%d\n",
                t - DriveStart, double(draws - LastDraws) / (t - LastTime),
                double(Ticks - LastTicks) / (t - LastTime), ResidentMiB(),
                f.SpeedText().Caption().c_str(), f.Stoped ? 1 : 0);
    std::fflush(stdout);
    LastDraws = draws;
    LastTicks = Ticks;
    LastTime = t;
    if (f.FOil < 1) f.FOil = 2;
    if (f.BoxNum < 3) f.BoxNum = 10;
    if (!f.Stoped) platform::TFltkWindowSystem::NativeControl(f.StartButton()).do_callback();
    if (t - DriveStart >= Duration) {
      const double span = t - DriveStart;
      std::printf("menu after %.3f s; driving %.1f s: %.1f frames/s, %.0f ticks/s; rss %.2f MiB\n",
                  MenuAt, span, double(draws - DrawsAtDrive) / span,
                  double(Ticks - TicksAtDrive) / span, ResidentMiB());
      std::fflush(stdout);
      std::system("xdotool keyup Right");
      std::_Exit(0);
    }
    Fl::repeat_timeout(Sample, &OnSample, this);
  }
};

}  // namespace

int main(int argc, char** argv) {
  TMeter meter;
  if (argc > 1) meter.Duration = std::atof(argv[1]);
  if (argc > 2) meter.Sample = std::atof(argv[2]);
  platform::TXvfbServer server;
  platform::TFltkPlatform platform;
  platform::TCurrentPlatform current(platform);
  game::TApplication app(platform);
  platform::TFltkWindowSystem windows([&](const platform::TControlLayout& c) {
    meter.View =
        new platform::TFltkGLViewer(c.Left, c.Top, c.Width, c.Height, app.GLWorldViewer1());
    return meter.View;
  });
  meter.Platform = &platform;
  meter.App = &app;
  // Times from here: the X server is up, as it is for a player.
  meter.Start = Clock::now();
  if (!app.Start(windows)) return 1;
  std::printf("windows and level ready after %.3f s\n", Seconds(meter.Start));
  game::TForm1& form = app.Form1();
  auto step = form.GLCadencer1->OnProgress;
  form.GLCadencer1->OnProgress = [&](TPersistent* s, double dt, double t) {
    step(s, dt, t);
    ++meter.Ticks;
    if (meter.MenuAt < 0 && app.Windows().Menu->Visible()) {
      meter.MenuAt = Seconds(meter.Start);
      // The player's clicks: a new game, then off.
      platform::TFltkWindowSystem::NativeControl(app.Windows().Menu->Control("Button3"))
          .do_callback();
      platform::TFltkWindowSystem::NativeControl(form.StartButton()).do_callback();
      std::system("xdotool keydown Right");
      meter.DriveStart = meter.LastTime = Seconds(meter.Start);
      meter.DrawsAtDrive = meter.LastDraws = meter.View->DrawCount();
      meter.TicksAtDrive = meter.LastTicks = meter.Ticks;
      Fl::add_timeout(meter.Sample, &TMeter::OnSample, &meter);
    }
  };
  return app.Run();
}
