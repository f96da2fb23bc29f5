// The component bases of everything the frame clock progresses and everything that reports
// changes upward: TGLCadenceAbleComponent and TGLUpdateAbleComponent.
#pragma once

#include "engine/base/Component.h"

namespace ukh {

// The times handed down one progress walk, in seconds.
struct TGLProgressTimes {
  double DeltaTime = 0;
  double NewTime = 0;
  // Not computed by the scene; nothing reads them.
  double SqrDeltaTime = 0;
  double InvSqrDeltaTime = 0;
};

class TGLCadenceAbleComponent : public TComponent {
 public:
  using TComponent::TComponent;
  virtual void DoProgress(const TGLProgressTimes& progressTime);
};

class TGLUpdateAbleComponent : public TGLCadenceAbleComponent {
 public:
  using TGLCadenceAbleComponent::TGLCadenceAbleComponent;
  // Passes the change on to the owner when the owner is itself update-able.
  virtual void NotifyChange(TPersistent* sender);

 protected:
  // Stores `value` and notifies, only when it differs from what `field` holds.
  template <class T>
  void SetNotifying(T& field, const T& value) {
    if (field == value) return;
    field = value;
    NotifyChange(this);
  }
};

}  // namespace ukh
