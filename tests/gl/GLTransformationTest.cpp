// The transformation stack: its fixed depth, what a pop loads into GL, and the derived
// matrices and frustum planes.
#include <gtest/gtest.h>

#include "engine/gl/GLTransformation.h"
#include "tests/gl/GLTestContext.h"

namespace ukh::test {
namespace {

TMatrix4f GetGLMatrix(GLenum which) {
  TMatrix4f m;
  glGetFloatv(which, m.data());
  return m;
}

TEST(TransformationStack, HoldsOneHundredAndTwentySevenNestedPushes) {
  TGLTransformation t;
  t.SetLoadMatricesEnabled(false);
  int pushes = 0;
  t.FOnPush = [&] { ++pushes; };
  for (int i = 1; i <= 127; ++i) {
    t.SetModelMatrix(TranslationMatrix({float(i), 0, 0}));
    t.Push();
  }
  EXPECT_EQ(t.StackPos(), 127);
  EXPECT_EQ(pushes, 127);
  // The 128 records are all in use: the next push fails and changes nothing.
  EXPECT_THROW(t.Push(), ETransformationStackOverflow);
  EXPECT_THROW(t.Push(), ETransformationStackOverflow);
  EXPECT_EQ(t.StackPos(), 127);
  EXPECT_EQ(pushes, 127);
  EXPECT_EQ(t.ModelMatrix().W.X, 127.0f);
  for (int i = 127; i >= 1; --i) {
    t.Pop();
    EXPECT_EQ(t.ModelMatrix().W.X, float(i)) << i;
  }
  EXPECT_EQ(t.StackPos(), 0);
  EXPECT_THROW(t.Pop(), Exception);
}

TEST(TransformationStack, DerivedMatricesFollowTheirInputs) {
  TGLTransformation t;
  t.SetLoadMatricesEnabled(false);
  const TMatrix4f model = TranslationMatrix({1, 2, 3});
  const TMatrix4f view = ScalingMatrix({2, 2, 2});
  t.SetModelMatrix(model);
  t.SetViewMatrix(view);
  // Row vectors: model first, then view. (1,2,3) scaled by 2.
  EXPECT_EQ(t.ModelViewMatrix().W, (TVector4f{2, 4, 6, 1}));
  EXPECT_EQ(t.InvModelMatrix().W, (TVector4f{-1, -2, -3, 1}));
  EXPECT_EQ(t.InvModelViewMatrix().X.X, 0.5f);
  t.SetViewMatrix(IdentityHmgMatrix);
  EXPECT_EQ(t.ModelViewMatrix().W, (TVector4f{1, 2, 3, 1}));
  // A scale of 4 along X: normals scale by the inverse transpose, 1/4.
  t.SetModelMatrix(ScalingMatrix({4, 1, 1}));
  EXPECT_EQ(t.NormalModelMatrix().X.X, 0.25f);
  EXPECT_EQ(t.NormalModelMatrix().Y.Y, 1.0f);
}

TEST(TransformationStack, FrustumOfAnOrthographicVolume) {
  TGLTransformation t;
  t.SetLoadMatricesEnabled(false);
  // x in [-2, 2], y in [-1, 1], z from -1 (near) to -5 (far), looking down -Z.
  t.SetProjectionMatrix(OrthoMatrix(-2, 2, -1, 1, 1, 5));
  const TFrustum& f = t.Frustum();
  // Each plane, normalised, gives the signed distance inside the volume.
  EXPECT_EQ(f.pLeft, (TVector4f{1, 0, 0, 2}));
  EXPECT_EQ(f.pRight, (TVector4f{-1, 0, 0, 2}));
  EXPECT_EQ(f.pTop, (TVector4f{0, -1, 0, 1}));
  EXPECT_EQ(f.pBottom, (TVector4f{0, 1, 0, 1}));
  EXPECT_EQ(f.pNear, (TVector4f{0, 0, -1, -1}));
  EXPECT_EQ(f.pFar, (TVector4f{0, 0, 1, 5}));
  // A view matrix moving the world 10 units along X shifts the planes with it.
  t.SetViewMatrix(TranslationMatrix({10, 0, 0}));
  EXPECT_EQ(t.Frustum().pLeft, (TVector4f{1, 0, 0, 12}));
}

using TransformationInGL = GLTestContext;

TEST_F(TransformationInGL, SettersAndPopLoadGLMatrices) {
  TGLTransformation& t = Transformation();
  t.IdentityAll();
  t.SetProjectionMatrix(OrthoMatrix(-2, 2, -1, 1, 1, 5));
  t.SetViewMatrix(TranslationMatrix({0, 0, -3}));
  t.Push();
  t.SetModelMatrix(TranslationMatrix({5, 0, 0}));
  EXPECT_EQ(GetGLMatrix(GL_MODELVIEW_MATRIX).W, (TVector4f{5, 0, -3, 1}));
  t.Push();
  t.SetProjectionMatrix(IdentityHmgMatrix);
  t.Pop();
  EXPECT_EQ(GetGLMatrix(GL_PROJECTION_MATRIX), OrthoMatrix(-2, 2, -1, 1, 1, 5));
  t.Pop();
  EXPECT_EQ(GetGLMatrix(GL_MODELVIEW_MATRIX).W, (TVector4f{0, 0, -3, 1}));
  GLint mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_MODELVIEW);
}

TEST_F(TransformationInGL, LoadingDisabledLeavesGLAlone) {
  TGLTransformation& t = Transformation();
  t.SetLoadMatricesEnabled(false);
  t.SetModelMatrix(TranslationMatrix({1, 1, 1}));
  t.SetProjectionMatrix(OrthoMatrix(-1, 1, -1, 1, 1, 2));
  t.IdentityAll();
  EXPECT_EQ(gl::CallCount("glLoadMatrixf") + gl::CallCount("glLoadIdentity"), 0u);
  EXPECT_EQ(GetGLMatrix(GL_MODELVIEW_MATRIX), IdentityHmgMatrix);
}

}  // namespace
}  // namespace ukh::test
