// TGLDummyCube: the invisible grouping node. It draws a dotted wireframe cube only when asked
// to at run time, reports half-extents from its CubeSize, and can compile itself and its
// children into one display list (Amalgamate).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "engine/gl/GLColor.h"
#include "engine/scene/GLCameraInvariantObject.h"

namespace ukh {

// Asked before the group is drawn; false skips the group and its children.
using TGLVisibilityDeterminationEvent =
    std::function<bool(TPersistent* sender, TGLRenderContextInfo& rci)>;

class TGLDummyCube : public TGLCameraInvariantObject {
 public:
  explicit TGLDummyCube(TComponent* owner = nullptr);
  ~TGLDummyCube() override;

  float CubeSize() const { return FCubeSize; }
  void SetCubeSize(float value);
  TGLColor& EdgeColor() { return *FEdgeColor; }
  const TGLColor& EdgeColor() const { return *FEdgeColor; }
  void SetEdgeColor(const TGLColor& value) { FEdgeColor->Assign(value); }
  bool VisibleAtRunTime() const { return FVisibleAtRunTime; }
  void SetVisibleAtRunTime(bool value);
  bool Amalgamate() const { return FAmalgamate; }
  void SetAmalgamate(bool value);

  TGLVisibilityDeterminationEvent OnVisibilityDetermination;

  // CubeSize, EdgeColor and VisibleAtRunTime of another dummy cube, then one notification.
  void Assign(const TGLBaseSceneObject& source);

  // (|CubeSize|/2, |CubeSize|/2, |CubeSize|/2, 0).
  TVector4f AxisAlignedDimensionsUnscaled() override;
  // A group has no surface of its own.
  bool RayCastIntersect(const TVector4f& rayStart, const TVector4f& rayVector,
                        TVector4f* intersectPoint = nullptr,
                        TVector4f* intersectNormal = nullptr) override;
  // Its own position without children, else the mean of the children's barycentres.
  TVector4f BarycenterAbsolutePosition() override;
  // The wireframe, only in the designer or with VisibleAtRunTime.
  void BuildList(TGLRenderContextInfo& rci) override;
  // The visibility event first; with Amalgamate, the whole group through its one list.
  void DoRender(TGLRenderContextInfo& rci, bool renderSelf, bool renderChildren) override;
  // Drops the group list first when amalgamating, so the next frame compiles it anew.
  void StructureChanged() override;

 protected:
  void DestroyHandle() override;

 private:
  void ReleaseGroupList();

  float FCubeSize = 1;
  std::unique_ptr<TGLColor> FEdgeColor;
  bool FVisibleAtRunTime = false;
  bool FAmalgamate = false;
  // The amalgamated group's list: its GL name and the context it was compiled in.
  struct TGroupList {
    uint64_t ContextSerial = 0;
    uint32_t Name = 0;
  } FGroupList;
};

}  // namespace ukh
