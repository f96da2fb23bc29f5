// TGLCamera: the viewpoint the buffer renders the scene from.
#pragma once

#include "engine/scene/GLBaseSceneObject.h"

namespace ukh {

class TGLCamera : public TGLBaseSceneObject {
 public:
  explicit TGLCamera(TComponent* owner = nullptr) : TGLBaseSceneObject(owner) {}
};

}  // namespace ukh
