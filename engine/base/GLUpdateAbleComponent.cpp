// Default progress and change propagation of the update-able components.
#include "engine/base/GLUpdateAbleComponent.h"

namespace ukh {

void TGLCadenceAbleComponent::DoProgress(const TGLProgressTimes&) {}

void TGLUpdateAbleComponent::NotifyChange(TPersistent*) {
  if (auto* owner = dynamic_cast<TGLUpdateAbleComponent*>(Owner())) owner->NotifyChange(this);
}

}  // namespace ukh
