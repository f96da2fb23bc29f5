// Drawing an object inside its material.
#include "engine/scene/GLCustomSceneObject.h"

namespace ukh {

TGLCustomSceneObject::TGLCustomSceneObject(TComponent* owner)
    : TGLBaseSceneObject(owner), FMaterial(std::make_unique<TGLMaterial>(this)) {}

TGLCustomSceneObject::~TGLCustomSceneObject() {
  // The base destructor can only reach its own handles; the material's go here.
  FMaterial->DestroyHandles();
}

bool TGLCustomSceneObject::Blended() {
  return FMaterial->Blended();
}

void TGLCustomSceneObject::DestroyHandle() {
  TGLBaseSceneObject::DestroyHandle();
  FMaterial->DestroyHandles();
}

void TGLCustomSceneObject::RenderWithMaterial(TGLRenderContextInfo& rci) {
  FMaterial->Apply(rci);
  do {
    RenderSelf(rci);
  } while (FMaterial->UnApply(rci));
}

void TGLCustomSceneObject::DoRender(TGLRenderContextInfo& rci, bool renderSelf,
                                    bool renderChildren) {
  if (renderSelf) {
    if (rci.IgnoreMaterials)
      RenderSelf(rci);
    else
      RenderWithMaterial(rci);
  }
  if (renderChildren) RenderChildren(0, Count() - 1, rci);
}

}  // namespace ukh
