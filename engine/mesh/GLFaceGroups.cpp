// The face-group list of a mesh object.
#include "engine/mesh/GLFaceGroups.h"

#include <algorithm>

namespace ukh {

const TGLMeshObject* TGLFaceGroup::MeshObject() const {
  return FOwner ? FOwner->Owner() : nullptr;
}

TGLFaceGroups::~TGLFaceGroups() = default;

void TGLFaceGroups::Remove(TGLFaceGroup* group) {
  const auto it =
      std::find_if(FList.begin(), FList.end(), [group](const auto& g) { return g.get() == group; });
  if (it != FList.end()) FList.erase(it);
}

void TGLFaceGroups::Clear() {
  FList.clear();
}

void TGLFaceGroups::AddToTriangles(TGLAffineVectorList& vertices, TGLAffineVectorList* texCoords,
                                   TGLAffineVectorList* normals) const {
  for (const auto& g : FList) g->AddToTriangles(vertices, texCoords, normals);
}

int TGLFaceGroups::TriangleCount() const {
  int n = 0;
  for (const auto& g : FList) n += g->TriangleCount();
  return n;
}

void TGLFaceGroups::DropMaterialLibraryCache() {
  for (const auto& g : FList) g->SetMaterialCache(nullptr);
}

void TGLFaceGroups::SortByMaterial() {
  std::stable_sort(FList.begin(), FList.end(), [](const auto& a, const auto& b) {
    return a->MaterialName() < b->MaterialName();
  });
}

}  // namespace ukh
