// TGLMeshObjectList: the ordered, owning list of a mesh model's mesh objects.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/mesh/GLMeshObject.h"

namespace ukh {

class TGLBaseMesh;

class TGLMeshObjectList : public TPersistent {
 public:
  explicit TGLMeshObjectList(TGLBaseMesh* owner = nullptr) : FOwner(owner) {}
  ~TGLMeshObjectList() override;

  TGLBaseMesh* Owner() const { return FOwner; }
  int Count() const { return int(FList.size()); }
  TGLMeshObject* GetMeshObject(int index) const { return FList.at(size_t(index)).get(); }
  TGLMeshObject* operator[](int index) const { return GetMeshObject(index); }
  // Takes the mesh object over and appends it; returns it.
  template <class T>
  T* Add(std::unique_ptr<T> mo) {
    T* p = mo.get();
    p->FOwner = this;
    FList.push_back(std::move(mo));
    return p;
  }
  // Destroys the mesh object and removes it from the list.
  void Remove(TGLMeshObject* mo);
  void Clear();
  // The first mesh object named exactly `name`, or none.
  TGLMeshObject* FindMeshByName(const std::string& name) const;
  // Merges the extents of every mesh object, visible or not, starting from +-1e30.
  void GetExtents(TVector3f& min, TVector3f& max) const;
  void Translate(const TVector3f& delta);
  void Prepare();
  int TriangleCount() const;
  std::unique_ptr<TGLAffineVectorList> ExtractTriangles(
      TGLAffineVectorList* texCoords = nullptr, TGLAffineVectorList* normals = nullptr) const;
  void DropMaterialLibraryCache();
  void PrepareMaterialLibraryCache(TGLMaterialLibrary* library);
  void PrepareBuildList(TGLRenderContextInfo& rci);
  // Every visible mesh object's BuildList, in list order.
  void BuildList(TGLRenderContextInfo& rci);

 private:
  TGLBaseMesh* FOwner;
  std::vector<std::unique_ptr<TGLMeshObject>> FList;
};

}  // namespace ukh
