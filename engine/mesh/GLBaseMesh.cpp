// Loading, extents and drawing of a mesh scene object.
#include "engine/mesh/GLBaseMesh.h"

#include <fstream>
#include <limits>

#include "engine/gl/GLMaterialLibrary.h"
#include "engine/gl/GLStateCache.h"
#include "engine/scene/GLWorld.h"

namespace ukh {

TGLBaseMesh::TGLBaseMesh(TComponent* owner)
    : TGLWorldObject(owner),
      FAutoScaling(std::make_unique<TGLCoordinates3>(this, TVector4f{1, 1, 1, 0},
                                                     TGLCoordinatesStyle::csPoint)),
      FMeshObjects(std::make_unique<TGLMeshObjectList>(this)) {}

TGLBaseMesh::~TGLBaseMesh() {
  DropMaterialLibraryCache();
  if (FMaterialLibrary) FMaterialLibrary->RemoveFreeNotification(this);
  if (FLightmapLibrary) FLightmapLibrary->RemoveFreeNotification(this);
  // Mesh objects release the lights and cameras they hung under this object while the
  // object is still whole.
  FMeshObjects->Clear();
}

void TGLBaseMesh::LoadFromFile(const std::string& fileName) {
  FLastLoadedFilename.clear();
  if (fileName.empty()) return;
  std::ifstream in(fileName, std::ios::binary);
  if (!in) throw Exception("Cannot open file \"" + fileName + "\"");
  LoadFromStream(fileName, in);
  FLastLoadedFilename = fileName;
}

void TGLBaseMesh::LoadFromStream(const std::string& fileName, std::istream& stream) {
  FLastLoadedFilename.clear();
  if (fileName.empty()) return;
  FMeshObjects->Clear();
  StructureChanged();
  const TGLVectorFileClass& cls = GetVectorFileFormats().FindFromFileName(fileName);
  std::unique_ptr<TGLVectorFile> file = cls.Create(this);
  file->SetResourceName(fileName);
  PrepareVectorFile(*file);
  TGLWorld* scene = Scene();
  if (scene) scene->BeginUpdate();
  try {
    file->LoadFromStream(stream);
  } catch (...) {
    // Nothing half-built stays behind: the model is empty after a failed load.
    FMeshObjects->Clear();
    if (scene) scene->EndUpdate();
    StructureChanged();
    throw;
  }
  FLastLoadedFilename = fileName;
  if (scene) scene->EndUpdate();
  file.reset();
  PerformAutoScaling();
  PerformAutoCentering();
  PrepareMesh();
}

void TGLBaseMesh::PrepareVectorFile(TGLVectorFile& file) {
  file.SetNormalsOrientation(FNormalsOrientation);
}

void TGLBaseMesh::PerformAutoScaling() {
  const TVector4f& s = FAutoScaling->AsVector();
  if (s.X == 1 && s.Y == 1 && s.Z == 1) return;
  for (int i = 0; i < FMeshObjects->Count(); ++i)
    (*FMeshObjects)[i]->Vertices().Scale({s.X, s.Y, s.Z});
}

void TGLBaseMesh::PerformAutoCentering() {
  TVector3f delta{0, 0, 0};
  if (FAutoCentering & macUseBarycenter) {
    const TVector3f c = GetBarycenter();
    delta = {-c.X, -c.Y, -c.Z};
  } else {
    if (!(FAutoCentering & (macCenterX | macCenterY | macCenterZ))) return;
    TVector3f min, max;
    GetExtents(min, max);
    if (FAutoCentering & macCenterX) delta.X = -(min.X + max.X) * 0.5f;
    if (FAutoCentering & macCenterY) delta.Y = -(min.Y + max.Y) * 0.5f;
    if (FAutoCentering & macCenterZ) delta.Z = -(min.Z + max.Z) * 0.5f;
  }
  FMeshObjects->Translate(delta);
  if (FAutoCentering & macRestorePosition) {
    const TVector3f p = Position().AsAffineVector();
    Position().SetPoint(p.X - delta.X, p.Y - delta.Y, p.Z - delta.Z);
  }
}

void TGLBaseMesh::SetNormalsOrientation(TGLMeshNormalsOrientation value) {
  if (value == FNormalsOrientation) return;
  FNormalsOrientation = value;
  StructureChanged();
}

void TGLBaseMesh::SetMaterialLibrary(TGLMaterialLibrary* value) {
  if (value == FMaterialLibrary) return;
  DropMaterialLibraryCache();
  DestroyHandle();
  if (FMaterialLibrary) FMaterialLibrary->RemoveFreeNotification(this);
  FMaterialLibrary = value;
  if (FMaterialLibrary) FMaterialLibrary->FreeNotification(this);
  StructureChanged();
}

void TGLBaseMesh::SetLightmapLibrary(TGLMaterialLibrary* value) {
  if (value == FLightmapLibrary) return;
  DestroyHandle();
  if (FLightmapLibrary) FLightmapLibrary->RemoveFreeNotification(this);
  FLightmapLibrary = value;
  if (FLightmapLibrary) FLightmapLibrary->FreeNotification(this);
  StructureChanged();
}

void TGLBaseMesh::SetUseMeshMaterials(bool value) {
  if (value == FUseMeshMaterials) return;
  FUseMeshMaterials = value;
  if (!value) DropMaterialLibraryCache();
  StructureChanged();
}

void TGLBaseMesh::Notification(TComponent* component, TOperation operation) {
  if (operation == TOperation::opRemove) {
    if (component == FMaterialLibrary) {
      DropMaterialLibraryCache();
      FMaterialLibrary = nullptr;
      StructureChanged();
    }
    if (component == FLightmapLibrary) {
      FLightmapLibrary = nullptr;
      StructureChanged();
    }
  }
  TGLWorldObject::Notification(component, operation);
}

void TGLBaseMesh::DropMaterialLibraryCache() {
  if (!FMaterialLibraryCachesPrepared) return;
  FMeshObjects->DropMaterialLibraryCache();
  FMaterialLibraryCachesPrepared = false;
}

void TGLBaseMesh::PrepareMaterialLibraryCache() {
  if (FMaterialLibraryCachesPrepared) return;
  FMeshObjects->PrepareMaterialLibraryCache(FMaterialLibrary);
  FMaterialLibraryCachesPrepared = true;
}

void TGLBaseMesh::DestroyHandle() {
  TGLWorldObject::DestroyHandle();
}

void TGLBaseMesh::GetExtents(TVector3f& min, TVector3f& max) const {
  const float inf = std::numeric_limits<float>::infinity();
  min = {inf, inf, inf};
  max = {-inf, -inf, -inf};
  for (int i = 0; i < FMeshObjects->Count(); ++i) {
    TVector3f a, b;
    (*FMeshObjects)[i]->GetExtents(a, b);
    for (int k = 0; k < 3; ++k) {
      if (a[k] < min[k]) min[k] = a[k];
      if (b[k] > max[k]) max[k] = b[k];
    }
  }
}

TVector4f TGLBaseMesh::AxisAlignedDimensionsUnscaled() {
  if (FAxisAlignedDimensionsCache.X >= 0) return FAxisAlignedDimensionsCache;
  TVector3f min, max;
  FMeshObjects->GetExtents(min, max);
  FAxisAlignedDimensionsCache = {(max.X - min.X) / 2, (max.Y - min.Y) / 2, (max.Z - min.Z) / 2, 0};
  return FAxisAlignedDimensionsCache;
}

TVector4f TGLBaseMesh::BarycenterOffset() {
  if (FBaryCenterOffsetChanged) {
    TVector3f min, max;
    FMeshObjects->GetExtents(min, max);
    FBaryCenterOffset = {(min.X + max.X) / 2, (min.Y + max.Y) / 2, (min.Z + max.Z) / 2, 0};
    FBaryCenterOffsetChanged = false;
  }
  return FBaryCenterOffset;
}

TVector4f TGLBaseMesh::BarycenterPosition() {
  const TVector4f o = BarycenterOffset();
  const TVector4f& p = Position().AsVector();
  return {p.X + o.X, p.Y + o.Y, p.Z + o.Z, p.W};
}

TVector4f TGLBaseMesh::BarycenterAbsolutePosition() {
  const TVector4f o = BarycenterOffset();
  return LocalToAbsolute(TVector4f{o.X, o.Y, o.Z, 1});
}

TVector3f TGLBaseMesh::GetBarycenter() const {
  TVector3f sum{0, 0, 0};
  int n = 0;
  for (int i = 0; i < FMeshObjects->Count(); ++i)
    (*FMeshObjects)[i]->ContributeToBarycenter(sum, n);
  if (n == 0) return {0, 0, 0};
  return {sum.X / float(n), sum.Y / float(n), sum.Z / float(n)};
}

void TGLBaseMesh::StructureChanged() {
  FAxisAlignedDimensionsCache.X = -1;
  FBaryCenterOffsetChanged = true;
  DropMaterialLibraryCache();
  FMeshObjects->Prepare();
  TGLWorldObject::StructureChanged();
}

void TGLBaseMesh::StructureChangedNoPrepare() {
  TGLWorldObject::StructureChanged();
}

void TGLBaseMesh::PrepareBuildList(TGLRenderContextInfo& rci) {
  FMeshObjects->PrepareBuildList(rci);
  if (FLightmapLibrary)
    for (const auto& m : FLightmapLibrary->Materials()) m->Material().PrepareBuildList();
}

void TGLBaseMesh::BuildList(TGLRenderContextInfo& rci) {
  FMeshObjects->BuildList(rci);
}

void TGLBaseMesh::DoRender(TGLRenderContextInfo& rci, bool renderSelf, bool renderChildren) {
  if (renderSelf) {
    TGLStateCache& states = *rci.GLStates;
    const TGLFaceWinding winding = states.FrontFace();
    const bool invert = FNormalsOrientation == TGLMeshNormalsOrientation::mnoInvert;
    if (invert)
      states.SetFrontFace(winding == fwCounterClockWise ? fwClockWise : fwCounterClockWise);
    if (rci.IgnoreMaterials) {
      RenderSelf(rci);
    } else {
      if (FUseMeshMaterials && FMaterialLibrary) {
        PrepareMaterialLibraryCache();
        rci.MaterialLibrary = FMaterialLibrary;
      } else {
        rci.MaterialLibrary = nullptr;
      }
      rci.LightMapLibrary = FLightmapLibrary;
      if (rci.Amalgamating || (!ListHandleAllocated() && !(FObjectStyle & osDirectDraw)))
        PrepareBuildList(rci);
      Material().Apply(rci);
      do {
        if ((FObjectStyle & osDirectDraw) || rci.Amalgamating || FUseMeshMaterials)
          BuildList(rci);
        else
          RenderSelf(rci);
      } while (Material().UnApply(rci));
      rci.MaterialLibrary = nullptr;
    }
    if (invert) states.SetFrontFace(winding);
  }
  if (renderChildren) RenderChildren(0, Count() - 1, rci);
}

}  // namespace ukh
