// The frame step on the test level: speed rules, turning, movement, camera, fuel, pick-ups,
// crashes, the win test and the read-outs.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/NumberText.h"
#include "tests/game/TestLevel.h"

namespace ukh {
namespace {

using platform::VK_DOWN;
using platform::VK_LEFT;
using platform::VK_RIGHT;
using platform::VK_UP;
using test::TTestLevel;

TEST(FrameStepTest, SpeedLimitsAreTestedBeforeTheChange) {
  const struct {
    const char* what;
    int32_t key;
    double start, dt;
    double afterFirst, afterSecond;
  } cases[] = {
      {"accelerate past 90 once", VK_UP, 89.5, 0.05, 91.0, 91.0},
      {"accelerate below 90", VK_UP, 60, 0.1, 63, 66},
      {"brake past 30 once", VK_DOWN, 31, 0.1, 28, 28},
      {"no acceleration from 0", VK_UP, 0, 0.1, 0, 0},
      {"no braking from 0", VK_DOWN, 0, 0.1, 0, 0},
  };
  for (const auto& c : cases) {
    TTestLevel level;
    level.StartDriving();
    level.F().Speed = c.start;
    level.Hold(c.key);
    level.Step(c.dt);
    EXPECT_NEAR(level.F().Speed, c.afterFirst, 1e-9) << c.what;
    level.Step(c.dt);
    EXPECT_NEAR(level.F().Speed, c.afterSecond, 1e-9) << c.what;
  }
}

TEST(FrameStepTest, MovesAgainstTheDirectionByTheRoundedDistanceAndTheCameraFollows) {
  TTestLevel level;
  level.StartDriving();
  ASSERT_EQ(level.F().Speed, 60.0);
  level.Step(0.02);
  // -0.02 * 60 * 0.07 rounded to a float, along Direction (0, 0, 1).
  const float d = float(-0.02 * 60.0 * 0.07);
  EXPECT_EQ(level.F().Car->Position().Z(), d);
  EXPECT_EQ(level.F().Car->Position().X(), 0.0f);
  EXPECT_EQ(level.F().GLCamera1->Position().AsVector(), (TVector4f{0, 15, float(d + 4.0), 1}));
}

TEST(FrameStepTest, TurnsOnlyWhileDriving) {
  TTestLevel level;
  level.Step(0.01);
  level.Hold(VK_RIGHT);
  level.Step(0.5);  // Ready: keys are not read
  EXPECT_EQ(level.F().Car->Direction().AsVector(), ZHmgVector);
  level.F().MenuStartClick();
  level.F().Button3Click();
  level.Step(0.5);  // 15 degrees clockwise seen from above: toward -X on the direction
  const double a = 15 * cPI / 180;
  EXPECT_NEAR(level.F().Car->Direction().X(), -std::sin(a), 1e-6);
  EXPECT_NEAR(level.F().GLNavigator1->CurrentHAngle(), 345, 1e-4);
  level.Hold(VK_RIGHT, false);
  level.Hold(VK_LEFT);
  level.Step(0.5);
  EXPECT_NEAR(level.F().Car->Direction().X(), 0, 1e-6);
}

TEST(FrameStepTest, FuelBurnsAndTheDryStopComesOneFrameLater) {
  TTestLevel level;
  level.StartDriving();
  level.F().FOil = 0.005;
  level.Step(1.0);
  EXPECT_NEAR(level.F().FOil, -0.005, 1e-12) << "tested before the burn";
  EXPECT_TRUE(level.F().Stoped);
  level.Step(0.0);  // a zero step still stops a dry car
  EXPECT_EQ(level.F().FOil, 0.0);
  EXPECT_EQ(level.F().Speed, 0.0);
  EXPECT_FALSE(level.F().Stoped);
  EXPECT_EQ(level.F().Pause_Speed, 60.0) << "the dry stop leaves Pause_Speed";
}

TEST(FrameStepTest, ABoxIsCollectedOnce) {
  TTestLevel level;
  level.StartDriving();
  level.F().Speed = 0;  // stand still on the box
  level.PlaceCar(7, 4);
  level.Step(0.02);
  EXPECT_EQ(level.F().BoxNum, 9);
  EXPECT_EQ(level.Object("Cube15")->Position().Y(), -5.0f);
  level.Step(0.02);
  EXPECT_EQ(level.F().BoxNum, 9);
}

TEST(FrameStepTest, TwoBoxesInOneFrameAndTheCanister) {
  TTestLevel level;
  level.StartDriving();
  level.F().Speed = 0;
  level.Object("Cube16")->Position().SetPoint(7.3f, 0, 4.2f);  // beside Cube15
  level.PlaceCar(7, 4);
  level.Step(0.02);
  EXPECT_EQ(level.F().BoxNum, 8);
  level.PlaceCar(-31, -9);
  const double fuel = level.F().FOil;
  level.Step(0.02);
  EXPECT_NEAR(level.F().FOil, fuel - 0.0002 + 1.0, 1e-12);
  EXPECT_EQ(level.Object("Cylinder1")->Position().Y(), -5.0f);
}

TEST(FrameStepTest, WallContactStopsTheCarAndKeepsTheSpeed) {
  TTestLevel level;
  level.StartDriving();
  level.PlaceCar(39.3f, 0);  // the car's half-width 0.5 reaches the wall's inner face 39.5
  level.Step(0.02);
  EXPECT_FALSE(level.F().Stoped);
  EXPECT_EQ(level.F().Speed, 0.0);
  EXPECT_EQ(level.F().Pause_Speed, 60.0);
  // A crashed car cannot restart: "ПАУЗА" stores the zero speed, "СТАРТ" restores it.
  level.F().Button2Click();
  level.F().Button3Click();
  level.PlaceCar(0, 0);
  level.Hold(VK_UP);
  level.Step(0.1);
  EXPECT_EQ(level.F().Speed, 0.0);
}

TEST(FrameStepTest, TheLastBoxWinsEvenInTheFrameOfACrash) {
  TTestLevel level;
  level.StartDriving();
  level.F().BoxNum = 1;
  level.Object("Cube18")->Position().SetPoint(39.3f, 0, 0);  // on the car, by the wall
  level.PlaceCar(39.3f, 0);
  level.Step(0.02);
  EXPECT_EQ(level.F().BoxNum, 0);
  EXPECT_TRUE(level.F().Windows().Win->Visible());
  EXPECT_FALSE(level.F().Stoped);
  EXPECT_EQ(level.F().Speed, 0.0);
  EXPECT_EQ(level.F().Pause_Speed, 0.0) << "the crash zeroed the speed the win then kept";
}

TEST(FrameStepTest, ReadoutsShowThePreviousFramesState) {
  TTestLevel level;
  EXPECT_EQ(level.F().SpeedText().Caption(), "60");
  EXPECT_EQ(level.F().OilText().Caption(), "2,0");
  level.StartDriving();
  level.Step(0.02);  // the first driving frame shows the values "СТАРТ" left
  EXPECT_EQ(level.F().SpeedText().Caption(), "60");
  EXPECT_EQ(level.F().BoxText().Caption(), "10");
  const std::string sep = platform::UserFormatSettings().DecimalSeparator;
  EXPECT_EQ(level.F().OilText().Caption(), "2" + sep + "00");
  level.Step(0.02);
  EXPECT_EQ(level.F().OilText().Caption(), "2" + sep + "00");  // 1.9998 rounds to 2.00
  const struct {
    double speed;
    const char* text;
  } speeds[] = {{60.5, "60"}, {61.5, "62"}, {100.4, "100"}, {29.999, "30"}};
  for (const auto& s : speeds) {
    level.F().Speed = s.speed;
    level.F().Stoped = false;
    level.Step(0.02);
    EXPECT_EQ(level.F().SpeedText().Caption(), s.text) << s.speed;
  }
  level.F().FOil = 3;
  level.Step(0.02);
  EXPECT_EQ(level.F().OilText().Caption(), "3" + sep + "00");
}

}  // namespace
}  // namespace ukh
