// TGLLightSource: a light in the scene tree; it occupies one of the scene's eight light slots.
#pragma once

#include "engine/scene/GLBaseSceneObject.h"

namespace ukh {

class TGLLightSource : public TGLBaseSceneObject {
 public:
  explicit TGLLightSource(TComponent* owner = nullptr) : TGLBaseSceneObject(owner) {}

  // The slot index in the scene's light list; 0 before the light is registered.
  int LightID() const { return FLightID; }
  bool Shining() const { return FShining; }
  void SetShining(bool value) {
    if (value == FShining) return;
    FShining = value;
    NotifyChange(this);
  }

 private:
  friend class TGLWorld;
  int FLightID = 0;
  bool FShining = true;
};

}  // namespace ukh
