// TGLNavigator: steers one scene object (its MovingObject) by rewriting that object's
// direction and up vectors, and keeps the running horizontal and vertical angles.
#pragma once

#include <memory>

#include "engine/base/Component.h"
#include "engine/scene/GLBaseSceneObject.h"

namespace ukh {

class TGLNavigator : public TComponent {
 public:
  explicit TGLNavigator(TComponent* owner = nullptr);
  ~TGLNavigator() override;

  // Turns the moving object about its up axis (or VirtualUp); a positive angle turns the
  // direction clockwise seen from the tip of the up vector. Without a moving object only the
  // running angle changes.
  void TurnHorizontal(float angle);

  TGLBaseSceneObject* MovingObject() const { return FObject; }
  // Not owned; cleared when the object is destroyed.
  void SetMovingObject(TGLBaseSceneObject* object);
  TGLCoordinates3& VirtualUp() { return *FVirtualUp; }
  void SetVirtualUp(const TVector4f& value);
  bool UseVirtualUp() const { return FUseVirtualUp; }
  void SetUseVirtualUp(bool value);

  float CurrentHAngle() const { return FCurrentHAngle; }
  float CurrentVAngle() const { return FCurrentVAngle; }

  bool AutoUpdateObject = false;
  float MaxAngle = 0;
  float MinAngle = 0;
  bool AngleLock = false;
  bool MoveUpWhenMovingForward = false;
  bool InvertHorizontalSteeringWhenUpsideDown = false;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TVector4f CalcRight() const;

  TGLBaseSceneObject* FObject = nullptr;
  TVector4f FVirtualRight{};
  std::unique_ptr<TGLCoordinates3> FVirtualUp;
  bool FUseVirtualUp = false;
  float FCurrentVAngle = 0;
  float FCurrentHAngle = 0;
};

}  // namespace ukh
