// The mesh object list: ownership, lookup by name and the merged extents.
#include "engine/mesh/GLMeshObjectList.h"

#include <algorithm>

namespace ukh {

TGLMeshObjectList::~TGLMeshObjectList() = default;

void TGLMeshObjectList::Remove(TGLMeshObject* mo) {
  const auto it =
      std::find_if(FList.begin(), FList.end(), [mo](const auto& p) { return p.get() == mo; });
  if (it != FList.end()) FList.erase(it);
}

void TGLMeshObjectList::Clear() {
  FList.clear();
}

TGLMeshObject* TGLMeshObjectList::FindMeshByName(const std::string& name) const {
  for (const auto& mo : FList)
    if (mo->Name() == name) return mo.get();
  return nullptr;
}

void TGLMeshObjectList::GetExtents(TVector3f& min, TVector3f& max) const {
  min = {1e30f, 1e30f, 1e30f};
  max = {-1e30f, -1e30f, -1e30f};
  for (const auto& mo : FList) {
    TVector3f lo, hi;
    mo->GetExtents(lo, hi);
    for (int k = 0; k < 3; ++k) {
      if (lo[k] < min[k]) min[k] = lo[k];
      if (hi[k] > max[k]) max[k] = hi[k];
    }
  }
}

void TGLMeshObjectList::Translate(const TVector3f& delta) {
  for (const auto& mo : FList) mo->Translate(delta);
}

void TGLMeshObjectList::Prepare() {
  for (const auto& mo : FList) mo->Prepare();
}

int TGLMeshObjectList::TriangleCount() const {
  int n = 0;
  for (const auto& mo : FList) n += mo->TriangleCount();
  return n;
}

std::unique_ptr<TGLAffineVectorList> TGLMeshObjectList::ExtractTriangles(
    TGLAffineVectorList* texCoords, TGLAffineVectorList* normals) const {
  auto out = std::make_unique<TGLAffineVectorList>();
  for (const auto& mo : FList) {
    const auto part = mo->ExtractTriangles(texCoords, normals);
    for (int i = 0; i < part->Count(); ++i) out->Add((*part)[i]);
  }
  return out;
}

void TGLMeshObjectList::DropMaterialLibraryCache() {
  for (const auto& mo : FList) mo->DropMaterialLibraryCache();
}

}  // namespace ukh
