// Surfaceless EGL display, context and framebuffer object.
#include "platform/egl/EGLHeadlessContext.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstdio>
#include <string>

namespace ukh::platform {

namespace {

// EGL has one display per platform and terminating it would kill every context on it. It is
// initialised once and never terminated: termination unloads the driver, after which the
// driver's own exit-time leaks can no longer be told apart from ours.
EGLDisplay gDisplay = EGL_NO_DISPLAY;

std::string EGLErrorText(const char* what) {
  char code[16];
  std::snprintf(code, sizeof code, "0x%04X", unsigned(eglGetError()));
  return std::string(what) + " failed (EGL error " + code + ")";
}

EGLDisplay AcquireDisplay() {
  if (gDisplay == EGL_NO_DISPLAY) {
    EGLDisplay display =
        eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY) throw EGLContextError(EGLErrorText("eglGetPlatformDisplay"));
    EGLint major = 0, minor = 0;
    if (!eglInitialize(display, &major, &minor))
      throw EGLContextError(EGLErrorText("eglInitialize"));
    gDisplay = display;
  }
  return gDisplay;
}

}  // namespace

TEGLHeadlessContext::TEGLHeadlessContext(int32_t width, int32_t height)
    : FWidth(width < 1 ? 1 : width), FHeight(height < 1 ? 1 : height) {}

TEGLHeadlessContext::~TEGLHeadlessContext() {
  DestroyContext();
}

void TEGLHeadlessContext::DoCreateContext(intptr_t) {
  if (FContext) DestroyContext();
  EGLDisplay display = AcquireDisplay();
  EGLContext previous = eglGetCurrentContext();
  try {
    if (!eglBindAPI(EGL_OPENGL_API)) throw EGLContextError(EGLErrorText("eglBindAPI"));
    // The frame buffer is our own, so the config only has to offer desktop GL; the default
    // surface type (windows) would match nothing on the surfaceless platform.
    const EGLint configAttribs[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_SURFACE_TYPE,
                                    EGL_PBUFFER_BIT, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint count = 0;
    if (!eglChooseConfig(display, configAttribs, &config, 1, &count) || count < 1)
      throw EGLContextError(EGLErrorText("eglChooseConfig"));
    EGLint contextAttribs[] = {
        EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
        PixelFormat().DebugContext ? EGL_CONTEXT_OPENGL_DEBUG : EGL_NONE, EGL_TRUE, EGL_NONE};
    EGLContext share = FShareWith && FShareWith->FContext ? FShareWith->FContext : EGL_NO_CONTEXT;
    EGLContext context = eglCreateContext(display, config, share, contextAttribs);
    if (context == EGL_NO_CONTEXT) throw EGLContextError(EGLErrorText("eglCreateContext"));
    FContext = context;

    // The frame buffer object stays bound for the life of the context. Whatever context was
    // current before is current again afterwards.
    if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context))
      throw EGLContextError(EGLErrorText("eglMakeCurrent"));
    glGenFramebuffers(1, &FFramebuffer);
    glGenRenderbuffers(1, &FColorBuffer);
    glGenRenderbuffers(1, &FDepthBuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, FFramebuffer);
    AllocateStorage();
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, FColorBuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                              FDepthBuffer);
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    while (glGetError() != GL_NO_ERROR) {
    }
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, previous);
    if (status != GL_FRAMEBUFFER_COMPLETE)
      throw EGLContextError("Frame buffer object incomplete: status " + std::to_string(status));
  } catch (...) {
    if (FContext) {
      eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, previous);
      eglDestroyContext(display, FContext);
    }
    FContext = nullptr;
    FFramebuffer = FColorBuffer = FDepthBuffer = 0;
    throw;
  }
}

void TEGLHeadlessContext::AllocateStorage() {
  glBindRenderbuffer(GL_RENDERBUFFER, FColorBuffer);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, FWidth, FHeight);
  glBindRenderbuffer(GL_RENDERBUFFER, FDepthBuffer);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, FWidth, FHeight);
  glBindRenderbuffer(GL_RENDERBUFFER, 0);
}

void TEGLHeadlessContext::SetSize(int32_t width, int32_t height) {
  FWidth = width < 1 ? 1 : width;
  FHeight = height < 1 ? 1 : height;
  if (!FContext) return;
  Activate();
  AllocateStorage();
  Deactivate();
}

bool TEGLHeadlessContext::DoShareLists(TGLContext& other) {
  // EGL shares only at creation: the share partner is remembered for CreateContext.
  auto* partner = dynamic_cast<TEGLHeadlessContext*>(&other);
  if (!partner || FContext || !partner->FContext) return false;
  FShareWith = partner;
  return true;
}

void TEGLHeadlessContext::DoDestroyContext() {
  if (!FContext) return;
  EGLDisplay display = gDisplay;
  EGLContext previous = eglGetCurrentContext();
  if (previous == FContext) previous = EGL_NO_CONTEXT;
  if (eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, FContext)) {
    glDeleteFramebuffers(1, &FFramebuffer);
    glDeleteRenderbuffers(1, &FColorBuffer);
    glDeleteRenderbuffers(1, &FDepthBuffer);
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, previous);
  }
  const bool destroyed = eglDestroyContext(display, FContext);
  FContext = nullptr;
  FShareWith = nullptr;
  FFramebuffer = FColorBuffer = FDepthBuffer = 0;
  if (!destroyed) throw EPlatformContextError(eglGetError(), "eglDestroyContext failed");
}

void TEGLHeadlessContext::DoActivate() {
  if (!eglMakeCurrent(gDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, FContext)) {
    const EGLint code = eglGetError();
    throw EPlatformContextError(uint32_t(code), "eglMakeCurrent refused the context");
  }
}

void TEGLHeadlessContext::DoDeactivate() {
  if (!eglMakeCurrent(gDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT)) {
    const EGLint code = eglGetError();
    throw EPlatformContextError(uint32_t(code), "eglMakeCurrent could not release the context");
  }
}

void TEGLHeadlessContext::DoSwapBuffers() {
  glFlush();
  ++FSwapCount;
}

std::vector<uint8_t> TEGLHeadlessContext::ReadPixels(int32_t x, int32_t y, int32_t width,
                                                     int32_t height) {
  if (!FContext) throw EGLContextError("Context not created");
  if (width < 0 || height < 0) throw EGLContextError("Negative read-back size");
  std::vector<uint8_t> pixels(size_t(width) * size_t(height) * 4);
  Activate();
  // RGBA8 rows are whole 4-byte words, so any pack alignment gives packed rows.
  glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  Deactivate();
  return pixels;
}

std::array<uint8_t, 4> TEGLHeadlessContext::ReadPixel(int32_t x, int32_t y) {
  std::vector<uint8_t> p = ReadPixels(x, y, 1, 1);
  return {p[0], p[1], p[2], p[3]};
}

void UseHeadlessGLContexts(int32_t width, int32_t height) {
  SetGLContextFactory(
      [width, height] { return std::make_unique<TEGLHeadlessContext>(width, height); });
}

}  // namespace ukh::platform
