// TGLCylinder: a capped cylinder (or truncated cone) along the object's Y axis, compiled into
// the object's display list through GLU quadrics.
#pragma once

#include <cstdint>

#include "engine/scene/GLCylinderBase.h"

namespace ukh {

enum TGLCylinderPart : uint8_t { cySides, cyBottom, cyTop };
using TGLCylinderParts = uint8_t;  // bit (1 << TGLCylinderPart)
constexpr TGLCylinderParts CylinderPartBit(TGLCylinderPart p) {
  return TGLCylinderParts(1u << p);
}
inline constexpr TGLCylinderParts cAllCylinderParts = 7;

// Where the object's origin lies on the axis: the middle, the top end or the bottom end.
enum class TGLCylinderAlignment : uint8_t { caCenter, caTop, caBottom };

class TGLCylinder : public TGLCylinderBase {
 public:
  using TGLCylinderBase::TGLCylinderBase;

  float TopRadius() const override { return FTopRadius; }
  void SetTopRadius(float value);
  TGLCylinderParts Parts() const { return FParts; }
  void SetParts(TGLCylinderParts value);
  TGLCylinderAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TGLCylinderAlignment value);

  // Parts and TopRadius of another cylinder, then the cylinder base's part.
  void Assign(const TGLBaseSceneObject& source);

  // (r, Height/2, r, 0) with r the larger absolute radius, whatever the alignment.
  TVector4f AxisAlignedDimensionsUnscaled() override;
  // Side, top cap and bottom cap through a fresh GLU quadric.
  void BuildList(TGLRenderContextInfo& rci) override;

 private:
  float FTopRadius = 0.5f;
  TGLCylinderParts FParts = cAllCylinderParts;
  TGLCylinderAlignment FAlignment = TGLCylinderAlignment::caCenter;
};

}  // namespace ukh
