// TGLWorldViewer: the child window that shows a scene through a camera. It owns the render
// buffer and connects it to a host, the toolkit's GL window or a headless frame buffer,
// which implements IGLViewerHost: it names the native window the context is made on, asks
// the window system for a paint when the buffer reports a change, and rebuilds the window
// when a pixel-format setting changes. The host calls back on window creation, size, paint
// and destruction.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/base/Component.h"
#include "engine/render/GLWorldBuffer.h"

namespace ukh {

class TGLCamera;

enum class TGLVSyncMode : uint8_t { vsmSync, vsmNoSync };

class IGLViewerHost {
 public:
  // Handed to TGLContext::CreateContext.
  virtual intptr_t NativeHandle() = 0;
  // Where the viewer's contexts come from; the context manager's factory by default.
  virtual std::unique_ptr<TGLContext> NewContext() { return NewGLContext(); }
  // Ask the window system for one paint of the viewer's window.
  virtual void Invalidate() = 0;
  // Destroy and recreate the window, and with it the context.
  virtual void RecreateWindow() = 0;
  // Set the swap interval (0 or 1) where the platform can; called before each frame.
  virtual void SetSwapInterval(int32_t) {}

 protected:
  ~IGLViewerHost() = default;
};

class TGLWorldViewer : public TComponent {
 public:
  explicit TGLWorldViewer(TComponent* owner = nullptr, IGLViewerHost* host = nullptr);
  ~TGLWorldViewer() override;

  // The host is not owned; it must outlive the window it hosts.
  void SetHost(IGLViewerHost* host) { FHost = host; }
  IGLViewerHost* Host() const { return FHost; }
  TGLWorldBuffer& Buffer() { return *FBuffer; }

  TGLCamera* Camera() const { return FBuffer->Camera(); }
  void SetCamera(TGLCamera* camera) { FBuffer->SetCamera(camera); }
  TGLVSyncMode VSync() const { return FVSync; }
  void SetVSync(TGLVSyncMode mode) { FVSync = mode; }
  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }

  // Degrees across the smaller dimension (ties take the height); 0 without a camera.
  float FieldOfView() const;
  void SetFieldOfView(float degrees);

  float FramesPerSecond() const { return FBuffer->FramesPerSecond(); }
  float LastFrameTime() const { return FBuffer->LastFrameTime(); }
  // "%.*f FPS"
  std::string FramesPerSecondText(int decimals = 1) const;
  void ResetPerformanceMonitor() { FBuffer->ResetPerformanceMonitor(); }
  bool IsRenderingContextAvailable() const;
  // Paints and repaints asked of the host since construction.
  int32_t InvalidateCount() const { return FInvalidateCount; }

  // ---- called by the host ----
  // The window exists at `width` x `height`: the buffer takes the size and makes its context.
  void WindowCreated(int32_t width, int32_t height);
  void WindowDestroyed();
  void WindowResized(int32_t width, int32_t height);
  // The paint message: one frame when a context exists and the size is positive.
  void Paint();

 private:
  void ApplyVSync();

  IGLViewerHost* FHost;
  std::unique_ptr<TGLWorldBuffer> FBuffer;
  TGLVSyncMode FVSync = TGLVSyncMode::vsmNoSync;
  int32_t FWidth = 100;
  int32_t FHeight = 100;
  int32_t FInvalidateCount = 0;
};

}  // namespace ukh
