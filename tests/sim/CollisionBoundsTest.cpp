// Pair tests by bounding mode: inclusive bounds, scale through the matrices, corners inside,
// edges crossing with no corner inside, and not-a-number sizes and positions.
#include "engine/sim/GLCollisionIntersect.h"

#include <gtest/gtest.h>

#include <limits>

#include "engine/scene/GLBaseSceneObject.h"

namespace ukh {
namespace {

using M = TCollisionBoundingMode;
constexpr float cNaN = std::numeric_limits<float>::quiet_NaN();

class TTestBox : public TGLBaseSceneObject {
 public:
  using TGLBaseSceneObject::TGLBaseSceneObject;
  TVector4f HalfExtents{0.5f, 0.5f, 0.5f, 0};
  TVector4f AxisAlignedDimensionsUnscaled() override { return HalfExtents; }
};

struct TPlacement {
  TVector3f Position;
  TVector3f HalfExtents{0.5f, 0.5f, 0.5f};
  float TurnAngle = 0;
  TVector3f Scale{1, 1, 1};
};

void Place(TTestBox& o, const TPlacement& p) {
  o.Position().SetPoint(p.Position);
  o.HalfExtents = VectorMake(p.HalfExtents, 0);
  o.Scale().SetVector(p.Scale);
  o.SetTurnAngle(p.TurnAngle);
}

TEST(CollisionBoundsTest, PairTestsByMode) {
  const struct {
    const char* name;
    M mode1, mode2;
    TPlacement a, b;
    bool contact;
  } cases[] = {
      // point against point: within 1e-6 squared, or not a number
      {"same point", M::cbmPoint, M::cbmPoint, {{1, 2, 3}}, {{1, 2, 3}}, true},
      {"points 0.01 apart", M::cbmPoint, M::cbmPoint, {{0, 0, 0}}, {{0.01f, 0, 0}}, false},
      {"point at NaN", M::cbmPoint, M::cbmPoint, {{cNaN, 0, 0}}, {{0, 0, 0}}, true},
      // point against box, both orders
      {"point on a face", M::cbmPoint, M::cbmCube, {{0.5f, 0, 0}}, {{0, 0, 0}}, true},
      {"point just outside", M::cbmPoint, M::cbmCube, {{0.5001f, 0, 0}}, {{0, 0, 0}}, false},
      {"box first, point on its corner",
       M::cbmCube,
       M::cbmPoint,
       {{0, 0, 0}},
       {{0.5f, 0.5f, -0.5f}},
       true},
      {"box scaled 2 holds the point",
       M::cbmPoint,
       M::cbmCube,
       {{0.9f, 0, 0}},
       {{0, 0, 0}, {0.5f, 0.5f, 0.5f}, 0, {2, 2, 2}},
       true},
      {"turned box, point past its unturned face",
       M::cbmPoint,
       M::cbmCube,
       {{0, 0, 0.6f}},
       {{0, 0, 0}, {0.5f, 0.5f, 0.5f}, 45},
       true},
      {"faces mode tests a point as a box",
       M::cbmPoint,
       M::cbmFaces,
       {{0.4f, 0, 0}},
       {{0, 0, 0}},
       true},
      // NaN in the first component makes the largest of |x|,|y|,|z| NaN: contact; NaN further
      // along loses against a component that is > 1
      {"NaN box size first",
       M::cbmPoint,
       M::cbmCube,
       {{5, 0, 0}},
       {{0, 0, 0}, {cNaN, 0.5f, 0.5f}},
       true},
      {"NaN box size later",
       M::cbmPoint,
       M::cbmCube,
       {{5, 0, 0}},
       {{0, 0, 0}, {0.5f, cNaN, 0.5f}},
       false},
      // box against box
      {"faces touching", M::cbmCube, M::cbmCube, {{0, 0, 0}}, {{1, 0, 0}}, true},
      {"a hair apart", M::cbmCube, M::cbmCube, {{0, 0, 0}}, {{1.0001f, 0, 0}}, false},
      {"corner inside", M::cbmCube, M::cbmCube, {{0, 0, 0}}, {{0.9f, 0.9f, 0.9f}}, true},
      {"small box inside a big one",
       M::cbmCube,
       M::cbmCube,
       {{0, 0, 0}, {5, 5, 5}},
       {{1, 1, 1}, {0.1f, 0.1f, 0.1f}},
       true},
      {"big box around a small one",
       M::cbmCube,
       M::cbmCube,
       {{1, 1, 1}, {0.1f, 0.1f, 0.1f}},
       {{0, 0, 0}, {5, 5, 5}},
       true},
      // a plus sign: long thin bars crossing, no corner of either inside the other
      {"edges crossing",
       M::cbmCube,
       M::cbmCube,
       {{0, 0, 0}, {3, 0.2f, 0.2f}},
       {{0, 0, 0}, {0.2f, 0.2f, 3}},
       true},
      {"bars crossing at 45 degrees",
       M::cbmCube,
       M::cbmCube,
       {{0, 0, 0}, {3, 0.2f, 0.2f}},
       {{0, 0, 0}, {3, 0.2f, 0.2f}, 45},
       true},
      {"bars passing above each other",
       M::cbmCube,
       M::cbmCube,
       {{0, 0, 0}, {3, 0.2f, 0.2f}},
       {{0, 0.5f, 0}, {0.2f, 0.2f, 3}},
       false},
      {"turned box corner pokes in",
       M::cbmCube,
       M::cbmCube,
       {{0, 0, 0}},
       {{1.2f, 0, 0}, {0.5f, 0.4f, 0.5f}, 45},
       true},
      {"turned box corner short",
       M::cbmCube,
       M::cbmCube,
       {{0, 0, 0}},
       {{1.25f, 0, 0}, {0.5f, 0.4f, 0.5f}, 45},
       false},
      {"box scaled 3 reaches",
       M::cbmCube,
       M::cbmCube,
       {{0, 0, 0}, {0.5f, 0.5f, 0.5f}, 0, {3, 1, 1}},
       {{1.9f, 0, 0}},
       true},
      {"NaN box size never contains or crosses",
       M::cbmCube,
       M::cbmCube,
       {{0, 0, 0}, {cNaN, 0.5f, 0.5f}},
       {{0, 0, 0}, {cNaN, 0.5f, 0.5f}},
       false},
      {"box against faces falls back on boxes",
       M::cbmCube,
       M::cbmFaces,
       {{0, 0, 0}},
       {{0.9f, 0, 0}},
       true},
      {"faces against faces apart", M::cbmFaces, M::cbmFaces, {{0, 0, 0}}, {{1.5f, 0, 0}}, false},
      // the modes the level does not use
      {"sphere holds point", M::cbmSphere, M::cbmPoint, {{0, 0, 0}}, {{0.8f, 0, 0}}, true},
      {"point beyond sphere radius", M::cbmPoint, M::cbmSphere, {{0.9f, 0, 0}}, {{0, 0, 0}}, false},
      {"spheres touch", M::cbmSphere, M::cbmSphere, {{0, 0, 0}}, {{1.7f, 0, 0}}, true},
      {"spheres apart", M::cbmSphere, M::cbmSphere, {{0, 0, 0}}, {{1.8f, 0, 0}}, false},
      {"point in ellipsoid",
       M::cbmPoint,
       M::cbmEllipsoid,
       {{1.9f, 0, 0}},
       {{0, 0, 0}, {2, 0.5f, 0.5f}},
       true},
      {"ellipsoid first, point outside",
       M::cbmEllipsoid,
       M::cbmPoint,
       {{0, 0, 0}, {2, 0.5f, 0.5f}},
       {{0, 0.6f, 0}},
       false},
      {"ellipsoids overlap", M::cbmEllipsoid, M::cbmEllipsoid, {{0, 0, 0}}, {{0.4f, 0, 0}}, true},
      {"ellipsoids apart", M::cbmEllipsoid, M::cbmEllipsoid, {{0, 0, 0}}, {{0.6f, 0, 0}}, false},
      {"sphere at a box corner", M::cbmSphere, M::cbmCube, {{1, 1, 0}}, {{0, 0, 0}}, true},
      {"sphere off a box face", M::cbmCube, M::cbmSphere, {{0, 0, 0}}, {{1.4f, 0, 0}}, false},
      {"ellipsoid near a box", M::cbmEllipsoid, M::cbmCube, {{1.2f, 0, 0}}, {{0, 0, 0}}, true},
  };
  for (const auto& c : cases) {
    TTestBox a, b;
    Place(a, c.a);
    Place(b, c.b);
    EXPECT_EQ(CheckCollisionPair(c.mode1, c.mode2, a, b), c.contact) << c.name;
  }
}

TEST(CollisionBoundsTest, OneSidedTestFindsCornersThenEdges) {
  const TAABB unit{{-1, -1, -1}, {1, 1, 1}};
  // Moved by 0.5 the box spans 0.5 to 1.5: only its first corner is inside.
  EXPECT_TRUE(OneSidedBoxTest({{0, 0, 0}, {1, 1, 1}}, TranslationMatrix({0.5f, 0.5f, 0.5f}), unit));
  // A long bar through the box: no corner inside, an edge crosses.
  EXPECT_TRUE(OneSidedBoxTest({{-5, -0.1f, -0.1f}, {5, 0.1f, 0.1f}}, IdentityHmgMatrix, unit));
  // The bar clear of the box.
  EXPECT_FALSE(OneSidedBoxTest({{-5, -0.1f, -0.1f}, {5, 0.1f, 0.1f}},
                               TranslationMatrix({0, 1.5f, 0}), unit));
  // A bar lying on the top face, corners far outside: its crossing point sits exactly on the
  // face's edge range, which counts (bounds included).
  EXPECT_TRUE(OneSidedBoxTest({{-5, 1, -0.1f}, {5, 1.2f, 0.1f}}, IdentityHmgMatrix, unit));
  EXPECT_FALSE(OneSidedBoxTest({{-5, 1.001f, -0.1f}, {5, 1.2f, 0.1f}}, IdentityHmgMatrix, unit));
  // Negative half-extents: the face range is taken between the two bounds either way round,
  // so the crossing bar is still found while no corner can be "inside".
  const TAABB inverted{{1, 1, 1}, {-1, -1, -1}};
  EXPECT_TRUE(OneSidedBoxTest({{-5, -0.1f, -0.1f}, {5, 0.1f, 0.1f}}, IdentityHmgMatrix, inverted));
  EXPECT_FALSE(
      OneSidedBoxTest({{-0.1f, -0.1f, -0.1f}, {0.1f, 0.1f, 0.1f}}, IdentityHmgMatrix, inverted));
}

}  // namespace
}  // namespace ukh
