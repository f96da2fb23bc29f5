// Drawing without the material.
#include "engine/scene/GLImmaterialSceneObject.h"

namespace ukh {

void TGLImmaterialSceneObject::DoRender(TGLRenderContextInfo& rci, bool renderSelf,
                                        bool renderChildren) {
  TGLBaseSceneObject::DoRender(rci, renderSelf, renderChildren);
}

}  // namespace ukh
