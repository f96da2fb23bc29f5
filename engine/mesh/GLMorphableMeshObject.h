// Morphing mesh objects: TGLMeshMorphTarget, one stored shape (vertices and normals), its
// owning list, and TGLMorphableMeshObject, a mesh object that can take on a target's shape or
// a blend of two. The 3DS mesh objects derive from it.
#pragma once

#include <memory>
#include <vector>

#include "engine/mesh/GLMeshObject.h"

namespace ukh {

class TGLMeshMorphTargetList;

class TGLMeshMorphTarget : public TGLBaseMeshObject {
 public:
  TGLMeshMorphTarget() = default;
  // A new target appended to `owner`, which owns it.
  static TGLMeshMorphTarget* CreateOwned(TGLMeshMorphTargetList& owner);
  TGLMeshMorphTargetList* Owner() const { return FOwner; }

 private:
  friend class TGLMeshMorphTargetList;
  TGLMeshMorphTargetList* FOwner = nullptr;
};

class TGLMeshMorphTargetList : public TPersistent {
 public:
  TGLMeshMorphTargetList() = default;
  int Count() const { return int(FList.size()); }
  TGLMeshMorphTarget* operator[](int index) const { return FList.at(size_t(index)).get(); }
  TGLMeshMorphTarget* Add(std::unique_ptr<TGLMeshMorphTarget> target);
  void Clear() { FList.clear(); }
  void Translate(const TVector3f& delta);

 private:
  std::vector<std::unique_ptr<TGLMeshMorphTarget>> FList;
};

class TGLMorphableMeshObject : public TGLMeshObject {
 public:
  TGLMorphableMeshObject() = default;
  TGLMeshMorphTargetList& MorphTargets() { return FMorphTargets; }
  const TGLMeshMorphTargetList& MorphTargets() const { return FMorphTargets; }

  void Clear() override;
  void Translate(const TVector3f& delta) override;
  // Takes over the target's vertices, and its normals when it has any. Target 0 of an object
  // without targets is no change; any other index outside the list is an internal error.
  virtual void MorphTo(int index);
  // Blends two targets: factor 0 gives the first, 1 the second; normals are renormalised.
  virtual void Lerp(int index1, int index2, float lerpFactor);

 private:
  TGLMeshMorphTargetList FMorphTargets;
};

}  // namespace ukh
