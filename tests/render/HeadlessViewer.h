// THeadlessViewer: a scene viewer hosted by a headless EGL context that renders into a frame
// buffer object of the viewer's size, with a paint queue standing in for the window system:
// an invalidation marks one paint pending, ProcessPaint runs it. For tests and benchmarks;
// links ukh_render and ukh_platform_egl.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/render/GLWorldViewer.h"
#include "platform/egl/EGLHeadlessContext.h"

namespace ukh::test {

class THeadlessViewer : public IGLViewerHost {
 public:
  THeadlessViewer(int32_t width, int32_t height)
      : FWidth(width), FHeight(height), FViewer(std::make_unique<TGLWorldViewer>(nullptr, this)) {}
  ~THeadlessViewer() { FViewer->WindowDestroyed(); }
  THeadlessViewer(const THeadlessViewer&) = delete;
  THeadlessViewer& operator=(const THeadlessViewer&) = delete;

  TGLWorldViewer& Viewer() { return *FViewer; }
  TGLWorldBuffer& Buffer() { return FViewer->Buffer(); }
  // Null until the window is created.
  platform::TEGLHeadlessContext* Context() { return FContext; }

  // The window comes into existence: size, then the context.
  void CreateWindow() { FViewer->WindowCreated(FWidth, FHeight); }
  void Resize(int32_t width, int32_t height) {
    FWidth = width;
    FHeight = height;
    if (FContext) FContext->SetSize(width, height);
    FViewer->WindowResized(width, height);
  }

  // Runs the pending paint, as the window system would; false when none was pending.
  bool ProcessPaint() {
    if (!FPaintPending) return false;
    FPaintPending = false;
    ++FPaintCount;
    FViewer->Paint();
    return true;
  }
  // A paint without an invalidation (the window was exposed).
  void Paint() {
    ++FPaintCount;
    FViewer->Paint();
  }
  int32_t InvalidateCount() const { return FInvalidateCount; }
  int32_t PaintCount() const { return FPaintCount; }
  int32_t RecreateCount() const { return FRecreateCount; }

  // IGLViewerHost
  intptr_t NativeHandle() override { return 0; }
  std::unique_ptr<TGLContext> NewContext() override {
    auto context = std::make_unique<platform::TEGLHeadlessContext>(FWidth, FHeight);
    FContext = context.get();
    return context;
  }
  void Invalidate() override {
    ++FInvalidateCount;
    FPaintPending = true;
  }
  void RecreateWindow() override {
    ++FRecreateCount;
    FViewer->WindowDestroyed();
    FContext = nullptr;
    CreateWindow();
  }

 private:
  int32_t FWidth, FHeight;
  std::unique_ptr<TGLWorldViewer> FViewer;
  platform::TEGLHeadlessContext* FContext = nullptr;
  bool FPaintPending = false;
  int32_t FInvalidateCount = 0;
  int32_t FPaintCount = 0;
  int32_t FRecreateCount = 0;
};

}  // namespace ukh::test
