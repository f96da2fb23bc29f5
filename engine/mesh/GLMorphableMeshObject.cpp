// Morph targets and the blending of a morphable mesh object between them.
#include "engine/mesh/GLMorphableMeshObject.h"

namespace ukh {

TGLMeshMorphTarget* TGLMeshMorphTarget::CreateOwned(TGLMeshMorphTargetList& owner) {
  return owner.Add(std::make_unique<TGLMeshMorphTarget>());
}

TGLMeshMorphTarget* TGLMeshMorphTargetList::Add(std::unique_ptr<TGLMeshMorphTarget> target) {
  TGLMeshMorphTarget* t = target.get();
  t->FOwner = this;
  FList.push_back(std::move(target));
  return t;
}

void TGLMeshMorphTargetList::Translate(const TVector3f& delta) {
  for (const auto& t : FList) t->Translate(delta);
}

void TGLMorphableMeshObject::Clear() {
  TGLMeshObject::Clear();
  FMorphTargets.Clear();
}

void TGLMorphableMeshObject::Translate(const TVector3f& delta) {
  TGLMeshObject::Translate(delta);
  FMorphTargets.Translate(delta);
}

void TGLMorphableMeshObject::MorphTo(int index) {
  if (index == 0 && FMorphTargets.Count() == 0) return;
  if (index < 0 || index >= FMorphTargets.Count()) throw EAssertionFailed();
  const TGLMeshMorphTarget* t = FMorphTargets[index];
  Vertices().Assign(t->Vertices());
  if (t->Normals().Count() > 0) Normals().Assign(t->Normals());
}

void TGLMorphableMeshObject::Lerp(int index1, int index2, float lerpFactor) {
  if (index1 == 0 && FMorphTargets.Count() == 0) return;
  const int n = FMorphTargets.Count();
  if (index1 < 0 || index1 >= n || index2 < 0 || index2 >= n) throw EAssertionFailed();
  if (lerpFactor == 0) return MorphTo(index1);
  if (lerpFactor == 1) return MorphTo(index2);
  const TGLMeshMorphTarget* a = FMorphTargets[index1];
  const TGLMeshMorphTarget* b = FMorphTargets[index2];
  Vertices().Lerp(a->Vertices(), b->Vertices(), lerpFactor);
  if (a->Normals().Count() > 0) {
    Normals().Lerp(a->Normals(), b->Normals(), lerpFactor);
    Normals().Normalize();
  }
}

}  // namespace ukh
