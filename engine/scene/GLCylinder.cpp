// The capped cylinder: half-extents and its quadric geometry.
#include "engine/scene/GLCylinder.h"

#include <algorithm>
#include <cmath>

namespace ukh {

namespace {

// The model-view push and pop around one build, popped also when a GL check throws.
class TMatrixScope {
 public:
  TMatrixScope() { gl::PushMatrix(); }
  ~TMatrixScope() { gl::PopMatrix(); }
  TMatrixScope(const TMatrixScope&) = delete;
  TMatrixScope& operator=(const TMatrixScope&) = delete;
};

}  // namespace

void TGLCylinder::SetTopRadius(float value) {
  if (value == FTopRadius) return;
  FTopRadius = value;
  StructureChanged();
}

void TGLCylinder::SetParts(TGLCylinderParts value) {
  value &= cAllCylinderParts;
  if (value == FParts) return;
  FParts = value;
  StructureChanged();
}

void TGLCylinder::SetAlignment(TGLCylinderAlignment value) {
  if (value == FAlignment) return;
  FAlignment = value;
  StructureChanged();
}

void TGLCylinder::Assign(const TGLBaseSceneObject& source) {
  const auto* cylinder = dynamic_cast<const TGLCylinder*>(&source);
  if (cylinder && cylinder != this) {
    SetParts(cylinder->FParts);
    SetTopRadius(cylinder->FTopRadius);
  }
  TGLCylinderBase::Assign(source);
}

TVector4f TGLCylinder::AxisAlignedDimensionsUnscaled() {
  const float r = std::max(std::fabs(BottomRadius()), std::fabs(FTopRadius));
  return {r, Height() * 0.5f, r, 0};
}

void TGLCylinder::BuildList(TGLRenderContextInfo&) {
  TMatrixScope matrix;
  TGLQuadricScope scope;
  GLUquadric* quadric = scope.Get();
  if (!quadric) return;  // out of memory in GLU: nothing to draw
  SetupQuadricParams(quadric);
  // The quadric's +Z axis becomes the object's +Y axis.
  gl::Rotatef(-90, 1, 0, 0);
  const float height = Height();
  switch (FAlignment) {
    case TGLCylinderAlignment::caCenter:
      gl::Translatef(0, 0, -height * 0.5f);
      break;
    case TGLCylinderAlignment::caTop:
      gl::Translatef(0, 0, -height);
      break;
    case TGLCylinderAlignment::caBottom:
      break;
  }
  if (FParts & CylinderPartBit(cySides))
    gl::Cylinder(quadric, BottomRadius(), FTopRadius, height, Slices(), Stacks());
  if (FParts & CylinderPartBit(cyTop)) {
    TMatrixScope cap;
    gl::Translatef(0, 0, height);
    gl::Disk(quadric, 0, FTopRadius, Slices(), Loops());
  }
  if (FParts & CylinderPartBit(cyBottom)) {
    // The bottom cap faces down, away from the quadric's +Z.
    SetInvertedQuadricOrientation(quadric);
    gl::Disk(quadric, 0, BottomRadius(), Slices(), Loops());
  }
}

}  // namespace ukh
