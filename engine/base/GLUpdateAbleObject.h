// TGLUpdateAbleObject: a small owned part (coordinate holder, colour, material) that reports
// its changes to its owner, with BeginUpdate/EndUpdate to collapse many changes into one.
#pragma once

#include <cstdint>
#include <functional>

#include "engine/base/Persistent.h"

namespace ukh {

class TGLUpdateAbleComponent;

class TGLUpdateAbleObject : public TPersistent {
 public:
  // `owner` is not owned; it is told of changes (see NotifyChange).
  explicit TGLUpdateAbleObject(TPersistent* owner);

  TPersistent* Owner() const { return FOwner; }
  int32_t Updating() const { return FUpdating; }

  // Tells the owner: a TGLUpdateAbleObject owner through its NotifyChange, an update-able
  // component through the component's NotifyChange; then fires OnNotifyChange. Nothing while
  // updating.
  virtual void NotifyChange(TPersistent* sender);
  virtual void Notification(TPersistent* sender, int operation);

  void BeginUpdate() { ++FUpdating; }
  // Throws "Assertion failure" without a matching BeginUpdate.
  void EndUpdate();

  std::function<void(TPersistent* sender)> OnNotifyChange;

 protected:
  // Stores `value` and notifies, only when it differs from what `field` holds.
  template <class T>
  void SetNotifying(T& field, const T& value) {
    if (field == value) return;
    field = value;
    NotifyChange(this);
  }

  TPersistent* FOwner;
  // The owner's update-able face, resolved once at construction.
  TGLUpdateAbleObject* FOwnerObject = nullptr;
  TGLUpdateAbleComponent* FOwnerComponent = nullptr;
  int32_t FUpdating = 0;
};

}  // namespace ukh
