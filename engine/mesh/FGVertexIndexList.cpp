// Triangle walks, extents and conversions of the indexed face groups.
#include "engine/mesh/FGVertexIndexList.h"

#include <algorithm>
#include <limits>

#include "engine/mesh/GLMeshObject.h"

namespace ukh {

namespace {

// The item of `list` at `index`, after checking that it is there: indices come from files.
const TVector3f& At(const TGLAffineVectorList& list, int32_t index) {
  if (index < 0 || index >= list.Count())
    throw EAssertionFailed("Face group index out of range of its mesh object");
  return list[index];
}

void ReverseList(TGLIntegerList& l) {
  std::reverse(l.List(), l.List() + l.Count());
  l.IncRevision();
}

}  // namespace

template <class F>
void TFGVertexIndexList::ForEachTriangle(F f) const {
  const int n = FVertexIndices.Count();
  switch (FMode) {
    case TGLFaceGroupMeshMode::fgmmTriangles:
    case TGLFaceGroupMeshMode::fgmmFlatTriangles:
      for (int i = 0; i + 2 < n; i += 3) f(i, i + 1, i + 2);
      break;
    case TGLFaceGroupMeshMode::fgmmTriangleStrip:
      // Every other triangle of a strip is wound the other way round.
      for (int i = 0; i + 2 < n; ++i) {
        if (i & 1)
          f(i + 1, i, i + 2);
        else
          f(i, i + 1, i + 2);
      }
      break;
    case TGLFaceGroupMeshMode::fgmmTriangleFan:
      for (int i = 1; i + 1 < n; ++i) f(0, i, i + 1);
      break;
    case TGLFaceGroupMeshMode::fgmmQuads:
      for (int i = 0; i + 3 < n; i += 4) {
        f(i, i + 1, i + 2);
        f(i, i + 2, i + 3);
      }
      break;
    default:
      throw EAssertionFailed();
  }
}

int TFGVertexIndexList::TriangleCount() const {
  const int n = FVertexIndices.Count();
  switch (FMode) {
    case TGLFaceGroupMeshMode::fgmmTriangles:
    case TGLFaceGroupMeshMode::fgmmFlatTriangles:
      return n / 3;
    case TGLFaceGroupMeshMode::fgmmTriangleStrip:
    case TGLFaceGroupMeshMode::fgmmTriangleFan:
      return n > 2 ? n - 2 : 0;
    case TGLFaceGroupMeshMode::fgmmQuads:
      return n / 2;
    default:
      throw EAssertionFailed();
  }
}

void TFGVertexIndexList::AddToTriangles(TGLAffineVectorList& vertices,
                                        TGLAffineVectorList* texCoords,
                                        TGLAffineVectorList* normals) const {
  const TGLMeshObject* mo = MeshObject();
  if (!mo) return;
  const TGLAffineVectorList& v = mo->Vertices();
  const bool tex = texCoords && mo->TexCoords().Count() > 0;
  const bool nrm = normals && mo->Normals().Count() > 0;
  const int32_t* idx = FVertexIndices.List();
  ForEachTriangle([&](int a, int b, int c) {
    for (int k : {a, b, c}) {
      vertices.Add(At(v, idx[k]));
      if (tex) texCoords->Add(At(mo->TexCoords(), idx[k]));
      if (nrm) normals->Add(At(mo->Normals(), idx[k]));
    }
  });
}

void TFGVertexIndexList::GetExtents(TVector3f& min, TVector3f& max) const {
  const float inf = std::numeric_limits<float>::infinity();
  min = {inf, inf, inf};
  max = {-inf, -inf, -inf};
  const TGLMeshObject* mo = MeshObject();
  if (!mo) return;
  for (int i = 0; i < FVertexIndices.Count(); ++i) {
    const TVector3f& p = At(mo->Vertices(), FVertexIndices[i]);
    for (int k = 0; k < 3; ++k) {
      if (p[k] < min[k]) min[k] = p[k];
      if (p[k] > max[k]) max[k] = p[k];
    }
  }
}

void TFGVertexIndexList::ConvertToList() {
  if (FMode != TGLFaceGroupMeshMode::fgmmTriangleStrip &&
      FMode != TGLFaceGroupMeshMode::fgmmTriangleFan)
    return;
  TGLIntegerList list;
  const int32_t* idx = FVertexIndices.List();
  ForEachTriangle([&](int a, int b, int c) { list.Add(idx[a], idx[b], idx[c]); });
  FVertexIndices.Clear();
  FVertexIndices.SetCapacity(list.Count());
  for (int i = 0; i < list.Count(); ++i) FVertexIndices.Add(list[i]);
  FMode = TGLFaceGroupMeshMode::fgmmTriangles;
}

TVector3f TFGVertexIndexList::GetNormal() const {
  const TGLMeshObject* mo = MeshObject();
  if (!mo || FVertexIndices.Count() < 3) return NullVector;
  const TGLAffineVectorList& v = mo->Vertices();
  const TVector3f& p0 = At(v, FVertexIndices[0]);
  TVector3f n = CrossProduct(SubtractVector(At(v, FVertexIndices[1]), p0),
                             SubtractVector(At(v, FVertexIndices[2]), p0));
  NormalizeVector(n);
  return n;
}

void TFGVertexIndexList::Reverse() {
  ReverseList(FVertexIndices);
}

void TFGVertexNormalTexIndexList::AddToTriangles(TGLAffineVectorList& vertices,
                                                 TGLAffineVectorList* texCoords,
                                                 TGLAffineVectorList* normals) const {
  const TGLMeshObject* mo = MeshObject();
  if (!mo) return;
  const int n = VertexIndices().Count();
  if ((FNormalIndices.Count() > 0 && FNormalIndices.Count() < n) ||
      (FTexCoordIndices.Count() > 0 && FTexCoordIndices.Count() < n))
    throw EAssertionFailed();
  const int32_t* vi = VertexIndices().List();
  const int32_t* ni = FNormalIndices.Count() ? FNormalIndices.List() : vi;
  const int32_t* ti = FTexCoordIndices.Count() ? FTexCoordIndices.List() : vi;
  const bool tex = texCoords && mo->TexCoords().Count() > 0;
  const bool nrm = normals && mo->Normals().Count() > 0;
  ForEachTriangle([&](int a, int b, int c) {
    for (int k : {a, b, c}) {
      vertices.Add(At(mo->Vertices(), vi[k]));
      if (tex) texCoords->Add(At(mo->TexCoords(), ti[k]));
      if (nrm) normals->Add(At(mo->Normals(), ni[k]));
    }
  });
}

void TFGVertexNormalTexIndexList::Reverse() {
  TFGVertexIndexList::Reverse();
  ReverseList(FNormalIndices);
  ReverseList(FTexCoordIndices);
}

}  // namespace ukh
