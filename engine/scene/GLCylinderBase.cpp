// Setters of the cylinder-like quadrics.
#include "engine/scene/GLCylinderBase.h"

namespace ukh {

void TGLCylinderBase::SetBottomRadius(float value) {
  if (value == FBottomRadius) return;
  FBottomRadius = value;
  StructureChanged();
}

void TGLCylinderBase::SetHeight(float value) {
  if (value == FHeight) return;
  FHeight = value;
  StructureChanged();
}

void TGLCylinderBase::SetSlices(int32_t value) {
  if (value == FSlices) return;
  FSlices = value;
  StructureChanged();
}

void TGLCylinderBase::SetStacks(int32_t value) {
  if (value == FStacks) return;
  FStacks = value;
  StructureChanged();
}

void TGLCylinderBase::SetLoops(int32_t value) {
  if (value < 1 || value == FLoops) return;
  FLoops = value;
  StructureChanged();
}

void TGLCylinderBase::Assign(const TGLBaseSceneObject& source) {
  const auto* cylinder = dynamic_cast<const TGLCylinderBase*>(&source);
  if (cylinder && cylinder != this) {
    SetBottomRadius(cylinder->FBottomRadius);
    SetSlices(cylinder->FSlices);
    SetStacks(cylinder->FStacks);
    SetLoops(cylinder->FLoops);
    SetHeight(cylinder->FHeight);
  }
  TGLQuadricObject::Assign(source);
}

}  // namespace ukh
