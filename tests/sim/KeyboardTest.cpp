// KeyHeld on the headless platform's scripted key state.
#include <gtest/gtest.h>

#include "engine/sim/GLKeyboard.h"
#include "platform/HeadlessPlatform.h"

namespace ukh {
namespace {

using namespace platform;

TEST(KeyHeld, TrueExactlyWhileTheKeyIsDown) {
  THeadlessPlatform p;
  TCurrentPlatform current(p);
  EXPECT_FALSE(KeyHeld(VK_UP));
  p.Keyboard().SetKeyDown(VK_UP, true);
  EXPECT_TRUE(KeyHeld(VK_UP));  // the first query also carries the "pressed since" bit
  EXPECT_TRUE(KeyHeld(VK_UP));
  p.Keyboard().SetKeyDown(VK_UP, false);
  EXPECT_FALSE(KeyHeld(VK_UP));
}

TEST(KeyHeld, APressBetweenTwoPollsIsNotLatched) {
  THeadlessPlatform p;
  p.Keyboard().TapKey(VK_LEFT);  // down and up again since the last query
  EXPECT_FALSE(KeyHeld(p.Keyboard(), VK_LEFT));
}

TEST(KeyHeld, TwoArrowsAtOnce) {
  THeadlessPlatform p;
  p.Keyboard().SetKeyDown(VK_UP, true);
  p.Keyboard().SetKeyDown(VK_RIGHT, true);
  EXPECT_TRUE(KeyHeld(p.Keyboard(), VK_UP));
  EXPECT_TRUE(KeyHeld(p.Keyboard(), VK_RIGHT));
  EXPECT_FALSE(KeyHeld(p.Keyboard(), VK_DOWN));
  EXPECT_FALSE(KeyHeld(p.Keyboard(), VK_LEFT));
}

}  // namespace
}  // namespace ukh
