// Destruction notifications of TComponent.
#include "engine/base/Component.h"

#include <algorithm>

namespace ukh {

void TComponent::Unlink(std::vector<TComponent*>& list, TComponent* c) {
  list.erase(std::remove(list.begin(), list.end(), c), list.end());
}

void TComponent::FreeNotification(TComponent* other) {
  if (!other || other == this) return;
  if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), other) == FFreeNotifies.end())
    FFreeNotifies.push_back(other);
  if (std::find(other->FFreeNotifies.begin(), other->FFreeNotifies.end(), this) ==
      other->FFreeNotifies.end())
    other->FFreeNotifies.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* other) {
  if (!other) return;
  Unlink(FFreeNotifies, other);
  Unlink(other->FFreeNotifies, this);
}

void TComponent::Notification(TComponent*, TOperation) {}

void TComponent::BeginDestruction() {
  if (IsDestroying()) return;
  SetStateFlag(csDestroying, true);
  // A notified component may drop its own link (RemoveFreeNotification) while we walk.
  while (!FFreeNotifies.empty()) {
    TComponent* other = FFreeNotifies.back();
    FFreeNotifies.pop_back();
    Unlink(other->FFreeNotifies, this);
    other->Notification(this, TOperation::opRemove);
  }
}

TComponent::~TComponent() {
  BeginDestruction();
}

}  // namespace ukh
