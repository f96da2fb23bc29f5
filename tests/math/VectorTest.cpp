// Vector arithmetic, products and the normalisation rules.
#include "engine/math/Vector.h"

#include <gtest/gtest.h>

#include <limits>

namespace ukh {
namespace {

TEST(VectorTest, NormalisationOfZeroAndWRules) {
  struct Case {
    TVector4f in;
    TVector4f normalizeInPlace;
    TVector4f normalized;
  };
  const Case cases[] = {
      {{0, 0, 0, 5}, {0, 0, 0, 0}, {0, 0, 0, 0}},
      {{3, 0, 4, 7}, {0.6f, 0, 0.8f, 0}, {0.6f, 0, 0.8f, 0}},
      {{0, 2, 0, 1}, {0, 1, 0, 0}, {0, 1, 0, 0}},
  };
  for (const Case& c : cases) {
    TVector4f v = c.in;
    NormalizeVector(v);
    EXPECT_EQ(v, c.normalizeInPlace);
    EXPECT_EQ(Normalized(c.in), c.normalized);
  }
  TVector3f zero{0, 0, 0};
  NormalizeVector(zero);
  EXPECT_EQ(zero, (TVector3f{0, 0, 0}));
}

TEST(VectorTest, NormalisationScalesByTheFloatReciprocal) {
  // 1/sqrt(3) is rounded to float before the multiplication.
  TVector3f v{1, 1, 1};
  NormalizeVector(v);
  const float f = float(1.0 / std::sqrt(3.0));
  EXPECT_EQ(v.X, 1.0f * f);
  EXPECT_EQ(v.Z, f);
}

TEST(VectorTest, ProductsAndLengths) {
  const TVector4f a{1, 2, 3, 4}, ones{1, 1, 1, 1};
  EXPECT_EQ(DotProduct(a, ones), 10.0f);
  EXPECT_EQ(DotProduct(AffineVector(a), AffineVector(ones)), 6.0f);
  EXPECT_EQ(VectorLength(TVector4f{3, 4, 0, 100}), 5.0f);
  EXPECT_EQ(VectorNorm(TVector4f{3, 4, 0, 100}), 25.0f);
  EXPECT_EQ(CrossProduct(YHmgVector, ZHmgVector), XHmgVector);
  EXPECT_EQ(CrossProduct(ZHmgVector, YHmgVector), (TVector4f{-1, 0, 0, 0}));
  EXPECT_EQ(CrossProduct(TVector4f{0, 1, 0, 9}, TVector4f{0, 0, 1, 9}).W, 0.0f);
  EXPECT_EQ(VectorDistance(TVector3f{1, 1, 1}, TVector3f{4, 5, 1}), 5.0f);
  EXPECT_EQ(VectorDistance2(TVector4f{1, 1, 1, 0}, TVector4f{4, 5, 1, 7}), 25.0f);
  EXPECT_EQ(MaxAbsXYZ(TVector4f{-7, 2, 3, 100}), 7.0f);
  EXPECT_EQ(MaxXYZ(TVector3f{-7, 2, 3}), 3.0f);
  EXPECT_FLOAT_EQ(VectorAngleCosine(XVector, TVector3f{1, 1, 0}), float(1 / std::sqrt(2.0)));
}

TEST(VectorTest, SubtractionForms) {
  const TVector4f a{5, 6, 7, 1}, b{1, 2, 3, 1};
  EXPECT_EQ(SubtractVector(a, b), (TVector4f{4, 4, 4, 0}));
  EXPECT_EQ(SubtractVector(a, AffineVector(b)), (TVector4f{4, 4, 4, 1}));
  EXPECT_EQ(SubtractVectorHmg(AffineVector(a), AffineVector(b)), (TVector4f{4, 4, 4, 0}));
  EXPECT_EQ(SubtractVectorAffine(a, b), (TVector3f{4, 4, 4}));
}

TEST(VectorTest, CombineKeepsWForAThreeComponentOperand) {
  TVector4f v{1, 1, 1, 1};
  CombineVector(v, TVector3f{1, 2, 3}, 2);
  EXPECT_EQ(v, (TVector4f{3, 5, 7, 1}));
  CombineVector(v, TVector4f{0, 0, 0, 1}, -1);
  EXPECT_EQ(v.W, 0.0f);
}

TEST(VectorTest, CombineRoundsOnceFromExtendedPrecision) {
  // 1 + 2^-24 * (1 + 2^-23) is not representable; a float multiply-then-add would round twice.
  TVector3f v{1, 0, 0};
  const float f = std::ldexp(1.0f, -24);
  CombineVector(v, TVector3f{1 + std::ldexp(1.0f, -23), 0, 0}, f);
  EXPECT_EQ(v.X, 1 + std::ldexp(1.0f, -23));
}

}  // namespace
}  // namespace ukh
