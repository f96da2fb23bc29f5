// Textures on real pixels of the headless context: corner colours where the texture
// coordinates put them, the alpha rules as uploaded, the luminance rule in decal mode, the
// normal-map coordinate generation of the houses, mipmap levels, sampling parameters, the
// error picture, and that a picture is converted and sent once per change, not per frame.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "engine/gl/GLImageResample.h"
#include "engine/gl/GLMaterial.h"
#include "engine/gl/GLMipmap.h"
#include "engine/gl/GLPersistentImage.h"
#include "engine/gl/GLRenderContextInfo.h"
#include "engine/gl/GLTexture.h"
#include "tests/gl/GLTestContext.h"

namespace ukh::test {
namespace {

using TBytes = std::vector<uint8_t>;
using TRGB = std::array<uint8_t, 3>;

// A picture of four quadrants (rows top to bottom): red | green over blue | white.
constexpr TRGB cTL{255, 0, 0}, cTR{0, 255, 0}, cBL{0, 0, 255}, cBR{255, 255, 255};

TGLGraphic Graphic(int w, int h, const std::vector<TRGB>& topToBottom, uint16_t bits = 24) {
  TGLGraphic g{cBitmapClassName, bits, {}};
  g.Image.Width = w, g.Image.Height = h;
  for (const TRGB& c : topToBottom)
    g.Image.Pixels.insert(g.Image.Pixels.end(), {c[0], c[1], c[2], 255});
  return g;
}
TGLGraphic Quadrants(int size) {
  std::vector<TRGB> px;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x)
      px.push_back(y < size / 2 ? (x < size / 2 ? cTL : cTR) : (x < size / 2 ? cBL : cBR));
  return Graphic(size, size, px);
}
TGLGraphic Noise(int w, int h) {
  std::vector<TRGB> px(size_t(w) * h);
  uint32_t s = 12345;
  for (TRGB& c : px)
    for (uint8_t& v : c) s = s * 1664525u + 1013904223u, v = uint8_t(s >> 24);
  return Graphic(w, h, px);
}

TGLPicture& PictureOf(TGLTexture& t) {
  return dynamic_cast<TGLPersistentImage&>(t.Image()).Picture();
}

GLint TexLevelParameter(int level, GLenum p) {
  GLint v = -1;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, level, p, &v);
  return v;
}
GLint TexParameter(GLenum p) {
  GLint v = -1;
  glGetTexParameteriv(GL_TEXTURE_2D, p, &v);
  return v;
}

class TexturePixels : public GLTestContext {
 protected:
  void SetUp() override {
    GLTestContext::SetUp();
    FRci.GLStates = &States();
    FRci.PipelineTransformation = &Transformation();
    FRci.BufferLighting = false;  // unlit: the fragment colour is the front diffuse
    FRci.BufferDepthTest = false;
    UsePixelProjection();
    FFeatures = Context().Features();
  }
  void TearDown() override {
    gl::SetCurrentFeatures(&Context().Features());
    GLTestContext::TearDown();
  }
  // What GL offers, as the engine sees it, changed by `edit`.
  template <class Edit>
  void WithFeatures(Edit edit) {
    FFeatures = Context().Features();
    edit(FFeatures);
    gl::SetCurrentFeatures(&FFeatures);
  }

  // A full-view quad with the given normal and texture coordinates at its corners
  // (bottom-left, bottom-right, top-right, top-left).
  static void DrawTexturedQuad(const TVector3f& normal, const std::array<TTexPoint, 4>& tex) {
    const float xs[] = {0, float(cWidth), float(cWidth), 0};
    const float ys[] = {0, 0, float(cHeight), float(cHeight)};
    gl::Begin(GL_QUADS);
    gl::Normal3f(normal.X, normal.Y, normal.Z);
    for (int i = 0; i < 4; ++i) {
      gl::TexCoord2f(tex[size_t(i)].S, tex[size_t(i)].T);
      gl::Vertex3f(xs[i], ys[i], 0);
    }
    gl::End();
  }
  static constexpr std::array<TTexPoint, 4> cPlain{{{0, 0}, {1, 0}, {1, 1}, {0, 1}}};

  // One frame: clear, apply, draw, un-apply.
  void Frame(TGLMaterial& m, const TVector3f& normal = {0, 0, 1},
             const std::array<TTexPoint, 4>& tex = cPlain) {
    ClearTo({0, 0, 0, 1});
    m.Apply(FRci);
    DrawTexturedQuad(normal, tex);
    m.UnApply(FRci);
  }

  TRGBA8 Rgba(TRGB c) { return {c[0], c[1], c[2], 255}; }

  // Binds `t` on unit 0 (the upload leaves the bindings as it found them).
  void Bind(TGLTexture& t) { States().SetTextureBinding(0, ttTexture2D, t.Handle()); }

  // The texels of a level of `t` as GL holds them, RGBA.
  TBytes Texels(TGLTexture& t, int level = 0, GLenum format = GL_RGBA) {
    States().SetTextureBinding(0, ttTexture2D, t.Handle());
    const int w = TexLevelParameter(level, GL_TEXTURE_WIDTH),
              h = TexLevelParameter(level, GL_TEXTURE_HEIGHT);
    TBytes out(size_t(w) * h * (format == GL_RGBA ? 4 : 3));
    States().SetPackAlignment(1);
    glGetTexImage(GL_TEXTURE_2D, level, format, GL_UNSIGNED_BYTE, out.data());
    return out;
  }

  TGLRenderContextInfo FRci;
  gl::TGLFeatures FFeatures;
};

TEST_F(TexturePixels, CornerColoursWhereTheTextureCoordinatesPutThem) {
  TGLMaterial m(nullptr);
  TGLTexture& t = m.Texture();
  PictureOf(t).SetGraphic(Quadrants(4));
  t.SetMagFilter(maNearest);
  t.SetDisabled(false);
  struct {
    const char* Name;
    std::array<TTexPoint, 4> Tex;
    TRGB BottomLeft, BottomRight, TopRight, TopLeft;
  } cases[] = {
      {"plain", cPlain, cBL, cBR, cTR, cTL},
      {"mirrored in s", {{{1, 0}, {0, 0}, {0, 1}, {1, 1}}}, cBR, cBL, cTL, cTR},
      {"upside down", {{{0, 1}, {1, 1}, {1, 0}, {0, 0}}}, cTL, cTR, cBR, cBL},
      {"repeated twice", {{{0, 0}, {2, 0}, {2, 2}, {0, 2}}}, cBL, cBR, cTR, cTL},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    Frame(m, {0, 0, 1}, c.Tex);
    EXPECT_TRUE(PixelIs(2, 2, Rgba(c.BottomLeft)));
    EXPECT_TRUE(PixelIs(cWidth - 3, 2, Rgba(c.BottomRight)));
    EXPECT_TRUE(PixelIs(cWidth - 3, cHeight - 3, Rgba(c.TopRight)));
    EXPECT_TRUE(PixelIs(2, cHeight - 3, Rgba(c.TopLeft)));
  }
  EXPECT_EQ(t.TexWidth(), 4);
  EXPECT_EQ(t.TexHeight(), 4);
}

TEST_F(TexturePixels, EveryAlphaRuleOnTheUploadedTexels) {
  // Rows top to bottom: A B / C D; the data, bottom-up, holds C D A B.
  const TRGB A{10, 20, 31}, B{255, 255, 254}, C{0, 0, 0}, D{9, 9, 9};
  auto q = [](int i) { return int(std::trunc(255 * std::sqrt(i / 255.0))); };
  const int lum[] = {0, 9, 20, 254};  // (R + G + B) div 3 of C D A B
  struct {
    TGLTextureImageAlpha Rule;
    std::vector<int> Alpha;  // of C D A B
  } cases[] = {
      {tiaDefault, {255, 255, 255, 255}},
      {tiaAlphaFromIntensity, {lum[0], lum[1], lum[2], lum[3]}},
      {tiaLuminance, {0, 9, 20, 254}},
      {tiaSuperBlackTransparent, {0, 255, 255, 255}},
      {tiaLuminanceSqrt, {q(0), q(9), q(20), q(254)}},
      {tiaOpaque, {255, 255, 255, 255}},
      {tiaTopLeftPointColorTransparent, {0, 255, 255, 255}},  // the first pixel of the data: C
      {tiaInverseLuminance, {255, 246, 235, 1}},
      {tiaInverseLuminanceSqrt, {255 - q(0), 255 - q(9), 255 - q(20), 255 - q(254)}},
      {tiaBottomRightPointColorTransparent, {255, 0, 255, 255}},  // pixel width - 1: D
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(int(c.Rule));
    TGLTexture t(nullptr);
    PictureOf(t).SetGraphic(Graphic(2, 2, {A, B, C, D}));
    t.SetImageAlpha(c.Rule);
    const TBytes texels = Texels(t);
    ASSERT_EQ(texels.size(), 16u);
    const TRGB order[] = {C, D, A, B};
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(texels[size_t(i) * 4 + 3], c.Alpha[size_t(i)]) << "texel " << i;
      for (int k = 0; k < 3; ++k) EXPECT_EQ(texels[size_t(i) * 4 + size_t(k)], order[i][size_t(k)]);
    }
  }
}

TEST_F(TexturePixels, LuminanceAlphaMixesTheLitColourInDecalMode) {
  // The house rule: decal mixes the material colour (here unlit blue) and the texel by the
  // texel's alpha, which tiaLuminance made its brightness.
  TGLMaterial m(nullptr);
  m.FrontProperties().Diffuse().SetColor({0, 0, 1, 1});
  TGLTexture& t = m.Texture();
  t.SetDisabled(false);
  for (TRGB texel : {TRGB{10, 20, 31}, TRGB{255, 255, 254}}) {
    SCOPED_TRACE(int(texel[2]));
    PictureOf(t).SetGraphic(Graphic(2, 2, {texel, texel, texel, texel}));
    t.SetImageAlpha(tiaDefault);
    Frame(m);
    EXPECT_TRUE(PixelIs(32, 32, Rgba(texel)));
    t.SetImageAlpha(tiaLuminance);
    Frame(m);
    const double a = ((texel[0] + texel[1] + texel[2]) / 3) / 255.0;
    const TRGB fragment{0, 0, 255};
    TRGBA8 expected{};
    for (int k = 0; k < 3; ++k)
      expected[size_t(k)] = Byte((fragment[size_t(k)] * (1 - a) + texel[size_t(k)] * a) / 255.0);
    expected[3] = 255;
    EXPECT_TRUE(PixelIs(32, 32, expected, 1));
  }
}

TEST_F(TexturePixels, NormalMapCoordinatesOfTheHouses) {
  // tmmCubeMapNormal on a 2D texture: (s, t) is the eye-space normal, whatever texture
  // coordinates the geometry has (here the top-right quadrant's).
  TGLMaterial m(nullptr);
  TGLTexture& t = m.Texture();
  PictureOf(t).SetGraphic(Quadrants(2));
  t.SetMagFilter(maNearest);
  t.SetMappingMode(tmmCubeMapNormal);
  t.SetDisabled(false);
  const std::array<TTexPoint, 4> topRight{
      {{0.75f, 0.75f}, {0.75f, 0.75f}, {0.75f, 0.75f}, {0.75f, 0.75f}}};
  struct {
    TVector3f Normal;
    TRGB Expect;
  } cases[] = {
      {{0, 0, 1}, cBL},        // s = t = 0
      {{0.6f, 0, 0.8f}, cBR},  // s = 0.6
      {{0, 0.6f, 0.8f}, cTL},  // t = 0.6
      {{0.6f, 0.6f, 0.529f}, cTR},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Normal.X << ", " << c.Normal.Y);
    Frame(m, c.Normal, topRight);
    EXPECT_TRUE(PixelIs(32, 32, Rgba(c.Expect)));
  }
  // Un-applying switches the generation off again.
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_T));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_R));
  // Without cube-map textures nothing is generated: the geometry's coordinates show.
  WithFeatures([](gl::TGLFeatures& f) { f.ARB_texture_cube_map = false; });
  Frame(m, {0, 0, 1}, topRight);
  EXPECT_TRUE(PixelIs(32, 32, Rgba(cTR)));
}

TEST_F(TexturePixels, MipmapLevelsBuiltInSoftwareFromTheResampledPicture) {
  // Neither non-power-of-two textures nor generated mipmaps: the 756 x 512 picture goes up
  // as 1024 x 512 and eleven levels, each sent on its own.
  WithFeatures([](gl::TGLFeatures& f) {
    f.ARB_texture_non_power_of_two = false;
    f.SGIS_generate_mipmap = false;
  });
  TGLTexture t(nullptr);
  const TGLGraphic grass = Noise(756, 512);
  PictureOf(t).SetGraphic(grass);
  gl::ResetCallCounts();
  ASSERT_NE(t.Handle(), 0u);
  EXPECT_EQ(gl::CallCount("glTexImage2D"), 11u);
  EXPECT_EQ(t.TexWidth(), 1024);
  EXPECT_EQ(t.TexHeight(), 512);
  Bind(t);
  for (int level = 0; level < 11; ++level) {
    EXPECT_EQ(TexLevelParameter(level, GL_TEXTURE_WIDTH), 1024 >> level) << level;
    EXPECT_EQ(TexLevelParameter(level, GL_TEXTURE_HEIGHT), std::max(1, 512 >> level)) << level;
  }
  EXPECT_EQ(TexParameter(GL_TEXTURE_MAX_LEVEL), 10);

  // Level 0 is the Lanczos-3 resize of the picture (three bytes a pixel, in BGR order with
  // GL_EXT_bgra) and level 1 its triangle-filtered half.
  TGLImage expected;
  expected.AssignFromGraphic(grass, FFeatures);
  ASSERT_EQ(expected.ColorFormat(), GLenum(GL_BGR));
  TBytes level0(1024 * 512 * 3);
  ResampleImage(expected.Data().data(), 756, 512, 3, level0.data(), 1024, 512, cLanczos3Filter);
  EXPECT_EQ(Texels(t, 0, GL_BGR), level0);
  TBytes chain = level0;
  BuildMipmaps(chain, 1024, 512, 3, 2);
  EXPECT_EQ(Texels(t, 1, GL_BGR), TBytes(chain.begin() + 1024 * 512 * 3, chain.end()));
  int32_t bytes = 0;
  for (int level = 0; level < 11; ++level) bytes += (1024 >> level) * std::max(1, 512 >> level) * 4;
  EXPECT_EQ(t.TextureImageRequiredMemory(), bytes);
}

TEST_F(TexturePixels, NonPowerOfTwoPicturesGoUpAsTheyAre) {
  TGLTexture t(nullptr);
  PictureOf(t).SetGraphic(Noise(756, 512));
  gl::ResetCallCounts();
  ASSERT_NE(t.Handle(), 0u);
  // GL generates the mipmaps here: one level is sent.
  EXPECT_EQ(gl::CallCount("glTexImage2D"), 1u);
  EXPECT_EQ(t.TexWidth(), 756);
  Bind(t);
  EXPECT_EQ(TexLevelParameter(1, GL_TEXTURE_WIDTH), 378);
  EXPECT_EQ(TexParameter(GL_GENERATE_MIPMAP), GL_TRUE);
}

TEST_F(TexturePixels, ConvertedAndSentOncePerChangeNotPerFrame) {
  TGLMaterial m(nullptr);
  TGLTexture& t = m.Texture();
  auto& image = dynamic_cast<TGLPersistentImage&>(t.Image());
  image.Picture().SetGraphic(Quadrants(4));
  t.SetDisabled(false);
  gl::ResetCallCounts();
  Frame(m);
  Frame(m);
  EXPECT_EQ(gl::CallCount("glGenTextures"), 1u);
  EXPECT_EQ(gl::CallCount("glTexImage2D"), 1u);
  // The converted copy went after sending; the picture stays.
  EXPECT_FALSE(image.HasBitmap32());
  EXPECT_TRUE(image.Picture().HasGraphic());

  // The second frame costs the environment and no upload, binding or parameter.
  gl::ResetCallCounts();
  Frame(m);
  EXPECT_EQ(gl::CallCount("glTexImage2D"), 0u);
  EXPECT_EQ(gl::CallCount("glBindTexture"), 0u);
  EXPECT_EQ(gl::CallCount("glTexParameteri"), 0u);
  EXPECT_EQ(gl::CallCount("glTexEnvi"), 1u);

  // A sampling change resends the parameters only; a new picture resends the pixels.
  t.SetMagFilter(maNearest);
  gl::ResetCallCounts();
  Frame(m);
  EXPECT_EQ(gl::CallCount("glTexImage2D"), 0u);
  EXPECT_GT(gl::CallCount("glTexParameteri"), 0u);
  image.Picture().SetGraphic(Quadrants(8));
  gl::ResetCallCounts();
  Frame(m);
  Frame(m);
  EXPECT_EQ(gl::CallCount("glTexImage2D"), 1u);
  EXPECT_EQ(gl::CallCount("glGenTextures"), 0u);
  EXPECT_EQ(t.TexWidth(), 8);

  t.SetKeepImageAfterTransfer(true);
  image.Picture().SetGraphic(Quadrants(4));
  Frame(m);
  EXPECT_TRUE(image.HasBitmap32());
}

TEST_F(TexturePixels, ADisabledTextureIsUploadedButNotBound) {
  TGLMaterial m(nullptr);
  TGLTexture& t = m.Texture();
  PictureOf(t).SetGraphic(Quadrants(4));
  t.SetMagFilter(maNearest);
  m.FrontProperties().Diffuse().SetColor({0, 1, 1, 1});
  Frame(m);
  EXPECT_EQ(gl::CallCount("glTexImage2D"), 1u);
  EXPECT_EQ(States().TextureBinding(0, ttTexture2D), 0u);
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_TRUE(PixelIs(32, 32, {0, 255, 255, 255}));  // drawn untextured

  t.SetDisabled(false);
  gl::ResetCallCounts();
  ClearTo({0, 0, 0, 1});
  m.Apply(FRci);
  EXPECT_EQ(gl::CallCount("glTexImage2D"), 0u);
  EXPECT_EQ(gl::CallCount("glBindTexture"), 1u);
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  DrawTexturedQuad({0, 0, 1}, cPlain);
  m.UnApply(FRci);
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_TRUE(PixelIs(2, 2, Rgba(cBL)));
}

TEST_F(TexturePixels, AMissingFileShowsTheErrorPicture) {
  TGLMaterial m(nullptr);
  TGLTexture& t = m.Texture();
  PictureOf(t).SetGraphic(Quadrants(4));
  t.SetDisabled(false);
  Frame(m);
  EXPECT_THROW(t.Image().LoadFromFile("missing-05.bmp"), ETexture);
  Frame(m);
  EXPECT_EQ(t.TexWidth(), 64);
  EXPECT_EQ(t.TexHeight(), 64);
  // The checkerboard's cells fall on the 64 x 64 view one to one.
  EXPECT_TRUE(PixelIs(3, 3, {255, 0, 255, 255}));
  EXPECT_TRUE(PixelIs(11, 3, {40, 40, 40, 255}));
}

TEST_F(TexturePixels, AFormatGLLacksGetsTheErrorPictureWithNearestFiltering) {
  WithFeatures([](gl::TGLFeatures& f) { f.MajorVersion = 2, f.MinorVersion = 1; });
  TGLTexture t(nullptr);
  PictureOf(t).SetGraphic(Quadrants(4));
  t.SetTextureFormatEx(tfRGBA_FLOAT32);
  ASSERT_NE(t.Handle(), 0u);
  EXPECT_STREQ(t.ImageClassName(), "TGLBlankImage");
  EXPECT_EQ(t.MinFilter(), miNearest);
  EXPECT_EQ(t.MagFilter(), maNearest);
  EXPECT_EQ(t.TexWidth(), 64);
  Bind(t);
  EXPECT_EQ(TexParameter(GL_TEXTURE_MIN_FILTER), GL_NEAREST);
  gl::ResetCallCounts();
  t.Handle();
  EXPECT_EQ(gl::CallCount("glTexImage2D"), 0u);  // and that once
}

TEST_F(TexturePixels, WrapFilterAndEnvironmentAsGLSeesThem) {
  struct {
    TGLTextureWrap Wrap;
    GLint S, T, R;
  } wraps[] = {
      {twBoth, GL_REPEAT, GL_REPEAT, GL_REPEAT},
      {twNone, GL_CLAMP_TO_EDGE, GL_CLAMP_TO_EDGE, GL_CLAMP_TO_EDGE},
      {twVertical, GL_CLAMP_TO_EDGE, GL_REPEAT, GL_REPEAT},
      {twHorizontal, GL_REPEAT, GL_CLAMP_TO_EDGE, GL_CLAMP_TO_EDGE},
  };
  TGLTexture t(nullptr);
  PictureOf(t).SetGraphic(Quadrants(4));
  for (const auto& w : wraps) {
    SCOPED_TRACE(int(w.Wrap));
    t.SetTextureWrap(w.Wrap);
    Bind(t);
    EXPECT_EQ(TexParameter(GL_TEXTURE_WRAP_S), w.S);
    EXPECT_EQ(TexParameter(GL_TEXTURE_WRAP_T), w.T);
    EXPECT_EQ(TexParameter(GL_TEXTURE_WRAP_R), w.R);
  }
  t.SetTextureWrap(twSeparate);
  t.SetTextureWrapS(twMirrorRepeat);
  t.SetTextureWrapT(twClampToBorder);
  Bind(t);
  EXPECT_EQ(TexParameter(GL_TEXTURE_WRAP_S), GL_MIRRORED_REPEAT);
  EXPECT_EQ(TexParameter(GL_TEXTURE_WRAP_T), GL_CLAMP_TO_BORDER);
  EXPECT_EQ(TexParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
  EXPECT_EQ(TexParameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);

  // Without level-of-detail control the mipmapped filters fall back to their plain kin.
  WithFeatures([](gl::TGLFeatures& f) { f.SGIS_texture_lod = f.EXT_texture_lod = false; });
  t.SetMinFilter(miNearestMipmapLinear);
  Bind(t);
  EXPECT_EQ(TexParameter(GL_TEXTURE_MIN_FILTER), GL_NEAREST);
  t.SetMinFilter(miLinearMipmapNearest);
  Bind(t);
  EXPECT_EQ(TexParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR);

  TGLMaterial m(nullptr);
  m.Texture().SetDisabled(false);
  PictureOf(m.Texture()).SetGraphic(Quadrants(2));
  const GLint modes[] = {GL_DECAL, GL_MODULATE, GL_BLEND, GL_REPLACE, GL_ADD};
  for (int mode = tmDecal; mode <= tmAdd; ++mode) {
    m.Texture().SetTextureMode(TGLTextureMode(mode));
    m.Apply(FRci);
    GLint got = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &got);
    EXPECT_EQ(got, modes[mode]);
    m.UnApply(FRci);
  }
}

TEST_F(TexturePixels, AnotherImageClassIsANewImageAndANewUpload) {
  TGLTexture t(nullptr);
  EXPECT_STREQ(t.ImageClassName(), "TGLPersistentImage");
  PictureOf(t).SetGraphic(Quadrants(4));
  t.Handle();
  t.SetImageClassName("TGLBlankImage");
  EXPECT_STREQ(t.ImageClassName(), "TGLBlankImage");
  EXPECT_EQ(t.Image().OwnerTexture(), &t);
  gl::ResetCallCounts();
  t.Handle();
  // A blank image is storage without pixels, at its own size.
  EXPECT_EQ(gl::CallCount("glTexImage2D"), 1u);
  EXPECT_EQ(t.TexWidth(), 256);
  try {
    t.SetImageClassName("TGLJpegImage");
    ADD_FAILURE() << "no error";
  } catch (const ETexture& e) {
    EXPECT_STREQ(e.what(), "Unknown texture image class \"TGLJpegImage\"");
  }
}

TEST_F(TexturePixels, EachRenderingContextHasItsOwnNameAndUpload) {
  TGLTexture t(nullptr);
  PictureOf(t).SetGraphic(Quadrants(4));
  ASSERT_NE(t.Handle(), 0u);
  gl::ResetCallCounts();
  {
    platform::TEGLHeadlessContext other(16, 16);
    other.CreateContext(0);
    other.Activate();
    EXPECT_NE(t.Handle(), 0u);
    EXPECT_EQ(gl::CallCount("glTexImage2D"), 1u);  // sent to the second context
    t.Handle();
    EXPECT_EQ(gl::CallCount("glTexImage2D"), 1u);
    other.Deactivate();
    other.DestroyContext();
  }
  // Back in the first context, whose texture is still up to date.
  EXPECT_NE(t.Handle(), 0u);
  EXPECT_EQ(gl::CallCount("glTexImage2D"), 1u);
  // A new picture is resent here once.
  PictureOf(t).SetGraphic(Quadrants(2));
  t.Handle();
  t.Handle();
  EXPECT_EQ(gl::CallCount("glTexImage2D"), 2u);
}

TEST_F(TexturePixels, DestroyHandlesDropsTheNameAndTheNextUseSendsAgain) {
  TGLTexture t(nullptr);
  PictureOf(t).SetGraphic(Quadrants(4));
  const GLuint name = t.Handle();
  ASSERT_NE(name, 0u);
  EXPECT_TRUE(glIsTexture(name));
  t.DestroyHandles();
  EXPECT_FALSE(glIsTexture(name));
  EXPECT_EQ(t.TextureImageRequiredMemory(), (16 + 4 + 1) * 4);  // RGBA8, mipmapped
  gl::ResetCallCounts();
  EXPECT_NE(t.Handle(), 0u);
  EXPECT_EQ(gl::CallCount("glTexImage2D"), 1u);
}

}  // namespace
}  // namespace ukh::test
