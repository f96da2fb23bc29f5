// The viewer: host callbacks, field of view and the buffer's hooks.
#include "engine/render/GLWorldViewer.h"

#include <cmath>
#include <cstdio>

#include "engine/scene/GLCamera.h"

namespace ukh {

namespace {
constexpr double cRadToDeg = 57.29577951308232;
}

TGLWorldViewer::TGLWorldViewer(TComponent* owner, IGLViewerHost* host)
    : TComponent(owner), FHost(host), FBuffer(std::make_unique<TGLWorldBuffer>(this)) {
  FBuffer->OnChange = [this](TGLWorldBuffer* buffer) {
    if (buffer->Rendering() || !FHost) return;
    ++FInvalidateCount;
    FHost->Invalidate();
  };
  FBuffer->OnStructuralChange = [this](TGLWorldBuffer*) {
    if (FHost) FHost->RecreateWindow();
  };
  FBuffer->ViewerBeforeRender = [this](TGLWorldBuffer*) { ApplyVSync(); };
  FBuffer->SetContextFactory([this]() -> std::unique_ptr<TGLContext> {
    return FHost ? FHost->NewContext() : NewGLContext();
  });
}

TGLWorldViewer::~TGLWorldViewer() {
  BeginDestruction();
  FBuffer->OnChange = nullptr;
  FBuffer->OnStructuralChange = nullptr;
  FBuffer.reset();
}

float TGLWorldViewer::FieldOfView() const {
  const TGLCamera* camera = Camera();
  if (!camera || camera->FocalLength() == 0) return 0;
  const double d = FWidth < FHeight ? FWidth : FHeight;
  return float(2 * std::atan(d / 2 / double(camera->FocalLength())) * cRadToDeg);
}

void TGLWorldViewer::SetFieldOfView(float degrees) {
  TGLCamera* camera = Camera();
  if (!camera) return;
  const double d = FWidth < FHeight ? FWidth : FHeight;
  camera->SetFocalLength(float(d / (2 * std::tan(double(degrees) / 2 / cRadToDeg))));
}

std::string TGLWorldViewer::FramesPerSecondText(int decimals) const {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f FPS", decimals, double(FramesPerSecond()));
  return text;
}

bool TGLWorldViewer::IsRenderingContextAvailable() const {
  const TGLContext* context = FBuffer->RenderingContext();
  return context && context->IsValid();
}

void TGLWorldViewer::WindowCreated(int32_t width, int32_t height) {
  FWidth = width;
  FHeight = height;
  FBuffer->Resize(0, 0, width, height);
  FBuffer->CreateRC(FHost ? FHost->NativeHandle() : 0, false, 1);
}

void TGLWorldViewer::WindowDestroyed() {
  FBuffer->DestroyRC();
}

void TGLWorldViewer::WindowResized(int32_t width, int32_t height) {
  FWidth = width;
  FHeight = height;
  FBuffer->Resize(0, 0, width, height);
}

void TGLWorldViewer::Paint() {
  if (IsRenderingContextAvailable() && FWidth > 0 && FHeight > 0) FBuffer->Render();
}

void TGLWorldViewer::ApplyVSync() {
  if (FHost) FHost->SetSwapInterval(FVSync == TGLVSyncMode::vsmSync ? 1 : 0);
}

}  // namespace ukh
