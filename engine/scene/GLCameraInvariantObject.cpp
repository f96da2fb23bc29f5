// Drawing with part of the camera's view taken away.
#include "engine/scene/GLCameraInvariantObject.h"

#include "engine/gl/GLTransformation.h"

namespace ukh {

void TGLCameraInvariantObject::SetCamInvarianceMode(TGLCameraInvarianceMode value) {
  if (value == FCamInvarianceMode) return;
  FCamInvarianceMode = value;
  NotifyChange(this);
}

void TGLCameraInvariantObject::DoRender(TGLRenderContextInfo& rci, bool renderSelf,
                                        bool renderChildren) {
  if (FCamInvarianceMode != TGLCameraInvarianceMode::cimNone) {
    // Render pushed a level for this object; the parent's view comes back with its pop.
    TGLTransformation& pipeline = *rci.PipelineTransformation;
    TMatrix4f view = pipeline.ViewMatrix();
    if (FCamInvarianceMode == TGLCameraInvarianceMode::cimPosition) {
      view.W = {0, 0, 0, 1};
    } else {
      const TVector4f translation = view.W;
      view = IdentityHmgMatrix;
      view.W = translation;
    }
    pipeline.SetViewMatrix(view);
  }
  TGLImmaterialSceneObject::DoRender(rci, renderSelf, renderChildren);
}

}  // namespace ukh
