// The generator's own random numbers and noise: the published SplitMix64 sequence, ranges,
// and noise that is smooth and tiles when asked to.
#include "tools/assetgen/Random.h"

#include <gtest/gtest.h>

#include <cmath>

namespace ukh::assetgen {
namespace {

TEST(RandomTest, FollowsTheReferenceSplitMix64Sequence) {
  // The first outputs of SplitMix64 seeded with 0, as published with the algorithm.
  TRandom r(0);
  EXPECT_EQ(r.Next(), 0xE220A8397B1DCDAFull);
  EXPECT_EQ(r.Next(), 0x6E789E6AA1B965F4ull);
  EXPECT_EQ(r.Next(), 0x06C45D188009454Full);
}

TEST(RandomTest, UniformAndBelowStayInRange) {
  TRandom r(42);
  double sum = 0;
  int counts[5] = {};
  for (int i = 0; i < 20000; ++i) {
    const double u = r.Uniform();
    ASSERT_GE(u, 0.0);
    ASSERT_LT(u, 1.0);
    sum += u;
    const int b = r.Below(5);
    ASSERT_GE(b, 0);
    ASSERT_LT(b, 5);
    ++counts[b];
    const double v = r.Uniform(-2, 3);
    ASSERT_GE(v, -2.0);
    ASSERT_LT(v, 3.0);
  }
  EXPECT_NEAR(sum / 20000, 0.5, 0.01);
  for (int c : counts) EXPECT_NEAR(c, 4000, 300);
}

TEST(RandomTest, NoiseIsContinuousBoundedAndTiles) {
  double prev = ValueNoise(0, 0.37, 9);
  for (int i = 1; i <= 4000; ++i) {
    const double x = i * 0.001;
    const double v = ValueNoise(x, 0.37, 9);
    ASSERT_GE(v, 0.0);
    ASSERT_LT(v, 1.0);
    ASSERT_LT(std::fabs(v - prev), 0.01) << x;  // no jumps at lattice lines
    prev = v;
  }
  for (double x : {0.25, 3.5, -1.75})
    for (double y : {0.125, 2.875}) {  // dyadic, so the shifts are exact
      EXPECT_EQ(ValueNoise(x + 8, y, 5, 8), ValueNoise(x, y, 5, 8));
      EXPECT_EQ(ValueNoise(x, y - 16, 5, 8), ValueNoise(x, y, 5, 8));
      EXPECT_EQ(FractalNoise(x + 4, y, 5, 3, 4), FractalNoise(x, y, 5, 3, 4));
    }
  // Different seeds give different fields.
  EXPECT_NE(ValueNoise(1.5, 2.5, 1), ValueNoise(1.5, 2.5, 2));
}

}  // namespace
}  // namespace ukh::assetgen
