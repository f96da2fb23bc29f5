// The FLTK platform on a private Xvfb server: the message queue and timers on FLTK's loop,
// the cadencer ticking on it with clicks and paints served between frame steps, the global
// key state under xdotool, and SDL sound on the dummy driver.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Window.H>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/scene/GLWorld.h"
#include "engine/sim/GLCadencer.h"
#include "engine/sim/GLKeyboard.h"
#include "platform/fltk/FltkPlatform.h"
#include "platform/xvfb/XvfbServer.h"

// Under LeakSanitizer: what the system's font and D-Bus libraries keep until exit (reached
// through FLTK and SDL) is theirs, not a leak of ours.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\nleak:libdbus-1.so\n";
}

namespace ukh::platform {
namespace {

using Clock = std::chrono::steady_clock;

// One server for the whole process: FLTK opens its display only once.
bool StartDisplay() {
  static std::unique_ptr<TXvfbServer> server;
  if (!server) server = std::make_unique<TXvfbServer>();
  return true;
}

#define REQUIRE_XVFB()                                                      \
  do {                                                                      \
    if (!TXvfbServer::Available()) GTEST_SKIP() << "Xvfb is not installed"; \
    ASSERT_TRUE(StartDisplay());                                            \
  } while (0)

#define REQUIRE_XDOTOOL()                                                         \
  do {                                                                            \
    if (!ProgramAvailable("xdotool")) GTEST_SKIP() << "xdotool is not installed"; \
  } while (0)

int Xdotool(const std::string& args) {
  return std::system(("xdotool " + args).c_str());
}

// Runs FLTK's loop until `done` or the deadline; false on the deadline.
bool RunUntil(const std::function<bool()>& done, double seconds = 10) {
  auto end = Clock::now() + std::chrono::duration<double>(seconds);
  while (!done()) {
    if (Clock::now() > end) return false;
    Fl::wait(0.005);
  }
  return true;
}

TEST(FltkMessageLoop, PostedMessagesInOrderTimersAndDestroyedWindows) {
  REQUIRE_XVFB();
  TFltkPlatform p;
  std::vector<uintptr_t> got;
  TWindowHandle w = p.Loop().CreateMessageWindow([&](const TMessage& m) {
    got.push_back(m.Msg == WM_TIMER ? 1000 + m.WParam : m.WParam);
    if (m.Msg == WM_TIMER) p.Loop().StopTimer(m.Window, uint32_t(m.WParam));
  });
  uint32_t msg = p.Loop().RegisterMessage("TickGLCadencer");
  for (uintptr_t i = 1; i <= 3; ++i) p.Loop().PostMessage(w, msg, i);
  ASSERT_TRUE(RunUntil([&] { return got.size() == 3; }));
  EXPECT_EQ(got, (std::vector<uintptr_t>{1, 2, 3}));

  ASSERT_EQ(p.Loop().StartTimer(w, 1, 1), 1u);
  ASSERT_TRUE(RunUntil([&] { return got.size() == 4; }));
  EXPECT_EQ(got.back(), 1001u);
  Fl::wait(0.02);
  EXPECT_EQ(got.size(), 4u);  // stopped by its first message

  p.Loop().PostMessage(w, msg, 9);
  p.Loop().DestroyMessageWindow(w);
  EXPECT_EQ(p.Loop().QueuedCount(), 0u);
}

TEST(FltkMessageLoop, TerminateEndsRunEvenWithNothingLeftToWaitFor) {
  REQUIRE_XVFB();
  TFltkPlatform p;
  Fl_Window window(10, 10, 100, 50, "run");  // with the display open, as in a program
  window.end();
  window.show();
  ASSERT_TRUE(RunUntil([&] { return window.visible() != 0; }));
  for (int i = 0; i < 20; ++i) Fl::wait(0.01);  // no X event left to wake the loop
  TWindowHandle w = p.Loop().CreateMessageWindow([&](const TMessage&) { p.Loop().Terminate(); });
  p.Loop().PostMessage(w, 1);
  // A far timeout bounds the wait if Run does sleep on; it must not be what ends it.
  auto nothing = [](void*) {};
  Fl::add_timeout(5.0, nothing, nullptr);
  auto start = Clock::now();
  p.Loop().Run();
  double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  Fl::remove_timeout(nothing, nullptr);
  EXPECT_TRUE(p.Loop().Terminated());
  EXPECT_LT(seconds, 2.5) << "Run slept on after Terminate";
}

class TCountingBox : public Fl_Box {
 public:
  using Fl_Box::Fl_Box;
  void draw() override {
    ++Draws;
    if (InFrame && *InFrame) ++DrawsInsideAFrame;
    Fl_Box::draw();
  }
  int Draws = 0;
  int DrawsInsideAFrame = 0;
  const bool* InFrame = nullptr;
};

TEST(FltkCadencer, TicksOnTheRealLoopAndServesClicksAndPaintsBetweenSteps) {
  REQUIRE_XVFB();
  REQUIRE_XDOTOOL();
  TFltkPlatform p;
  bool inFrame = false;
  int frames = 0, clicks = 0, clicksInsideAFrame = 0, framesAtClick = -1;
  double timeSum = 0;

  Fl_Window window(100, 100, 240, 120, "cadencer test");
  Fl_Button button(10, 10, 100, 40, "Click");
  TCountingBox box(10, 60, 220, 50, "0");
  box.InFrame = &inFrame;
  window.end();
  button.callback([](Fl_Widget*, void* data) { (*static_cast<std::function<void()>*>(data))(); },
                  nullptr);
  std::function<void()> onClick = [&] {
    ++clicks;
    if (inFrame) ++clicksInsideAFrame;
    framesAtClick = frames;
  };
  button.user_data(&onClick);
  window.show();

  TGLWorld world;
  TGLCadencer cadencer(nullptr, &p);
  cadencer.OnProgress = [&](TPersistent*, double deltaTime, double) {
    inFrame = true;
    ++frames;
    timeSum += deltaTime;
    if (frames % 25 == 0) box.copy_label(std::to_string(frames).c_str());  // asks for a paint
    // Some work inside the step, as a frame step does: nothing else may run meanwhile.
    volatile int sink = 0;
    for (int i = 0; i < 2000; ++i) sink = sink + i;
    inFrame = false;
  };
  cadencer.SetScene(&world);  // activates: the first tick is posted

  ASSERT_TRUE(RunUntil([&] { return frames >= 200 && window.visible(); }));
  const int drawsBefore = box.Draws;
  // The click lands in the X queue while no tick runs; a later tick's message processing
  // dispatches it.
  ASSERT_EQ(Xdotool("mousemove 160 130 click 1"), 0);
  ASSERT_TRUE(RunUntil([&] { return clicks > 0 && frames > framesAtClick + 50; }));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(clicksInsideAFrame, 0);
  EXPECT_GT(framesAtClick, 0);
  EXPECT_GT(box.Draws, drawsBefore);  // the label changes were painted while ticking
  EXPECT_EQ(box.DrawsInsideAFrame, 0);
  EXPECT_GT(timeSum, 0.0);
  EXPECT_TRUE(cadencer.Enabled());

  cadencer.SetEnabled(false);
  const int stoppedAt = frames;
  Fl::wait(0.05);
  Fl::wait(0.05);
  EXPECT_EQ(frames, stoppedAt);
  window.hide();
}

TEST(FltkCadencer, IdleModeTicksFromFltksIdleHook) {
  REQUIRE_XVFB();
  TFltkPlatform p;
  TGLWorld world;
  TGLCadencer cadencer(nullptr, &p);
  int frames = 0;
  cadencer.OnProgress = [&](TPersistent*, double, double) { ++frames; };
  cadencer.SetMode(TGLCadencerMode::cmApplicationIdle);
  cadencer.SetScene(&world);
  ASSERT_TRUE(RunUntil([&] { return frames >= 100; }));
  cadencer.SetMode(TGLCadencerMode::cmManual);
  const int stoppedAt = frames;
  Fl::wait(0.02);
  EXPECT_EQ(frames, stoppedAt);
}

// Releases the keys it pressed, whatever the test's outcome.
class TKeysDown {
 public:
  explicit TKeysDown(std::vector<std::string> keys) : FKeys(std::move(keys)) {
    std::string args;
    for (const auto& k : FKeys) args += " keydown " + k;
    Ok = Xdotool(args) == 0;
  }
  ~TKeysDown() { Release(); }
  void Release() {
    if (FKeys.empty()) return;
    std::string args;
    for (const auto& k : FKeys) args += " keyup " + k;
    Xdotool(args);
    FKeys.clear();
  }
  bool Ok = false;

 private:
  std::vector<std::string> FKeys;
};

TEST(FltkKeyboard, AHeldKeyReadsTrueInEveryPollWhileHeldAndFalseAfter) {
  REQUIRE_XVFB();
  REQUIRE_XDOTOOL();
  TFltkPlatform p;
  TFltkKeyboard& keys = p.Keyboard();
  EXPECT_FALSE(KeyHeld(keys, VK_RIGHT));
  TKeysDown held({"Right"});
  ASSERT_TRUE(held.Ok);
  // The server has the key down once xdotool is done; allow it a moment all the same.
  ASSERT_TRUE(RunUntil([&] { return KeyHeld(keys, VK_RIGHT); }, 2));
  for (int poll = 0; poll < 200; ++poll) {
    ASSERT_TRUE(KeyHeld(keys, VK_RIGHT)) << "poll " << poll;
    EXPECT_FALSE(KeyHeld(keys, VK_LEFT));
    Fl::check();
  }
  held.Release();
  ASSERT_TRUE(RunUntil([&] { return !KeyHeld(keys, VK_RIGHT); }, 2));
  for (int poll = 0; poll < 50; ++poll) ASSERT_FALSE(KeyHeld(keys, VK_RIGHT)) << "poll " << poll;
}

TEST(FltkKeyboard, TwoArrowKeysAtOnce) {
  REQUIRE_XVFB();
  REQUIRE_XDOTOOL();
  TFltkPlatform p;
  TCurrentPlatform current(p);
  TKeysDown held({"Up", "Right"});
  ASSERT_TRUE(held.Ok);
  ASSERT_TRUE(RunUntil([&] { return KeyHeld(VK_UP) && KeyHeld(VK_RIGHT); }, 2));
  for (int poll = 0; poll < 100; ++poll) {
    EXPECT_TRUE(KeyHeld(VK_UP) && KeyHeld(VK_RIGHT)) << "poll " << poll;
    EXPECT_FALSE(KeyHeld(VK_DOWN) || KeyHeld(VK_LEFT));
  }
}

// ---- sound ---------------------------------------------------------------------------------

// A mono 16-bit WAV of `ms` milliseconds of a square wave.
void WriteWav(const std::filesystem::path& path, int ms) {
  const uint32_t rate = 22050, samples = rate * uint32_t(ms) / 1000;
  std::ofstream f(path, std::ios::binary);
  auto u32 = [&](uint32_t v) { f.write(reinterpret_cast<const char*>(&v), 4); };
  auto u16 = [&](uint16_t v) { f.write(reinterpret_cast<const char*>(&v), 2); };
  f.write("RIFF", 4), u32(36 + samples * 2), f.write("WAVEfmt ", 8);
  u32(16), u16(1), u16(1), u32(rate), u32(rate * 2), u16(2), u16(16);
  f.write("data", 4), u32(samples * 2);
  for (uint32_t i = 0; i < samples; ++i) u16((i / 50) % 2 ? 8000 : uint16_t(-8000));
}

class SdlSoundTest : public testing::Test {
 protected:
  void SetUp() override {
    FOld = std::filesystem::current_path();
    FDir = std::filesystem::temp_directory_path() / ("ukh_sound_" + std::to_string(getpid()));
    std::filesystem::create_directories(FDir);
    std::filesystem::current_path(FDir);
    WriteWav(FDir / "Track01.wav", 40);
    WriteWav(FDir / "Menu.wav", 40);
  }
  void TearDown() override {
    std::filesystem::current_path(FOld);
    std::filesystem::remove_all(FDir);
  }
  std::filesystem::path FOld, FDir;
};

TEST_F(SdlSoundTest, NamesResolveInTheWorkingDirectoryWithWavAdded) {
  EXPECT_EQ(TSdlSound::ResolveSoundFile("Track01"), "Track01.wav");
  EXPECT_EQ(TSdlSound::ResolveSoundFile("Menu.wav"), "Menu.wav");
  EXPECT_EQ(TSdlSound::ResolveSoundFile("Nowhere"), "");
}

TEST_F(SdlSoundTest, OnceEndsLoopedGoesOnStopSilences) {
  TSdlSound sound;
  sound.Play("Menu.wav", false);
  ASSERT_TRUE(sound.AudioOpen()) << "not even the dummy audio driver opened";
  EXPECT_TRUE(sound.IsPlaying());
  std::this_thread::sleep_for(std::chrono::milliseconds(400));  // ten times its length
  EXPECT_FALSE(sound.IsPlaying());

  sound.Play("Track01", true);
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  EXPECT_TRUE(sound.IsPlaying());
  sound.Stop();
  EXPECT_FALSE(sound.IsPlaying());

  sound.Play("Nowhere", false);  // not found: nothing plays, no error
  EXPECT_FALSE(sound.IsPlaying());
}

}  // namespace
}  // namespace ukh::platform
