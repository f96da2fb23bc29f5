// Mesh objects, the parts of a mesh model: TGLBaseMeshObject holds a name, vertices and
// normals; TGLMeshObject adds texture coordinates, colours, face groups and the drawing mode,
// and caches its extents by the vertex list's revision.
#pragma once

#include <memory>
#include <string>

#include "engine/math/AABB.h"
#include "engine/mesh/GLFaceGroups.h"
#include "engine/mesh/GLVectorLists.h"

namespace ukh {

class TGLMeshObjectList;
class TGLMaterialLibrary;
struct TGLRenderContextInfo;

enum class TGLMeshObjectMode { momTriangles, momTriangleStrip, momFaceGroups };
enum class TGLMeshObjectRenderingOption : uint8_t { moroGroupByMaterial = 1 };

class TGLBaseMeshObject : public TPersistent {
 public:
  TGLBaseMeshObject() = default;
  ~TGLBaseMeshObject() override = default;

  const std::string& Name() const { return FName; }
  void SetName(const std::string& name) { FName = name; }
  TGLAffineVectorList& Vertices() { return FVertices; }
  const TGLAffineVectorList& Vertices() const { return FVertices; }
  TGLAffineVectorList& Normals() { return FNormals; }
  const TGLAffineVectorList& Normals() const { return FNormals; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool v) { FVisible = v; }

  // Adds the sum of the vertices to `sum` and their count to `count`.
  virtual void ContributeToBarycenter(TVector3f& sum, int& count) const;
  virtual void Clear();
  virtual void Translate(const TVector3f& delta);

 private:
  std::string FName;
  TGLAffineVectorList FVertices, FNormals;
  bool FVisible = true;
};

class TGLMeshObject : public TGLBaseMeshObject {
 public:
  TGLMeshObject();
  ~TGLMeshObject() override;
  // A new mesh object appended to `owner`, which owns it.
  static TGLMeshObject* CreateOwned(TGLMeshObjectList& owner);

  TGLMeshObjectList* Owner() const { return FOwner; }
  TGLAffineVectorList& TexCoords() { return FTexCoords; }
  const TGLAffineVectorList& TexCoords() const { return FTexCoords; }
  TGLAffineVectorList& LightMapTexCoords() { return FLightMapTexCoords; }
  const TGLAffineVectorList& LightMapTexCoords() const { return FLightMapTexCoords; }
  TGLVectorList& Colors() { return FColors; }
  const TGLVectorList& Colors() const { return FColors; }
  TGLFaceGroups& FaceGroups() { return FFaceGroups; }
  const TGLFaceGroups& FaceGroups() const { return FFaceGroups; }
  TGLMeshObjectMode Mode() const { return FMode; }
  void SetMode(TGLMeshObjectMode m) { FMode = m; }
  bool GroupByMaterial() const { return FRenderingOptions & 1; }
  void SetGroupByMaterial(bool on) { FRenderingOptions = on ? 1 : 0; }

  void Clear() override;
  void Translate(const TVector3f& delta) override;
  // The vertices of every triangle, three per triangle; texture coordinates and normals go to
  // the given lists where the mesh object has them.
  virtual std::unique_ptr<TGLAffineVectorList> ExtractTriangles(
      TGLAffineVectorList* texCoords = nullptr, TGLAffineVectorList* normals = nullptr) const;
  virtual int TriangleCount() const;
  // The box of the vertices, recomputed when the vertex list's revision has moved on since the
  // last call; a vertex list that never changed gives the zero box.
  virtual void GetExtents(TVector3f& min, TVector3f& max);
  virtual TAABB GetExtents();
  virtual void Prepare();
  TVector3f GetBarycenter() const;
  void DropMaterialLibraryCache() { FFaceGroups.DropMaterialLibraryCache(); }
  void PrepareMaterialLibraryCache(TGLMaterialLibrary* library) {
    FFaceGroups.PrepareMaterialLibraryCache(library);
  }

  // ---- drawing ----------------------------------------------------------------------------
  // Lets the face groups' library materials prepare themselves before a list is compiled.
  virtual void PrepareBuildList(TGLRenderContextInfo& rci);
  virtual void BuildList(TGLRenderContextInfo& rci);
  // Points GL's client arrays at the lists (once per BuildList unless forced).
  void DeclareArraysToOpenGL(TGLRenderContextInfo& rci, bool force = false);
  void DisableOpenGLArrays(TGLRenderContextInfo& rci);
  bool ArraysDeclared() const { return FArraysDeclared; }

 private:
  friend class TGLMeshObjectList;
  TGLMeshObjectList* FOwner = nullptr;
  uint32_t FExtentCacheRevision = 0;
  TGLAffineVectorList FTexCoords, FLightMapTexCoords;
  TGLVectorList FColors;
  TGLFaceGroups FFaceGroups;
  TGLMeshObjectMode FMode = TGLMeshObjectMode::momTriangles;
  uint8_t FRenderingOptions = 0;
  bool FArraysDeclared = false, FArraysLocked = false, FLightMapArrayEnabled = false;
  bool FNormalsArray = false, FColorsArray = false, FTexCoordsArray = false;
  int32_t FLastLightMapIndex = -1;
  TAABB FExtentCache;
};

}  // namespace ukh
