// Change propagation of owned parts.
#include "engine/base/GLUpdateAbleObject.h"

#include "engine/base/Exception.h"
#include "engine/base/GLUpdateAbleComponent.h"

namespace ukh {

TGLUpdateAbleObject::TGLUpdateAbleObject(TPersistent* owner) : FOwner(owner) {
  FOwnerObject = dynamic_cast<TGLUpdateAbleObject*>(owner);
  if (!FOwnerObject) FOwnerComponent = dynamic_cast<TGLUpdateAbleComponent*>(owner);
}

void TGLUpdateAbleObject::NotifyChange(TPersistent*) {
  if (FUpdating != 0) return;
  if (FOwnerObject)
    FOwnerObject->NotifyChange(this);
  else if (FOwnerComponent)
    FOwnerComponent->NotifyChange(this);
  if (OnNotifyChange) OnNotifyChange(this);
}

void TGLUpdateAbleObject::Notification(TPersistent*, int) {}

void TGLUpdateAbleObject::EndUpdate() {
  Assert(FUpdating > 0);
  if (--FUpdating == 0) NotifyChange(this);
}

}  // namespace ukh
