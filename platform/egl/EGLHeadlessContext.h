// TEGLHeadlessContext: a compatibility-profile OpenGL context without any window, on Mesa's
// EGL surfaceless platform, drawing into a framebuffer object with an RGBA8 colour buffer
// and a 24-bit depth / 8-bit stencil buffer of a given size. Frames are read back with
// ReadPixels; SwapBuffers only flushes.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "engine/gl/GLContext.h"

namespace ukh::platform {

class TEGLHeadlessContext : public TGLContext {
 public:
  TEGLHeadlessContext(int32_t width, int32_t height);
  ~TEGLHeadlessContext() override;

  bool IsValid() const override { return FContext != nullptr; }
  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }
  // Reallocates the frame buffer (contents undefined afterwards).
  void SetSize(int32_t width, int32_t height);
  int32_t SwapCount() const { return FSwapCount; }

  // RGBA bytes of a rectangle, rows bottom-up as GL counts them.
  std::vector<uint8_t> ReadPixels(int32_t x, int32_t y, int32_t width, int32_t height);
  std::array<uint8_t, 4> ReadPixel(int32_t x, int32_t y);

 protected:
  void DoCreateContext(intptr_t nativeHandle) override;
  bool DoShareLists(TGLContext& other) override;
  void DoDestroyContext() override;
  void DoActivate() override;
  void DoDeactivate() override;
  void DoSwapBuffers() override;

 private:
  void AllocateStorage();

  int32_t FWidth, FHeight;
  void* FContext = nullptr;  // EGLContext
  TEGLHeadlessContext* FShareWith = nullptr;
  uint32_t FFramebuffer = 0, FColorBuffer = 0, FDepthBuffer = 0;
  int32_t FSwapCount = 0;
};

// Makes NewGLContext() hand out headless contexts of the given size.
void UseHeadlessGLContexts(int32_t width, int32_t height);

}  // namespace ukh::platform
