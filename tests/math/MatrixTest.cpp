// Matrix construction, products, inversion and the view matrices.
#include "engine/math/Matrix.h"

#include <gtest/gtest.h>

#include <limits>

namespace ukh {
namespace {

void ExpectNear(const TMatrix4f& a, const TMatrix4f& b, float tol) {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      EXPECT_NEAR(a[i][j], b[i][j], tol) << "at [" << i << "][" << j << "]";
}

TEST(MatrixTest, TransformVectorKeepsOrDropsTranslationByW) {
  const TMatrix4f t = TranslationMatrix({10, 0, 0});
  EXPECT_EQ(TransformVector({1, 2, 3, 1}, t), (TVector4f{11, 2, 3, 1}));
  EXPECT_EQ(TransformVector({1, 2, 3, 0}, t), (TVector4f{1, 2, 3, 0}));
  EXPECT_EQ(TransformPoint({1, 2, 3}, t), (TVector3f{11, 2, 3}));
}

TEST(MatrixTest, ProductAppliesTheLeftMatrixFirst) {
  const TMatrix4f s = ScalingMatrix({2, 2, 2});
  const TMatrix4f t = TranslationMatrix({1, 0, 0});
  EXPECT_EQ(TransformPoint({1, 0, 0}, MultiplyMatrices(s, t)), (TVector3f{3, 0, 0}));
  EXPECT_EQ(TransformPoint({1, 0, 0}, MultiplyMatrices(t, s)), (TVector3f{4, 0, 0}));
  EXPECT_EQ(ScaleTranslationMatrix({2, 3, 4}, {5, 6, 7}),
            MultiplyMatrices(ScalingMatrix({2, 3, 4}), TranslationMatrix({5, 6, 7})));
}

TEST(MatrixTest, AxisRotationTurnsClockwiseSeenFromTheAxisTip) {
  const TMatrix4f m = AxisRotationMatrix({0, 1, 0}, cPI / 2);
  const TVector4f r = TransformVector({0, 0, 1, 0}, m);
  EXPECT_NEAR(r.X, -1, 1e-7);
  EXPECT_NEAR(r.Y, 0, 1e-7);
  EXPECT_NEAR(r.Z, 0, 1e-7);
  // A zero axis leaves cos(theta) on the diagonal.
  const TMatrix4f z = AxisRotationMatrix({0, 0, 0}, 1.0);
  EXPECT_EQ(z.X.X, float(std::cos(1.0)));
  EXPECT_EQ(z.X.Y, 0.0f);
  EXPECT_EQ(z.W, (TVector4f{0, 0, 0, 1}));
}

TEST(MatrixTest, DeterminantAndGeneralInverse) {
  TMatrix4f m = ScaleTranslationMatrix({2, 4, 8}, {1, 2, 3});
  EXPECT_EQ(MatrixDeterminant(m), 64.0f);
  TMatrix4f inv = m;
  InvertMatrix(inv);
  ExpectNear(MultiplyMatrices(m, inv), IdentityHmgMatrix, 1e-6f);
  EXPECT_EQ(inv.X.X, 0.5f);
  EXPECT_EQ(inv.W.X, -0.5f);
}

TEST(MatrixTest, SingularAndNaNMatricesInvertToIdentity) {
  TMatrix4f cases[3] = {};
  cases[1] = ScalingMatrix({1, 1, 0});
  cases[2] = IdentityHmgMatrix;
  cases[2].X.X = std::numeric_limits<float>::quiet_NaN();
  for (TMatrix4f m : cases) {
    InvertMatrix(m);
    EXPECT_EQ(m, IdentityHmgMatrix);
  }
  // A tiny but regular determinant (1e-30) is inverted, not treated as singular.
  TMatrix4f tiny = ScalingMatrix({1e-10f, 1e-10f, 1e-10f});
  InvertMatrix(tiny);
  EXPECT_NEAR(tiny.X.X, 1e10f, 1e4f);
}

TEST(MatrixTest, RigidInverse) {
  TMatrix4f m = ScalingMatrix({2, 2, 2});
  m.W = {4, 0, 0, 1};
  TMatrix4f expected = ScalingMatrix({0.5f, 0.5f, 0.5f});
  expected.W = {-2, 0, 0, 1};
  EXPECT_EQ(InvertRigidMatrix(m), expected);
  EXPECT_EQ(InvertRigidMatrix(TMatrix4f{}), IdentityHmgMatrix);
  // Rotation plus translation: the rigid and general inverses agree.
  TMatrix4f r = AxisRotationMatrix({1, 2, 3}, 0.7);
  r.W = {1, -2, 5, 1};
  TMatrix4f g = r;
  InvertMatrix(g);
  ExpectNear(InvertRigidMatrix(r), g, 1e-6f);
}

TEST(MatrixTest, AdjointAndTranspose) {
  TMatrix4f m{{1, 2, 0, 0}, {3, 4, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
  AdjointMatrix(m);
  // adj of [[1,2],[3,4]] block is [[4,-2],[-3,1]]
  EXPECT_EQ(m.X, (TVector4f{4, -2, 0, 0}));
  EXPECT_EQ(m.Y, (TVector4f{-3, 1, 0, 0}));
  EXPECT_EQ(m.Z, (TVector4f{0, 0, -2, 0}));
  TransposeInPlace(m);
  EXPECT_EQ(m.X, (TVector4f{4, -3, 0, 0}));
}

TEST(MatrixTest, NormalizeMatrixRebuildsAnOrthonormalFrame) {
  TMatrix4f m{{2, 0, 0, 5}, {0, 3, 0, 5}, {9, 9, 9, 9}, {1, 2, 3, 4}};
  NormalizeMatrix(m);
  EXPECT_EQ(m, IdentityHmgMatrix);
}

TEST(MatrixTest, LookAtMapsTheTargetOntoTheNegativeZAxis) {
  const TVector4f eye{0, 15, 4, 1}, center{0, 0, 0, 1}, up{0, 1, 0, 0};
  const TMatrix4f v = LookAtMatrix(eye, center, up);
  const TVector4f c = TransformVector(center, v);
  EXPECT_NEAR(c.X, 0, 1e-6);
  EXPECT_NEAR(c.Y, 0, 1e-6);
  EXPECT_NEAR(c.Z, -std::sqrt(15.0 * 15 + 4 * 4), 1e-5);
  const TVector4f e = TransformVector(eye, v);
  EXPECT_NEAR(e.X, 0, 1e-6);
  EXPECT_NEAR(e.Y, 0, 1e-6);
  EXPECT_NEAR(e.Z, 0, 1e-5);
  EXPECT_EQ(v.X.W, 0.0f);
  EXPECT_EQ(v.W.W, 1.0f);
}

TEST(MatrixTest, FrustumAndOrtho) {
  const TMatrix4f f = FrustumMatrix(-1, 1, -1, 1, 1, 3);
  EXPECT_EQ(f.X, (TVector4f{1, 0, 0, 0}));
  EXPECT_EQ(f.Z, (TVector4f{0, 0, -2, -1}));
  EXPECT_EQ(f.W, (TVector4f{0, 0, -3, 0}));
  const TMatrix4f o = OrthoMatrix(0, 2, 0, 4, -1, 1);
  EXPECT_EQ(o.X.X, 1.0f);
  EXPECT_EQ(o.Y.Y, 0.5f);
  EXPECT_EQ(o.W, (TVector4f{-1, -1, 0, 1}));
}

}  // namespace
}  // namespace ukh
