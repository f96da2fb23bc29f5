// TGLWorldBuffer: the render buffer of a viewer. It owns the viewer's OpenGL context, keeps
// the viewport, the background colour and the global GL switches, counts frames and runs the
// frame: clear, projection and view from the camera, lights, the render traversal of the
// scene, swap. Scene changes reach it as notifications, which it passes on as OnChange so
// that the viewer's window is invalidated (and repainted once).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "engine/base/Component.h"
#include "engine/base/GLUpdateAbleObject.h"
#include "engine/gl/GLColor.h"
#include "engine/gl/GLContext.h"
#include "engine/gl/GLRenderContextInfo.h"
#include "engine/render/GLFogEnvironment.h"
#include "engine/scene/GLWorld.h"

namespace ukh {

class TGLCamera;

// Context options, bit 0 first.
enum TGLContextOption : uint16_t {
  roSoftwareMode = 1 << 0,
  roDoubleBuffer = 1 << 1,
  roStencilBuffer = 1 << 2,
  roRenderToWindow = 1 << 3,
  roTwoSideLighting = 1 << 4,
  roStereo = 1 << 5,
  roDestinationAlpha = 1 << 6,
  roNoColorBuffer = 1 << 7,
  roNoColorBufferClear = 1 << 8,
  roNoSwapBuffers = 1 << 9,
  roNoDepthBufferClear = 1 << 10,
  roDebugContext = 1 << 11,
  roForwardContext = 1 << 12,
  roOpenGL_ES2_Context = 1 << 13,
};
using TGLContextOptions = uint16_t;

enum class TGLAntiAliasing : uint8_t {
  aaDefault,
  aaNone,
  aa2x,
  aa2xHQ,
  aa4x,
  aa4xHQ,
  aa6x,
  aa8x,
  aa16x,
  csa8x,
  csa8xHQ,
  csa16x,
  csa16xHQ
};
enum class TGLDepthPrecision : uint8_t { dpDefault, dp16bits, dp24bits, dp32bits };
enum class TGLColorDepth : uint8_t {
  cdDefault,
  cd8bits,
  cd16bits,
  cd24bits,
  cdFloat64bits,
  cdFloat128bits
};
enum class TGLShadeModel : uint8_t { smDefault, smSmooth, smFlat };
enum class TGLContextLayer : uint8_t {
  clUnderlay2,
  clUnderlay1,
  clMainPlane,
  clOverlay1,
  clOverlay2
};

class TGLWorldBuffer;
using TGLBufferEvent = std::function<void(TGLWorldBuffer* sender)>;
using TGLRenderInfoEvent = std::function<void(TGLWorldBuffer* sender, TGLRenderContextInfo& rci)>;
using TGLContextFactoryFn = std::function<std::unique_ptr<TGLContext>()>;

class TGLWorldBuffer : public TGLUpdateAbleObject, public IGLSceneBuffer {
 public:
  static constexpr int32_t cRenderDPI = 96;
  static constexpr uint32_t cDefaultBackgroundColor = 0xFF00000Fu;  // the button-face colour
  static constexpr TGLContextOptions cDefaultContextOptions =
      roDoubleBuffer | roRenderToWindow | roDebugContext;

  // `owner` (the viewer) is not owned.
  explicit TGLWorldBuffer(TPersistent* owner);
  ~TGLWorldBuffer() override;

  // ---- context -------------------------------------------------------------------------
  // Makes the context on the window named by `nativeHandle`; see the .cpp for the steps.
  void CreateRC(intptr_t nativeHandle, bool memoryContext, int32_t bufferCount = 1);
  void DestroyRC();
  bool RCInstantiated() const { return FRenderingContext != nullptr; }
  TGLContext* RenderingContext() const { return FRenderingContext.get(); }
  // Where contexts come from; the context manager's factory when not set.
  void SetContextFactory(TGLContextFactoryFn factory) { FContextFactory = std::move(factory); }

  // ---- frame ---------------------------------------------------------------------------
  // Stores the viewport with width and height at least 1 and sends it to GL.
  void Resize(int32_t left, int32_t top, int32_t width, int32_t height);
  // Stores the viewport as given and notifies.
  void SetViewPort(int32_t x, int32_t y, int32_t width, int32_t height);
  const TVector4i& ViewPort() const { return FViewPort; }
  // One frame of the whole scene, or of `baseObject` and its subtree, through the camera.
  void Render(TGLBaseSceneObject* baseObject = nullptr);
  void ClearBuffers();
  void RenderScene(TGLWorld& scene, int32_t viewportWidth, int32_t viewportHeight,
                   TGLDrawState drawState, TGLBaseSceneObject* baseObject);
  bool Rendering() const { return FRendering; }

  // ---- notification --------------------------------------------------------------------
  // OnChange, unless a frame is in progress.
  void NotifyChange(TPersistent* sender) override;
  void SceneChanged(TPersistent* sender) override { NotifyChange(sender); }

  // ---- settings ------------------------------------------------------------------------
  TGLCamera* Camera() const { return FCamera; }
  // Accepts only a camera that hangs in a scene (else none); always notifies.
  void SetCamera(TGLCamera* camera);
  uint32_t BackgroundColor() const { return FBackgroundColor; }
  void SetBackgroundColor(uint32_t winColor);
  float BackgroundAlpha() const { return FBackgroundAlpha; }
  void SetBackgroundAlpha(float value);
  TGLColor& AmbientColor() { return *FAmbientColor; }
  bool DepthTest() const { return FDepthTest; }
  void SetDepthTest(bool v) { SetNotifying(FDepthTest, v); }
  bool FaceCulling() const { return FFaceCulling; }
  void SetFaceCulling(bool v) { SetNotifying(FFaceCulling, v); }
  bool Lighting() const { return FLighting; }
  void SetLighting(bool v) { SetNotifying(FLighting, v); }
  bool FogEnable() const { return FFogEnable; }
  void SetFogEnable(bool v) { SetNotifying(FFogEnable, v); }
  TGLShadeModel ShadeModel() const { return FShadeModel; }
  void SetShadeModel(TGLShadeModel v) { SetNotifying(FShadeModel, v); }
  TGLFogEnvironment& FogEnvironment() { return *FFogEnvironment; }

  // Settings that fix the pixel format: a change raises OnStructuralChange.
  TGLContextOptions ContextOptions() const { return FContextOptions; }
  void SetContextOptions(TGLContextOptions v) { SetStructural(FContextOptions, v); }
  TGLContextLayer Layer() const { return FLayer; }
  void SetLayer(TGLContextLayer v) { SetStructural(FLayer, v); }
  TGLAntiAliasing AntiAliasing() const { return FAntiAliasing; }
  void SetAntiAliasing(TGLAntiAliasing v) { SetStructural(FAntiAliasing, v); }
  TGLDepthPrecision DepthPrecision() const { return FDepthPrecision; }
  void SetDepthPrecision(TGLDepthPrecision v) { SetStructural(FDepthPrecision, v); }
  TGLColorDepth ColorDepth() const { return FColorDepth; }
  void SetColorDepth(TGLColorDepth v) { SetStructural(FColorDepth, v); }
  int32_t AccumBufferBits() const { return FAccumBufferBits; }
  void SetAccumBufferBits(int32_t v) { SetStructural(FAccumBufferBits, v); }

  // ---- performance ---------------------------------------------------------------------
  int32_t FrameCount() const { return FFrameCount; }
  float FramesPerSecond() const { return FFramesPerSecond; }
  float LastFrameTime() const { return FLastFrameTime; }
  void ResetPerformanceMonitor();
  int32_t RenderDPI() const { return FRenderDPI; }
  const TVector4f& CameraAbsolutePosition() const { return FCameraAbsolutePosition; }

  // ---- events --------------------------------------------------------------------------
  TGLBufferEvent OnChange;
  TGLBufferEvent OnStructuralChange;
  TGLBufferEvent OnPrepareGLContext;
  TGLBufferEvent BeforeRender;
  TGLBufferEvent ViewerBeforeRender;  // the viewer's own hook (vertical sync)
  TGLBufferEvent PostRender;
  TGLBufferEvent AfterRender;
  TGLRenderInfoEvent InitiateRendering;
  TGLRenderInfoEvent WrapUpRendering;

 private:
  // Clears the camera link when the camera dies (the buffer is no component itself).
  class TCameraWatch : public TComponent {
   public:
    explicit TCameraWatch(TGLWorldBuffer& buffer) : FBuffer(buffer) {}

   protected:
    void Notification(TComponent* component, TOperation operation) override;

   private:
    TGLWorldBuffer& FBuffer;
  };

  template <class T>
  void SetStructural(T& field, const T& value) {
    if (field == value) return;
    field = value;
    if (OnStructuralChange) OnStructuralChange(this);
  }
  TGLPixelFormatRequest PixelFormatRequest() const;
  void ApplyBufferSettings();
  void DoClearBuffers(bool setClearColor);
  void RenderFromCamera(const TVector4i& viewport, int32_t dpi, TGLBaseSceneObject* baseObject,
                        TGLDrawState drawState);
  TGLWorld* CameraScene() const;

  bool FRendering = false;
  std::unique_ptr<TGLContext> FRenderingContext;
  TGLContextFactoryFn FContextFactory;
  std::vector<TGLBaseSceneObject*> FAfterRenderEffects;
  std::vector<TMatrix4f> FViewMatrixStack, FProjectionMatrixStack;
  TMatrix4f FBaseProjectionMatrix = IdentityHmgMatrix;
  TVector4f FCameraAbsolutePosition{0, 0, 0, 1};
  TVector4i FViewPort{0, 0, 1, 1};
  bool FFaceCulling = true;
  bool FFogEnable = false;
  bool FLighting = true;
  bool FDepthTest = true;
  uint32_t FBackgroundColor = cDefaultBackgroundColor;
  float FBackgroundAlpha = 1;
  std::unique_ptr<TGLColor> FAmbientColor;
  TGLAntiAliasing FAntiAliasing = TGLAntiAliasing::aaDefault;
  TGLDepthPrecision FDepthPrecision = TGLDepthPrecision::dpDefault;
  TGLColorDepth FColorDepth = TGLColorDepth::cdDefault;
  TGLContextOptions FContextOptions = cDefaultContextOptions;
  TGLShadeModel FShadeModel = TGLShadeModel::smDefault;
  int32_t FRenderDPI = cRenderDPI;
  std::unique_ptr<TGLFogEnvironment> FFogEnvironment;
  int32_t FAccumBufferBits = 0;
  TGLContextLayer FLayer = TGLContextLayer::clMainPlane;
  TGLCamera* FCamera = nullptr;
  TGLWorld* FCameraScene = nullptr;  // the scene this buffer joined through its camera
  TCameraWatch FCameraWatch{*this};
  int32_t FFrameCount = 0;
  float FFramesPerSecond = 0;
  int64_t FFirstPerfCounter = 0;
  float FLastFrameTime = 0;
  // Blue bits of the context's frame buffer (fixed for a context, so read once).
  uint64_t FBlueBitsSerial = 0;
  int32_t FBlueBits = 0;
};

}  // namespace ukh
