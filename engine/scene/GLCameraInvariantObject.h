// TGLCameraInvariantObject: an immaterial object that can ignore the camera's position or
// orientation while it and its children are drawn; the base of the grouping dummy cube.
#pragma once

#include "engine/scene/GLImmaterialSceneObject.h"

namespace ukh {

enum class TGLCameraInvarianceMode : uint8_t { cimNone, cimPosition, cimOrientation };

class TGLCameraInvariantObject : public TGLImmaterialSceneObject {
 public:
  using TGLImmaterialSceneObject::TGLImmaterialSceneObject;

  TGLCameraInvarianceMode CamInvarianceMode() const { return FCamInvarianceMode; }
  void SetCamInvarianceMode(TGLCameraInvarianceMode value);

  // cimNone draws as usual. cimPosition keeps the subtree at a fixed offset from the camera
  // (the view loses its translation); cimOrientation keeps it from turning with the camera
  // (the view loses its rotation).
  void DoRender(TGLRenderContextInfo& rci, bool renderSelf, bool renderChildren) override;

 private:
  TGLCameraInvarianceMode FCamInvarianceMode = TGLCameraInvarianceMode::cimNone;
};

}  // namespace ukh
