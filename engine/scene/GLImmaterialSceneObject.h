// TGLImmaterialSceneObject: an object that carries a material but draws without applying it
// (its geometry, if any, takes whatever states are current).
#pragma once

#include "engine/scene/GLCustomSceneObject.h"

namespace ukh {

class TGLImmaterialSceneObject : public TGLCustomSceneObject {
 public:
  using TGLCustomSceneObject::TGLCustomSceneObject;

  void DoRender(TGLRenderContextInfo& rci, bool renderSelf, bool renderChildren) override;
};

}  // namespace ukh
