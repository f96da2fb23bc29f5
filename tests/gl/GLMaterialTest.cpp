// Materials on real pixels: front and back colours with and without culling, emission on
// its own, every blending mode over a red background; and the state calls a material costs.
#include <gtest/gtest.h>

#include "engine/gl/GLMaterial.h"
#include "engine/gl/GLTexture.h"
#include "tests/gl/GLTestContext.h"

namespace ukh::test {
namespace {

class MaterialPixels : public GLTestContext {
 protected:
  void SetUp() override {
    GLTestContext::SetUp();
    FRci.GLStates = &States();
    FRci.PipelineTransformation = &Transformation();
    FRci.BufferLighting = true;
    FRci.BufferFaceCull = true;
    FRci.BufferDepthTest = true;
    UsePixelProjection();
  }

  // Clears, applies the material and draws one quad over the whole view.
  TRGBA8 DrawWith(TGLMaterial& m, bool clockwise, const TVector4f& background = {0, 0, 0, 1}) {
    ClearTo(background);
    m.Apply(FRci);
    DrawQuad(0, 0, cWidth, cHeight, 0, clockwise);
    EXPECT_FALSE(m.UnApply(FRci));
    return Pixel(cWidth / 2, cHeight / 2);
  }

  TGLRenderContextInfo FRci;
};

TEST_F(MaterialPixels, FrontAndBackColoursWithAndWithoutCulling) {
  // No light: each face shows emission + ambient x light-model ambient, here ambient alone.
  States().SetLightModelAmbient({1, 1, 1, 1});
  States().SetLightModelTwoSide(true);
  TGLMaterial m(nullptr);
  m.FrontProperties().Ambient().SetColor({0.2f, 0.4f, 0.6f, 1});
  m.BackProperties().Ambient().SetColor({0.8f, 0.2f, 0, 1});
  const TRGBA8 front{51, 102, 153, 255}, back{204, 51, 0, 255}, none{0, 0, 0, 255};
  struct {
    TGLFaceCulling Culling;
    bool BufferCull;
    bool Clockwise;
    TRGBA8 Expected;
  } cases[] = {
      {fcNoCull, true, false, front},       {fcNoCull, true, true, back},
      {fcCull, false, false, front},        {fcCull, false, true, none},
      {fcBufferDefault, true, true, none},  {fcBufferDefault, true, false, front},
      {fcBufferDefault, false, true, back},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "culling " << int(c.Culling) << " buffer cull "
                                    << c.BufferCull << " clockwise " << c.Clockwise);
    FRci.BufferFaceCull = c.BufferCull;
    m.SetFaceCulling(c.Culling);
    const TRGBA8 got = DrawWith(m, c.Clockwise);
    EXPECT_EQ(got, c.Expected);
  }
}

TEST_F(MaterialPixels, EmissionAloneLightsAFace) {
  // A white light shines, but with black ambient, diffuse and specular only the emission
  // reaches the pixel: (0.6, 0.2, 1) x 255.
  States().SetLightEnabling(0, true);
  TGLMaterial m(nullptr);
  TGLFaceProperties& f = m.FrontProperties();
  f.Ambient().SetColor({0, 0, 0, 1});
  f.Diffuse().SetColor({0, 0, 0, 1});
  f.Emission().SetColor({0.6f, 0.2f, 1, 1});
  EXPECT_EQ(DrawWith(m, false), (TRGBA8{153, 51, 255, 255}));
  f.Emission().SetColor({0, 0, 0, 1});
  EXPECT_EQ(DrawWith(m, false), (TRGBA8{0, 0, 0, 255}));
}

TEST_F(MaterialPixels, BlendingModesOverRed) {
  // Unlit, so the quad has its front diffuse colour (0, 0, 1, alpha); the background is
  // (1, 0, 0, 1). Expected bytes worked out from each mode's factors, rounded to nearest.
  struct {
    TGLBlendingMode Mode;
    float Alpha;
    TRGBA8 Expected;
    int Tolerance;
  } cases[] = {
      // drawn as is: alpha 0.25 x 255 = 63.75
      {bmOpaque, 0.25f, {0, 0, 255, 64}, 0},
      // src x 0.25 + dst x 0.75: red 191.25, blue 63.75, alpha 0.0625 + 0.75 = 0.8125 (207.2)
      {bmTransparency, 0.25f, {191, 0, 64, 207}, 1},
      // src x 0.25 + dst: red 255, blue 63.75, alpha 1.0625 clamped
      {bmAdditive, 0.25f, {255, 0, 64, 255}, 1},
      // alpha below 0.5 is discarded; 0.5 passes (127.5 either way)
      {bmAlphaTest50, 0.4f, {255, 0, 0, 255}, 0},
      {bmAlphaTest50, 0.5f, {0, 0, 255, 128}, 1},
      {bmAlphaTest100, 0.99f, {255, 0, 0, 255}, 0},
      {bmAlphaTest100, 1.0f, {0, 0, 255, 255}, 0},
      // src x dst: (0, 0, 1) x (1, 0, 0) = black, alpha 0.25
      {bmModulate, 0.25f, {0, 0, 0, 64}, 0},
      // the default custom parameters blend like transparency
      {bmCustom, 0.25f, {191, 0, 64, 207}, 1},
  };
  TGLMaterial m(nullptr);
  m.SetMaterialOptions(moNoLighting);
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << int(c.Mode) << " alpha " << c.Alpha);
    m.SetBlendingMode(c.Mode);
    m.FrontProperties().Diffuse().SetColor({0, 0, 1, c.Alpha});
    DrawWith(m, false, {1, 0, 0, 1});
    EXPECT_TRUE(PixelIs(cWidth / 2, cHeight / 2, c.Expected, c.Tolerance));
  }
}

TEST_F(MaterialPixels, CustomBlendingFollowsItsParameters) {
  TGLMaterial m(nullptr);
  m.SetMaterialOptions(moNoLighting);
  m.SetBlendingMode(bmCustom);
  TGLBlendingParameters& p = m.BlendingParams();
  p.SetBlendFuncSFactor(bfOne);
  p.SetBlendFuncDFactor(bfOne);
  p.SetUseAlphaFunc(true);
  p.SetAlphaFunctType(cfLess);
  p.SetAlphaFuncRef(0.5f);
  m.FrontProperties().Diffuse().SetColor({0, 0.2f, 0, 0.25f});
  // one + one: (1, 0.2, 0, 1.25) -> red stays, green 51, alpha clamped
  EXPECT_EQ(DrawWith(m, false, {1, 0, 0, 1}), (TRGBA8{255, 51, 0, 255}));
  m.FrontProperties().Diffuse().SetAlpha(0.75f);  // fails "less than 0.5": discarded
  EXPECT_EQ(DrawWith(m, false, {1, 0, 0, 1}), (TRGBA8{255, 0, 0, 255}));
  p.SetUseBlendFunc(false);
  p.SetUseAlphaFunc(false);
  EXPECT_EQ(DrawWith(m, false, {1, 0, 0, 1}), (TRGBA8{0, 51, 0, 191}));
}

TEST_F(MaterialPixels, DefaultMaterialOnALitBuffer) {
  TGLMaterial m(nullptr);
  m.Apply(FRci);
  TGLStateCache& s = States();
  EXPECT_TRUE(s.IsEnabled(stLighting));
  EXPECT_TRUE(s.IsEnabled(stCullFace));
  EXPECT_TRUE(s.IsEnabled(stDepthTest));
  EXPECT_FALSE(s.IsEnabled(stBlend));
  EXPECT_FALSE(s.IsEnabled(stAlphaTest));
  EXPECT_FALSE(s.IsEnabled(stFog));
  EXPECT_EQ(s.DepthFunc(), cfLEqual);
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
  GLint func = 0;
  glGetIntegerv(GL_DEPTH_FUNC, &func);
  EXPECT_EQ(func, GL_LEQUAL);
  for (GLenum face : {GL_FRONT, GL_BACK}) {
    TVector4f ambient, diffuse, specular;
    glGetMaterialfv(face, GL_AMBIENT, &ambient.X);
    glGetMaterialfv(face, GL_DIFFUSE, &diffuse.X);
    glGetMaterialfv(face, GL_SPECULAR, &specular.X);
    EXPECT_EQ(ambient, (TVector4f{0.2f, 0.2f, 0.2f, 1}));
    EXPECT_EQ(diffuse, (TVector4f{0.8f, 0.8f, 0.8f, 1}));
    EXPECT_EQ(specular, (TVector4f{0, 0, 0, 1}));
  }
  // GL's standard material needs no material call at all.
  EXPECT_EQ(gl::CallCount("glMaterialfv") + gl::CallCount("glMateriali"), 0u);
}

TEST_F(MaterialPixels, SecondIdenticalMaterialCostsNoGLCall) {
  TGLMaterial a(nullptr), b(nullptr);
  for (TGLMaterial* m : {&a, &b}) {
    m->FrontProperties().Diffuse().SetColor({0.1f, 0.5f, 0.9f, 1});
    m->FrontProperties().SetShininess(20);
    m->SetBlendingMode(bmTransparency);
    m->DepthProperties().SetDepthWrite(false);
  }
  a.Apply(FRci);
  a.UnApply(FRci);
  gl::ResetCallCounts();
  b.Apply(FRci);
  b.UnApply(FRci);
  EXPECT_EQ(gl::TotalCallCount(), 0u);
  // A material that differs in one colour costs exactly that call.
  b.BackProperties().Specular().SetColor({1, 1, 1, 1});
  b.Apply(FRci);
  EXPECT_EQ(gl::TotalCallCount(), 1u);
  EXPECT_EQ(gl::CallCount("glMaterialfv"), 1u);
}

TEST_F(MaterialPixels, RecordSwitchesOverrideTheMaterial) {
  TGLMaterial m(nullptr);
  m.SetBlendingMode(bmTransparency);
  FRci.BufferLighting = false;
  FRci.BufferDepthTest = false;
  FRci.BufferFog = true;
  m.Apply(FRci);
  EXPECT_FALSE(States().IsEnabled(stLighting));
  EXPECT_FALSE(States().IsEnabled(stDepthTest));
  EXPECT_TRUE(States().IsEnabled(stFog));
  EXPECT_TRUE(States().IsEnabled(stBlend));
  // Requests the record tells the material to ignore are left as they are.
  TGLMaterial opaque(nullptr);
  opaque.DepthProperties().SetDepthCompareFunction(cfAlways);
  FRci.IgnoreBlendingRequests = true;
  FRci.IgnoreDepthRequests = true;
  opaque.Apply(FRci);
  EXPECT_TRUE(States().IsEnabled(stBlend));
  EXPECT_EQ(States().DepthFunc(), cfLEqual);
}

TEST_F(MaterialPixels, LinesModeDrawsOutlinesWithoutStipple) {
  States().Enable(stLineStipple);
  TGLMaterial m(nullptr);
  m.SetPolygonMode(pmLines);
  m.SetMaterialOptions(moNoLighting);
  m.FrontProperties().Diffuse().SetColor({1, 1, 1, 1});
  ClearTo({0, 0, 0, 1});
  m.Apply(FRci);
  EXPECT_FALSE(States().IsEnabled(stLineStipple));
  DrawQuad(8.5f, 8.5f, 56.5f, 56.5f);
  EXPECT_TRUE(PixelIs(8, 30, {255, 255, 255, 255}));  // on the left edge
  EXPECT_TRUE(PixelIs(32, 32, {0, 0, 0, 255}));       // inside stays clear
}

// ---- without a context -------------------------------------------------------------------

class TTexMapOwner : public TGLUpdateAbleObject, public TGLTexMapChangeListener {
 public:
  TTexMapOwner() : TGLUpdateAbleObject(nullptr) {}
  void NotifyChange(TPersistent*) override { ++Changes; }
  void NotifyTexMapChange(TPersistent*) override { ++TexMapChanges; }
  int Changes = 0;
  int TexMapChanges = 0;
};

TEST(Material, BlendedExactlyForBlendingModes) {
  TGLMaterial m(nullptr);
  for (auto [mode, blended] : {std::pair{bmOpaque, false},
                               {bmTransparency, true},
                               {bmAdditive, true},
                               {bmAlphaTest50, false},
                               {bmAlphaTest100, false},
                               {bmModulate, true},
                               {bmCustom, false}}) {
    m.SetBlendingMode(mode);
    EXPECT_EQ(m.Blended(), blended) << int(mode);
  }
}

TEST(Material, ChangesReachTheOwnerOnlyWhenSomethingChanged) {
  TTexMapOwner owner;
  TGLMaterial m(&owner);
  m.FrontProperties().Diffuse().SetRed(0.8f);  // the default value
  m.FrontProperties().SetShininess(0);
  m.SetBlendingMode(bmOpaque);
  m.DepthProperties().SetDepthTest(true);
  EXPECT_EQ(owner.Changes, 0);
  m.FrontProperties().Diffuse().SetRed(0.5f);
  m.BackProperties().SetShininess(200);  // clamped to 128
  m.BlendingParams().SetAlphaFuncRef(0.5f);
  m.SetFaceCulling(fcNoCull);
  EXPECT_EQ(owner.Changes, 4);
  EXPECT_EQ(m.BackProperties().Shininess(), 128);
  // Switching the texture on is a texture-map change, told through its own hook.
  EXPECT_FALSE(m.HasTexture());
  m.Texture().SetDisabled(false);
  EXPECT_TRUE(m.HasTexture());
  EXPECT_EQ(owner.TexMapChanges, 1);
  EXPECT_EQ(owner.Changes, 4);
}

TEST(Material, FacePropertiesKeepTheirOwnColours) {
  TGLMaterial a(nullptr), b(nullptr);
  TGLColor red(nullptr, {1, 0, 0, 1});
  a.FrontProperties().SetDiffuse(red);
  red.SetGreen(1);
  EXPECT_EQ(a.FrontProperties().Diffuse().Color(), (TVector4f{1, 0, 0, 1}));
  a.SetBlendingMode(bmAdditive);
  a.BackProperties().Emission().SetBlue(0.5f);
  b.Assign(a);
  EXPECT_EQ(b.FrontProperties().Diffuse().Color(), (TVector4f{1, 0, 0, 1}));
  EXPECT_EQ(b.BackProperties().Emission().Color(), (TVector4f{0, 0, 0.5f, 1}));
  EXPECT_EQ(b.BlendingMode(), bmAdditive);
  EXPECT_NE(&b.FrontProperties().Diffuse(), &a.FrontProperties().Diffuse());
}

}  // namespace
}  // namespace ukh::test
