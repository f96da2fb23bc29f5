// Angle wrapping and conversion constants, min/max ties and range tests.
#include "engine/math/Angles.h"

#include <gtest/gtest.h>

namespace ukh {
namespace {

TEST(AnglesTest, WrapDegreesBoundaries) {
  const struct {
    double in;
    float out;
  } cases[] = {{190, -170},  {360, 0},    {-540, -180}, {540, 180}, {180, 180},
               {-180, -180}, {181, -179}, {-181, 179},  {725, 5},   {0, 0}};
  for (const auto& c : cases) EXPECT_EQ(WrapDegrees(c.in), c.out) << c.in;
}

TEST(AnglesTest, WrapRadiansStaysWithinPi) {
  EXPECT_NEAR(WrapRadians(3 * cPI), cPI, 1e-6);
  EXPECT_NEAR(WrapRadians(-3.5 * cPI), 0.5 * cPI, 1e-5);
  EXPECT_EQ(WrapRadians(1.0), 1.0f);
}

TEST(AnglesTest, ConversionConstants) {
  EXPECT_EQ(cPIdiv180, float(cPI / 180));
  EXPECT_EQ(cInv360, float(1.0 / 360));
  EXPECT_EQ(DegToRad(180.0f), float(180.0 * double(cPIdiv180)));
  EXPECT_DOUBLE_EQ(DegToRadExt(180), cPI);
  EXPECT_DOUBLE_EQ(RadToDeg(cPI), 180.0);
}

TEST(AnglesTest, MinMaxTiesAndBetween) {
  EXPECT_EQ(MinFloat(1, 2), 1.0f);
  EXPECT_EQ(MaxFloat(1, 2), 2.0f);
  // On ties a is returned: distinguishable for signed zeros.
  EXPECT_TRUE(std::signbit(MinFloat(-0.0f, 0.0f)));
  EXPECT_FALSE(std::signbit(MaxFloat(0.0f, -0.0f)));
  EXPECT_TRUE(IsBetween(1, 1, 2));
  EXPECT_TRUE(IsBetween(2, 2, 1));
  EXPECT_TRUE(IsBetween(1.5f, 2, 1));
  EXPECT_FALSE(IsBetween(2.5f, 2, 1));
}

}  // namespace
}  // namespace ukh
