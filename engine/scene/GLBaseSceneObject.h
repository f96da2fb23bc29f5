// TGLBaseSceneObject: the node of the scene tree. It places itself relative to its parent
// with five coordinate holders, derives its local, absolute and inverse absolute matrices
// lazily behind the FChanges flags, owns its children and its behaviour list, and reports
// changes to its scene.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/gl/GLRenderContextInfo.h"
#include "engine/math/AABB.h"
#include "engine/scene/GLCoordinates.h"

namespace ukh {

class TGLWorld;
class TGLBehaviours;

// Dirty flags of FChanges.
enum TGLObjectChange : uint8_t {
  ocTransformation = 1 << 0,     // local matrix is stale
  ocAbsoluteMatrix = 1 << 1,     // absolute matrix is stale
  ocInvAbsoluteMatrix = 1 << 2,  // inverse absolute matrix is stale
  ocStructure = 1 << 3,          // geometry (display list) must be rebuilt
};
using TGLObjectChanges = uint8_t;

// Which cached bounding boxes are stale.
enum TGLObjectBBChange : uint8_t { oBBcChild = 1 << 0, oBBcStructure = 1 << 1 };
using TGLObjectBBChanges = uint8_t;

// Object style flags.
enum TGLObjectStyle : uint8_t {
  osDirectDraw = 1 << 0,
  osIgnoreDepthBuffer = 1 << 1,
  osNoVisibilityCulling = 1 << 2,
};
using TGLObjectStyles = uint8_t;

using TGLProgressEvent = std::function<void(TPersistent* sender, double deltaTime, double newTime)>;
using TNotifyEvent = std::function<void(TPersistent* sender)>;

class TGLBaseSceneObject : public TGLCoordinatesUpdateAbleComponent {
 public:
  // `owner` is the component that created the object (the game window); it does not own it.
  // Children are owned by their parent.
  explicit TGLBaseSceneObject(TComponent* owner = nullptr);
  ~TGLBaseSceneObject() override;

  // ---- transform --------------------------------------------------------------------------
  TGLCoordinates3& Position() { return *FPosition; }
  TGLCoordinates3& Direction() { return *FDirection; }
  TGLCoordinates3& Up() { return *FUp; }
  TGLCoordinates3& Scale() { return *FScaling; }
  TGLCoordinates3& Rotation() { return *FRotation; }
  const TGLCoordinates3& Position() const { return *FPosition; }
  const TGLCoordinates3& Direction() const { return *FDirection; }
  const TGLCoordinates3& Up() const { return *FUp; }
  const TGLCoordinates3& Scale() const { return *FScaling; }
  const TGLCoordinates3& Rotation() const { return *FRotation; }
  // Whole-holder assignment: Position through SetPoint, Direction/Up through SetVector (an
  // all-zero value is ignored), Scale/Rotation copied and then TransformationChanged.
  void SetPosition(const TGLCustomCoordinates& v) { FPosition->SetPoint(v.AsVector()); }
  void SetDirection(const TGLCustomCoordinates& v);
  void SetUp(const TGLCustomCoordinates& v);
  void SetScale(const TGLCustomCoordinates& v);
  void SetRotation(const TGLCustomCoordinates& v);

  TGLObjectChanges Changes() const { return FChanges; }

  // The local matrix, rebuilt first if stale.
  const TMatrix4f& Matrix();
  // The stored local matrix, as it is.
  const TMatrix4f& LocalMatrix() const { return FLocalMatrix; }
  const TMatrix4f& AbsoluteMatrix();
  const TMatrix4f* AbsoluteMatrixAsAddress() { return &AbsoluteMatrix(); }
  void SetAbsoluteMatrix(const TMatrix4f& value);
  const TMatrix4f& InvAbsoluteMatrix();
  const TMatrix4f* InvAbsoluteMatrixAsAddress() { return &InvAbsoluteMatrix(); }
  const TMatrix4f* DirectAbsoluteMatrix() const { return &FAbsoluteMatrix; }
  // Ask the processor to start loading what the absolute matrix and its inverse, or the
  // absolute matrix and the bounds with children, read: for passes over many objects in an
  // order unrelated to where they lie in memory.
  void PrefetchTransforms() const { Prefetch(&FChanges, &FInvAbsoluteMatrix + 1); }
  void PrefetchBounds() const {
    Prefetch(&FChanges, &FAbsoluteMatrix + 1);
    __builtin_prefetch(&FChildren);
  }

  TVector4f AbsolutePosition() { return AbsoluteMatrix().W; }
  TVector3f AbsoluteAffinePosition() { return AffineVector(AbsoluteMatrix().W); }
  TVector4f AbsoluteDirection();
  TVector4f AbsoluteUp();
  TVector4f AbsoluteRight();
  TVector4f AbsoluteLeft() { return NegateVector(AbsoluteRight()); }
  TVector4f AbsoluteXVector();
  TVector4f AbsoluteYVector();
  TVector4f AbsoluteZVector();
  TVector4f AbsoluteScale();
  void SetAbsolutePosition(const TVector4f& v);
  void SetAbsoluteDirection(const TVector4f& v);
  void SetAbsoluteUp(const TVector4f& v);
  void SetAbsoluteScale(const TVector4f& v);
  TVector4f AbsoluteToLocal(const TVector4f& v) { return TransformVector(v, InvAbsoluteMatrix()); }
  TVector3f AbsoluteToLocal(const TVector3f& v) { return TransformPoint(v, InvAbsoluteMatrix()); }
  TVector4f LocalToAbsolute(const TVector4f& v) { return TransformVector(v, AbsoluteMatrix()); }
  TVector3f LocalToAbsolute(const TVector3f& v) { return TransformPoint(v, AbsoluteMatrix()); }
  TVector4f Right() const;
  TVector4f LeftVector() const;
  float DistanceTo(TGLBaseSceneObject* obj);
  float DistanceTo(const TVector3f& point);
  float SqrDistanceTo(TGLBaseSceneObject* obj);
  float SqrDistanceTo(const TVector3f& point);

  void Move(float distance);
  void Lift(float distance);
  void Slide(float distance);
  void Translate(float tx, float ty, float tz) { FPosition->Translate(TVector3f{tx, ty, tz}); }

  float TurnAngle() const { return FRotation->Y(); }
  float PitchAngle() const { return FRotation->X(); }
  float RollAngle() const { return FRotation->Z(); }
  void SetTurnAngle(float value);
  void SetPitchAngle(float value);
  void SetRollAngle(float value);
  void ResetRotations();
  void SetMatrix(const TMatrix4f& value);

  void CoordinateChanged(TGLCustomCoordinates* sender) override;
  void TransformationChanged();

  // ---- tree -------------------------------------------------------------------------------
  TGLBaseSceneObject* Parent() const { return FParent; }
  TGLWorld* Scene() const { return FScene; }
  int Count() const { return int(FChildren.size()); }
  TGLBaseSceneObject* Get(int index) const { return FChildren[index].get(); }
  TGLBaseSceneObject* operator[](int index) const { return Get(index); }
  int Index() const;
  void SetIndex(int index);
  int IndexOfChild(const TGLBaseSceneObject* child) const;
  // Case-insensitive; see the search order in the .cpp.
  TGLBaseSceneObject* FindChild(const std::string& name, bool ownChildrenOnly);

  // Appends a parentless object and takes ownership; returns it.
  virtual TGLBaseSceneObject* AddChild(std::unique_ptr<TGLBaseSceneObject> child);
  template <class T, class... Args>
  T* AddNewChild(Args&&... args) {
    return static_cast<T*>(AddChild(std::make_unique<T>(Owner(), std::forward<Args>(args)...)));
  }
  template <class T, class... Args>
  T* AddNewChildFirst(Args&&... args) {
    auto* child = new T(Owner(), std::forward<Args>(args)...);
    Insert(0, std::unique_ptr<TGLBaseSceneObject>(child));
    return child;
  }
  // Inserts at `index`, taking ownership.
  virtual void Insert(int index, std::unique_ptr<TGLBaseSceneObject> child);
  // Inserts an object that hangs in a tree: its parent gives it up first.
  void Insert(int index, TGLBaseSceneObject* child);
  // Takes `child` out of the list and hands it back (not destroyed). With keepChildren its
  // children move to this object (appended, in reverse order). Null unless child is ours.
  virtual std::unique_ptr<TGLBaseSceneObject> Remove(TGLBaseSceneObject* child, bool keepChildren);
  // Re-parents this object, which must hang in a tree. With a null parent the object is
  // detached and handed back to the caller.
  virtual std::unique_ptr<TGLBaseSceneObject> MoveTo(TGLBaseSceneObject* newParent);
  virtual void DeleteChildren();

  // ---- identity and state -----------------------------------------------------------------
  float TagFloat() const { return FTagFloat; }
  void SetTagFloat(float v) { FTagFloat = v; }
  TPersistent* TagObject() const { return FTagObject; }
  void SetTagObject(TPersistent* v) { FTagObject = v; }
  virtual bool Visible() const { return FVisible; }
  virtual void SetVisible(bool value);
  virtual bool Pickable() const { return FPickable; }
  virtual void SetPickable(bool value);
  bool ShowAxes() const { return FShowAxes; }
  void SetShowAxes(bool value);
  TGLObjectsSorting ObjectsSorting() const { return FObjectsSorting; }
  void SetObjectsSorting(TGLObjectsSorting value);
  TGLVisibilityCulling VisibilityCulling() const { return FVisibilityCulling; }
  void SetVisibilityCulling(TGLVisibilityCulling value);
  TGLObjectStyles ObjectStyle() const { return FObjectStyle; }

  void BeginUpdate() { ++FUpdateCount; }
  // Throws "Unbalanced Begin/EndUpdate" when not updating.
  void EndUpdate();
  bool IsUpdating() const { return FUpdateCount > 0 || IsLoading(); }
  void NotifyChange(TPersistent* sender) override;
  virtual void StructureChanged();
  void ClearStructureChanged();

  // Created on first use.
  TGLBehaviours& Behaviours();
  bool HasBehaviours() const { return FBehaviours != nullptr; }

  void DoProgress(const TGLProgressTimes& progressTime) override;
  void Loaded() override;

  // ---- bounds -----------------------------------------------------------------------------
  virtual TVector4f AxisAlignedDimensionsUnscaled();
  TVector4f AxisAlignedDimensions();
  TAABB AxisAlignedBoundingBoxUnscaled(bool includeChildren = true);
  TAABB AxisAlignedBoundingBox(bool includeChildren = true);
  float BoundingSphereRadius();
  float BoundingSphereRadiusUnscaled();
  virtual TVector4f BarycenterAbsolutePosition() { return AbsolutePosition(); }
  // The cached boxes (for hierarchical culling).
  const THmgBoundingBox& BoundingBoxPersonalUnscaledEx();
  const THmgBoundingBox& BoundingBoxOfChildrenEx();
  THmgBoundingBox BoundingBoxIncludingChildrenEx();
  TGLObjectBBChanges BBChanges() const { return FBBChanges; }

  // ---- rendering --------------------------------------------------------------------------
  // Draws the object and its subtree at the current level of the pipeline transformation.
  // On return the stack is back at its level but GL may still hold the model-view of the
  // last object drawn: the caller sets a model matrix before drawing anything else.
  void Render(TGLRenderContextInfo& rci);
  // Draws the own geometry (directly or through the cached list) and/or the children; an
  // override draws its own geometry before its children.
  virtual void DoRender(TGLRenderContextInfo& rci, bool renderSelf, bool renderChildren);
  // The visible children from `first` to `last`, in the record's sorting order.
  void RenderChildren(int first, int last, TGLRenderContextInfo& rci);
  // Issues the object's geometry, into a display list being compiled or directly.
  virtual void BuildList(TGLRenderContextInfo& rci);
  // True for objects that must be drawn after the opaque ones.
  virtual bool Blended() { return false; }
  // The display-list name of the current context, compiled first if missing or stale.
  uint32_t GetHandle(TGLRenderContextInfo& rci);
  // A list exists for the current context and no structural change is pending.
  bool ListHandleAllocated() const;
  // Releases the GL handles of the object and its subtree (the context must be current for
  // the names to be deleted; names of other contexts are forgotten).
  void DestroyHandles();

  virtual bool PointInObject(const TVector3f& point);
  // Ray against the object's bounding sphere; hit point and normal are optional.
  virtual bool RayCastIntersect(const TVector4f& rayStart, const TVector4f& rayVector,
                                TVector4f* intersectPoint = nullptr,
                                TVector4f* intersectNormal = nullptr);

  // ---- events -----------------------------------------------------------------------------
  TGLProgressEvent OnProgress;
  TNotifyEvent OnAddedToParent;
  TNotifyEvent OnPicked;

 protected:
  // Releases the object's own GL handles (its display lists).
  virtual void DestroyHandle();
  // DoRender's drawing of the own geometry: BuildList directly (osDirectDraw, amalgamating)
  // or the cached list inside a push and pop of the groups it changes.
  void RenderSelf(TGLRenderContextInfo& rci);
  virtual void DoOnAddedToParent();
  virtual void SetScene(TGLWorld* scene);
  // The eight corners of the own unscaled box, moved by the barycentre in object space.
  virtual void CalculateBoundingBoxPersonalUnscaled(THmgBoundingBox& box);
  void SetBBChanges(TGLObjectBBChanges value);

  TGLObjectStyles FObjectStyle = 0;
  TGLObjectChanges FChanges =
      ocTransformation | ocAbsoluteMatrix | ocInvAbsoluteMatrix | ocStructure;

 private:
  friend class TGLWorld;
  // The object's first cache line (the virtual table's pointer) and the lines of [from, to).
  void Prefetch(const void* from, const void* to) const {
    __builtin_prefetch(this);
    const char* last = static_cast<const char*>(to) - 1;
    for (const char* p = static_cast<const char*>(from); p < last; p += 64) __builtin_prefetch(p);
    __builtin_prefetch(last);
  }
  void RebuildMatrix();
  // Steps after the "already marked" test of TransformationChanged.
  void MarkTransformationChanged();
  void MarkAbsoluteStale();
  struct CalculatingGuard;
  void RotateAboutAxis(const TVector3f& axis, float& stored, float value, int rotationIndex);
  void RegisterLights(TGLWorld* scene);
  void UnregisterLights(TGLWorld* scene);
  void RemoveCamerasFromSubtree();

  // Right after FChanges, and together: what passes over many objects read of each one (the
  // absolute matrices and the child list of the bounds) spans as few cache lines as it can.
  TMatrix4f FAbsoluteMatrix = IdentityHmgMatrix;
  TMatrix4f FInvAbsoluteMatrix = IdentityHmgMatrix;
  std::vector<std::unique_ptr<TGLBaseSceneObject>> FChildren;
  TMatrix4f FLocalMatrix = IdentityHmgMatrix;
  std::unique_ptr<TGLCoordinates3> FPosition, FDirection, FUp, FScaling, FRotation;
  bool FIsCalculating = false;

  TGLBaseSceneObject* FParent = nullptr;
  TGLWorld* FScene = nullptr;
  bool FVisible = true;
  bool FPickable = true;
  bool FShowAxes = false;
  TGLObjectsSorting FObjectsSorting = TGLObjectsSorting::osInherited;
  TGLVisibilityCulling FVisibilityCulling = TGLVisibilityCulling::vcInherited;
  int32_t FUpdateCount = 0;
  std::unique_ptr<TGLBehaviours> FBehaviours;
  TPersistent* FTagObject = nullptr;
  float FTagFloat = 0;
  TGLObjectBBChanges FBBChanges = oBBcChild | oBBcStructure;
  THmgBoundingBox FBoundingBoxPersonalUnscaled, FBoundingBoxOfChildren;

  // One display list per rendering context, told apart by the context's serial.
  struct TListHandle {
    uint64_t ContextSerial = 0;
    uint32_t Name = 0;
    bool DataChanged = true;
  };
  std::vector<TListHandle> FListHandle;
  // Sorting scratch of RenderChildren, kept from frame to frame.
  std::vector<float> distList;
  std::vector<TGLBaseSceneObject*> objList;
};

}  // namespace ukh
