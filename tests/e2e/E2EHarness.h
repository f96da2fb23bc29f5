// Driving the real program under a private Xvfb: starting it as a child, watching which of
// its top-level windows are mapped (by their titles), clicks and keys through xdotool, and
// screenshots taken with ImageMagick's import and read back through the picture decoder.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <set>
#include <string>

#include "platform/Picture.h"
#include "platform/SysColors.h"

typedef struct _XDisplay Display;

namespace ukh::test {

inline constexpr int cScreenW = 1024, cScreenH = 768;

struct TRect {
  int X, Y, W, H;
};

// Where a window of that client size sits: centred on the screen, as no window manager runs.
TRect CentredWindow(int w, int h);

// A screenshot of the whole screen.
struct TShot {
  platform::TRGBAImage Image;
  std::string File;
  platform::TRGB8 Pixel(int x, int y) const;
  // Pixels of `r` equal to `c`, as a fraction of the rectangle.
  double Share(TRect r, platform::TRGB8 c) const;
  // Pixels of `r` for which `pred` holds.
  template <class P>
  int Count(TRect r, P pred) const {
    int n = 0;
    for (int y = r.Y; y < r.Y + r.H; ++y)
      for (int x = r.X; x < r.X + r.W; ++x) n += pred(Pixel(x, y)) ? 1 : 0;
    return n;
  }
};
// Fraction of the pixels of `r` that differ between two shots.
double Difference(const TShot& a, const TShot& b, TRect r);

class TGameProcess {
 public:
  // Starts `program` in its own folder (where its asset files are). Screenshots go to
  // `artefacts`, which is emptied first.
  TGameProcess(const std::string& program, const std::string& artefacts);
  ~TGameProcess();  // kills the program if it still runs
  TGameProcess(const TGameProcess&) = delete;
  TGameProcess& operator=(const TGameProcess&) = delete;

  // Titles of the program's top-level windows mapped now.
  std::set<std::string> MappedWindows();
  // Polls every millisecond or so until the mapped titles are exactly `titles`; every set of
  // titles seen on the way is added to `seen`. False on timeout.
  bool WaitForWindows(const std::set<std::string>& titles, double seconds,
                      std::set<std::string>* seen = nullptr);
  double SecondsSinceStart() const;

  TShot Shot(const std::string& name);
  // Screenshots until `ready` holds for one (a window is mapped some time before it has
  // painted) or `seconds` have passed; the last one either way.
  template <class P>
  TShot ShotWhen(const std::string& name, P ready, double seconds = 10) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    TShot shot = Shot(name);
    while (!ready(shot) && std::chrono::steady_clock::now() < end) shot = Shot(name);
    return shot;
  }
  void Click(int x, int y);
  void KeyDown(const std::string& key);
  void KeyUp(const std::string& key);
  // Waits for the program to end; its exit status, or -1 when it is still running (or died
  // from a signal) after `seconds`.
  int WaitForExit(double seconds);
  const std::string& Artefacts() const { return FArtefacts; }

 private:
  void Xdotool(const std::string& arguments);

  pid_t FPid = -1;
  Display* FDisplay = nullptr;
  std::string FArtefacts;
  std::chrono::steady_clock::time_point FStart;
};

}  // namespace ukh::test
