// The navigator's horizontal turn and its link to the moving object.
#include "engine/sim/GLNavigator.h"

#include <cmath>

#include "engine/math/Matrix.h"

namespace ukh {

TGLNavigator::TGLNavigator(TComponent* owner) : TComponent(owner) {
  FVirtualUp = std::make_unique<TGLCoordinates3>(this, ZHmgVector, TGLCoordinatesStyle::csVector);
}

TGLNavigator::~TGLNavigator() {
  BeginDestruction();
}

TVector4f TGLNavigator::CalcRight() const {
  if (!FObject) return FVirtualRight;
  const TVector4f& direction = FObject->Direction().AsVector();
  if (!FUseVirtualUp) return CrossProduct(direction, FObject->Up().AsVector());
  TVector4f right = CrossProduct(direction, FVirtualUp->AsVector());
  NormalizeVector(right);
  return right;
}

void TGLNavigator::TurnHorizontal(float angle) {
  if (InvertHorizontalSteeringWhenUpsideDown && (FCurrentVAngle < -90 || FCurrentVAngle > 90))
    angle = -angle;
  FCurrentHAngle = FCurrentHAngle - angle;
  if (FCurrentHAngle < 0 || FCurrentHAngle > 360) {
    const float t = FCurrentHAngle / 360.0f;
    FCurrentHAngle = float((double(t) - std::floor(double(t))) * 360.0);
  }
  const float radians = float(double(angle) * cPIdiv180);
  // Without a moving object only the running angle changes (rather than a null access).
  if (!FObject) return;
  if (!FUseVirtualUp) {
    // Not a rotation of Up: Direction is bent toward Right and re-orthogonalised on write.
    const TVector4f direction = FObject->Direction().AsVector();
    const TVector4f right = CalcRight();
    const double c = std::cos(double(radians)), s = std::sin(double(radians));
    TVector4f turned;
    for (int i = 0; i < 4; ++i) turned[i] = float(direction[i] * c + right[i] * s);
    FObject->Direction().SetAsVector(turned);
  } else {
    const TMatrix4f m = AxisRotationMatrix(FVirtualUp->AsAffineVector(), radians);
    FObject->Up().SetAsVector(TransformVector(FObject->Up().AsVector(), m));
    FObject->Direction().SetAsVector(TransformVector(FObject->Direction().AsVector(), m));
  }
}

void TGLNavigator::SetMovingObject(TGLBaseSceneObject* object) {
  if (object == FObject) return;
  if (FObject) FObject->RemoveFreeNotification(this);
  FObject = object;
  if (!FObject) return;
  if (IsDesigning()) {
    if (FVirtualUp->VectorLength() == 0) FVirtualUp->SetAsVector(FObject->Up().AsVector());
    return;
  }
  if (FUseVirtualUp) FVirtualRight = CalcRight();
  FObject->FreeNotification(this);
}

void TGLNavigator::SetVirtualUp(const TVector4f& value) {
  FVirtualUp->SetDirectVector(value);
  if (FUseVirtualUp && !IsDesigning()) FVirtualRight = CalcRight();
}

void TGLNavigator::SetUseVirtualUp(bool value) {
  FUseVirtualUp = value;
  if (FUseVirtualUp && !IsDesigning()) FVirtualRight = CalcRight();
}

void TGLNavigator::Notification(TComponent* component, TOperation operation) {
  if (operation == TOperation::opRemove && component == FObject) FObject = nullptr;
  TComponent::Notification(component, operation);
}

}  // namespace ukh
