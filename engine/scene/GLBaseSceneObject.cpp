// Scene objects: lazy transforms, the tree operations, notifications, progress and bounds.
#include "engine/scene/GLBaseSceneObject.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "engine/base/Exception.h"
#include "engine/scene/GLBehaviours.h"
#include "engine/scene/GLCamera.h"
#include "engine/scene/GLLightSource.h"
#include "engine/scene/GLWorld.h"

namespace ukh {

namespace {
constexpr TGLObjectChanges cAbsoluteFlags = ocAbsoluteMatrix | ocInvAbsoluteMatrix;
// Below this length the cross product of Direction and Up is taken as parallel vectors.
constexpr float cParallelEpsilon = 1e-5f;

bool SameTextIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = a[i], y = b[i];
    if (x < 0x80 && y < 0x80) {
      if (std::tolower(x) != std::tolower(y)) return false;
    } else if (x != y) {
      return false;
    }
  }
  return true;
}

bool IsEmptyBox(const THmgBoundingBox& b) {
  for (const TVector4f& c : b.BBox)
    if (!(c == NullHmgPoint)) return false;
  return true;
}

THmgBoundingBox EmptyBox() {
  THmgBoundingBox b;
  for (TVector4f& c : b.BBox) c = NullHmgPoint;
  return b;
}

THmgBoundingBox TransformBox(const THmgBoundingBox& b, const TMatrix4f& m) {
  THmgBoundingBox r;
  for (int i = 0; i < 8; ++i) r.BBox[i] = TransformVector(b.BBox[i], m);
  return r;
}

// The corner-wise union: the box around all sixteen corners, as eight corners.
THmgBoundingBox UnionBox(const THmgBoundingBox& a, const THmgBoundingBox& b) {
  TAABB box = BBToAABB(a);
  AABBUnion(box, BBToAABB(b));
  return AABBToBB(box);
}

// The right vector for re-orthogonalising Direction and Up, with the fallback axes for a
// Direction parallel to Up.
TVector4f RightOf(const TVector4f& direction, const TVector4f& up) {
  TVector4f right = CrossProduct(direction, up);
  if (!(VectorLength(right) >= cParallelEpsilon)) {
    right = CrossProduct(ZHmgVector, up);
    if (!(VectorLength(right) >= cParallelEpsilon)) right = CrossProduct(XHmgVector, up);
  }
  return right;
}
}  // namespace

// Holds FIsCalculating for the length of a step, also when the step fails.
struct TGLBaseSceneObject::CalculatingGuard {
  explicit CalculatingGuard(bool& flag) : Flag(flag) { Flag = true; }
  ~CalculatingGuard() { Flag = false; }
  bool& Flag;
};

TGLBaseSceneObject::TGLBaseSceneObject(TComponent* owner)
    : TGLCoordinatesUpdateAbleComponent(owner) {
  using S = TGLCoordinatesStyle;
  FPosition = std::make_unique<TGLCoordinates3>(this, NullHmgPoint, S::csPoint);
  FDirection = std::make_unique<TGLCoordinates3>(this, ZHmgVector, S::csVector);
  FUp = std::make_unique<TGLCoordinates3>(this, YHmgVector, S::csVector);
  FScaling = std::make_unique<TGLCoordinates3>(this, XYZHmgVector, S::csVector);
  FRotation = std::make_unique<TGLCoordinates3>(this, NullHmgVector, S::csVector);
  FBoundingBoxPersonalUnscaled = EmptyBox();
  FBoundingBoxOfChildren = EmptyBox();
}

TGLBaseSceneObject::~TGLBaseSceneObject() {
  BeginDestruction();
  RemoveCamerasFromSubtree();
  FBehaviours.reset();
  DestroyHandle();
  // Only a detached object dies: an attached one is owned by its parent's list, which lets go
  // of it (and clears its parent link) first.
  DeleteChildren();
}

// ---- transform ----------------------------------------------------------------------------

void TGLBaseSceneObject::SetDirection(const TGLCustomCoordinates& v) {
  const TVector4f& c = v.AsVector();
  if (c.X == 0 && c.Y == 0 && c.Z == 0) return;
  FDirection->SetVector(c);
}

void TGLBaseSceneObject::SetUp(const TGLCustomCoordinates& v) {
  const TVector4f& c = v.AsVector();
  if (c.X == 0 && c.Y == 0 && c.Z == 0) return;
  FUp->SetVector(c);
}

void TGLBaseSceneObject::SetScale(const TGLCustomCoordinates& v) {
  FScaling->Assign(v);
  TransformationChanged();
}

void TGLBaseSceneObject::SetRotation(const TGLCustomCoordinates& v) {
  FRotation->Assign(v);
  TransformationChanged();
}

void TGLBaseSceneObject::RebuildMatrix() {
  const TVector4f& scale = FScaling->AsVector();
  FLocalMatrix.X = ScaleVector(CrossProduct(FUp->AsVector(), FDirection->AsVector()), scale.X);
  FLocalMatrix.Y = ScaleVector(FUp->AsVector(), scale.Y);
  FLocalMatrix.Z = ScaleVector(FDirection->AsVector(), scale.Z);
  FLocalMatrix.W = FPosition->AsVector();
  FChanges = (FChanges & ~ocTransformation) | cAbsoluteFlags;
}

const TMatrix4f& TGLBaseSceneObject::Matrix() {
  if (FChanges & ocTransformation) RebuildMatrix();
  return FLocalMatrix;
}

const TMatrix4f& TGLBaseSceneObject::AbsoluteMatrix() {
  if (FChanges & ocAbsoluteMatrix) {
    if (FChanges & ocTransformation) RebuildMatrix();
    if (FParent)
      FAbsoluteMatrix = MultiplyMatrices(FLocalMatrix, FParent->AbsoluteMatrix());
    else
      FAbsoluteMatrix = FLocalMatrix;
    FChanges = (FChanges & ~ocAbsoluteMatrix) | ocInvAbsoluteMatrix;
  }
  return FAbsoluteMatrix;
}

const TMatrix4f& TGLBaseSceneObject::InvAbsoluteMatrix() {
  if (FChanges & ocInvAbsoluteMatrix) {
    if (FScaling->AsVector() == XYZHmgVector) {
      if (FChanges & ocTransformation) RebuildMatrix();
      const TMatrix4f inv = InvertRigidMatrix(FLocalMatrix);
      FInvAbsoluteMatrix = FParent ? MultiplyMatrices(FParent->InvAbsoluteMatrix(), inv) : inv;
    } else {
      FInvAbsoluteMatrix = AbsoluteMatrix();
      InvertMatrix(FInvAbsoluteMatrix);
    }
    FChanges &= ~ocInvAbsoluteMatrix;
  }
  return FInvAbsoluteMatrix;
}

void TGLBaseSceneObject::SetAbsoluteMatrix(const TMatrix4f& value) {
  if (value == AbsoluteMatrix()) return;
  if (FParent)
    SetMatrix(MultiplyMatrices(value, FParent->InvAbsoluteMatrix()));
  else
    SetMatrix(value);
}

TVector4f TGLBaseSceneObject::AbsoluteDirection() {
  TVector4f v = AbsoluteMatrix().Z;
  NormalizeVector(v);
  return v;
}

TVector4f TGLBaseSceneObject::AbsoluteUp() {
  TVector4f v = AbsoluteMatrix().Y;
  NormalizeVector(v);
  return v;
}

TVector4f TGLBaseSceneObject::AbsoluteRight() {
  TVector4f v = AbsoluteMatrix().X;
  NormalizeVector(v);
  return v;
}

TVector4f TGLBaseSceneObject::AbsoluteXVector() {
  return VectorMake(AffineVector(AbsoluteMatrix().X), 0);
}
TVector4f TGLBaseSceneObject::AbsoluteYVector() {
  return VectorMake(AffineVector(AbsoluteMatrix().Y), 0);
}
TVector4f TGLBaseSceneObject::AbsoluteZVector() {
  return VectorMake(AffineVector(AbsoluteMatrix().Z), 0);
}

TVector4f TGLBaseSceneObject::AbsoluteScale() {
  const TMatrix4f& m = AbsoluteMatrix();
  return {m.X.X, m.Y.Y, m.Z.Z, 0};
}

void TGLBaseSceneObject::SetAbsolutePosition(const TVector4f& v) {
  FPosition->SetAsVector(FParent ? FParent->AbsoluteToLocal(v) : v);
}
void TGLBaseSceneObject::SetAbsoluteDirection(const TVector4f& v) {
  FDirection->SetAsVector(FParent ? FParent->AbsoluteToLocal(v) : v);
}
void TGLBaseSceneObject::SetAbsoluteUp(const TVector4f& v) {
  FUp->SetAsVector(FParent ? FParent->AbsoluteToLocal(v) : v);
}
void TGLBaseSceneObject::SetAbsoluteScale(const TVector4f& v) {
  FScaling->SetAsVector(FParent ? FParent->AbsoluteToLocal(v) : v);
}

TVector4f TGLBaseSceneObject::Right() const {
  return CrossProduct(FDirection->AsVector(), FUp->AsVector());
}
TVector4f TGLBaseSceneObject::LeftVector() const {
  return CrossProduct(FUp->AsVector(), FDirection->AsVector());
}

float TGLBaseSceneObject::SqrDistanceTo(TGLBaseSceneObject* obj) {
  if (!obj) return 0;
  return VectorDistance2(AbsoluteAffinePosition(), obj->AbsoluteAffinePosition());
}
float TGLBaseSceneObject::SqrDistanceTo(const TVector3f& point) {
  return VectorDistance2(AbsoluteAffinePosition(), point);
}
float TGLBaseSceneObject::DistanceTo(TGLBaseSceneObject* obj) {
  if (!obj) return 0;
  return VectorDistance(AbsoluteAffinePosition(), obj->AbsoluteAffinePosition());
}
float TGLBaseSceneObject::DistanceTo(const TVector3f& point) {
  return VectorDistance(AbsoluteAffinePosition(), point);
}

void TGLBaseSceneObject::Move(float distance) {
  FPosition->AddScaledVector(distance, FDirection->AsVector());
  TransformationChanged();
}

void TGLBaseSceneObject::Lift(float distance) {
  FPosition->AddScaledVector(distance, FUp->AsVector());
  TransformationChanged();
}

void TGLBaseSceneObject::Slide(float distance) {
  FPosition->AddScaledVector(distance, CrossProduct(FDirection->AsVector(), FUp->AsVector()));
  TransformationChanged();
}

// Turns Up and Direction by (value - stored angle) degrees about `axis`, counter-clockwise
// seen from its tip; while loading only the wrapped angle is stored.
void TGLBaseSceneObject::RotateAboutAxis(const TVector3f& axis, float& stored, float value,
                                         int rotationIndex) {
  if (value == stored) return;
  if (!IsLoading()) {
    CalculatingGuard guard(FIsCalculating);
    const double theta = (double(stored) - double(value)) * (cPI / 180.0);
    const TMatrix4f m = AxisRotationMatrix(axis, theta);
    FUp->SetDirectVector(TransformVector(FUp->AsVector(), m));
    FUp->Normalize();
    FDirection->SetDirectVector(TransformVector(FDirection->AsVector(), m));
    FDirection->Normalize();
    TransformationChanged();
  }
  TVector4f r = FRotation->AsVector();
  r[rotationIndex] = WrapDegrees(value);
  FRotation->SetDirectVector(r);
}

void TGLBaseSceneObject::SetTurnAngle(float value) {
  float stored = FRotation->Y();
  RotateAboutAxis(FUp->AsAffineVector(), stored, value, 1);
}

void TGLBaseSceneObject::SetPitchAngle(float value) {
  float stored = FRotation->X();
  RotateAboutAxis(AffineVector(Right()), stored, value, 0);
}

void TGLBaseSceneObject::SetRollAngle(float value) {
  float stored = FRotation->Z();
  RotateAboutAxis(FDirection->AsAffineVector(), stored, value, 2);
}

void TGLBaseSceneObject::ResetRotations() {
  const TVector4f& s = FScaling->AsVector();
  FLocalMatrix = TMatrix4f{};
  FLocalMatrix.X.X = s.X;
  FLocalMatrix.Y.Y = s.Y;
  FLocalMatrix.Z.Z = s.Z;
  FLocalMatrix.W = FPosition->AsVector();
  FRotation->SetDirectVector({0, 0, 0, 1});
  FDirection->SetDirectVector(ZHmgVector);
  FUp->SetDirectVector(YHmgVector);
  TransformationChanged();
  // The matrix written above stays in force.
  FChanges &= ~ocTransformation;
}

void TGLBaseSceneObject::SetMatrix(const TMatrix4f& value) {
  FLocalMatrix = value;
  FDirection->SetDirectVector(Normalized(value.Z));
  FUp->SetDirectVector(Normalized(value.Y));
  FScaling->SetVector(VectorLength(value.X), VectorLength(value.Y), VectorLength(value.Z), 0);
  FPosition->SetDirectVector(value.W);
  MarkTransformationChanged();
}

void TGLBaseSceneObject::CoordinateChanged(TGLCustomCoordinates* sender) {
  if (FIsCalculating) return;
  CalculatingGuard guard(FIsCalculating);
  if (sender == FDirection.get()) {
    if (FDirection->VectorLength() == 0) FDirection->SetDirectVector(ZHmgVector);
    FDirection->Normalize();
    const TVector4f right = RightOf(FDirection->AsVector(), FUp->AsVector());
    FUp->SetDirectVector(CrossProduct(right, FDirection->AsVector()));
    FUp->Normalize();
  } else if (sender == FUp.get()) {
    if (FUp->VectorLength() == 0) FUp->SetDirectVector(YHmgVector);
    FUp->Normalize();
    const TVector4f right = RightOf(FDirection->AsVector(), FUp->AsVector());
    FDirection->SetDirectVector(CrossProduct(FUp->AsVector(), right));
    FDirection->Normalize();
  }
  // Marked once per rebuild: a second write before the next read adds no notification here.
  TransformationChanged();
}

void TGLBaseSceneObject::TransformationChanged() {
  if (FChanges & ocTransformation) return;
  MarkTransformationChanged();
}

void TGLBaseSceneObject::MarkTransformationChanged() {
  FChanges |= ocTransformation;
  if ((FChanges & cAbsoluteFlags) != cAbsoluteFlags) {
    FChanges |= cAbsoluteFlags;
    for (auto& child : FChildren) child->MarkAbsoluteStale();
  }
  if (!IsLoading()) NotifyChange(this);
}

// A subtree already marked is skipped whole: its descendants are marked too.
void TGLBaseSceneObject::MarkAbsoluteStale() {
  if ((FChanges & cAbsoluteFlags) == cAbsoluteFlags) return;
  FChanges |= cAbsoluteFlags;
  for (auto& child : FChildren) child->MarkAbsoluteStale();
}

// ---- tree ---------------------------------------------------------------------------------

int TGLBaseSceneObject::IndexOfChild(const TGLBaseSceneObject* child) const {
  for (size_t i = 0; i < FChildren.size(); ++i)
    if (FChildren[i].get() == child) return int(i);
  return -1;
}

int TGLBaseSceneObject::Index() const {
  return FParent ? FParent->IndexOfChild(this) : -1;
}

void TGLBaseSceneObject::SetIndex(int index) {
  if (!FParent) return;
  const int last = FParent->Count() - 1;
  index = std::clamp(index, 0, last);
  if (index == Index()) return;
  TGLBaseSceneObject* parent = FParent;
  TGLWorld* scene = FScene;
  if (scene) scene->BeginUpdate();
  parent->Insert(index, parent->Remove(this, false));
  if (scene) scene->EndUpdate();
}

// Subtrees are searched before a direct child of the same name is taken.
TGLBaseSceneObject* TGLBaseSceneObject::FindChild(const std::string& name, bool ownChildrenOnly) {
  TGLBaseSceneObject* direct = nullptr;
  for (auto& child : FChildren)
    if (SameTextIgnoringCase(child->Name(), name)) {
      direct = child.get();
      break;
    }
  if (ownChildrenOnly) return direct;
  for (auto& child : FChildren)
    if (TGLBaseSceneObject* hit = child->FindChild(name, false)) return hit;
  return direct;
}

void TGLBaseSceneObject::SetScene(TGLWorld* scene) {
  if (scene == FScene) return;
  if (FScene) DestroyHandles();
  FScene = scene;
  for (auto& child : FChildren) child->SetScene(scene);
}

void TGLBaseSceneObject::DestroyHandles() {
  DestroyHandle();
  for (auto& child : FChildren) child->DestroyHandles();
}

void TGLBaseSceneObject::DoOnAddedToParent() {
  if (OnAddedToParent) OnAddedToParent(this);
}

TGLBaseSceneObject* TGLBaseSceneObject::AddChild(std::unique_ptr<TGLBaseSceneObject> child) {
  Assert(child && !child->FParent);
  TGLBaseSceneObject* c = child.get();
  if (FScene) c->RegisterLights(FScene);
  FChildren.push_back(std::move(child));
  c->FParent = this;
  c->SetScene(FScene);
  TransformationChanged();
  c->TransformationChanged();
  c->DoOnAddedToParent();
  SetBBChanges(FBBChanges | oBBcChild);
  return c;
}

void TGLBaseSceneObject::Insert(int index, std::unique_ptr<TGLBaseSceneObject> child) {
  Assert(child && !child->FParent);
  if (index < 0 || index > Count())
    throw EAssertionFailed("List index out of bounds (" + std::to_string(index) + ")");
  TGLBaseSceneObject* c = child.get();
  FChildren.insert(FChildren.begin() + index, std::move(child));
  c->FParent = this;
  c->SetScene(FScene);
  if (FScene) c->RegisterLights(FScene);
  c->TransformationChanged();
  c->DoOnAddedToParent();
}

void TGLBaseSceneObject::Insert(int index, TGLBaseSceneObject* child) {
  Assert(child && child->FParent, "Only an object that hangs in a tree can be inserted by pointer");
  Insert(index, child->FParent->Remove(child, false));
}

std::unique_ptr<TGLBaseSceneObject> TGLBaseSceneObject::Remove(TGLBaseSceneObject* child,
                                                               bool keepChildren) {
  if (!child || child->FParent != this) return nullptr;
  if (FScene) child->UnregisterLights(FScene);
  const int i = IndexOfChild(child);
  std::unique_ptr<TGLBaseSceneObject> owned = std::move(FChildren[i]);
  FChildren.erase(FChildren.begin() + i);
  child->FParent = nullptr;
  if (keepChildren) {
    BeginUpdate();
    while (child->Count() > 0) child->Get(child->Count() - 1)->MoveTo(this);
    EndUpdate();
  } else {
    NotifyChange(this);
  }
  return owned;
}

std::unique_ptr<TGLBaseSceneObject> TGLBaseSceneObject::MoveTo(TGLBaseSceneObject* newParent) {
  if (newParent == FParent) return nullptr;
  // A cycle would make the object own itself.
  for (TGLBaseSceneObject* p = newParent; p; p = p->FParent)
    Assert(p != this, "Cannot move an object below itself");
  Assert(FParent != nullptr, "Only an object that hangs in a tree can be moved; use AddChild");
  std::unique_ptr<TGLBaseSceneObject> self = FParent->Remove(this, false);
  if (newParent) {
    newParent->AddChild(std::move(self));
    return nullptr;
  }
  SetScene(nullptr);
  return self;
}

void TGLBaseSceneObject::RemoveCamerasFromSubtree() {
  for (int i = 0; i < Count(); ++i) {
    TGLBaseSceneObject* child = Get(i);
    child->RemoveCamerasFromSubtree();
    if (dynamic_cast<TGLCamera*>(child)) {
      Remove(child, true);  // the camera's children move up here; the camera dies
      --i;
    }
  }
}

void TGLBaseSceneObject::DeleteChildren() {
  RemoveCamerasFromSubtree();
  if (FScene) UnregisterLights(FScene);
  while (!FChildren.empty()) {
    std::unique_ptr<TGLBaseSceneObject> child = std::move(FChildren.back());
    FChildren.pop_back();
    child->FParent = nullptr;
    child.reset();
  }
  SetBBChanges(FBBChanges | oBBcChild);
}

// Parent before children, children in order.
void TGLBaseSceneObject::RegisterLights(TGLWorld* scene) {
  if (auto* light = dynamic_cast<TGLLightSource*>(this)) scene->RegisterLight(light);
  for (auto& child : FChildren) child->RegisterLights(scene);
}

void TGLBaseSceneObject::UnregisterLights(TGLWorld* scene) {
  if (auto* light = dynamic_cast<TGLLightSource*>(this)) scene->UnregisterLight(light);
  for (auto& child : FChildren) child->UnregisterLights(scene);
}

// ---- state and notifications --------------------------------------------------------------

void TGLBaseSceneObject::SetVisible(bool value) {
  if (value == FVisible) return;
  FVisible = value;
  NotifyChange(this);
}

void TGLBaseSceneObject::SetPickable(bool value) {
  if (value == FPickable) return;
  FPickable = value;
  NotifyChange(this);
}

void TGLBaseSceneObject::SetShowAxes(bool value) {
  if (value == FShowAxes) return;
  FShowAxes = value;
  NotifyChange(this);
}

void TGLBaseSceneObject::SetObjectsSorting(TGLObjectsSorting value) {
  if (value == FObjectsSorting) return;
  FObjectsSorting = value;
  NotifyChange(this);
}

void TGLBaseSceneObject::SetVisibilityCulling(TGLVisibilityCulling value) {
  if (value == FVisibilityCulling) return;
  FVisibilityCulling = value;
  NotifyChange(this);
}

void TGLBaseSceneObject::EndUpdate() {
  if (FUpdateCount <= 0) throw EAssertionFailed("Unbalanced Begin/EndUpdate");
  if (--FUpdateCount == 0) NotifyChange(this);
}

void TGLBaseSceneObject::NotifyChange(TPersistent*) {
  if (!FScene || FUpdateCount > 0 || IsLoading()) return;
  FScene->NotifyChange(this);
}

void TGLBaseSceneObject::StructureChanged() {
  if (FChanges & ocStructure) {
    if (FObjectStyle & osDirectDraw) NotifyChange(this);
    return;
  }
  FChanges |= ocStructure;
  NotifyChange(this);
}

void TGLBaseSceneObject::ClearStructureChanged() {
  FChanges &= ~ocStructure;
  SetBBChanges(FBBChanges | oBBcStructure);
}

TGLBehaviours& TGLBaseSceneObject::Behaviours() {
  if (!FBehaviours) FBehaviours = std::make_unique<TGLBehaviours>(this);
  return *FBehaviours;
}

// Deeper and later objects progress before their parents and earlier siblings.
void TGLBaseSceneObject::DoProgress(const TGLProgressTimes& progressTime) {
  for (int i = Count() - 1; i >= 0; --i) {
    if (i >= Count()) continue;  // a callback may have removed children
    Get(i)->DoProgress(progressTime);
  }
  if (FBehaviours) FBehaviours->DoProgress(progressTime);
  if (OnProgress) OnProgress(this, progressTime.DeltaTime, progressTime.NewTime);
}

void TGLBaseSceneObject::Loaded() {
  TGLCoordinatesUpdateAbleComponent::Loaded();
  FPosition->SetW(1);
  if (FBehaviours) FBehaviours->Loaded();
}

// ---- bounds -------------------------------------------------------------------------------

TVector4f TGLBaseSceneObject::AxisAlignedDimensionsUnscaled() {
  return {0.5f, 0.5f, 0.5f, 0};
}

TVector4f TGLBaseSceneObject::AxisAlignedDimensions() {
  TVector4f d = AxisAlignedDimensionsUnscaled();
  MultiplyVectors(d, FScaling->AsVector());
  return d;
}

TAABB TGLBaseSceneObject::AxisAlignedBoundingBoxUnscaled(bool includeChildren) {
  const TVector4f d = AxisAlignedDimensionsUnscaled();
  TAABB box;
  box.Max = {std::fabs(d.X), std::fabs(d.Y), std::fabs(d.Z)};
  box.Min = NegateVector(box.Max);
  if (includeChildren)
    for (auto& child : FChildren)
      AABBUnion(box, AABBTransform(child->AxisAlignedBoundingBoxUnscaled(true), child->Matrix()));
  return box;
}

TAABB TGLBaseSceneObject::AxisAlignedBoundingBox(bool includeChildren) {
  TAABB box = AxisAlignedBoundingBoxUnscaled(includeChildren);
  AABBScale(box, FScaling->AsAffineVector());
  return box;
}

float TGLBaseSceneObject::BoundingSphereRadius() {
  return VectorLength(AxisAlignedDimensions());
}
float TGLBaseSceneObject::BoundingSphereRadiusUnscaled() {
  return VectorLength(AxisAlignedDimensionsUnscaled());
}

void TGLBaseSceneObject::SetBBChanges(TGLObjectBBChanges value) {
  if (value == FBBChanges) return;
  FBBChanges = value;
  if (FParent) FParent->SetBBChanges(FParent->FBBChanges | oBBcChild);
}

void TGLBaseSceneObject::CalculateBoundingBoxPersonalUnscaled(THmgBoundingBox& box) {
  box = AABBToBB(AxisAlignedBoundingBoxUnscaled(false));
  // The base object's barycentre is its origin, so the corners stay where they are.
}

const THmgBoundingBox& TGLBaseSceneObject::BoundingBoxPersonalUnscaledEx() {
  if (FBBChanges & oBBcStructure) {
    CalculateBoundingBoxPersonalUnscaled(FBoundingBoxPersonalUnscaled);
    SetBBChanges(FBBChanges & ~oBBcStructure);
  }
  return FBoundingBoxPersonalUnscaled;
}

const THmgBoundingBox& TGLBaseSceneObject::BoundingBoxOfChildrenEx() {
  if (FBBChanges & oBBcChild) {
    THmgBoundingBox acc = EmptyBox();
    bool any = false;
    for (auto& child : FChildren) {
      const THmgBoundingBox b = child->BoundingBoxIncludingChildrenEx();
      if (IsEmptyBox(b)) continue;
      const THmgBoundingBox t = TransformBox(b, child->Matrix());
      acc = any ? UnionBox(acc, t) : AABBToBB(BBToAABB(t));
      any = true;
    }
    FBoundingBoxOfChildren = acc;
    SetBBChanges(FBBChanges & ~oBBcChild);
  }
  return FBoundingBoxOfChildren;
}

THmgBoundingBox TGLBaseSceneObject::BoundingBoxIncludingChildrenEx() {
  const THmgBoundingBox own = BoundingBoxPersonalUnscaledEx();
  const THmgBoundingBox children = BoundingBoxOfChildrenEx();
  if (IsEmptyBox(own)) return children;
  if (IsEmptyBox(children)) return own;
  return UnionBox(own, children);
}

bool TGLBaseSceneObject::PointInObject(const TVector3f& point) {
  return PointInHalfExtents(AbsoluteToLocal(point), AffineVector(AxisAlignedDimensionsUnscaled()));
}

bool TGLBaseSceneObject::RayCastIntersect(const TVector4f& rayStart, const TVector4f& rayVector,
                                          TVector4f* intersectPoint, TVector4f* intersectNormal) {
  const TVector3f center = AbsoluteAffinePosition();
  const TVector3f dir = Normalized(AffineVector(rayVector));
  const TVector3f oc = SubtractVector(AffineVector(rayStart), center);
  const double r = BoundingSphereRadius();
  const double b = DotProduct(oc, dir);
  const double c = double(DotProduct(oc, oc)) - r * r;
  const double disc = b * b - c;
  if (disc < 0) return false;
  double t = -b - std::sqrt(disc);
  if (t < 0) t = -b + std::sqrt(disc);
  if (t < 0) return false;
  const TVector3f hit = AddVector(AffineVector(rayStart), ScaleVector(dir, float(t)));
  if (intersectPoint) *intersectPoint = PointMake(hit);
  if (intersectNormal) *intersectNormal = VectorMake(Normalized(SubtractVector(hit, center)), 0);
  return true;
}

}  // namespace ukh
