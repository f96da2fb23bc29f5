// A GoogleTest fixture with a current headless GL context of 64 x 64 pixels, the viewport
// set through its state cache and the GL call counters reset, for pixel tests of any layer.
// Link ukh_platform_egl.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "engine/gl/GLApi.h"
#include "engine/gl/GLContext.h"
#include "platform/egl/EGLHeadlessContext.h"

namespace ukh::test {

using TRGBA8 = std::array<uint8_t, 4>;

class GLTestContext : public ::testing::Test {
 protected:
  static constexpr int32_t cWidth = 64;
  static constexpr int32_t cHeight = 64;

  void SetUp() override {
    FContext = std::make_unique<platform::TEGLHeadlessContext>(cWidth, cHeight);
    FContext->CreateContext(0);
    FContext->Activate();
    States().SetViewPort({0, 0, cWidth, cHeight});
    gl::ClearGLError();
    gl::ResetCallCounts();
  }

  void TearDown() override {
    if (!FContext) return;
    while (FContext->Active()) FContext->Deactivate();
    FContext->DestroyContext();
  }

  platform::TEGLHeadlessContext& Context() { return *FContext; }
  TGLStateCache& States() { return FContext->GLStates(); }
  TGLTransformation& Transformation() { return FContext->PipelineTransformation(); }

  // Clears colour and depth to `color` (0..1 floats) and 1.0, through the state cache.
  void ClearTo(const TVector4f& color) {
    States().SetColorClearValue(color);
    States().SetDepthWriteMask(true);
    States().SetGLColorWriting(true);
    gl::Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }

  // Projection mapping window pixels 1:1: x in [0, width] and y in [0, height] to the
  // viewport, z in [-1, 1] to depth 1..0; model and view identity.
  void UsePixelProjection() {
    TMatrix4f m = IdentityHmgMatrix;
    m.X.X = 2.0f / cWidth;
    m.Y.Y = 2.0f / cHeight;
    m.Z.Z = -1;
    m.W.X = -1;
    m.W.Y = -1;
    Transformation().IdentityAll();
    Transformation().SetProjectionMatrix(m);
  }

  // An axis-aligned quad at depth z, counter-clockwise (front facing) unless `clockwise`.
  static void DrawQuad(float x0, float y0, float x1, float y1, float z = 0,
                       bool clockwise = false) {
    gl::Begin(GL_QUADS);
    gl::Normal3f(0, 0, 1);
    if (!clockwise) {
      gl::Vertex3f(x0, y0, z);
      gl::Vertex3f(x1, y0, z);
      gl::Vertex3f(x1, y1, z);
      gl::Vertex3f(x0, y1, z);
    } else {
      gl::Vertex3f(x0, y0, z);
      gl::Vertex3f(x0, y1, z);
      gl::Vertex3f(x1, y1, z);
      gl::Vertex3f(x1, y0, z);
    }
    gl::End();
  }

  TRGBA8 Pixel(int32_t x, int32_t y) { return FContext->ReadPixel(x, y); }

  // Each channel within `tolerance` of the expected byte.
  ::testing::AssertionResult PixelIs(int32_t x, int32_t y, TRGBA8 expected, int tolerance = 0) {
    const TRGBA8 got = Pixel(x, y);
    for (int i = 0; i < 4; ++i) {
      if (std::abs(int(got[i]) - int(expected[i])) > tolerance) {
        return ::testing::AssertionFailure()
               << "pixel (" << x << ", " << y << ") is (" << int(got[0]) << ", " << int(got[1])
               << ", " << int(got[2]) << ", " << int(got[3]) << "), expected (" << int(expected[0])
               << ", " << int(expected[1]) << ", " << int(expected[2]) << ", " << int(expected[3])
               << ") +/- " << tolerance;
      }
    }
    return ::testing::AssertionSuccess();
  }

  // A float colour channel as the colour buffer stores it (round to nearest byte).
  static uint8_t Byte(double value) {
    if (value <= 0) return 0;
    if (value >= 1) return 255;
    return uint8_t(value * 255 + 0.5);
  }

 private:
  std::unique_ptr<platform::TEGLHeadlessContext> FContext;
};

}  // namespace ukh::test
