// Vertex data, triangle extraction and cached extents of mesh objects.
#include "engine/mesh/GLMeshObject.h"

#include "engine/mesh/GLMeshObjectList.h"

namespace ukh {

void TGLBaseMeshObject::ContributeToBarycenter(TVector3f& sum, int& count) const {
  for (int i = 0; i < FVertices.Count(); ++i) AddVectorInPlace(sum, FVertices[i]);
  count += FVertices.Count();
}

void TGLBaseMeshObject::Clear() {
  FNormals.Clear();
  FVertices.Clear();
}

void TGLBaseMeshObject::Translate(const TVector3f& delta) {
  FVertices.Translate(delta);
}

TGLMeshObject::TGLMeshObject() : FFaceGroups(this) {}
TGLMeshObject::~TGLMeshObject() = default;

TGLMeshObject* TGLMeshObject::CreateOwned(TGLMeshObjectList& owner) {
  return owner.Add(std::make_unique<TGLMeshObject>());
}

void TGLMeshObject::Clear() {
  TGLBaseMeshObject::Clear();
  FFaceGroups.Clear();
  FColors.Clear();
  FTexCoords.Clear();
  FLightMapTexCoords.Clear();
}

void TGLMeshObject::Translate(const TVector3f& delta) {
  TGLBaseMeshObject::Translate(delta);
}

std::unique_ptr<TGLAffineVectorList> TGLMeshObject::ExtractTriangles(
    TGLAffineVectorList* texCoords, TGLAffineVectorList* normals) const {
  auto out = std::make_unique<TGLAffineVectorList>();
  const TGLAffineVectorList& v = Vertices();
  const bool tex = texCoords && FTexCoords.Count() == v.Count();
  const bool nrm = normals && Normals().Count() == v.Count();
  auto emit = [&](int i) {
    out->Add(v[i]);
    if (tex) texCoords->Add(FTexCoords[i]);
    if (nrm) normals->Add(Normals()[i]);
  };
  switch (FMode) {
    case TGLMeshObjectMode::momTriangles:
      for (int i = 0; i + 2 < v.Count(); i += 3) {
        emit(i);
        emit(i + 1);
        emit(i + 2);
      }
      break;
    case TGLMeshObjectMode::momTriangleStrip:
      for (int i = 0; i + 2 < v.Count(); ++i) {
        if (i & 1) {
          emit(i + 1);
          emit(i);
        } else {
          emit(i);
          emit(i + 1);
        }
        emit(i + 2);
      }
      break;
    case TGLMeshObjectMode::momFaceGroups:
      FFaceGroups.AddToTriangles(*out, texCoords, normals);
      break;
    default:
      throw EAssertionFailed();
  }
  return out;
}

int TGLMeshObject::TriangleCount() const {
  switch (FMode) {
    case TGLMeshObjectMode::momTriangles:
      return Vertices().Count() / 3;
    case TGLMeshObjectMode::momTriangleStrip:
      return Vertices().Count() > 2 ? Vertices().Count() - 2 : 0;
    case TGLMeshObjectMode::momFaceGroups:
      return FFaceGroups.TriangleCount();
    default:
      throw EAssertionFailed();
  }
}

void TGLMeshObject::GetExtents(TVector3f& min, TVector3f& max) {
  if (Vertices().Revision() != FExtentCacheRevision) {
    Vertices().GetExtents(FExtentCache.Min, FExtentCache.Max);
    FExtentCacheRevision = Vertices().Revision();
  }
  min = FExtentCache.Min;
  max = FExtentCache.Max;
}

TAABB TGLMeshObject::GetExtents() {
  TAABB box;
  GetExtents(box.Min, box.Max);
  return box;
}

void TGLMeshObject::Prepare() {
  for (int i = 0; i < FFaceGroups.Count(); ++i) FFaceGroups[i]->Prepare();
}

TVector3f TGLMeshObject::GetBarycenter() const {
  TVector3f sum;
  int count = 0;
  ContributeToBarycenter(sum, count);
  return count ? ScaleVector(sum, 1.0f / float(count)) : NullVector;
}

}  // namespace ukh
