// The headless context: pixels of a clear and of a flat quad, counted activation, and the
// debug check that names the GL call behind an error.
#include <gtest/gtest.h>

#include "engine/gl/GLLog.h"
#include "tests/gl/GLTestContext.h"

namespace ukh::test {
namespace {

using ContextPixels = GLTestContext;

TEST_F(ContextPixels, ClearColourFillsEveryPixel) {
  // 0.2 * 255 = 51, 0.4 * 255 = 102, 0.6 * 255 = 153, 1.0 = 255.
  ClearTo({0.2f, 0.4f, 0.6f, 1});
  for (auto [x, y] : {std::pair{0, 0}, {63, 0}, {0, 63}, {63, 63}, {31, 17}})
    EXPECT_TRUE(PixelIs(x, y, {51, 102, 153, 255})) << x << "," << y;
}

TEST_F(ContextPixels, FlatQuadCoversExactlyItsPixels) {
  ClearTo({0, 0, 0, 1});
  UsePixelProjection();
  States().Disable(stLighting);
  gl::Color4f(1, 0.5f, 0, 1);  // 0.5 * 255 = 127.5 rounds to 128
  DrawQuad(16, 16, 48, 32);
  // Pixel centres (x + 0.5, y + 0.5) inside [16, 48) x [16, 32) are covered.
  EXPECT_TRUE(PixelIs(16, 16, {255, 128, 0, 255}));
  EXPECT_TRUE(PixelIs(47, 31, {255, 128, 0, 255}));
  EXPECT_TRUE(PixelIs(30, 20, {255, 128, 0, 255}));
  EXPECT_TRUE(PixelIs(15, 20, {0, 0, 0, 255}));
  EXPECT_TRUE(PixelIs(48, 20, {0, 0, 0, 255}));
  EXPECT_TRUE(PixelIs(30, 15, {0, 0, 0, 255}));
  EXPECT_TRUE(PixelIs(30, 32, {0, 0, 0, 255}));
}

TEST_F(ContextPixels, RendererIsCompatibilityProfileOfAtLeastOneOne) {
  EXPECT_TRUE(Context().Features().VersionAtLeast(1, 1));
  EXPECT_EQ(TGLContext::CurrentGLContext(), &Context());
  // Fixed-function state exists: a compatibility context accepts glMatrixMode(GL_PROJECTION).
  gl::MatrixMode(GL_PROJECTION);
  gl::MatrixMode(GL_MODELVIEW);
  EXPECT_NO_THROW(gl::CheckGLError());
}

TEST_F(ContextPixels, ActivationIsCountedAndBalanced) {
  TGLContext& c = Context();
  EXPECT_EQ(c.ActivationCount(), 1);
  c.Activate();
  EXPECT_EQ(c.ActivationCount(), 2);
  c.Deactivate();
  EXPECT_EQ(TGLContext::CurrentGLContext(), &c);  // still current after the inner bracket
  c.Deactivate();
  EXPECT_EQ(TGLContext::CurrentGLContext(), nullptr);
  EXPECT_FALSE(c.Active());
  try {
    c.Deactivate();
    FAIL() << "no exception";
  } catch (const EGLContextError& e) {
    EXPECT_STREQ(e.what(), "Unbalanced context activations");
  }
  c.Activate();
  EXPECT_EQ(TGLContext::CurrentGLContext(), &c);
}

TEST_F(ContextPixels, NestedContextHandsBackToThePreviousOne) {
  ClearTo({1, 0, 0, 1});
  platform::TEGLHeadlessContext other(8, 8);
  other.CreateContext(0);
  other.Activate();  // first activation of another context takes over
  EXPECT_EQ(TGLContext::CurrentGLContext(), &other);
  try {
    Context().Activate();  // already active, but not current
    FAIL() << "no exception";
  } catch (const EAssertionFailed& e) {
    EXPECT_STREQ(e.what(), "vCurrentGLContext <> Self");
  }
  other.Deactivate();
  EXPECT_EQ(TGLContext::CurrentGLContext(), &Context());
  // GL calls reach the first context's frame buffer again.
  ClearTo({0, 0, 1, 1});
  EXPECT_TRUE(PixelIs(3, 3, {0, 0, 255, 255}));
}

TEST_F(ContextPixels, MakingAnotherContextLeavesTheCurrentOneCurrent) {
  {
    platform::TEGLHeadlessContext other(8, 8);
    other.CreateContext(0);
    ClearTo({0, 1, 0, 1});
    EXPECT_TRUE(PixelIs(5, 5, {0, 255, 0, 255}));
    other.DestroyContext();
  }
  ClearTo({1, 0, 1, 1});
  EXPECT_TRUE(PixelIs(5, 5, {255, 0, 255, 255}));
}

TEST(ContextLifecycle, UncreatedContextRefusesActivation) {
  platform::TEGLHeadlessContext c(4, 4);
  EXPECT_FALSE(c.IsValid());
  try {
    c.Activate();
    FAIL() << "no exception";
  } catch (const EGLContextError& e) {
    EXPECT_STREQ(e.what(), "Context not created");
  }
  EXPECT_FALSE(c.Active());
}

TEST(ContextLifecycle, PixelFormatIsFixedWhileActive) {
  platform::TEGLHeadlessContext c(4, 4);
  c.CreateContext(0);
  c.Activate();
  TGLPixelFormatRequest request;
  request.StencilBits = 8;
  EXPECT_THROW(c.SetPixelFormat(request), EGLContextError);
  c.Deactivate();
  c.SetPixelFormat(request);
  EXPECT_EQ(c.PixelFormat().StencilBits, 8);
}

TEST(ContextLifecycle, FactoryMakesHeadlessContexts) {
  SetGLContextFactory(nullptr);
  EXPECT_EQ(NewGLContext(), nullptr);
  platform::UseHeadlessGLContexts(32, 16);
  std::unique_ptr<TGLContext> c = NewGLContext();
  ASSERT_NE(c, nullptr);
  c->CreateContext(0);
  auto& headless = dynamic_cast<platform::TEGLHeadlessContext&>(*c);
  EXPECT_EQ(headless.Width(), 32);
  EXPECT_EQ(headless.Height(), 16);
  c->Activate();
  c->SwapBuffers();
  c->Deactivate();
  EXPECT_EQ(headless.SwapCount(), 1);
  SetGLContextFactory(nullptr);
}

TEST_F(ContextPixels, SharedContextSeesTheOthersDisplayLists) {
  GLuint list = gl::GenLists(1);
  States().NewList(list, GL_COMPILE);
  States().Disable(stLighting);
  gl::Color4f(0, 1, 0, 1);
  DrawQuad(0, 0, 64, 64);
  States().EndList();
  Context().Deactivate();

  platform::TEGLHeadlessContext second(64, 64);
  ASSERT_TRUE(second.ShareLists(Context()));
  second.CreateContext(0);
  second.Activate();
  EXPECT_TRUE(gl::IsList(list));
  second.Deactivate();
  second.DestroyContext();
  Context().Activate();
}

TEST_F(ContextPixels, CheckNamesTheCallThatRaisedTheError) {
#ifdef UKH_GL_CHECK
  TGLLogCapture log;
  gl::Enable(GL_LIGHTING);
  gl::Enable(0x1234);  // not a capability: GL_INVALID_ENUM
  gl::Clear(GL_COLOR_BUFFER_BIT);
  try {
    gl::CheckGLError();
    FAIL() << "no exception";
  } catch (const EOpenGLError& e) {
    EXPECT_STREQ(e.what(), "OpenGL error GL_INVALID_ENUM after glEnable");
  }
  ASSERT_EQ(log.Entries.size(), 1u);
  EXPECT_EQ(log.Entries[0].Level, TLogLevel::lkError);
  EXPECT_EQ(log.Entries[0].Message, "OpenGL error GL_INVALID_ENUM after glEnable");
  EXPECT_NO_THROW(gl::CheckGLError());  // reported once
#else
  GTEST_SKIP() << "built without UKH_GL_CHECK";
#endif
}

TEST_F(ContextPixels, CheckWaitsForEndOfBeginEndBlock) {
#ifdef UKH_GL_CHECK
  TGLLogCapture log;
  gl::Begin(GL_TRIANGLES);
  gl::Vertex3f(0, 0, 0);  // no glGetError here: it would itself be an error
  gl::Vertex3f(1, 0, 0);
  gl::Vertex3f(0, 1, 0);
  gl::End();
  EXPECT_NO_THROW(gl::CheckGLError());
  gl::Begin(GL_TRIANGLES);
  gl::Begin(GL_TRIANGLES);  // nested: GL_INVALID_OPERATION, seen after glEnd
  gl::End();
  EXPECT_THROW(gl::CheckGLError(), EOpenGLError);
#else
  GTEST_SKIP() << "built without UKH_GL_CHECK";
#endif
}

TEST(GLCallCounter, CountsByNameAndRejectsUnknownNames) {
  EXPECT_THROW(gl::CallCount("glEnabel"), Exception);
  EXPECT_EQ(gl::CallName(gl::TGLCall::gluCylinder), std::string("gluCylinder"));
}

}  // namespace
}  // namespace ukh::test
