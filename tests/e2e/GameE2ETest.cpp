// The real program under a private Xvfb, driven as a player drives it: the loading notice
// before the menu, a game started, driven with the up arrow, paused, left, and the program
// ended from the menu with status 0. Screenshots of a failing run stay in the build folder.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <thread>

#include "platform/SysColors.h"
#include "platform/xvfb/XvfbServer.h"
#include "tests/e2e/E2EHarness.h"

namespace ukh::test {
namespace {

using platform::TRGB8;
using namespace std::chrono_literals;

const std::string cGame = "Ухабица", cMenu = "Главное меню", cLoading = "Загрузка...";

const TRect cGameWin = CentredWindow(640, 480);
const TRect cMenuWin = CentredWindow(300, 300);
const TRect cLoadingWin = CentredWindow(143, 46);

// A control's rectangle on the screen from its place in its window's client area.
TRect In(TRect window, int left, int top, int w, int h) {
  return {window.X + left, window.Y + top, w, h};
}
int CentreX(TRect r) {
  return r.X + r.W / 2;
}
int CentreY(TRect r) {
  return r.Y + r.H / 2;
}

const TRect cView = In(cGameWin, 8, 40, 624, 432);
const TRect cSpeed = In(cGameWin, 72, 8, 25, 25);
const TRect cStart = In(cGameWin, 424, 8, 65, 25);
const TRect cPause = In(cGameWin, 496, 8, 65, 26);
const TRect cLeave = In(cGameWin, 567, 8, 65, 25);
const TRect cMenuStart = In(cMenuWin, 8, 8, 137, 25);
const TRect cMenuExit = In(cMenuWin, 8, 264, 137, 25);

bool Dark(TRGB8 p) {
  return p.R < 64 && p.G < 64 && p.B < 64;
}
bool Yellow(TRGB8 p) {
  return p.R > 200 && p.G > 200 && p.B < 80;
}
bool Green(TRGB8 p) {
  return p.G > p.R + 20 && p.G > p.B + 20;
}

std::string GamePath() {
  // A build of the program elsewhere can be checked with the same test.
  if (const char* other = std::getenv("UKH_E2E_GAME")) return other;
  return UKH_GAME_PATH;
}

class GameE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"xdotool", "import"})
      if (!platform::ProgramAvailable(tool))
        GTEST_SKIP() << tool << " is not installed (scripts/deps.sh --test installs it)";
    if (!platform::TXvfbServer::Available())
      GTEST_SKIP() << "Xvfb is not installed (scripts/deps.sh --test installs it)";
    Server = std::make_unique<platform::TXvfbServer>();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    Game = std::make_unique<TGameProcess>(GamePath(),
                                          std::string(UKH_E2E_ARTEFACTS) + "/" + info->name());
  }
  void TearDown() override {
    if (!Game) return;
    const std::string folder = Game->Artefacts();
    Game.reset();
    if (HasFailure())
      std::printf("screenshots of the failed run: %s\n", folder.c_str());
    else
      std::filesystem::remove_all(folder);
  }

  std::unique_ptr<platform::TXvfbServer> Server;
  std::unique_ptr<TGameProcess> Game;
  const TRGB8 Face = platform::GetSysColor(platform::COLOR_BTNFACE);
};

TEST_F(GameE2E, LoadingMenuGamePauseLeaveAndExit) {
  // Start-up: the loading notice is up before the menu, and the menu is alone afterwards.
  std::set<std::string> seen;
  ASSERT_TRUE(Game->WaitForWindows({cMenu}, 20, &seen)) << "the menu did not come up alone";
  const double toMenu = Game->SecondsSinceStart();
  std::printf("menu visible %.3f s after the start\n", toMenu);
  EXPECT_TRUE(seen.count(cLoading)) << "the loading window was never mapped";
  EXPECT_TRUE(seen.count(cGame)) << "the game window was never mapped at start-up";
  // The menu repaints what the notice covered once the notice is gone.
  const TRGB8 face = Face;
  TShot menu = Game->ShotWhen("1-menu", [face](const TShot& s) {
    return s.Count(cMenuStart, Dark) > 20 && s.Share(cLoadingWin, face) < 0.5;
  });
  EXPECT_EQ(Game->MappedWindows(), std::set<std::string>{cMenu});
  // Where the loading notice sat, the menu's pictures show: not a plain face-coloured box.
  EXPECT_LT(menu.Share(cLoadingWin, Face), 0.5);
  // The start button's caption is drawn; outside the menu the screen is bare.
  EXPECT_GT(menu.Count(cMenuStart, Dark), 20);
  EXPECT_EQ(menu.Pixel(cGameWin.X + 4, cGameWin.Y + 4), (TRGB8{0, 0, 0}));

  // "Н А Ч А Т Ь": the game window with "СТАРТ" and no "ПАУЗА".
  Game->Click(CentreX(cMenuStart), CentreY(cMenuStart));
  ASSERT_TRUE(Game->WaitForWindows({cGame}, 5)) << "the game window did not replace the menu";
  // The first frame of the view may come after the read-out (until then the closed menu's
  // pixels, grass pictures included, stay on the screen): both are waited for.
  TShot ready = Game->ShotWhen("2-game", [](const TShot& s) {
    return s.Count(cSpeed, Yellow) > 10 && s.Count(cView, Green) > cView.W * cView.H / 2;
  });
  EXPECT_GT(ready.Count(cStart, Dark), 20) << "no caption on the start button";
  EXPECT_GT(ready.Share(cPause, Face), 0.99) << "the pause button shows";
  EXPECT_GT(ready.Count(cSpeed, Yellow), 10) << "the speed read-out is empty";
  TShot readyLater = Game->Shot("3-game-later");
  EXPECT_LT(Difference(ready, readyLater, cView), 0.001) << "the view moves before СТАРТ";

  // "СТАРТ", then the up arrow held: the car drives off and the speed goes up.
  Game->Click(CentreX(cStart), CentreY(cStart));
  TShot started =
      Game->ShotWhen("4-started", [](const TShot& s) { return s.Count(cPause, Dark) > 20; });
  EXPECT_GT(started.Count(cPause, Dark), 20) << "no pause button while driving";
  EXPECT_GT(started.Share(cStart, Face), 0.99) << "the start button still shows";
  Game->KeyDown("Up");
  std::this_thread::sleep_for(1200ms);
  TShot driving = Game->Shot("5-driving");
  Game->KeyUp("Up");
  EXPECT_GT(Difference(started, driving, cView), 0.05) << "the view did not change";
  EXPECT_GT(Difference(started, driving, cSpeed), 0.05) << "the speed read-out did not change";
  EXPECT_GT(driving.Count(cSpeed, Yellow), 10) << "the speed read-out is empty";

  // "ПАУЗА": the view freezes.
  Game->Click(CentreX(cPause), CentreY(cPause));
  TShot paused =
      Game->ShotWhen("6-paused", [](const TShot& s) { return s.Count(cStart, Dark) > 20; });
  std::this_thread::sleep_for(500ms);
  TShot pausedLater = Game->Shot("7-paused-later");
  EXPECT_LT(Difference(paused, pausedLater, cView), 0.001) << "the view moves while paused";
  EXPECT_GT(paused.Count(cStart, Dark), 20) << "no start button while paused";

  // "Выход": back to the menu.
  Game->Click(CentreX(cLeave), CentreY(cLeave));
  ASSERT_TRUE(Game->WaitForWindows({cMenu}, 5)) << "Выход did not return to the menu";
  Game->Shot("8-menu-again");

  // A second game: the view comes back with a new GL context and shows the level again.
  Game->Click(CentreX(cMenuStart), CentreY(cMenuStart));
  ASSERT_TRUE(Game->WaitForWindows({cGame}, 5)) << "no second game";
  TShot again = Game->ShotWhen("9-second-game", [](const TShot& s) {
    return s.Count(cSpeed, Yellow) > 10 && s.Count(cView, Green) > cView.W * cView.H / 4;
  });
  EXPECT_GT(again.Count(cView, Green), cView.W * cView.H / 4) << "the second game shows no field";
  EXPECT_GT(again.Share(cStart, Face), 0.5) << "the second game does not wait for СТАРТ";
  EXPECT_GT(again.Count(cStart, Dark), 20);
  Game->Click(CentreX(cLeave), CentreY(cLeave));
  ASSERT_TRUE(Game->WaitForWindows({cMenu}, 5)) << "Выход did not return to the menu";

  // "В Ы Х О Д": the process ends with status 0.
  Game->Click(CentreX(cMenuExit), CentreY(cMenuExit));
  EXPECT_EQ(Game->WaitForExit(5), 0) << "the program did not end with status 0";
}

}  // namespace
}  // namespace ukh::test
