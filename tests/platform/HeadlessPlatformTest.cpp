// The headless platform's message queue order, timers, keys and recorders, which the engine
// and game tests rely on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/base/Exception.h"
#include "platform/HeadlessPlatform.h"
#include "platform/SysColors.h"

namespace ukh::platform {
namespace {

TEST(HeadlessMessageLoop, PostedMessagesArriveInOrderAfterPendingInput) {
  THeadlessPlatform p;
  std::vector<std::string> log;
  TWindowHandle w = p.Loop().CreateMessageWindow(
      [&](const TMessage& m) { log.push_back("msg " + std::to_string(m.WParam)); });
  uint32_t tick = p.Loop().RegisterMessage("TickGLCadencer");
  EXPECT_EQ(p.Loop().RegisterMessage("TickGLCadencer"), tick);
  EXPECT_NE(p.Loop().RegisterMessage("Other"), tick);

  p.Loop().PostInput([&] { log.push_back("click"); });
  p.Loop().PostMessage(w, tick, 1);
  p.Loop().PostMessage(w, tick, 2);
  p.Loop().ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"click", "msg 1", "msg 2"}));
}

TEST(HeadlessMessageLoop, MessagesPostedWhileServingWaitForTheNextRound) {
  THeadlessPlatform p;
  int received = 0;
  TWindowHandle w = 0;
  w = p.Loop().CreateMessageWindow([&](const TMessage& m) {
    ++received;
    p.Loop().PostMessage(m.Window, m.Msg);  // re-posts itself forever
  });
  p.Loop().PostMessage(w, 0xC123);
  p.Loop().ProcessMessages();
  EXPECT_EQ(received, 1);
  EXPECT_EQ(p.Loop().QueuedCount(w, 0xC123), 1u);
  p.Loop().DestroyMessageWindow(w);
  p.Loop().ProcessMessages();  // the queued message to the dead window is dropped
  EXPECT_EQ(received, 1);
}

TEST(HeadlessMessageLoop, MessagesAreStampedWithTheTickCountOfPosting) {
  THeadlessPlatform p;
  std::vector<uint32_t> stamps;
  TWindowHandle w =
      p.Loop().CreateMessageWindow([&](const TMessage& m) { stamps.push_back(m.Time); });
  p.Clock().SetTime(1.0005);
  p.Loop().PostMessage(w, 1);
  p.Clock().SetTime(2.0);
  p.Loop().ProcessMessages();
  EXPECT_EQ(stamps, (std::vector<uint32_t>{1000}));
  EXPECT_EQ(p.Clock().TickCount(), 2000u);
}

TEST(HeadlessMessageLoop, TimersFireWhenDueAndRepeatUntilStopped) {
  THeadlessPlatform p;
  std::vector<uintptr_t> ids;
  TWindowHandle w = p.Loop().CreateMessageWindow([&](const TMessage& m) {
    if (m.Msg == WM_TIMER) ids.push_back(m.WParam);
  });
  EXPECT_EQ(p.Loop().StartTimer(w, 1, 1), 1u);
  p.Loop().ProcessMessages();
  EXPECT_TRUE(ids.empty());  // not yet due
  p.Clock().Advance(0.001);
  p.Loop().ProcessMessages();
  p.Clock().Advance(0.001);
  p.Loop().ProcessMessages();
  EXPECT_EQ(ids, (std::vector<uintptr_t>{1, 1}));
  p.Loop().StopTimer(w, 1);
  p.Clock().Advance(0.001);
  p.Loop().ProcessMessages();
  EXPECT_EQ(ids.size(), 2u);
  EXPECT_EQ(p.Loop().StartTimer(w + 100, 1, 1), 0u);  // no such window
}

TEST(HeadlessMessageLoop, ErrorReportsAreRecordedAndShown) {
  THeadlessPlatform p;
  p.Loop().ReportError(std::runtime_error("Boom"));
  EXPECT_EQ(p.Loop().ErrorReports, (std::vector<std::string>{"Boom"}));
  EXPECT_EQ(p.MessageBox().Shown, (std::vector<std::string>{"Boom"}));
}

TEST(HeadlessMessageLoop, AnErrorEscapingAHandlerIsReportedAndTheLoopGoesOn) {
  THeadlessPlatform p;
  int served = 0;
  TWindowHandle w = p.Loop().CreateMessageWindow([&](const TMessage& m) {
    ++served;
    if (m.WParam == 1) throw std::runtime_error("Handler failed");
  });
  p.Loop().PostMessage(w, 5, 1);
  p.Loop().PostMessage(w, 5, 2);
  p.Loop().ProcessMessages();
  EXPECT_EQ(served, 2);
  EXPECT_EQ(p.Loop().ErrorReports, (std::vector<std::string>{"Handler failed"}));
}

TEST(HeadlessClock, CounterAndTickCountFollowTheScriptedTime) {
  THeadlessClock c;
  c.SetTime(2.5);
  EXPECT_EQ(double(c.PerformanceCounter()) / double(c.PerformanceFrequency()), 2.5);
  EXPECT_EQ(c.TickCount(), 2500u);
  c.SetFrequency(10'000'000);
  EXPECT_EQ(c.PerformanceCounter(), 25'000'000);
  c.SetFrequency(0);
  EXPECT_EQ(c.PerformanceCounter(), 0);
}

TEST(HeadlessKeyboard, DownBitWhileHeldPressedBitOnceAfterAPress) {
  THeadlessKeyboard k;
  EXPECT_EQ(k.GetAsyncKeyState(VK_UP), 0);
  k.SetKeyDown(VK_UP, true);
  EXPECT_EQ(uint16_t(k.GetAsyncKeyState(VK_UP)), 0x8001u);
  EXPECT_EQ(uint16_t(k.GetAsyncKeyState(VK_UP)), 0x8000u);
  k.SetKeyDown(VK_UP, false);
  EXPECT_EQ(k.GetAsyncKeyState(VK_UP), 0);
  k.TapKey(VK_LEFT);
  EXPECT_EQ(k.GetAsyncKeyState(VK_LEFT), 1);
}

TEST(HeadlessSound, ANewRequestReplacesWhatPlays) {
  THeadlessSound s;
  s.Play("Menu.wav", false);
  s.Play("Track01", true);
  EXPECT_EQ(s.Playing, "Track01");
  EXPECT_TRUE(s.PlayingLooped);
  s.Stop();
  EXPECT_EQ(s.Playing, "");
  EXPECT_EQ(s.Requests, (std::vector<TSoundRequest>{{TSoundRequest::skPlayOnce, "Menu.wav"},
                                                    {TSoundRequest::skPlayLooped, "Track01"},
                                                    {TSoundRequest::skStop, ""}}));
}

TEST(CurrentPlatform, GuardSetsAndRestores) {
  THeadlessPlatform a, b;
  EXPECT_FALSE(HasCurrentPlatform());
  EXPECT_THROW(CurrentPlatform(), Exception);
  {
    TCurrentPlatform ga(a);
    EXPECT_EQ(&CurrentPlatform(), &a);
    {
      TCurrentPlatform gb(b);
      EXPECT_EQ(&CurrentPlatform(), &b);
    }
    EXPECT_EQ(&CurrentPlatform(), &a);
  }
  EXPECT_FALSE(HasCurrentPlatform());
}

TEST(SysColors, ClassicPaletteAndSystemColourValues) {
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), (TRGB8{212, 208, 200}));
  EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), (TRGB8{0, 0, 0}));
  EXPECT_EQ(GetSysColor(COLOR_BACKGROUND), (TRGB8{58, 110, 165}));
  EXPECT_EQ(GetSysColor(COLOR_GRADIENTACTIVECAPTION), (TRGB8{166, 202, 240}));
  EXPECT_EQ(GetSysColor(-1), (TRGB8{}));
  EXPECT_EQ(GetSysColor(99), (TRGB8{}));
  EXPECT_EQ(ColorToRGB(clBtnFace), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(ColorToRGB(clYellow), (TRGB8{255, 255, 0}));
  EXPECT_EQ(ColorToRGB(0x00332211), (TRGB8{0x11, 0x22, 0x33}));
}

}  // namespace
}  // namespace ukh::platform
