// The camera: lens settings and their clamps, the projection it builds from the focal length
// and the buffer's size, the view towards its target, and the target link that dies with
// the target.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "engine/gl/GLTransformation.h"
#include "engine/scene/GLCamera.h"
#include "engine/scene/GLWorld.h"
#include "tests/gl/GLTestContext.h"

namespace ukh::test {
namespace {

TEST(CameraTest, FocalLengthAndFieldOfView) {
  TGLCamera camera;
  EXPECT_EQ(camera.FocalLength(), 50.0f);
  EXPECT_EQ(camera.DepthOfView(), 100.0f);
  EXPECT_EQ(camera.Direction().AsVector(), (TVector4f{0, 0, -1, 0}));
  EXPECT_NEAR(camera.GetFieldOfView(432), 153.93, 0.005);
  EXPECT_EQ(camera.GetFieldOfView(432), 153.9332885742188f);
  camera.SetFieldOfView(153.9332885742188f, 432);
  EXPECT_NEAR(camera.FocalLength(), 50.0f, 50 * 1e-6);
  camera.SetFieldOfView(90, 432);
  EXPECT_NEAR(camera.FocalLength(), 216.0f, 216 * 1e-6);

  struct {
    float given, stored;
  } const clamps[] = {{0, 1}, {-5, 1}, {35, 35}};
  for (const auto& c : clamps) {
    camera.SetFocalLength(c.given);
    EXPECT_EQ(camera.FocalLength(), c.stored) << c.given;
  }
  camera.SetNearPlaneBias(-2);
  EXPECT_EQ(camera.NearPlaneBias(), 1.0f);
  camera.SetSceneScale(0);
  EXPECT_EQ(camera.SceneScale(), 1.0f);
}

TEST(CameraTest, TargetLinkIsClearedWhenTheTargetDies) {
  TGLWorld scene;
  auto* camera = scene.Objects().AddNewChild<TGLCamera>();
  auto* target = scene.Objects().AddNewChild<TGLBaseSceneObject>();
  camera->SetTargetObject(target);
  EXPECT_EQ(camera->TargetObject(), target);
  camera->SetTargetObject(camera);  // looking at itself has no direction
  EXPECT_EQ(camera->TargetObject(), nullptr);
  camera->SetTargetObject(target);
  std::unique_ptr<TGLBaseSceneObject> detached = scene.Objects().Remove(target, false);
  detached.reset();
  EXPECT_EQ(camera->TargetObject(), nullptr);
}

class CameraProjectionTest : public GLTestContext {};

TEST_F(CameraProjectionTest, PerspectiveOfTheGameViewport) {
  TGLCamera camera;
  Transformation().IdentityAll();
  camera.ApplyPerspective({0, 0, 624, 432}, 624, 432, 96);
  const double zNear = 50.0 * 2 * 96 / (25.4 * 624);
  EXPECT_FLOAT_EQ(camera.NearPlane(), float(zNear));
  EXPECT_NEAR(camera.NearPlane(), 0.6057, 5e-5);
  const TMatrix4f expected =
      FrustumMatrix(-0.5, 0.5, -432.0 / 1248, 432.0 / 1248, float(zNear), float(zNear) + 100.0f);
  const TMatrix4f& got = Transformation().ProjectionMatrix();
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) EXPECT_FLOAT_EQ(got[r][c], expected[r][c]) << r << "," << c;
  // The horizontal half-angle: tan = 25.4 W / (4 f dpi).
  EXPECT_NEAR(1 / got.X.X, 25.4 * 624 / (4 * 50 * 96.0), 1e-6);
  EXPECT_NEAR(camera.ViewPortRadius(), std::sqrt(0.25 + std::pow(432.0 / 1248, 2)) / zNear, 1e-5);

  // GL holds the same matrix.
  TMatrix4f gl;
  glGetFloatv(GL_PROJECTION_MATRIX, gl.data());
  EXPECT_EQ(gl, got);

  // A buffer of no pixels leaves the projection as it was.
  camera.SetFocalLength(10);
  camera.ApplyPerspective({0, 0, 0, 0}, 0, 432, 96);
  EXPECT_EQ(Transformation().ProjectionMatrix(), got);
}

TEST_F(CameraProjectionTest, LookAtTargetPutsItOnTheViewAxis) {
  TGLWorld scene;
  auto* camera = scene.Objects().AddNewChild<TGLCamera>();
  auto* target = scene.Objects().AddNewChild<TGLBaseSceneObject>();
  camera->Position().SetPoint(0, 15, 4);
  camera->SetTargetObject(target);
  Transformation().IdentityAll();
  camera->Apply();
  const TVector4f eye = TransformVector({0, 0, 0, 1}, Transformation().ViewMatrix());
  EXPECT_NEAR(eye.X, 0, 1e-6);
  EXPECT_NEAR(eye.Y, 0, 1e-5);
  EXPECT_NEAR(eye.Z, -std::sqrt(241.0), 1e-5);
  EXPECT_NEAR(camera->LastDirection().Y, -15 / std::sqrt(241.0), 1e-6);

  // Without a target the camera looks along its own Direction (-Z by default).
  camera->SetTargetObject(nullptr);
  Transformation().IdentityAll();
  camera->Apply();
  EXPECT_EQ(camera->LastDirection(), (TVector4f{0, 0, -1, 0}));
  const TVector4f ahead = TransformVector({0, 15, -6, 1}, Transformation().ViewMatrix());
  EXPECT_NEAR(ahead.X, 0, 1e-6);
  EXPECT_NEAR(ahead.Y, 0, 1e-6);
  EXPECT_NEAR(ahead.Z, -10, 1e-5);
}

}  // namespace
}  // namespace ukh::test
