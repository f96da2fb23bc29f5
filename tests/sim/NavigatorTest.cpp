// The navigator: turning, the running angle with its wrap, and the link to the moved object.
#include "engine/sim/GLNavigator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "engine/math/Angles.h"

namespace ukh {
namespace {

TEST(NavigatorTest, RunningAngleWraps) {
  const struct {
    float start;  // reached by one turn from 0
    float turn;
    float expected;
  } cases[] = {
      {0, 30, 330},  // 0 - 30 = -30 -> 330
      {0, -30, 30},
      {0, -360, 360},                                                // exactly 360 is left alone
      {0, -360.5f, float((double(360.5f / 360.0f) - 1.0) * 360.0)},  // about 0.500007
  };
  for (const auto& c : cases) {
    TGLBaseSceneObject car;
    TGLNavigator nav;
    nav.SetMovingObject(&car);
    nav.TurnHorizontal(c.turn);
    EXPECT_EQ(nav.CurrentHAngle(), c.expected) << c.turn;
  }
  TGLBaseSceneObject car;
  TGLNavigator nav;
  nav.SetMovingObject(&car);
  nav.TurnHorizontal(-360.5f);
  EXPECT_NEAR(nav.CurrentHAngle(), 0.500007, 1e-6);
}

TEST(NavigatorTest, PositiveTurnIsClockwiseSeenFromUp) {
  TGLBaseSceneObject car;
  TGLNavigator nav;
  nav.SetMovingObject(&car);
  nav.TurnHorizontal(30);
  const double a = 30 * cPI / 180;
  EXPECT_NEAR(car.Direction().X(), -std::sin(a), 1e-6);
  EXPECT_NEAR(car.Direction().Y(), 0, 1e-7);
  EXPECT_NEAR(car.Direction().Z(), std::cos(a), 1e-6);
  EXPECT_EQ(car.Up().AsVector(), YHmgVector);
  EXPECT_EQ(car.TurnAngle(), 0.0f) << "the navigator never touches Rotation";
}

TEST(NavigatorTest, TurningBackByTheRunningAngleRestoresTheHeading) {
  TGLBaseSceneObject car;
  TGLNavigator nav;
  nav.SetMovingObject(&car);
  nav.TurnHorizontal(7);
  const TVector4f before = car.Direction().AsVector();
  const float angleBefore = nav.CurrentHAngle();
  for (int i = 0; i < 3; ++i) nav.TurnHorizontal(10);
  nav.TurnHorizontal(nav.CurrentHAngle() - angleBefore);
  EXPECT_NEAR(car.Direction().X(), before.X, 1e-5);
  EXPECT_NEAR(car.Direction().Z(), before.Z, 1e-5);
  EXPECT_NEAR(nav.CurrentHAngle(), angleBefore, 1e-4);

  TGLBaseSceneObject fresh;
  nav.SetMovingObject(&fresh);
  const float start = nav.CurrentHAngle();
  for (int i = 0; i < 3; ++i) nav.TurnHorizontal(10);
  nav.TurnHorizontal(nav.CurrentHAngle());
  EXPECT_EQ(nav.CurrentHAngle(), 0.0f);
  (void)start;
}

TEST(NavigatorTest, VirtualUpTurnsBothVectorsAboutTheGivenAxis) {
  TGLBaseSceneObject obj;
  TGLNavigator nav;
  EXPECT_EQ(nav.VirtualUp().AsVector(), ZHmgVector);
  nav.SetVirtualUp({0, 1, 0, 0});
  nav.SetUseVirtualUp(true);
  nav.SetMovingObject(&obj);
  nav.TurnHorizontal(90);
  // The axis-angle matrix turns clockwise seen from the axis tip: +Z goes to -X.
  EXPECT_NEAR(obj.Direction().X(), -1, 1e-6);
  EXPECT_NEAR(obj.Direction().Z(), 0, 1e-6);
  EXPECT_NEAR(obj.Up().Y(), 1, 1e-6);
}

TEST(NavigatorTest, AngleChangesWithoutAVisibleTurnOrWithoutAnObject) {
  TGLNavigator nav;
  nav.TurnHorizontal(10);  // no moving object: only the bookkeeping
  EXPECT_EQ(nav.CurrentHAngle(), 350.0f);
}

TEST(NavigatorTest, LinkIsClearedWhenTheObjectDies) {
  TGLNavigator nav;
  {
    auto car = std::make_unique<TGLBaseSceneObject>();
    nav.SetMovingObject(car.get());
    EXPECT_EQ(nav.MovingObject(), car.get());
  }
  EXPECT_EQ(nav.MovingObject(), nullptr);
  // And a navigator that dies first leaves no dangling entry in the object.
  auto car = std::make_unique<TGLBaseSceneObject>();
  {
    TGLNavigator shortLived;
    shortLived.SetMovingObject(car.get());
  }
  car.reset();
}

// The typical frame: holding the right arrow at 60 km/h over a 0.02 s tick turns the car by
// 0.6 degrees and moves it by -60 * 0.02 * 0.07 = -0.084 along its direction.
//   a = 0.6 deg = 0.010471976 rad; Direction := (0,0,1) cos a + Right sin a, Right =
//   Direction x Up = (0,0,1) x (0,1,0) = (-1,0,0) -> Direction = (-sin a, 0, cos a)
//   = (-0.0104717845, 0, 0.9999452).
//   Move(-0.084): Position = -0.084 * Direction = (0.00087963, 0, -0.08399540).
TEST(NavigatorTest, TypicalFrameTurnsAndMovesTheCar) {
  TGLBaseSceneObject car;
  TGLNavigator nav;
  nav.SetMovingObject(&car);
  nav.TurnHorizontal(0.6f);
  car.Move(-0.084f);
  EXPECT_NEAR(car.Direction().X(), -0.0104717845, 1e-7);
  EXPECT_NEAR(car.Direction().Z(), 0.9999452, 1e-7);
  EXPECT_NEAR(car.Position().X(), 0.00087963, 1e-8);
  EXPECT_NEAR(car.Position().Z(), -0.0839954, 1e-7);
  EXPECT_EQ(car.Position().Y(), 0.0f);
  EXPECT_EQ(car.Position().W(), 1.0f);
  EXPECT_FLOAT_EQ(nav.CurrentHAngle(), 359.4f);
  // The local matrix follows lazily: row Z is the direction, row W the position.
  EXPECT_EQ(car.Matrix().Z, car.Direction().AsVector());
  EXPECT_EQ(car.Matrix().W, car.Position().AsVector());
}

}  // namespace
}  // namespace ukh
