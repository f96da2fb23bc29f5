// TGLTexture: the picture a material puts on its object's surfaces. This is the part the
// material relies on (created on first access, enabled or not, applied and un-applied);
// the picture, its upload and the sampling settings build on it.
#pragma once

#include "engine/base/GLUpdateAbleObject.h"

namespace ukh {

struct TGLRenderContextInfo;

class TGLTexture : public TGLUpdateAbleObject {
 public:
  // `owner` is the material (not owned), told of changes.
  explicit TGLTexture(TPersistent* owner);

  bool Disabled() const { return FDisabled; }
  bool Enabled() const { return !FDisabled; }
  // A new value is a texture-map change of the owning material, which redraws.
  void SetDisabled(bool disabled);
  void SetEnabled(bool enabled) { SetDisabled(!enabled); }

  // Binds the texture and sets its environment for drawing; nothing while disabled.
  void Apply(TGLRenderContextInfo& rci);
  void UnApply(TGLRenderContextInfo& rci);
  // Makes the GL texture ready before a display list is compiled.
  void PrepareBuildList();
  // Releases the GL texture of the current context.
  void DestroyHandles();
  void Assign(const TGLTexture& source) { SetDisabled(source.FDisabled); }

 private:
  bool FDisabled = true;
};

}  // namespace ukh
