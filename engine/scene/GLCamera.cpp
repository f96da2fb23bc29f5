// The camera's lens settings, its projection and its view.
#include "engine/scene/GLCamera.h"

#include <algorithm>
#include <cmath>

#include "engine/base/Exception.h"
#include "engine/gl/GLContext.h"
#include "engine/gl/GLTransformation.h"

namespace ukh {

namespace {
constexpr double cRadToDeg = 57.29577951308232;
}

TGLCamera::TGLCamera(TComponent* owner) : TGLBaseSceneObject(owner) {
  Direction().SetDirectVector({0, 0, -1, 0});
}

TGLCamera::~TGLCamera() {
  if (FTargetObject) RemoveFreeNotification(FTargetObject);
}

TGLTransformation& TGLCamera::Pipeline() {
  TGLContext* context = TGLContext::CurrentGLContext();
  Assert(context != nullptr, "No current rendering context");
  return context->PipelineTransformation();
}

void TGLCamera::SetFocalLength(float value) {
  if (!(value > 0)) value = 1;
  if (value == FFocalLength) return;
  FFocalLength = value;
  ResetCachedAngles();
  if (!IsLoading()) TransformationChanged();
}

void TGLCamera::SetDepthOfView(float value) {
  if (value == FDepthOfView) return;
  FDepthOfView = value;
  ResetCachedAngles();
  if (!IsLoading()) TransformationChanged();
}

void TGLCamera::SetSceneScale(float value) {
  if (value == 0) value = 1;
  if (value == FSceneScale) return;
  FSceneScale = value;
  ResetCachedAngles();
  NotifyChange(this);
}

void TGLCamera::SetNearPlaneBias(float value) {
  if (!(value > 0)) value = 1;
  if (value == FNearPlaneBias) return;
  FNearPlaneBias = value;
  ResetCachedAngles();
  NotifyChange(this);
}

void TGLCamera::SetCameraStyle(TGLCameraStyle value) {
  if (value == FCameraStyle) return;
  FCameraStyle = value;
  ResetCachedAngles();
  NotifyChange(this);
}

void TGLCamera::SetKeepFOVMode(TGLCameraKeepFOVMode value) {
  if (value == FKeepFOVMode) return;
  FKeepFOVMode = value;
  ResetCachedAngles();
  if (FCameraStyle == TGLCameraStyle::csPerspectiveKeepFOV) NotifyChange(this);
}

void TGLCamera::SetTargetObject(TGLBaseSceneObject* target) {
  if (target == this) target = nullptr;
  if (target == FTargetObject) return;
  if (FTargetObject) RemoveFreeNotification(FTargetObject);
  FTargetObject = target;
  if (FTargetObject) FTargetObject->FreeNotification(this);
  if (!IsLoading()) TransformationChanged();
}

void TGLCamera::Notification(TComponent* component, TOperation operation) {
  if (operation == TOperation::opRemove && component == FTargetObject) {
    FTargetObject = nullptr;
    if (!IsDestroying()) TransformationChanged();
  }
  TGLBaseSceneObject::Notification(component, operation);
}

float TGLCamera::GetFieldOfView(float viewportDimension) const {
  if (FFocalLength == 0) return 0;
  return float(2 * std::atan2(double(viewportDimension) / 2, double(FFocalLength)) * cRadToDeg);
}

void TGLCamera::SetFieldOfView(float fieldOfView, float viewportDimension) {
  SetFocalLength(
      float(double(viewportDimension) / (2 * std::tan(double(fieldOfView) / 2 / cRadToDeg))));
}

void TGLCamera::ApplyPerspective(const TVector4i& viewport, int32_t width, int32_t height,
                                 int32_t dpi) {
  if (width < 1 || height < 1) return;
  TGLTransformation& pipeline = Pipeline();
  const double w = width, h = height;

  if (FCameraStyle == TGLCameraStyle::csOrtho2D) {
    FNearPlane = -1;
    pipeline.SetProjectionMatrix(
        MultiplyMatrices(OrthoMatrix(0, w, 0, h, -1, 1), pipeline.ProjectionMatrix()));
    FViewPortRadius = float(std::sqrt(w * w + h * h) / 2);
    return;
  }
  if (FCameraStyle == TGLCameraStyle::csCustom) {
    FViewPortRadius = float(std::sqrt(w * w + h * h) / 2);
    if (OnCustomPerspective) OnCustomPerspective(this, viewport, width, height, dpi);
    return;
  }

  const double maxDim = width >= height ? w : h;
  double kx, ky;
  switch (FCameraStyle) {
    case TGLCameraStyle::csPerspective:
    case TGLCameraStyle::csInfinitePerspective:
    case TGLCameraStyle::csPerspectiveKeepFOV:
      kx = double(FNearPlaneBias) / (w * double(FSceneScale));
      ky = double(FNearPlaneBias) / (h * double(FSceneScale));
      break;
    case TGLCameraStyle::csOrthogonal:
      kx = 100 * double(FNearPlaneBias) / (w * double(FFocalLength) * double(FSceneScale));
      ky = 100 * double(FNearPlaneBias) / (h * double(FFocalLength) * double(FSceneScale));
      break;
    default:
      throw EAssertionFailed();
  }
  const double left = viewport.X, top = viewport.Y, vw = viewport.Z, vh = viewport.W;
  const float xmax = float(w * kx * (2 * left + 2 * vw - w) / (2 * maxDim));
  const float xmin = float(-w * kx * (w - 2 * left) / (2 * maxDim));
  const float ymax = float(h * ky * (2 * top + 2 * vh - h) / (2 * maxDim));
  const float ymin = float(-h * ky * (h - 2 * top) / (2 * maxDim));
  const float zNear =
      float(double(FNearPlaneBias) * (double(FFocalLength) * 2 * dpi / (25.4 * maxDim)));
  FNearPlane = zNear;
  const float zFar = zNear + FDepthOfView;

  TMatrix4f m;
  switch (FCameraStyle) {
    case TGLCameraStyle::csPerspective:
      m = FrustumMatrix(xmin, xmax, ymin, ymax, zNear, zFar);
      break;
    case TGLCameraStyle::csOrthogonal:
      m = OrthoMatrix(xmin, xmax, ymin, ymax, zNear, zFar);
      break;
    case TGLCameraStyle::csInfinitePerspective: {
      const double e = cInfinitePerspectiveEpsilon;
      m = IdentityHmgMatrix;
      m.X.X = float(2 * double(zNear) / (double(xmax) - xmin));
      m.Y.Y = float(2 * double(zNear) / (double(ymax) - ymin));
      m.Z.X = float((double(xmax) + xmin) / (double(xmax) - xmin));
      m.Z.Y = float((double(ymax) + ymin) / (double(ymax) - ymin));
      m.Z.Z = float(e - 1);
      m.Z.W = -1;
      m.W.Z = float((e - 2) * zNear);
      m.W.W = 0;
      break;
    }
    case TGLCameraStyle::csPerspectiveKeepFOV: {
      if (FFOVY < 0) {
        FFOVY = 2 * std::atan2(2 * double(zNear), double(ymax) - ymin);
        FFOVX = 2 * std::atan2(2 * double(zNear), double(xmax) - xmin);
      }
      double x, y;
      switch (FKeepFOVMode) {
        case TGLCameraKeepFOVMode::ckmHorizontalFOV:
          x = std::tan(FFOVX / 2) * zNear;
          y = h * x / w;
          break;
        case TGLCameraKeepFOVMode::ckmVerticalFOV:
          y = std::tan(FFOVY / 2) * zNear;
          x = w * y / h;
          break;
        default:
          throw EAssertionFailed("Unknown keep camera angle mode");
      }
      m = FrustumMatrix(-x, x, -y, y, zNear, zFar);
      break;
    }
    default:
      throw EAssertionFailed();
  }
  pipeline.SetProjectionMatrix(MultiplyMatrices(m, pipeline.ProjectionMatrix()));
  FViewPortRadius = float(std::sqrt(double(ymax) * ymax + double(xmax) * xmax) / double(zNear));
}

void TGLCamera::Apply() {
  if (FDeferredApply) {
    FDeferredApply(this);
    return;
  }
  TGLTransformation& pipeline = Pipeline();
  const TVector4f eye = AbsolutePosition();
  TVector4f center, up;
  if (FTargetObject) {
    center = FTargetObject->AbsolutePosition();
    TVector4f d = SubtractVector(center, eye);
    d.W = 0;
    NormalizeVector(d);
    FLastDirection = d;
    up = Up().AsVector();
  } else {
    const TMatrix4f& p = Parent() ? Parent()->AbsoluteMatrix() : IdentityHmgMatrix;
    const TVector4f d = TransformVector(Direction().AsVector(), p);
    FLastDirection = d;
    up = TransformVector(Up().AsVector(), p);
    center = AddVector(eye, d);
  }
  pipeline.SetViewMatrix(MultiplyMatrices(LookAtMatrix(eye, center, up), pipeline.ViewMatrix()));
  ClearStructureChanged();
}

void TGLCamera::DoRender(TGLRenderContextInfo& rci, bool, bool renderChildren) {
  if (renderChildren) RenderChildren(0, Count() - 1, rci);
}

}  // namespace ukh
