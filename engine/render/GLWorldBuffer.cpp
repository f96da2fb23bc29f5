// The render buffer: context creation, buffer settings, the frame sequence and the scene
// render that hands the object tree to the traversal.
#include "engine/render/GLWorldBuffer.h"

#include <chrono>
#include <cstring>
#include <string>

#include "engine/base/Exception.h"
#include "engine/gl/GLApi.h"
#include "engine/gl/GLLog.h"
#include "engine/gl/GLStateCache.h"
#include "engine/gl/GLTransformation.h"
#include "engine/scene/GLCamera.h"

namespace ukh {

namespace {

// The performance counter: steady_clock in nanoseconds.
int64_t PerformanceCounter() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}
constexpr int64_t cPerformanceFrequency = 1'000'000'000;

// Sets a flag for the length of a scope, also when an error leaves it.
class TFlagGuard {
 public:
  explicit TFlagGuard(bool& flag) : FFlag(flag) { FFlag = true; }
  ~TFlagGuard() { FFlag = false; }
  TFlagGuard(const TFlagGuard&) = delete;
  TFlagGuard& operator=(const TFlagGuard&) = delete;

 private:
  bool& FFlag;
};

class TActivation {
 public:
  explicit TActivation(TGLContext& context) : FContext(context) { FContext.Activate(); }
  ~TActivation() noexcept(false) {
    // An error already unwinding wins over a failing deactivation.
    if (std::uncaught_exceptions() > FUncaught) {
      try {
        FContext.Deactivate();
      } catch (...) {
      }
    } else {
      FContext.Deactivate();
    }
  }
  TActivation(const TActivation&) = delete;
  TActivation& operator=(const TActivation&) = delete;

 private:
  TGLContext& FContext;
  int FUncaught = std::uncaught_exceptions();
};

bool IsSoftwareRenderer() {
  const char* renderer = reinterpret_cast<const char*>(gl::GetString(GL_RENDERER));
  if (!renderer) return false;
  for (const char* name : {"llvmpipe", "softpipe", "Software Rasterizer", "GDI Generic"})
    if (std::strstr(renderer, name)) return true;
  return false;
}

int32_t SamplesOf(TGLAntiAliasing aa) {
  switch (aa) {
    case TGLAntiAliasing::aaDefault:
    case TGLAntiAliasing::aaNone:
      return 0;
    case TGLAntiAliasing::aa2x:
    case TGLAntiAliasing::aa2xHQ:
      return 2;
    case TGLAntiAliasing::aa4x:
    case TGLAntiAliasing::aa4xHQ:
      return 4;
    case TGLAntiAliasing::aa6x:
      return 6;
    case TGLAntiAliasing::aa8x:
    case TGLAntiAliasing::csa8x:
    case TGLAntiAliasing::csa8xHQ:
      return 8;
    case TGLAntiAliasing::aa16x:
    case TGLAntiAliasing::csa16x:
    case TGLAntiAliasing::csa16xHQ:
      return 16;
  }
  return 0;
}

}  // namespace

void TGLWorldBuffer::TCameraWatch::Notification(TComponent* component, TOperation operation) {
  if (operation != TOperation::opRemove) return;
  if (component == FBuffer.FCameraScene) {
    // The scene dies with its tree; it forgets its buffers itself.
    FBuffer.FCameraScene = nullptr;
  }
  if (component == FBuffer.FCamera) FBuffer.SetCamera(nullptr);
}

TGLWorldBuffer::TGLWorldBuffer(TPersistent* owner)
    : TGLUpdateAbleObject(owner),
      FAmbientColor(std::make_unique<TGLColor>(this, TVector4f{0.2f, 0.2f, 0.2f, 1})),
      FFogEnvironment(std::make_unique<TGLFogEnvironment>(this)) {
  FAmbientColor->SetDirectColor({0.2f, 0.2f, 0.2f, 1});
}

TGLWorldBuffer::~TGLWorldBuffer() {
  OnChange = nullptr;
  OnStructuralChange = nullptr;
  DestroyRC();
  SetCamera(nullptr);
  if (FCameraScene) {
    FCameraScene->RemoveBuffer(this);
    FCameraWatch.RemoveFreeNotification(FCameraScene);
  }
}

// ---- context ------------------------------------------------------------------------------

TGLPixelFormatRequest TGLWorldBuffer::PixelFormatRequest() const {
  TGLPixelFormatRequest r;
  static constexpr int32_t cColorBits[] = {24, 8, 16, 24, 64, 128};
  static constexpr int32_t cDepthBits[] = {24, 16, 24, 32};
  r.ColorBits = (FContextOptions & roNoColorBuffer) ? 0 : cColorBits[int(FColorDepth)];
  r.DepthBits = cDepthBits[int(FDepthPrecision)];
  r.StencilBits = (FContextOptions & roStencilBuffer) ? 8 : 0;
  r.AlphaBits = (FContextOptions & roDestinationAlpha) ? 8 : 0;
  r.AccumBits = FAccumBufferBits;
  r.AuxBuffers = 0;
  r.Samples = SamplesOf(FAntiAliasing);
  r.DoubleBuffered = (FContextOptions & roDoubleBuffer) != 0;
  r.Stereo = (FContextOptions & roStereo) != 0;
  r.Software = (FContextOptions & roSoftwareMode) != 0;
  r.DebugContext = (FContextOptions & roDebugContext) != 0;
  return r;
}

TGLWorld* TGLWorldBuffer::CameraScene() const {
  return FCamera ? FCamera->Scene() : nullptr;
}

void TGLWorldBuffer::CreateRC(intptr_t nativeHandle, bool, int32_t) {
  DestroyRC();
  TFlagGuard rendering(FRendering);

  std::unique_ptr<TGLContext> context = FContextFactory ? FContextFactory() : NewGLContext();
  if (!context) throw EGLContextError("Failed to create RenderingContext.");

  context->SetPixelFormat(PixelFormatRequest());
  FRenderingContext = std::move(context);
  if (OnPrepareGLContext) OnPrepareGLContext(this);

  TGLWorld* scene = CameraScene();
  if (scene) {
    scene->AddBuffer(this);
    if (FCameraScene != scene) {
      FCameraScene = scene;
      FCameraWatch.FreeNotification(scene);
    }
  }
  try {
    FRenderingContext->CreateContext(nativeHandle);
  } catch (...) {
    FRenderingContext.reset();
    if (scene) scene->RemoveBuffer(this);
    throw;
  }

  TActivation active(*FRenderingContext);
  if (!FRenderingContext->Features().VersionAtLeast(1, 1)) {
    GLLogFatal("Need at least OpenGL version 1.1");
    throw EAbort();
  }
  const char* version = reinterpret_cast<const char*>(gl::GetString(GL_VERSION));
  const char* renderer = reinterpret_cast<const char*>(gl::GetString(GL_RENDERER));
  GLLogInfo(std::string("OpenGL ") + (version ? version : "?") + " on " +
            (renderer ? renderer : "?"));
  if (!(FContextOptions & roSoftwareMode) && IsSoftwareRenderer())
    GLLogWarning(
        "Unable to create rendering context with hardware acceleration - down to software");
  TGLStateCache& states = FRenderingContext->GLStates();
  states.SetViewPort(FViewPort);
  ApplyBufferSettings();
  states.SetColorClearValue(ConvertWinColor(FBackgroundColor, 1.0f));
  gl::ClearGLError();
}

void TGLWorldBuffer::DestroyRC() {
  if (!FRenderingContext) return;
  // The context's lists die with it; the objects must not keep names that mean nothing.
  if (TGLWorld* scene = CameraScene(); scene && FRenderingContext->IsValid()) {
    try {
      TActivation active(*FRenderingContext);
      scene->Objects().DestroyHandles();
    } catch (const Exception&) {
      // A context that cannot be made current has nothing left to release.
    }
  }
  FRenderingContext->DestroyContext();
  FRenderingContext.reset();
  if (FCameraScene) FCameraScene->RemoveBuffer(this);
}

// ---- settings -----------------------------------------------------------------------------

void TGLWorldBuffer::SetCamera(TGLCamera* camera) {
  if (camera && !camera->Scene()) camera = nullptr;
  if (camera != FCamera) {
    if (FCamera) {
      FCameraWatch.RemoveFreeNotification(FCamera);
      if (FCameraScene) FCameraScene->RemoveBuffer(this);
    }
    FCamera = camera;
    if (FCamera) {
      FCamera->FreeNotification(&FCameraWatch);
      FCamera->TransformationChanged();
    }
  }
  NotifyChange(this);
}

void TGLWorldBuffer::SetBackgroundColor(uint32_t winColor) {
  SetNotifying(FBackgroundColor, winColor);
}
void TGLWorldBuffer::SetBackgroundAlpha(float value) {
  SetNotifying(FBackgroundAlpha, value);
}

void TGLWorldBuffer::NotifyChange(TPersistent*) {
  if (FRendering) return;
  if (OnChange) OnChange(this);
}

void TGLWorldBuffer::ResetPerformanceMonitor() {
  FFramesPerSecond = 0;
  FFrameCount = 0;
  FFirstPerfCounter = 0;
}

// ---- frame --------------------------------------------------------------------------------

void TGLWorldBuffer::Resize(int32_t left, int32_t top, int32_t width, int32_t height) {
  FViewPort = {left, top, width < 1 ? 1 : width, height < 1 ? 1 : height};
  if (!FRenderingContext || !FRenderingContext->IsValid()) return;
  TActivation active(*FRenderingContext);
  FRenderingContext->GLStates().SetViewPort(FViewPort);
}

void TGLWorldBuffer::SetViewPort(int32_t x, int32_t y, int32_t width, int32_t height) {
  FViewPort = {x, y, width, height};
  NotifyChange(this);
}

void TGLWorldBuffer::ApplyBufferSettings() {
  TGLStateCache& states = FRenderingContext->GLStates();
  if (!(FContextOptions & roForwardContext)) {
    states.SetLightModelAmbient(FAmbientColor->Color());
    states.SetLightModelTwoSide((FContextOptions & roTwoSideLighting) != 0);
    states.SetPerspectiveCorrectionHint(GL_NICEST);
    switch (FShadeModel) {
      case TGLShadeModel::smDefault:
      case TGLShadeModel::smSmooth:
        states.SetShadeModel(GL_SMOOTH);
        break;
      case TGLShadeModel::smFlat:
        states.SetShadeModel(GL_FLAT);
        break;
      default:
        throw EAssertionFailed("Error: Unknown type!");
    }
  }
  states.Enable(stNormalize);
  // Forced every frame so that a mirror that drifted from GL is corrected.
  FDepthTest ? states.PerformEnable(stDepthTest) : states.PerformDisable(stDepthTest);
  FFaceCulling ? states.PerformEnable(stCullFace) : states.PerformDisable(stCullFace);
  FLighting ? states.PerformEnable(stLighting) : states.PerformDisable(stLighting);
  FFogEnable ? states.PerformEnable(stFog) : states.PerformDisable(stFog);
  if (FRenderingContext->Features().ARB_depth_clamp) states.Disable(stDepthClamp);
  if (!(FContextOptions & roForwardContext)) {
    if (FBlueBitsSerial != FRenderingContext->Serial()) {
      GLint bits = 0;
      gl::GetIntegerv(GL_BLUE_BITS, &bits);
      FBlueBits = bits;
      FBlueBitsSerial = FRenderingContext->Serial();
    }
    FBlueBits < 8 ? states.PerformEnable(stDither) : states.PerformDisable(stDither);
  }
  states.ResetAllGLTextureMatrix();
}

void TGLWorldBuffer::DoClearBuffers(bool setClearColor) {
  TGLStateCache& states = FRenderingContext->GLStates();
  if (setClearColor) states.SetColorClearValue(ConvertWinColor(FBackgroundColor, FBackgroundAlpha));
  GLbitfield mask = 0;
  if (!(FContextOptions & roNoDepthBufferClear)) {
    states.SetDepthWriteMask(true);
    mask |= GL_DEPTH_BUFFER_BIT;
  }
  if (!(FContextOptions & (roNoColorBuffer | roNoColorBufferClear))) {
    states.SetGLColorWriting(true);
    mask |= GL_COLOR_BUFFER_BIT;
  }
  if (FContextOptions & roStencilBuffer) mask |= GL_STENCIL_BUFFER_BIT;
  if (mask) gl::Clear(mask);
}

void TGLWorldBuffer::ClearBuffers() {
  if (!FRenderingContext) return;
  TActivation active(*FRenderingContext);
  DoClearBuffers(false);
}

void TGLWorldBuffer::Render(TGLBaseSceneObject* baseObject) {
  if (FRendering || !FRenderingContext) return;
  const int64_t start = PerformanceCounter();
  if (TGLWorld* scene = CameraScene()) {
    FCamera->AbsoluteMatrix();
    if (FCameraScene != scene) {
      if (FCameraScene) {
        FCameraScene->RemoveBuffer(this);
        FCameraWatch.RemoveFreeNotification(FCameraScene);
      }
      FCameraScene = scene;
      FCameraWatch.FreeNotification(scene);
    }
    scene->AddBuffer(this);
  }
  {
    TFlagGuard rendering(FRendering);
    TActivation active(*FRenderingContext);
    if (FFrameCount == 0) FFirstPerfCounter = PerformanceCounter();

    FRenderDPI = cRenderDPI;
    gl::ClearGLError();
    ApplyBufferSettings();
    DoClearBuffers(true);
    gl::CheckGLError();

    RenderFromCamera(FViewPort, cRenderDPI, baseObject, TGLDrawState::dsRendering);
    if (!(FContextOptions & roNoSwapBuffers)) FRenderingContext->SwapBuffers();

    ++FFrameCount;
    const int64_t end = PerformanceCounter();
    FLastFrameTime = float(double(end - start) / cPerformanceFrequency);
    if (end > FFirstPerfCounter)
      FFramesPerSecond =
          float(double(FFrameCount) * cPerformanceFrequency / double(end - FFirstPerfCounter));
    gl::CheckGLError();
  }
  // Outside the frame: what AfterRender changes is drawn by the next one.
  if (AfterRender) AfterRender(this);
}

void TGLWorldBuffer::RenderFromCamera(const TVector4i& viewport, int32_t dpi,
                                      TGLBaseSceneObject* baseObject, TGLDrawState drawState) {
  TGLTransformation& pipeline = FRenderingContext->PipelineTransformation();
  TGLStateCache& states = FRenderingContext->GLStates();
  // The camera's matrices are worked out first and GL is given only the result (and only
  // where it differs from what GL already holds), instead of identity followed by them.
  pipeline.SetLoadMatricesEnabled(false);
  pipeline.IdentityAll();
  FBaseProjectionMatrix = pipeline.ProjectionMatrix();

  TGLWorld* scene = CameraScene();
  if (FCamera) {
    if (scene) scene->SetCurrentGLCamera(FCamera);
    FCamera->ApplyPerspective(viewport, viewport.Z, viewport.W, dpi);
    FCamera->Apply();
    FCameraAbsolutePosition = FCamera->AbsoluteMatrix().W;
  }
  pipeline.SetLoadMatricesEnabled(true);
  pipeline.LoadMatrices();
  if (drawState != TGLDrawState::dsPrinting && ViewerBeforeRender) ViewerBeforeRender(this);
  if (BeforeRender) BeforeRender(this);

  if (scene) {
    scene->SetupLights(states.MaxLights());
    if (FFogEnable) {
      states.Enable(stFog);
      FFogEnvironment->ApplyFog();
    } else {
      states.Disable(stFog);
    }
    RenderScene(*scene, viewport.Z, viewport.W, drawState, baseObject);
  }
  if (PostRender) PostRender(this);
  Assert(FViewMatrixStack.empty(), "Unbalance Push/PopViewMatrix.");
  Assert(FProjectionMatrixStack.empty(), "Unbalance Push/PopProjectionMatrix.");
}

void TGLWorldBuffer::RenderScene(TGLWorld& scene, int32_t viewportWidth, int32_t viewportHeight,
                                 TGLDrawState drawState, TGLBaseSceneObject* baseObject) {
  FAfterRenderEffects.clear();
  scene.SetCurrentBuffer(this);

  TGLRenderContextInfo rci;
  rci.Scene = &scene;
  rci.Buffer = this;
  rci.CameraPosition = FCameraAbsolutePosition;
  if (FCamera) {
    rci.CameraDirection = FCamera->LastDirection();
    NormalizeVector(rci.CameraDirection);
    rci.CameraDirection.W = 0;
    TVector4f up =
        CrossProduct(CrossProduct(rci.CameraDirection, FCamera->AbsoluteUp()), rci.CameraDirection);
    NormalizeVector(up);
    up.W = 0;
    rci.CameraUp = up;
  }
  rci.ViewPortSize.cx = viewportWidth;
  rci.ViewPortSize.cy = viewportHeight;
  rci.RenderDPI = FRenderDPI;
  rci.FogDisabledCounter = 0;
  rci.DrawState = drawState;
  rci.ObjectsSorting = scene.ObjectsSorting();
  rci.VisibilityCulling = scene.VisibilityCulling();
  rci.GLStates = &FRenderingContext->GLStates();
  rci.PipelineTransformation = &FRenderingContext->PipelineTransformation();
  rci.Rcci.Origin = rci.CameraPosition;
  rci.Rcci.ClippingDirection = rci.CameraDirection;
  if (FCamera) {
    rci.Rcci.ViewPortRadius = FCamera->ViewPortRadius();
    rci.Rcci.NearClippingDistance = FCamera->NearPlane();
    rci.Rcci.FarClippingDistance = FCamera->NearPlane() + FCamera->DepthOfView();
  }
  const TFrustum& frustum = rci.PipelineTransformation->Frustum();
  for (int i = 0; i < 6; ++i) rci.Rcci.Frustum[i] = frustum[i];
  rci.SceneAmbientColor = FAmbientColor->Color();
  rci.BufferFaceCull = FFaceCulling;
  rci.BufferLighting = FLighting;
  rci.BufferFog = FFogEnable;
  rci.BufferDepthTest = FDepthTest;
  rci.IgnoreMaterials =
      (FContextOptions & roNoColorBuffer) != 0 || drawState == TGLDrawState::dsPicking;
  rci.Amalgamating = drawState == TGLDrawState::dsPicking;
  rci.AfterRenderEffects = &FAfterRenderEffects;
  rci.CurrentMaterialLevel = TGLMaterialLevel::mlAuto;
  rci.PrimitiveMask = 0x1FFE;

  TGLStateCache& states = *rci.GLStates;
  states.SetGLColorWriting(!rci.IgnoreMaterials);
  if (InitiateRendering) InitiateRendering(this, rci);
  (baseObject ? baseObject : &scene.Objects())->Render(rci);
  rci.PipelineTransformation->LoadMatrices();
  states.SetGLColorWriting(true);
  if (WrapUpRendering) WrapUpRendering(this, rci);
}

}  // namespace ukh
