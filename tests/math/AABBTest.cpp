// Axis-aligned boxes: union, scale, transform and the half-extents test.
#include "engine/math/AABB.h"

#include <gtest/gtest.h>

namespace ukh {
namespace {

TEST(AABBTest, TransformByA45DegreeTurn) {
  const TAABB box{{-1, -1, -1}, {1, 1, 1}};
  const TAABB r = AABBTransform(box, AxisRotationMatrix({0, 1, 0}, cPI / 4));
  const float s2 = float(std::sqrt(2.0));
  EXPECT_NEAR(r.Max.X, s2, 1e-6);
  EXPECT_NEAR(r.Min.X, -s2, 1e-6);
  EXPECT_NEAR(r.Max.Z, s2, 1e-6);
  EXPECT_NEAR(r.Min.Z, -s2, 1e-6);
  EXPECT_EQ(r.Max.Y, 1.0f);
  EXPECT_EQ(r.Min.Y, -1.0f);
}

TEST(AABBTest, UnionScaleAndCorners) {
  TAABB a{{0, 0, 0}, {1, 1, 1}};
  AABBUnion(a, {{-1, 0.5f, 0}, {0.5f, 3, 1}});
  EXPECT_EQ(a, (TAABB{{-1, 0, 0}, {1, 3, 1}}));
  AABBScale(a, {2, 1, -1});
  EXPECT_EQ(a, (TAABB{{-2, 0, 0}, {2, 3, -1}}));
  const THmgBoundingBox bb = AABBToBB({{-1, -2, -3}, {1, 2, 3}});
  EXPECT_EQ(bb.BBox[0], (TVector4f{-1, -2, -3, 1}));
  EXPECT_EQ(bb.BBox[7], (TVector4f{1, 2, 3, 1}));
  EXPECT_EQ(BBToAABB(bb), (TAABB{{-1, -2, -3}, {1, 2, 3}}));
}

TEST(AABBTest, PointOnAFaceIsInside) {
  const TVector3f e{1, 2, 3};
  EXPECT_TRUE(PointInHalfExtents({1, 0, 0}, e));
  EXPECT_TRUE(PointInHalfExtents({-1, -2, 3}, e));
  EXPECT_FALSE(PointInHalfExtents({1.0001f, 0, 0}, e));
  EXPECT_FALSE(PointInHalfExtents({0, 0, std::nanf("")}, e));
}

}  // namespace
}  // namespace ukh
