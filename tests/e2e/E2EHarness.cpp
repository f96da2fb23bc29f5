// The end-to-end harness: child process, window watching, input and screenshots.
#include "tests/e2e/E2EHarness.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <thread>

#include "engine/base/Exception.h"

namespace ukh::test {

namespace fs = std::filesystem;

TRect CentredWindow(int w, int h) {
  return {(cScreenW - w) / 2, (cScreenH - h) / 2, w, h};
}

platform::TRGB8 TShot::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= Image.Width || y >= Image.Height) return {};
  const uint8_t* p = &Image.Pixels[(size_t(y) * Image.Width + x) * 4];
  return {p[0], p[1], p[2]};
}

double TShot::Share(TRect r, platform::TRGB8 c) const {
  return double(Count(r, [c](platform::TRGB8 p) { return p == c; })) / (double(r.W) * r.H);
}

double Difference(const TShot& a, const TShot& b, TRect r) {
  int n = 0;
  for (int y = r.Y; y < r.Y + r.H; ++y)
    for (int x = r.X; x < r.X + r.W; ++x) n += a.Pixel(x, y) == b.Pixel(x, y) ? 0 : 1;
  return double(n) / (double(r.W) * r.H);
}

namespace {
// The program destroys a window when it hides it, so one listed a moment ago may be gone
// when its attributes are read: that window is simply not mapped.
int IgnoreXError(Display*, XErrorEvent*) {
  return 0;
}
}  // namespace

TGameProcess::TGameProcess(const std::string& program, const std::string& artefacts)
    : FArtefacts(artefacts) {
  XSetErrorHandler(&IgnoreXError);
  std::error_code ec;
  fs::remove_all(FArtefacts, ec);
  fs::create_directories(FArtefacts);
  FDisplay = XOpenDisplay(nullptr);
  if (!FDisplay) throw Exception("cannot open the X display");
  const fs::path exe = fs::absolute(program);
  FStart = std::chrono::steady_clock::now();
  FPid = fork();
  if (FPid < 0) throw Exception("cannot fork");
  if (FPid == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (chdir(exe.parent_path().c_str()) != 0) _exit(126);
    execl(exe.c_str(), exe.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
}

TGameProcess::~TGameProcess() {
  if (FPid > 0) {
    kill(FPid, SIGKILL);
    waitpid(FPid, nullptr, 0);
  }
  if (FDisplay) XCloseDisplay(FDisplay);
}

double TGameProcess::SecondsSinceStart() const {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - FStart).count();
}

std::set<std::string> TGameProcess::MappedWindows() {
  std::set<std::string> titles;
  Window root = DefaultRootWindow(FDisplay), parent = 0, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(FDisplay, root, &root, &parent, &children, &count)) return titles;
  const Atom netName = XInternAtom(FDisplay, "_NET_WM_NAME", False);
  const Atom utf8 = XInternAtom(FDisplay, "UTF8_STRING", False);
  for (unsigned i = 0; i < count; ++i) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(FDisplay, children[i], &a) || a.map_state != IsViewable) continue;
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(FDisplay, children[i], netName, 0, 256, False, utf8, &type, &format,
                           &items, &after, &data) == Success &&
        data) {
      titles.insert(std::string(reinterpret_cast<char*>(data), items));
      XFree(data);
    }
  }
  if (children) XFree(children);
  return titles;
}

bool TGameProcess::WaitForWindows(const std::set<std::string>& titles, double seconds,
                                  std::set<std::string>* seen) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < end) {
    const std::set<std::string> now = MappedWindows();
    if (seen) seen->insert(now.begin(), now.end());
    if (now == titles) return true;
    std::this_thread::sleep_for(std::chrono::microseconds(500));
  }
  return false;
}

TShot TGameProcess::Shot(const std::string& name) {
  TShot shot;
  shot.File = (fs::path(FArtefacts) / (name + ".png")).string();
  // PNG24: plain 8-bit RGB whatever the number of colours.
  const std::string command = "import -window root PNG24:'" + shot.File + "'";
  if (std::system(command.c_str()) != 0) throw Exception("import failed: " + command);
  shot.Image = platform::LoadPicture(shot.File);
  return shot;
}

void TGameProcess::Xdotool(const std::string& arguments) {
  const std::string command = "xdotool " + arguments;
  if (std::system(command.c_str()) != 0) throw Exception("xdotool failed: " + command);
}

void TGameProcess::Click(int x, int y) {
  Xdotool("mousemove " + std::to_string(x) + " " + std::to_string(y) + " click 1");
}
void TGameProcess::KeyDown(const std::string& key) {
  Xdotool("keydown " + key);
}
void TGameProcess::KeyUp(const std::string& key) {
  Xdotool("keyup " + key);
}

int TGameProcess::WaitForExit(double seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < end) {
    int status = 0;
    const pid_t r = waitpid(FPid, &status, WNOHANG);
    if (r == FPid) {
      FPid = -1;
      return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return -1;
}

}  // namespace ukh::test
