// Face groups of a mesh object: TGLFaceGroup, one primitive stream with its material name, and
// TGLFaceGroups, the owning list of a mesh object's groups in drawing order.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/base/Persistent.h"
#include "engine/mesh/GLVectorLists.h"

namespace ukh {

class TGLFaceGroups;
class TGLLibMaterial;
class TGLMeshObject;
class TGLMaterialLibrary;
struct TGLRenderContextInfo;

class TGLFaceGroup : public TPersistent {
 public:
  ~TGLFaceGroup() override = default;

  TGLFaceGroups* Owner() const { return FOwner; }
  const std::string& MaterialName() const { return FMaterialName; }
  void SetMaterialName(const std::string& name) { FMaterialName = name; }
  // The library material resolved from the name; not owned.
  TGLLibMaterial* MaterialCache() const { return FMaterialCache; }
  void SetMaterialCache(TGLLibMaterial* m) { FMaterialCache = m; }
  int32_t LightMapIndex() const { return FLightMapIndex; }
  void SetLightMapIndex(int32_t i) { FLightMapIndex = i; }
  int32_t RenderGroupID() const { return FRenderGroupID; }
  void SetRenderGroupID(int32_t id) { FRenderGroupID = id; }

  // Appends the group's triangles as three vertices each (and, where the lists are given and
  // the mesh object has them, their texture coordinates and normals).
  virtual void AddToTriangles(TGLAffineVectorList& vertices, TGLAffineVectorList* texCoords,
                              TGLAffineVectorList* normals) const = 0;
  virtual int TriangleCount() const = 0;
  // Turns the winding of every face around.
  virtual void Reverse() {}
  virtual void Prepare() {}
  // Issues the group's primitives from its mesh object's arrays.
  virtual void BuildList(TGLRenderContextInfo&) {}
  // The cache := the library's material of the group's name (none without a name or library).
  void PrepareMaterialLibraryCache(TGLMaterialLibrary* library);

 protected:
  TGLFaceGroup() = default;
  // The mesh object whose vertices the group indexes, or none when the group is not owned.
  const TGLMeshObject* MeshObject() const;
  TGLMeshObject* MeshObject();

 private:
  friend class TGLFaceGroups;
  TGLFaceGroups* FOwner = nullptr;
  std::string FMaterialName;
  TGLLibMaterial* FMaterialCache = nullptr;
  int32_t FLightMapIndex = -1;
  int32_t FRenderGroupID = 0;
};

class TGLFaceGroups : public TPersistent {
 public:
  explicit TGLFaceGroups(TGLMeshObject* owner = nullptr) : FOwner(owner) {}
  ~TGLFaceGroups() override;

  TGLMeshObject* Owner() const { return FOwner; }
  int Count() const { return int(FList.size()); }
  TGLFaceGroup* GetFaceGroup(int index) const { return FList.at(size_t(index)).get(); }
  TGLFaceGroup* operator[](int index) const { return GetFaceGroup(index); }
  // Takes the group over and appends it; returns it.
  template <class T>
  T* Add(std::unique_ptr<T> group) {
    T* g = group.get();
    g->FOwner = this;
    FList.push_back(std::move(group));
    return g;
  }
  // Destroys the group and removes it from the list.
  void Remove(TGLFaceGroup* group);
  void Clear();
  void AddToTriangles(TGLAffineVectorList& vertices, TGLAffineVectorList* texCoords,
                      TGLAffineVectorList* normals) const;
  int TriangleCount() const;
  void DropMaterialLibraryCache();
  void PrepareMaterialLibraryCache(TGLMaterialLibrary* library);
  // Stable sort by material name, so that groups of one material follow each other.
  void SortByMaterial();

 private:
  TGLMeshObject* FOwner;
  std::vector<std::unique_ptr<TGLFaceGroup>> FList;
};

}  // namespace ukh
