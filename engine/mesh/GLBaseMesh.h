// TGLBaseMesh: the scene object that owns a mesh model (its mesh object list), loads it
// through the model-format registry, reports its extents and draws it inside its material.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>

#include "engine/mesh/GLMeshObjectList.h"
#include "engine/mesh/GLVectorFile.h"
#include "engine/scene/GLWorldObject.h"

namespace ukh {

class TGLMaterialLibrary;

enum TGLMeshAutoCentering : uint8_t {
  macCenterX = 1,
  macCenterY = 2,
  macCenterZ = 4,
  macUseBarycenter = 8,
  macRestorePosition = 16,
};
using TGLMeshAutoCenterings = uint8_t;

class TGLBaseMesh : public TGLWorldObject {
 public:
  explicit TGLBaseMesh(TComponent* owner = nullptr);
  ~TGLBaseMesh() override;

  TGLMeshObjectList& MeshObjects() { return *FMeshObjects; }
  const TGLMeshObjectList& MeshObjects() const { return *FMeshObjects; }

  // ---- loading ----------------------------------------------------------------------------
  // Replaces the model with the file's; an empty name does nothing. A failed load leaves the
  // model empty and LastLoadedFilename empty.
  virtual void LoadFromFile(const std::string& fileName);
  // The file name selects the importer by its extension.
  virtual void LoadFromStream(const std::string& fileName, std::istream& stream);
  const std::string& LastLoadedFilename() const { return FLastLoadedFilename; }

  virtual void PerformAutoCentering();
  virtual void PerformAutoScaling();

  // ---- properties -------------------------------------------------------------------------
  TGLMeshNormalsOrientation NormalsOrientation() const { return FNormalsOrientation; }
  void SetNormalsOrientation(TGLMeshNormalsOrientation value);
  TGLMaterialLibrary* MaterialLibrary() const { return FMaterialLibrary; }
  void SetMaterialLibrary(TGLMaterialLibrary* value);
  TGLMaterialLibrary* LightmapLibrary() const { return FLightmapLibrary; }
  void SetLightmapLibrary(TGLMaterialLibrary* value);
  bool UseMeshMaterials() const { return FUseMeshMaterials; }
  void SetUseMeshMaterials(bool value);
  bool IgnoreMissingTextures() const { return FIgnoreMissingTextures; }
  void SetIgnoreMissingTextures(bool value) { FIgnoreMissingTextures = value; }
  TGLMeshAutoCenterings AutoCentering() const { return FAutoCentering; }
  void SetAutoCentering(TGLMeshAutoCenterings value) { FAutoCentering = value; }
  TGLCoordinates3& AutoScaling() { return *FAutoScaling; }

  // ---- extents ----------------------------------------------------------------------------
  // Merge of the mesh objects' extents from +inf and -inf.
  void GetExtents(TVector3f& min, TVector3f& max) const;
  // Half-sizes of the list extents, cached until the next structure change.
  TVector4f AxisAlignedDimensionsUnscaled() override;
  TVector4f BarycenterOffset();
  TVector4f BarycenterPosition();
  TVector4f BarycenterAbsolutePosition() override;
  TVector3f GetBarycenter() const;

  // ---- rendering --------------------------------------------------------------------------
  void BuildList(TGLRenderContextInfo& rci) override;
  void DoRender(TGLRenderContextInfo& rci, bool renderSelf, bool renderChildren) override;
  void StructureChanged() override;
  void StructureChangedNoPrepare();
  void Notification(TComponent* component, TOperation operation) override;

 protected:
  virtual void PrepareVectorFile(TGLVectorFile& file);
  virtual void PrepareMesh() { StructureChanged(); }
  virtual void PrepareBuildList(TGLRenderContextInfo& rci);
  void DestroyHandle() override;

 private:
  void DropMaterialLibraryCache();
  void PrepareMaterialLibraryCache();

  TGLMeshNormalsOrientation FNormalsOrientation = TGLMeshNormalsOrientation::mnoDefault;
  TGLMaterialLibrary* FMaterialLibrary = nullptr;
  TGLMaterialLibrary* FLightmapLibrary = nullptr;
  TVector4f FAxisAlignedDimensionsCache{-1, 0, 0, 0};
  bool FBaryCenterOffsetChanged = true;
  TVector4f FBaryCenterOffset{};
  bool FUseMeshMaterials = true;
  bool FIgnoreMissingTextures = false;
  TGLMeshAutoCenterings FAutoCentering = 0;
  std::unique_ptr<TGLCoordinates3> FAutoScaling;
  bool FMaterialLibraryCachesPrepared = false;
  std::string FLastLoadedFilename;
  std::unique_ptr<TGLMeshObjectList> FMeshObjects;
};

}  // namespace ukh
