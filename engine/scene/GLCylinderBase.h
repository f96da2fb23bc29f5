// TGLCylinderBase: the radius, height and tessellation shared by the cylinder-like quadrics.
#pragma once

#include <cstdint>

#include "engine/scene/GLQuadricObject.h"

namespace ukh {

class TGLCylinderBase : public TGLQuadricObject {
 public:
  using TGLQuadricObject::TGLQuadricObject;

  float BottomRadius() const { return FBottomRadius; }
  void SetBottomRadius(float value);
  float Height() const { return FHeight; }
  void SetHeight(float value);
  int32_t Slices() const { return FSlices; }
  void SetSlices(int32_t value);
  int32_t Stacks() const { return FStacks; }
  void SetStacks(int32_t value);
  int32_t Loops() const { return FLoops; }
  // Values below 1 are ignored.
  void SetLoops(int32_t value);
  // The radius at the top end: BottomRadius here, a cone's or cylinder's own top radius in
  // derived classes.
  virtual float TopRadius() const { return FBottomRadius; }

  // Radius, slices, stacks, loops and height of another cylinder-like object, then the
  // quadric part.
  void Assign(const TGLBaseSceneObject& source);

 private:
  float FBottomRadius = 0.5f;
  float FHeight = 1;
  int32_t FSlices = 16;
  int32_t FStacks = 4;
  int32_t FLoops = 1;
};

}  // namespace ukh
