// The state cache against a real context: defaults equal GL's, a value already held costs
// no GL call, display lists record the groups they change, and attribute pushes restore
// the mirror as well as GL.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "engine/gl/GLStateCache.h"
#include "tests/gl/GLTestContext.h"

namespace ukh::test {
namespace {

using StateCache = GLTestContext;

GLint GetInt(GLenum p) {
  GLint v = 0;
  glGetIntegerv(p, &v);
  return v;
}

TVector4f GetMaterial(GLenum face, GLenum p) {
  TVector4f v;
  glGetMaterialfv(face, p, &v.X);
  return v;
}

// Each setter with two values: the first call with a new value reaches GL once, the same
// value again does not, and the other value does.
struct TSetterCase {
  const char* Name;
  const char* GLCall;
  std::function<void(TGLStateCache&, int)> Set;  // variant 0 or 1, both different from GL's
  std::function<void(TGLStateCache&)> Prepare = nullptr;
};

const TSetterCase cSetters[] = {
    {"Enable", "glEnable", [](TGLStateCache& c, int v) { c.Enable(v ? stBlend : stCullFace); }},
    {"Disable", "glDisable", [](TGLStateCache& c, int v) { c.Disable(v ? stFog : stNormalize); },
     [](TGLStateCache& c) {
       c.Enable(stFog);
       c.Enable(stNormalize);
     }},
    {"ViewPort", "glViewport",
     [](TGLStateCache& c, int v) {
       c.SetViewPort({0, 0, 10 + v, 10});
     }},
    {"ClearColour", "glClearColor",
     [](TGLStateCache& c, int v) {
       c.SetColorClearValue({1, float(v), 0, 1});
     }},
    {"DepthWrite", "glDepthMask", [](TGLStateCache& c, int v) { c.SetDepthWriteMask(v != 0); }},
    {"ColourWriting", "glColorMask", [](TGLStateCache& c, int v) { c.SetGLColorWriting(v != 0); }},
    {"DepthFunc", "glDepthFunc",
     [](TGLStateCache& c, int v) { c.SetDepthFunc(v ? cfGreater : cfLEqual); }},
    {"DepthRange", "glDepthRange", [](TGLStateCache& c, int v) { c.SetDepthRange(0.25 * v, 0.5); }},
    {"BlendFunc", "glBlendFunc",
     [](TGLStateCache& c, int v) { c.SetBlendFunc(bfSrcAlpha, v ? bfOne : bfOneMinusSrcAlpha); }},
    {"AlphaFunc", "glAlphaFunc",
     [](TGLStateCache& c, int v) { c.SetAlphaFunction(cfGreater, 0.5f * v); }},
    {"CullFace", "glCullFace",
     [](TGLStateCache& c, int v) { c.SetCullFaceMode(v ? cmFront : cmFrontAndBack); }},
    {"FrontFace", "glFrontFace",
     [](TGLStateCache& c, int v) { c.SetFrontFace(v ? fwCounterClockWise : fwClockWise); }},
    {"PolygonMode", "glPolygonMode",
     [](TGLStateCache& c, int v) { c.SetPolygonMode(v ? pmLines : pmPoints); }},
    {"LineWidth", "glLineWidth", [](TGLStateCache& c, int v) { c.SetLineWidth(2.0f + v); }},
    {"ShadeModel", "glShadeModel",
     [](TGLStateCache& c, int v) { c.SetShadeModel(v ? GL_SMOOTH : GL_FLAT); }},
    {"LightModelAmbient", "glLightModelfv",
     [](TGLStateCache& c, int v) {
       c.SetLightModelAmbient({0.5f, 0.5f, float(v), 1});
     }},
    {"LightEnabling", "glEnable", [](TGLStateCache& c, int v) { c.SetLightEnabling(v, true); }},
    {"LightDiffuse", "glLightfv",
     [](TGLStateCache& c, int v) {
       c.SetLightDiffuse(1, {1, float(v), 1, 1});
     }},
    {"LightCutoff", "glLightf",
     [](TGLStateCache& c, int v) { c.SetLightSpotCutoff(0, 45.0f + v); }},
    {"ActiveTexture", "glActiveTexture",
     [](TGLStateCache& c, int v) { c.SetActiveTexture(1 + v); }},
    {"TextureBinding", "glBindTexture",
     [](TGLStateCache& c, int v) { c.SetTextureBinding(0, ttTexture2D, GLuint(5 + v)); }},
    {"TextureEnabled", "glEnable",
     [](TGLStateCache& c, int v) {
       c.SetActiveTextureEnabled(v ? ttTexture1D : ttTexture2D, true);
     }},
    {"UnpackAlignment", "glPixelStorei",
     [](TGLStateCache& c, int v) { c.SetUnpackAlignment(v ? 1 : 2); }},
    {"UnpackRowLength", "glPixelStorei",
     [](TGLStateCache& c, int v) { c.SetUnpackRowLength(16 + v); }},
    {"CubeMapBinding", "glBindTexture",
     [](TGLStateCache& c, int v) { c.SetTextureBinding(1, ttTextureCube, GLuint(7 + v)); }},
};

TEST_F(StateCache, ValueAlreadyHeldCostsNoGLCall) {
  for (const TSetterCase& s : cSetters) {
    SCOPED_TRACE(s.Name);
    TGLStateCache cache;  // a fresh mirror of GL's initial state each time
    if (s.Prepare) s.Prepare(cache);
    s.Set(cache, 0);
    gl::ResetCallCounts();
    s.Set(cache, 0);
    EXPECT_EQ(gl::TotalCallCount(), 0u);
    s.Set(cache, 1);
    EXPECT_GE(gl::CallCount(s.GLCall), 1u);
    gl::ResetCallCounts();
    s.Set(cache, 1);
    EXPECT_EQ(gl::TotalCallCount(), 0u);
  }
}

TEST_F(StateCache, DefaultsMirrorGLsInitialState) {
  TGLStateCache& c = States();
  EXPECT_EQ(GetInt(GL_DEPTH_FUNC), GLint(GLComparisonFunction(c.DepthFunc())));
  EXPECT_EQ(GetInt(GL_BLEND_SRC_RGB), GLint(GLBlendFunction(c.BlendSrc())));
  EXPECT_EQ(GetInt(GL_BLEND_DST_RGB), GLint(GLBlendFunction(c.BlendDst())));
  EXPECT_EQ(GetInt(GL_ALPHA_TEST_FUNC), GLint(GLComparisonFunction(c.AlphaFunc())));
  EXPECT_EQ(GetInt(GL_CULL_FACE_MODE), GLint(GLFace(c.CullFaceMode())));
  EXPECT_EQ(GetInt(GL_FRONT_FACE), GL_CCW);
  EXPECT_EQ(GetInt(GL_SHADE_MODEL), GLint(c.ShadeModel()));
  EXPECT_EQ(GetInt(GL_UNPACK_ALIGNMENT), c.UnpackAlignment());
  EXPECT_EQ(GetInt(GL_PACK_ALIGNMENT), c.PackAlignment());
  EXPECT_EQ(GetInt(GL_UNPACK_ROW_LENGTH), c.UnpackRowLength());
  EXPECT_EQ(GetInt(GL_UNPACK_SKIP_ROWS), c.UnpackSkipRows());
  EXPECT_EQ(GetInt(GL_UNPACK_SKIP_PIXELS), c.UnpackSkipPixels());
  EXPECT_EQ(GetInt(GL_ACTIVE_TEXTURE), GL_TEXTURE0 + c.ActiveTexture());
  for (GLenum face : {GL_FRONT, GL_BACK}) {
    const TGLCullFaceMode f = face == GL_FRONT ? cmFront : cmBack;
    EXPECT_EQ(GetMaterial(face, GL_EMISSION), c.MaterialColor(f, mcEmission));
    EXPECT_EQ(GetMaterial(face, GL_AMBIENT), c.MaterialColor(f, mcAmbient));
    EXPECT_EQ(GetMaterial(face, GL_DIFFUSE), c.MaterialColor(f, mcDiffuse));
    EXPECT_EQ(GetMaterial(face, GL_SPECULAR), c.MaterialColor(f, mcSpecular));
  }
  for (int light : {0, 1}) {
    TVector4f diffuse;
    glGetLightfv(GL_LIGHT0 + light, GL_DIFFUSE, &diffuse.X);
    EXPECT_EQ(diffuse, c.Light(light).Diffuse) << light;
  }
  // Every capability the cache calls off is off in GL, except dithering, which GL starts
  // with and the frame forces every time.
  for (int s = stAlphaTest; s <= stPolygonOffsetFill; ++s) {
    if (s == stDither || s == stIndexLogicOp) continue;
    EXPECT_FALSE(glIsEnabled(GLCapability(TGLState(s)))) << s;
  }
  EXPECT_EQ(gl::TotalCallCount(), 0u);
}

TEST_F(StateCache, MaterialColoursComparedAsStated) {
  TGLStateCache& c = States();
  const TVector4f emission{0, 0, 0, 0.5f};       // alpha differs: not compared
  const TVector4f ambient{0.2f, 0.2f, 0.2f, 0};  // alpha differs: not compared
  const TVector4f diffuse{0.8f, 0.8f, 0.8f, 1};
  const TVector4f specular{0, 0, 0, 0};
  c.SetGLMaterialColors(cmFront, emission, ambient, diffuse, specular, 0);
  EXPECT_EQ(gl::TotalCallCount(), 0u);
  c.SetGLMaterialColors(cmFront, emission, ambient, {0.8f, 0.8f, 0.8f, 0.5f}, specular, 0);
  EXPECT_EQ(gl::CallCount("glMaterialfv"), 1u);  // diffuse compares all four
  c.SetGLMaterialColors(cmBack, emission, ambient, diffuse, specular, 64);
  EXPECT_EQ(gl::CallCount("glMateriali"), 1u);
  EXPECT_EQ(GetMaterial(GL_FRONT, GL_DIFFUSE).W, 0.5f);
  GLint shininess = 0;
  glGetMaterialiv(GL_BACK, GL_SHININESS, &shininess);
  EXPECT_EQ(shininess, 64);
  try {
    c.SetGLMaterialColors(cmFrontAndBack, emission, ambient, diffuse, specular, 0);
    FAIL() << "no exception";
  } catch (const EAssertionFailed& e) {
    EXPECT_STREQ(e.what(), "Only cmFront or cmBack supported");
  }
}

TEST_F(StateCache, DisablingColourTrackingPutsTheMirrorsMaterialBack) {
  TGLStateCache& c = States();
  c.Enable(stColorMaterial);
  glColor4f(1, 0, 0, 1);  // tracked into ambient and diffuse of both faces
  ASSERT_EQ(GetMaterial(GL_FRONT, GL_DIFFUSE), (TVector4f{1, 0, 0, 1}));
  gl::ResetCallCounts();
  c.Disable(stColorMaterial);
  EXPECT_EQ(gl::CallCount("glMaterialfv"), 8u);
  EXPECT_EQ(gl::CallCount("glMateriali"), 2u);
  EXPECT_EQ(GetMaterial(GL_FRONT, GL_DIFFUSE), (TVector4f{0.8f, 0.8f, 0.8f, 1}));
  EXPECT_EQ(GetMaterial(GL_BACK, GL_AMBIENT), (TVector4f{0.2f, 0.2f, 0.2f, 1}));
  gl::ResetCallCounts();
  c.Disable(stColorMaterial);  // already off
  EXPECT_EQ(gl::TotalCallCount(), 0u);
}

TEST_F(StateCache, ListCompilationRecordsGroupsAndLeavesMirrorAlone) {
  TGLStateCache& c = States();
  const GLuint list = gl::GenLists(1);
  c.NewList(list, GL_COMPILE);
  EXPECT_TRUE(c.InsideList());
  gl::ResetCallCounts();
  c.SetDepthFunc(cfLess);  // equal to the mirror, still compiled into the list
  c.SetDepthFunc(cfGreater);
  c.Enable(stBlend);
  c.EndList();
  EXPECT_FALSE(c.InsideList());
  EXPECT_EQ(gl::CallCount("glDepthFunc"), 2u);
  EXPECT_EQ(c.DepthFunc(), cfLess);
  EXPECT_FALSE(c.IsEnabled(stBlend));
  EXPECT_EQ(c.ListStates(list), StateTypeBit(sttDepthBuffer) | StateTypeBit(sttEnable));

  // Calling it pushes exactly those groups, so GL ends where the mirror says.
  gl::ResetCallCounts();
  c.CallList(list);
  EXPECT_EQ(gl::CallCount("glPushAttrib"), 1u);
  EXPECT_EQ(gl::CallCount("glPopAttrib"), 1u);
  EXPECT_EQ(GetInt(GL_DEPTH_FUNC), GL_LESS);
  EXPECT_FALSE(glIsEnabled(GL_BLEND));

  // A list that changes no cached state is called alone.
  const GLuint plain = gl::GenLists(1);
  c.NewList(plain, GL_COMPILE);
  gl::Vertex3f(0, 0, 0);
  c.EndList();
  gl::ResetCallCounts();
  c.CallList(plain);
  EXPECT_EQ(gl::CallCount("glPushAttrib"), 0u);
  EXPECT_EQ(gl::CallCount("glCallList"), 1u);
}

TEST_F(StateCache, ListCalledInsideAnotherPassesItsGroupsOn) {
  TGLStateCache& c = States();
  const GLuint inner = gl::GenLists(2);
  const GLuint outer = inner + 1;
  c.NewList(inner, GL_COMPILE);
  c.SetCullFaceMode(cmFront);
  c.EndList();
  c.NewList(outer, GL_COMPILE);
  c.CallList(inner);
  c.EndList();
  EXPECT_EQ(c.ListStates(outer), StateTypeBit(sttPolygon));
}

TEST_F(StateCache, NewListAcceptsOnlyCompileModeAndTrackedNames) {
  TGLStateCache& c = States();
  try {
    c.NewList(1, GL_COMPILE_AND_EXECUTE);
    FAIL() << "no exception";
  } catch (const EAssertionFailed& e) {
    EXPECT_STREQ(e.what(), "Compile & executing not supported by TGLStateCache");
  }
  EXPECT_FALSE(c.InsideList());
  EXPECT_THROW(c.NewList(0, GL_COMPILE), EAssertionFailed);
  EXPECT_THROW(c.NewList(cMaxListName + 1, GL_COMPILE), EAssertionFailed);
  EXPECT_EQ(gl::CallCount("glNewList"), 0u);
}

TEST_F(StateCache, PopAttribRestoresTheMirror) {
  TGLStateCache& c = States();
  c.PushAttrib(StateTypeBit(sttDepthBuffer) | StateTypeBit(sttColorBuffer));
  c.SetDepthFunc(cfGreater);
  c.SetDepthWriteMask(false);
  c.Enable(stDepthTest);       // saved with the depth-buffer group
  c.Enable(stBlend);           // saved with the colour-buffer group
  c.SetCullFaceMode(cmFront);  // polygon group: not saved
  c.PopAttrib();
  EXPECT_EQ(c.DepthFunc(), cfLess);
  EXPECT_TRUE(c.DepthWriteMask());
  EXPECT_FALSE(c.IsEnabled(stDepthTest));
  EXPECT_FALSE(c.IsEnabled(stBlend));
  EXPECT_EQ(c.CullFaceMode(), cmFront);
  EXPECT_EQ(GetInt(GL_DEPTH_FUNC), GL_LESS);
  EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_EQ(GetInt(GL_CULL_FACE_MODE), GL_FRONT);
  gl::ResetCallCounts();
  c.SetDepthFunc(cfGreater);  // the mirror knows GL went back, so this is sent again
  EXPECT_EQ(gl::CallCount("glDepthFunc"), 1u);
}

TEST_F(StateCache, AlphaChannelGoesToDiffuseOrCurrentColour) {
  TGLStateCache& c = States();
  c.Enable(stLighting);
  c.SetGLMaterialAlphaChannel(cmBack, 0.25f);
  EXPECT_EQ(GetMaterial(GL_BACK, GL_DIFFUSE), (TVector4f{0.8f, 0.8f, 0.8f, 0.25f}));
  gl::ResetCallCounts();
  c.SetGLMaterialAlphaChannel(cmBack, 0.25f);
  EXPECT_EQ(gl::TotalCallCount(), 0u);
  c.Disable(stLighting);
  gl::Color4f(0.5f, 0.25f, 1, 1);
  c.SetGLMaterialAlphaChannel(cmFront, 0.75f);
  TVector4f current;
  glGetFloatv(GL_CURRENT_COLOR, &current.X);
  EXPECT_EQ(current, (TVector4f{0.5f, 0.25f, 1, 0.75f}));
}

TEST_F(StateCache, TextureMatricesResetOnceUntilMarkedAgain) {
  TGLStateCache& c = States();
  c.ResetAllGLTextureMatrix();
  EXPECT_EQ(gl::CallCount("glLoadIdentity"), 4u);  // units 3..0, none known identity yet
  EXPECT_EQ(GetInt(GL_MATRIX_MODE), GL_MODELVIEW);
  EXPECT_EQ(GetInt(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
  gl::ResetCallCounts();
  c.ResetAllGLTextureMatrix();
  EXPECT_EQ(gl::TotalCallCount(), 0u);
  c.SetTextureMatrixIsIdentity(2, false);
  c.ResetAllGLTextureMatrix();
  EXPECT_EQ(gl::CallCount("glLoadIdentity"), 1u);
}

TEST_F(StateCache, LimitsAreQueriedOnce) {
  TGLStateCache& c = States();
  EXPECT_FALSE(c.MaxLightsKnown());
  EXPECT_EQ(c.MaxLights(), GetInt(GL_MAX_LIGHTS));
  EXPECT_EQ(c.MaxLights(), GetInt(GL_MAX_LIGHTS));
  EXPECT_EQ(c.MaxTextureSize(), GetInt(GL_MAX_TEXTURE_SIZE));
  EXPECT_EQ(c.MaxTextureSize(), GetInt(GL_MAX_TEXTURE_SIZE));
  EXPECT_EQ(gl::CallCount("glGetIntegerv"), 2u);
}

TEST_F(StateCache, DeletedTextureIsForgotten) {
  TGLStateCache& c = States();
  GLuint tex = 0;
  gl::GenTextures(1, &tex);
  c.SetTextureBinding(0, ttTexture2D, tex);
  gl::DeleteTextures(1, &tex);
  c.TextureDeleted(tex);
  EXPECT_EQ(c.TextureBinding(0, ttTexture2D), 0u);
  EXPECT_EQ(GetInt(GL_TEXTURE_BINDING_2D), 0);
}

}  // namespace
}  // namespace ukh::test
