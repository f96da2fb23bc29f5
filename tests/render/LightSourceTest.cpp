// Light sources: their setters, and the per-frame hand-over of the scene's light slots to GL
// through the state cache (positions in eye space, colours and attenuation, dark slots).
#include <gtest/gtest.h>

#include <memory>

#include "engine/gl/GLTransformation.h"
#include "engine/scene/GLLightSource.h"
#include "engine/scene/GLWorld.h"
#include "tests/gl/GLTestContext.h"

namespace ukh::test {
namespace {

TEST(LightSourceTest, SpotCutOffAcceptsZeroToNinetyAndOneEighty) {
  TGLLightSource light;
  struct {
    float given, stored;
  } const cases[] = {{120, 180}, {90, 90},       {-1, 90},   {0, 0},
                     {180, 180}, {45.5f, 45.5f}, {91, 45.5f}};
  for (const auto& c : cases) {
    light.SetSpotCutOff(c.given);
    EXPECT_EQ(light.SpotCutOff(), c.stored) << c.given;
  }
}

TEST(LightSourceTest, AttenuatedAndSpotDirection) {
  TGLLightSource light;
  EXPECT_FALSE(light.Attenuated());
  light.SetQuadraticAttenuation(0.5f);
  EXPECT_TRUE(light.Attenuated());
  light.SetLightStyle(TGLLightStyle::lsParallel);
  EXPECT_FALSE(light.Attenuated());
  TGLCoordinates3 dir(nullptr, {1, 2, 3, 1}, TGLCoordinatesStyle::csVector);
  light.SetSpotDirection(dir);
  EXPECT_EQ(light.SpotDirection().AsVector(), (TVector4f{1, 2, 3, 0}));
}

TEST(LightSourceTest, SettersNotifyTheSceneOnlyOnChange) {
  TGLWorld scene;
  struct TCounter : IGLSceneBuffer {
    int n = 0;
    void SceneChanged(TPersistent*) override { ++n; }
  } counter;
  auto* light = scene.Objects().AddNewChild<TGLLightSource>();
  scene.AddBuffer(&counter);
  light->SetConstAttenuation(1);
  light->SetShining(true);
  EXPECT_EQ(counter.n, 0);
  light->SetConstAttenuation(2);
  light->Diffuse().SetColor({1, 0, 0, 1});
  light->SetShining(false);
  EXPECT_EQ(counter.n, 3);
  scene.RemoveBuffer(&counter);
}

class SetupLightsTest : public GLTestContext {
 protected:
  static TVector4f GLLight(int light, GLenum what) {
    TVector4f v;
    glGetLightfv(GL_LIGHT0 + light, what, &v.X);
    return v;
  }
};

TEST_F(SetupLightsTest, PositionsGoThroughTheViewAndColoursThroughTheCache) {
  TGLWorld scene;
  auto* group = scene.Objects().AddNewChild<TGLBaseSceneObject>();
  group->Position().SetPoint(1, 0, 0);
  auto* light = group->AddNewChild<TGLLightSource>();
  light->Position().SetPoint(-10, 20, 20);
  light->Diffuse().SetColor({0.5f, 0.25f, 1, 1});
  light->SetLinearAttenuation(0.125f);
  light->SetSpotCutOff(30);
  light->SpotDirection().SetVector(0, -1, 0);

  Transformation().IdentityAll();
  Transformation().SetViewMatrix(TranslationMatrix({0, 0, -5}));
  scene.SetupLights(States().MaxLights());

  EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
  // Eye space: parent's translation, then the view's.
  EXPECT_EQ(GLLight(0, GL_POSITION), (TVector4f{-9, 20, 15, 1}));
  EXPECT_EQ(GLLight(0, GL_DIFFUSE), (TVector4f{0.5f, 0.25f, 1, 1}));
  EXPECT_EQ(GLLight(0, GL_SPOT_CUTOFF).X, 30.0f);
  EXPECT_EQ(GLLight(0, GL_LINEAR_ATTENUATION).X, 0.125f);
  TVector4f spot;
  glGetLightfv(GL_LIGHT0, GL_SPOT_DIRECTION, &spot.X);
  EXPECT_EQ(AffineVector(spot), (TVector3f{0, -1, 0}));
  EXPECT_EQ(States().Light(0).WorldPosition, (TVector4f{-9, 20, 20, 1}));
  // Objects drawn afterwards start from the view alone.
  EXPECT_EQ(Transformation().ModelMatrix(), IdentityHmgMatrix);

  // A second set-up with nothing changed only re-sends what depends on the matrix.
  gl::ResetCallCounts();
  scene.SetupLights(States().MaxLights());
  EXPECT_EQ(gl::CallCount("glLightf"), 0u);
  EXPECT_EQ(gl::CallCount("glEnable"), 0u);
  EXPECT_EQ(gl::CallCount("glLightfv"), 2u);  // position and spot direction

  light->SetShining(false);
  scene.SetupLights(States().MaxLights());
  EXPECT_FALSE(glIsEnabled(GL_LIGHT0));
  EXPECT_EQ(scene.Lights()[0], light);
}

TEST_F(SetupLightsTest, OnlyTheFirstEightLightsShine) {
  TGLWorld scene;
  std::vector<TGLLightSource*> lights;
  for (int i = 0; i < 10; ++i) lights.push_back(scene.Objects().AddNewChild<TGLLightSource>());
  Transformation().IdentityAll();
  scene.SetupLights(States().MaxLights());
  for (int i = 0; i < 8; ++i) EXPECT_TRUE(glIsEnabled(GL_LIGHT0 + i)) << i;
  for (int i = 8; i < States().MaxLights(); ++i) EXPECT_FALSE(glIsEnabled(GL_LIGHT0 + i)) << i;

  // Only the slots the caller allows are used; lights beyond them are switched off.
  scene.SetupLights(2);
  EXPECT_TRUE(glIsEnabled(GL_LIGHT1));
  EXPECT_FALSE(glIsEnabled(GL_LIGHT2));
  // An emptied slot goes dark.
  std::unique_ptr<TGLBaseSceneObject> gone = scene.Objects().Remove(lights[0], false);
  scene.SetupLights(8);
  EXPECT_FALSE(glIsEnabled(GL_LIGHT0));
  EXPECT_TRUE(glIsEnabled(GL_LIGHT1));
}

}  // namespace
}  // namespace ukh::test
