// The game's states and windows: the first frame, the state table driven by every event,
// the sounds of each step, and scripted drives through the real cadencer.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "tests/game/TestLevel.h"

namespace ukh {
namespace {

using platform::TSoundRequest;
using platform::VK_RIGHT;
using platform::VK_UP;
using test::TTestLevel;
using Names = std::vector<std::string>;

TEST(GameFlowTest, FirstFrameSwitchesFromLoadingToMenuWithTheMenuSound) {
  TTestLevel level;
  EXPECT_EQ(level.WindowSystem.VisibleWindows(), (Names{"TForm1", "TForm2", "TForm3"}));
  level.WindowSystem.Log.clear();
  level.Step(0.01);
  EXPECT_EQ(level.WindowSystem.VisibleWindows(), (Names{"TForm2"}));
  const Names windowSteps(level.WindowSystem.Log.begin(), level.WindowSystem.Log.begin() + 4);
  EXPECT_EQ(windowSteps, (Names{"show TForm3", "hide TForm1", "show TForm2", "hide TForm3"}));
  EXPECT_EQ(level.Platform.Sound().Requests,
            (std::vector<TSoundRequest>{{TSoundRequest::skPlayOnce, "Menu.wav"}}));
  level.Step(0.01);
  EXPECT_EQ(level.Platform.Sound().Requests.size(), 1u) << "only on the first frame";
}

enum class TState { Ready, Driving, Crashed, Dry, Won };

// Brings a fresh level into `state` from the menu.
void Enter(TTestLevel& level, TState state) {
  level.Step(0.01);
  level.F().MenuStartClick();
  if (state == TState::Ready) return;
  level.F().Button3Click();
  switch (state) {
    case TState::Crashed:
      level.PlaceCar(39.3f, 0);
      level.Step(0.02);
      break;
    case TState::Dry:
      level.F().FOil = -0.001;
      level.Step(0.02);
      break;
    case TState::Won:
      level.F().BoxNum = 1;
      level.PlaceCar(7, 4);
      level.F().Speed = 0;
      level.Step(0.02);
      break;
    default:
      break;
  }
  level.PlaceCar(0, 0);
}

TEST(GameFlowTest, StateTable) {
  struct TExpect {
    bool stoped;
    bool pauseVisible;  // "ПАУЗА"; "СТАРТ" is the other one
    Names windows;
    double speed;
    int32_t boxes;
  };
  const struct {
    TState from;
    const char* event;
    std::function<void(TTestLevel&)> act;
    TExpect expect;
  } rows[] = {
      {TState::Ready,
       "СТАРТ",
       [](TTestLevel& l) { l.F().Button3Click(); },
       {true, true, {"TForm1"}, 60, 10}},
      {TState::Driving,
       "ПАУЗА",
       [](TTestLevel& l) { l.F().Button2Click(); },
       {false, false, {"TForm1"}, 0, 10}},
      {TState::Driving,
       "wall",
       [](TTestLevel& l) {
         l.PlaceCar(39.3f, 0);
         l.Step(0.02);
       },
       {false, true, {"TForm1"}, 0, 10}},
      {TState::Driving,
       "dry",
       [](TTestLevel& l) {
         l.F().FOil = 0;
         l.Step(0.02);
       },
       {false, true, {"TForm1"}, 0, 10}},
      {TState::Driving,
       "last box",
       [](TTestLevel& l) {
         l.F().BoxNum = 1;
         l.F().Speed = 0;
         l.PlaceCar(7, 4);
         l.Step(0.02);
       },
       {false, true, {"TForm1", "TForm4"}, 0, 0}},
      {TState::Crashed,
       "ПАУЗА",
       [](TTestLevel& l) { l.F().Button2Click(); },
       {false, false, {"TForm1"}, 0, 10}},
      {TState::Dry,
       "ПАУЗА",
       [](TTestLevel& l) { l.F().Button2Click(); },
       {false, false, {"TForm1"}, 0, 10}},
      {TState::Won,
       "OK",
       [](TTestLevel& l) { l.F().WinOkClick(); },
       {false, true, {"TForm2"}, 0, 10}},
      {TState::Won,
       "Cancel",
       [](TTestLevel& l) { l.F().WinCancelClick(); },
       {true, true, {"TForm1"}, 0, 1}},
      {TState::Driving,
       "Выход",
       [](TTestLevel& l) { l.F().Button1Click(); },
       {false, false, {"TForm2"}, 0, 10}},
      {TState::Crashed,
       "Выход",
       [](TTestLevel& l) { l.F().Button1Click(); },
       {false, false, {"TForm2"}, 0, 10}},
  };
  for (const auto& row : rows) {
    TTestLevel level;
    Enter(level, row.from);
    row.act(level);
    const std::string what =
        std::string("from state ") + std::to_string(int(row.from)) + " on " + row.event;
    EXPECT_EQ(level.F().Stoped, row.expect.stoped) << what;
    EXPECT_EQ(level.F().PauseButton().Visible(), row.expect.pauseVisible) << what;
    EXPECT_EQ(level.F().StartButton().Visible(), !row.expect.pauseVisible) << what;
    EXPECT_EQ(level.WindowSystem.VisibleWindows(), row.expect.windows) << what;
    EXPECT_EQ(level.F().Speed, row.expect.speed) << what;
    EXPECT_EQ(level.F().BoxNum, row.expect.boxes) << what;
  }
}

TEST(GameFlowTest, CrashedPauseStoresTheZeroSpeed) {
  TTestLevel level;
  Enter(level, TState::Crashed);
  EXPECT_EQ(level.F().Pause_Speed, 60.0);
  level.F().Button2Click();
  EXPECT_EQ(level.F().Pause_Speed, 0.0);
}

TEST(GameFlowTest, SoundsOfEachStep) {
  using K = TSoundRequest;
  TTestLevel level;
  level.Step(0.01);
  auto& sound = level.Platform.Sound();
  sound.Requests.clear();
  level.F().MenuStartClick();
  EXPECT_EQ(sound.Requests,
            (std::vector<K>{{K::skStop, ""}, {K::skStop, ""}, {K::skPlayLooped, "Track01"}}));
  sound.Requests.clear();
  level.F().Button3Click();
  level.F().Button2Click();
  level.F().BoxNum = 1;
  level.F().Button3Click();
  level.F().Speed = 0;
  level.PlaceCar(7, 4);
  level.Step(0.02);
  level.F().WinCancelClick();
  EXPECT_TRUE(sound.Requests.empty()) << "pause, start, the win and Cancel leave the music";
  level.F().Button1Click();
  EXPECT_EQ(sound.Requests, (std::vector<K>{{K::skStop, ""}}));
  EXPECT_EQ(sound.Playing, "");
}

TEST(GameFlowTest, CancelThenNoSecondWin) {
  TTestLevel level;
  Enter(level, TState::Driving);
  level.F().Speed = 0;
  auto visitEveryBox = [&] {
    for (TGLBaseSceneObject* box : level.F().Boxes) {
      level.PlaceCar(box->Position().X(), box->Position().Z());
      level.Step(0.02);
    }
  };
  visitEveryBox();
  ASSERT_EQ(level.F().BoxNum, 0);
  ASSERT_TRUE(level.F().Windows().Win->Visible());
  level.F().WinCancelClick();
  EXPECT_EQ(level.F().BoxNum, 1);
  EXPECT_TRUE(level.F().Stoped);
  EXPECT_FALSE(level.F().Windows().Win->Visible());
  // Every box now lies 5 units down, out of the car's reach: nothing is left to collect.
  visitEveryBox();
  EXPECT_EQ(level.F().BoxNum, 1);
  EXPECT_EQ(level.F().BoxText().Caption(), "1");
  EXPECT_FALSE(level.F().Windows().Win->Visible());
}

TEST(GameFlowTest, MenuExitEndsTheProcessWithStatusZero) {
  TTestLevel level;
  level.Step(0.01);
  try {
    level.F().Windows().Menu->Control("Button1").OnClick();
    ADD_FAILURE() << "no exit";
  } catch (const platform::THeadlessExit& e) {
    EXPECT_EQ(e.Status, 0);
  }
}

// Drives the level through the real cadencer on the scripted clock: each loop round posts and
// serves one tick, and the clock moves 20 ms a round.
struct TDriver {
  TTestLevel& Level;
  void Ticks(int n) {
    for (int i = 0; i < n; ++i) {
      Level.Platform.Clock().Advance(0.02);
      Level.F().GLCadencer1->Progress();
    }
  }
};

TEST(GameFlowTest, ScriptedDriveCollectsABoxAndANewGameRestoresTheHeading) {
  TTestLevel level;
  level.F().GLCadencer1->SetEnabled(true);
  TDriver drive{level};
  drive.Ticks(1);
  level.F().MenuStartClick();
  level.F().Button3Click();
  // From the start heading the car travels toward -Z at 60 km/h: 0.084 units a tick.
  drive.Ticks(10);
  EXPECT_NEAR(level.F().Car->Position().Z(), -0.84, 1e-4);
  EXPECT_NEAR(level.F().Car->Position().X(), 0, 1e-6);
  // Hold right for 3 s: 90 degrees, bending the path toward +X.
  level.Hold(VK_RIGHT);
  drive.Ticks(150);
  level.Hold(VK_RIGHT, false);
  EXPECT_NEAR(level.F().Car->Direction().X(), -1, 1e-4);
  EXPECT_GT(level.F().Car->Position().X(), 3.0);
  // Each tick turns by 0.6 degrees first and then moves 0.084 along the new heading, so after
  // tick k the car has moved 0.084 (sin(k a), 0, -cos(k a)) with a = 0.6 degrees: a polygon
  // close to the arc of radius (60 * 0.07) / (pi / 6) = 8.02.
  double x = 0, z = -0.84;
  for (int k = 1; k <= 150; ++k) {
    x += 0.084 * std::sin(k * 0.6 * cPI / 180);
    z -= 0.084 * std::cos(k * 0.6 * cPI / 180);
  }
  const TVector4f turned = level.F().Car->Position().AsVector();
  EXPECT_NEAR(turned.X, x, 1e-3);
  EXPECT_NEAR(turned.Z, z, 1e-3);
  // Drive on toward +X until the wall at X = 40 stops the car.
  drive.Ticks(600);
  EXPECT_FALSE(level.F().Stoped);
  EXPECT_EQ(level.F().Speed, 0.0);
  EXPECT_LT(level.F().Car->Position().X(), 40.0f);
  EXPECT_GT(level.F().Car->Position().X(), 38.5f);
  const float xAtCrash = level.F().Car->Position().X();
  drive.Ticks(5);
  EXPECT_EQ(level.F().Car->Position().X(), xAtCrash) << "a crashed car stays put";
  EXPECT_EQ(level.F().SpeedText().Caption(), "0");
  // A new game brings back the heading and the start.
  level.F().Button1Click();
  level.F().MenuStartClick();
  // Back to the start heading within the drift of 150 float turns.
  EXPECT_NEAR(level.F().Car->Direction().X(), 0, 1e-4);
  EXPECT_NEAR(level.F().Car->Direction().Z(), 1, 1e-6);
  EXPECT_EQ(level.F().Car->Position().AsVector(), NullHmgPoint);
  EXPECT_EQ(level.F().GLNavigator1->CurrentHAngle(), 0.0f);
}

TEST(GameFlowTest, ScriptedDriveReachesCube15) {
  TTestLevel level;
  level.F().GLCadencer1->SetEnabled(true);
  TDriver drive{level};
  drive.Ticks(1);
  level.F().MenuStartClick();
  level.F().Button3Click();
  // Cube15 stands at (7, 0, 4), behind and to the right of the start: turn left half a turn
  // (6 s at 30 degrees per second) to head toward +Z, then bend toward it.
  level.Hold(platform::VK_LEFT);
  drive.Ticks(300);
  level.Hold(platform::VK_LEFT, false);
  EXPECT_NEAR(level.F().Car->Direction().Z(), -1, 1e-3);
  const TVector4f p = level.F().Car->Position().AsVector();
  EXPECT_NEAR(p.X, -2 * 60 * 0.07 / (cPI / 6), 0.05);  // the half circle's diameter
  int ticks = 0;
  while (level.F().BoxNum == 10 && ticks < 2000) {
    const TVector4f c = level.F().Car->Position().AsVector();
    const double want = std::atan2(7 - c.X, 4 - c.Z);  // heading toward the box
    const double have =
        std::atan2(-level.F().Car->Direction().X(), -level.F().Car->Direction().Z());
    double err = want - have;
    while (err > cPI) err -= 2 * cPI;
    while (err < -cPI) err += 2 * cPI;
    level.Hold(platform::VK_LEFT, err > 0.02);
    level.Hold(VK_RIGHT, err < -0.02);
    drive.Ticks(1);
    ++ticks;
  }
  EXPECT_EQ(level.F().BoxNum, 9);
  EXPECT_EQ(level.Object("Cube15")->Position().Y(), -5.0f);
  drive.Ticks(1);
  EXPECT_EQ(level.F().BoxText().Caption(), "9");
}

}  // namespace
}  // namespace ukh
