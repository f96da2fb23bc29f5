// The generator's own elementary functions agree with the C library's to near the last bit.
#include "tools/assetgen/DetMath.h"

#include <gtest/gtest.h>

#include <cmath>

namespace ukh::assetgen {
namespace {

TEST(DetMathTest, SinAndCosMatchTheLibraryOverManyTurns) {
  // Quadrant boundaries, small and large arguments, both signs.
  for (double x : {0.0, 1e-9, 0.5, kPi / 2, kPi, 3 * kPi / 2, 2 * kPi, 2.5, -2.5, 10.0, -100.0,
                   1234.567, 98765.4321, -54321.0}) {
    EXPECT_NEAR(DetSin(x), std::sin(x), 1e-12) << x;
    EXPECT_NEAR(DetCos(x), std::cos(x), 1e-12) << x;
  }
  for (int i = -2000; i <= 2000; ++i) {
    const double x = i * 0.0137;
    ASSERT_NEAR(DetSin(x), std::sin(x), 1e-13) << x;
  }
}

TEST(DetMathTest, ExpMatchesTheLibraryAndSaturates) {
  for (double x : {-50.0, -10.0, -1.0, -1e-6, 0.0, 1e-6, 0.3465, 1.0, 7.5, 60.0})
    EXPECT_NEAR(DetExp(x) / std::exp(x), 1.0, 1e-14) << x;
  EXPECT_EQ(DetExp(-800), 0.0);
  EXPECT_TRUE(std::isfinite(DetExp(800)));
  EXPECT_NEAR(DetExp2(1.0), 2.0, 1e-15);
  EXPECT_NEAR(DetExp2(-12.0 / 12), 0.5, 1e-15);
}

TEST(DetMathTest, Atan2CoversAllQuadrantsAndAxes) {
  for (double y : {-3.0, -1.0, -0.2, 0.0, 0.2, 1.0, 3.0})
    for (double x : {-3.0, -1.0, -0.2, 0.0, 0.2, 1.0, 3.0})
      EXPECT_NEAR(DetAtan2(y, x), std::atan2(y, x), 1e-13) << y << "," << x;
}

TEST(DetMathTest, RoundsHalvesAwayFromZero) {
  EXPECT_EQ(DetRound(2.5), 3.0);
  EXPECT_EQ(DetRound(-2.5), -3.0);
  EXPECT_EQ(DetRound(2.4999), 2.0);
  EXPECT_EQ(DetRound(-0.4), 0.0);
}

}  // namespace
}  // namespace ukh::assetgen
