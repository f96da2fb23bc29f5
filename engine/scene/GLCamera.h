// TGLCamera: the viewpoint the buffer renders the scene from. It turns its focal length, depth
// of view and the viewport into the projection matrix and its position, direction (or target
// object) and up vector into the view matrix, both at the current level of the context's
// transformation stack. It draws nothing itself.
#pragma once

#include <functional>

#include "engine/scene/GLBaseSceneObject.h"

namespace ukh {

enum class TGLCameraStyle : uint8_t {
  csPerspective,
  csOrthogonal,
  csOrtho2D,
  csCustom,
  csInfinitePerspective,
  csPerspectiveKeepFOV
};
enum class TGLCameraKeepFOVMode : uint8_t { ckmHorizontalFOV, ckmVerticalFOV };

class TGLCamera;
// csCustom: sets up its own projection.
using TGLCustomPerspectiveEvent = std::function<void(TGLCamera* sender, const TVector4i& viewport,
                                                     int32_t width, int32_t height, int32_t dpi)>;

class TGLCamera : public TGLBaseSceneObject {
 public:
  // e of the infinite-perspective matrix: how far short of 1 its depth scale stays.
  static constexpr double cInfinitePerspectiveEpsilon = 1e-6;

  explicit TGLCamera(TComponent* owner = nullptr);
  ~TGLCamera() override;

  float FocalLength() const { return FFocalLength; }
  // A value not greater than 0 becomes 1.
  void SetFocalLength(float value);
  float DepthOfView() const { return FDepthOfView; }
  void SetDepthOfView(float value);
  float SceneScale() const { return FSceneScale; }
  // 0 becomes 1.
  void SetSceneScale(float value);
  float NearPlaneBias() const { return FNearPlaneBias; }
  // A value not greater than 0 becomes 1.
  void SetNearPlaneBias(float value);
  TGLCameraStyle CameraStyle() const { return FCameraStyle; }
  void SetCameraStyle(TGLCameraStyle value);
  TGLCameraKeepFOVMode KeepFOVMode() const { return FKeepFOVMode; }
  void SetKeepFOVMode(TGLCameraKeepFOVMode value);
  // A non-owning link, cleared when the target is destroyed. The camera itself is refused:
  // looking at one's own position has no direction.
  TGLBaseSceneObject* TargetObject() const { return FTargetObject; }
  void SetTargetObject(TGLBaseSceneObject* target);

  // The near-plane distance of the last projection (0 before the first).
  float NearPlane() const { return FNearPlane; }
  float ViewPortRadius() const { return FViewPortRadius; }
  // Unit view direction in world space, as computed by the last Apply.
  const TVector4f& LastDirection() const { return FLastDirection; }

  // Degrees seen across `viewportDimension` pixels; 0 for a zero focal length.
  float GetFieldOfView(float viewportDimension) const;
  void SetFieldOfView(float fieldOfView, float viewportDimension);

  // Multiplies the projection for the viewport (Left, Top, Width, Height) of a buffer of
  // width x height pixels at `dpi` onto the current level's projection matrix. Nothing for a
  // buffer of less than one pixel either way.
  void ApplyPerspective(const TVector4i& viewport, int32_t width, int32_t height, int32_t dpi);
  // Multiplies the view matrix onto the current level's view matrix.
  void Apply();

  void DoRender(TGLRenderContextInfo& rci, bool renderSelf, bool renderChildren) override;
  bool RayCastIntersect(const TVector4f&, const TVector4f&, TVector4f* = nullptr,
                        TVector4f* = nullptr) override {
    return false;
  }

  TGLCustomPerspectiveEvent OnCustomPerspective;
  // When assigned, Apply calls it instead of computing a view.
  std::function<void(TGLCamera* sender)> FDeferredApply;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void ResetCachedAngles() { FFOVY = -1; }
  // The context whose transformation the camera writes into.
  static TGLTransformation& Pipeline();

  float FFocalLength = 50;
  float FDepthOfView = 100;
  float FNearPlaneBias = 1;
  float FSceneScale = 1;
  TGLCameraStyle FCameraStyle = TGLCameraStyle::csPerspective;
  TGLCameraKeepFOVMode FKeepFOVMode = TGLCameraKeepFOVMode::ckmHorizontalFOV;
  TGLBaseSceneObject* FTargetObject = nullptr;
  float FNearPlane = 0;
  float FViewPortRadius = 0;
  TVector4f FLastDirection{};
  double FFOVX = 0;
  double FFOVY = -1;
};

}  // namespace ukh
