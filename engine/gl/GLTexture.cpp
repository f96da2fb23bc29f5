// The texture's switch and its hand-over to the owning material.
#include "engine/gl/GLTexture.h"

#include "engine/gl/GLMaterial.h"

namespace ukh {

TGLTexture::TGLTexture(TPersistent* owner) : TGLUpdateAbleObject(owner) {}

void TGLTexture::SetDisabled(bool disabled) {
  if (FDisabled == disabled) return;
  FDisabled = disabled;
  if (auto* material = dynamic_cast<TGLMaterial*>(FOwner))
    material->NotifyTexMapChange(this);
  else
    NotifyChange(this);
}

// No picture can be held yet, so an enabled texture has nothing to bind.
void TGLTexture::Apply(TGLRenderContextInfo&) {}
void TGLTexture::UnApply(TGLRenderContextInfo&) {}
void TGLTexture::PrepareBuildList() {}
void TGLTexture::DestroyHandles() {}

}  // namespace ukh
