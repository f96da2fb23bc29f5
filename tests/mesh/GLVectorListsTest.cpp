// The mesh model's typed lists: growth by the delta, revisions, zero-filling and the vector
// operations.
#include "engine/mesh/GLVectorLists.h"

#include <gtest/gtest.h>

#include <limits>

namespace ukh {
namespace {

TEST(GLVectorLists, AppendGrowsTheCapacityByTheDeltaAndCountsRevisions) {
  TGLAffineVectorList l;
  EXPECT_EQ(l.Capacity(), 0);
  EXPECT_EQ(l.GrowthDelta(), 16);
  EXPECT_EQ(l.ItemSize(), 12);
  EXPECT_EQ(l.Revision(), 0u);
  std::vector<int> capacities;
  for (int i = 0; i < 33; ++i) {
    const uint32_t before = l.Revision();
    EXPECT_EQ(l.Add(float(i), 0, 0), i);
    EXPECT_GT(l.Revision(), before);
    capacities.push_back(l.Capacity());
  }
  EXPECT_EQ(capacities[0], 16);
  EXPECT_EQ(capacities[15], 16);
  EXPECT_EQ(capacities[16], 32);
  EXPECT_EQ(capacities[32], 48);
  EXPECT_EQ(l.Count(), 33);
  EXPECT_EQ(l[32].X, 32.0f);

  const uint32_t r = l.Revision();
  EXPECT_EQ(l.Get(5).X, 5.0f);
  EXPECT_EQ(l.Revision(), r);  // reading changes nothing
  l.Set(5, {7, 7, 7});
  EXPECT_EQ(l.Revision(), r + 1);
  EXPECT_THROW(l.Get(33), EAssertionFailed);
  EXPECT_THROW(l.Set(-1, {}), EAssertionFailed);

  l.Clear();
  EXPECT_EQ(l.Count(), 0);
  EXPECT_EQ(l.Capacity(), 0);
  EXPECT_GT(l.Revision(), r + 1);
}

TEST(GLVectorLists, RaisingTheCountZeroFillsOnlyWithTheOption) {
  for (bool reset : {true, false}) {
    TGLIntegerList l;
    EXPECT_TRUE(l.HasOption(TGLBaseListOption::bloSetCountResetsMemory));
    l.SetOption(TGLBaseListOption::bloSetCountResetsMemory, reset);
    l.Add(11, 22, 33);
    l.SetCount(1);
    EXPECT_EQ(l.Capacity(), 16);
    l.SetCount(3);
    EXPECT_EQ(l[1], reset ? 0 : 22) << reset;
    EXPECT_EQ(l[2], reset ? 0 : 33) << reset;
  }
  TGLTexPointList t;
  t.Add({1, 2});
  t.AddNulls(3);
  ASSERT_EQ(t.Count(), 4);
  EXPECT_EQ(t[3], (TTexPoint{0, 0}));
  EXPECT_EQ(t[0], (TTexPoint{1, 2}));
}

TEST(GLVectorLists, AddingAnItemOfTheSameListWhileItGrows) {
  TGLAffineVectorList l;
  for (int i = 0; i < 16; ++i) l.Add(float(i), 1, 2);
  ASSERT_EQ(l.Count(), l.Capacity());
  l.Add(l[3]);  // the storage moves while the item is copied
  EXPECT_EQ(l[16], (TVector3f{3, 1, 2}));
}

TEST(GLVectorLists, AffineOperations) {
  TGLAffineVectorList l;
  l.Add(TTexPoint{0.25f, 0.5f});
  l.Add(TVector2f{3, 4});
  EXPECT_EQ(l[0], (TVector3f{0.25f, 0.5f, 0}));
  l.Add(0, 0, 0);
  l.Translate({1, -1, 2});
  EXPECT_EQ(l[1], (TVector3f{4, 3, 2}));
  l.Scale({2, 0.5f, -1});
  EXPECT_EQ(l[1], (TVector3f{8, 1.5f, -2}));
  EXPECT_EQ(l[2], (TVector3f{2, -0.5f, -2}));

  TVector3f lo, hi;
  l.GetExtents(lo, hi);
  EXPECT_EQ(lo, (TVector3f{2, -0.5f, -2}));
  EXPECT_EQ(hi, (TVector3f{8, 1.5f, -2}));

  TGLAffineVectorList n;
  n.Add(3, 4, 0);
  n.Add(0, 0, 0);
  n.Add(0, 0, -2);
  const uint32_t r = n.Revision();
  n.Normalize();
  EXPECT_GT(n.Revision(), r);
  EXPECT_FLOAT_EQ(n[0].X, 0.6f);  // tolerance: the scale factor is rounded to single first
  EXPECT_FLOAT_EQ(n[0].Y, 0.8f);
  EXPECT_EQ(n[1], (TVector3f{0, 0, 0}));
  EXPECT_EQ(n[2], (TVector3f{0, 0, -1}));

  TGLAffineVectorList empty;
  empty.GetExtents(lo, hi);
  const float inf = std::numeric_limits<float>::infinity();
  EXPECT_EQ(lo, (TVector3f{inf, inf, inf}));
  EXPECT_EQ(hi, (TVector3f{-inf, -inf, -inf}));
}

}  // namespace
}  // namespace ukh
