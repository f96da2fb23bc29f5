// TGLContext: the engine's face of one OpenGL rendering context. A platform (headless EGL,
// a toolkit window) derives from it and supplies the Do* operations; the engine only
// activates, deactivates and swaps. The context owns the state cache and the transformation
// stack that belong to it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "engine/base/Exception.h"
#include "engine/gl/GLApi.h"
#include "engine/gl/GLStateCache.h"
#include "engine/gl/GLTransformation.h"

namespace ukh {

// Failures of context creation, activation and use, with their fixed messages.
class EGLContextError : public Exception {
 public:
  using Exception::Exception;
};

// A platform call that failed, with the platform's error code and message; the context
// turns activation failures into log entries and a silent abort.
class EPlatformContextError : public Exception {
 public:
  EPlatformContextError(uint32_t code, const std::string& message)
      : Exception(message), Code(code) {}
  uint32_t Code;
};

// What the pixel format must offer; changing it on an active context fails.
struct TGLPixelFormatRequest {
  int32_t ColorBits = 24;
  int32_t AlphaBits = 0;
  int32_t DepthBits = 24;
  int32_t StencilBits = 0;
  int32_t AccumBits = 0;
  int32_t AuxBuffers = 0;
  int32_t Samples = 0;  // 0: no multisample buffers
  bool DoubleBuffered = true;
  bool Stereo = false;
  bool Software = false;  // no hardware acceleration required
  bool DebugContext = false;
  friend bool operator==(const TGLPixelFormatRequest&, const TGLPixelFormatRequest&) = default;
};

class TGLContext {
 public:
  TGLContext();
  // A platform's destructor must call DestroyContext itself: it cannot run from here.
  virtual ~TGLContext();
  TGLContext(const TGLContext&) = delete;
  TGLContext& operator=(const TGLContext&) = delete;

  const TGLPixelFormatRequest& PixelFormat() const { return FPixelFormat; }
  // Fails "Cannot alter an active context" while active.
  void SetPixelFormat(const TGLPixelFormatRequest& request);

  // Creates the platform context on the given native window or device handle (unused by
  // headless platforms). Platform failures propagate.
  void CreateContext(intptr_t nativeHandle);
  // Releases the platform context, deactivating it first if it is current.
  void DestroyContext();
  // Shares display lists and textures with `other`; false if the platform cannot now.
  bool ShareLists(TGLContext& other);

  // Counted: nested activations cost no platform call. The first one makes the context
  // current for this thread and the engine; if another context was current, the last
  // Deactivate makes that one current again.
  void Activate();
  void Deactivate();
  bool Active() const { return FActivationCount > 0; }
  int32_t ActivationCount() const { return FActivationCount; }
  void SwapBuffers();
  virtual bool IsValid() const = 0;

  TGLStateCache& GLStates() { return *FGLStates; }
  TGLTransformation& PipelineTransformation() { return *FTransformation; }
  // What GL offers, read at the first activation after creation.
  const gl::TGLFeatures& Features() const { return FFeatures; }
  // Different for every platform context ever created in this process (0 before the first
  // CreateContext), so GL names can be told apart from those of an earlier context.
  uint64_t Serial() const { return FSerial; }

  static TGLContext* CurrentGLContext();

 protected:
  virtual void DoCreateContext(intptr_t nativeHandle) = 0;
  virtual bool DoShareLists(TGLContext& other) = 0;
  virtual void DoDestroyContext() = 0;
  // Throw EPlatformContextError when the platform refuses.
  virtual void DoActivate() = 0;
  virtual void DoDeactivate() = 0;
  virtual void DoSwapBuffers() = 0;

 private:
  TGLPixelFormatRequest FPixelFormat;
  int32_t FActivationCount = 0;
  uint64_t FSerial = 0;
  TGLContext* FPrevious = nullptr;  // current before the first Activate
  bool FFeaturesRead = false;
  gl::TGLFeatures FFeatures;
  std::unique_ptr<TGLStateCache> FGLStates;
  std::unique_ptr<TGLTransformation> FTransformation;
};

// The context manager: the platform installs the factory that makes its contexts.
using TGLContextFactory = std::function<std::unique_ptr<TGLContext>()>;
void SetGLContextFactory(TGLContextFactory factory);
// A new, not yet created context from the factory; nullptr when there is none.
std::unique_ptr<TGLContext> NewGLContext();

}  // namespace ukh
