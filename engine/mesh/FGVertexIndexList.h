// Face groups that index the vertices of their mesh object: TFGVertexIndexList, one primitive
// stream drawn with one glDrawElements, and TFGVertexNormalTexIndexList, which indexes normals
// and texture coordinates separately.
#pragma once

#include <memory>

#include "engine/mesh/GLFaceGroups.h"

namespace ukh {

enum class TGLFaceGroupMeshMode {
  fgmmTriangles,
  fgmmTriangleStrip,
  fgmmFlatTriangles,
  fgmmTriangleFan,
  fgmmQuads
};

class TFGVertexIndexList : public TGLFaceGroup {
 public:
  TFGVertexIndexList() = default;
  static TFGVertexIndexList* CreateOwned(TGLFaceGroups& owner) {
    return owner.Add(std::make_unique<TFGVertexIndexList>());
  }

  TGLIntegerList& VertexIndices() { return FVertexIndices; }
  const TGLIntegerList& VertexIndices() const { return FVertexIndices; }
  TGLFaceGroupMeshMode Mode() const { return FMode; }
  void SetMode(TGLFaceGroupMeshMode m) { FMode = m; }
  void Add(int32_t index) { FVertexIndices.Add(index); }

  // Extents of the vertices the group uses (min = +inf, max = -inf when it uses none).
  void GetExtents(TVector3f& min, TVector3f& max) const;
  // Rewrites a strip or a fan as plain triangles of the same winding.
  void ConvertToList();
  // Unit normal of the first three vertices; zero when there are fewer.
  TVector3f GetNormal() const;

  void AddToTriangles(TGLAffineVectorList& vertices, TGLAffineVectorList* texCoords,
                      TGLAffineVectorList* normals) const override;
  int TriangleCount() const override;
  void Reverse() override;
  // One glDrawElements over the owner's arrays; an empty list draws nothing.
  void BuildList(TGLRenderContextInfo& rci) override;

 protected:
  // Calls f(a, b, c) with the positions (into the index list) of every triangle in order.
  template <class F>
  void ForEachTriangle(F f) const;

 private:
  TGLIntegerList FVertexIndices;
  TGLFaceGroupMeshMode FMode = TGLFaceGroupMeshMode::fgmmTriangles;
};

class TFGVertexNormalTexIndexList : public TFGVertexIndexList {
 public:
  TFGVertexNormalTexIndexList() = default;
  static TFGVertexNormalTexIndexList* CreateOwned(TGLFaceGroups& owner) {
    return owner.Add(std::make_unique<TFGVertexNormalTexIndexList>());
  }

  // Empty: the vertex indices serve for normals (or texture coordinates) too.
  TGLIntegerList& NormalIndices() { return FNormalIndices; }
  const TGLIntegerList& NormalIndices() const { return FNormalIndices; }
  TGLIntegerList& TexCoordIndices() { return FTexCoordIndices; }
  const TGLIntegerList& TexCoordIndices() const { return FTexCoordIndices; }
  void Add(int32_t vertex, int32_t normal, int32_t texCoord) {
    VertexIndices().Add(vertex);
    FNormalIndices.Add(normal);
    FTexCoordIndices.Add(texCoord);
  }

  void AddToTriangles(TGLAffineVectorList& vertices, TGLAffineVectorList* texCoords,
                      TGLAffineVectorList* normals) const override;
  void Reverse() override;
  // Immediate mode, normals and texture coordinates through their own indices.
  void BuildList(TGLRenderContextInfo& rci) override;

 private:
  TGLIntegerList FNormalIndices, FTexCoordIndices;
};

}  // namespace ukh
