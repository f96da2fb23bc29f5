// The typed lists of the mesh model: affine vectors (vertices, normals, texture coordinates),
// homogeneous vectors (colours), texture points and 32-bit integers (vertex indices).
#pragma once

#include "engine/math/AABB.h"
#include "engine/math/Vector.h"
#include "engine/mesh/GLBaseList.h"

namespace ukh {

class TGLAffineVectorList : public TGLTypedList<TVector3f> {
 public:
  TGLAffineVectorList() = default;
  using TGLTypedList<TVector3f>::Add;
  int Add(float x, float y, float z) { return Add(TVector3f{x, y, z}); }
  // Stored as (s, t, 0).
  int Add(const TTexPoint& t) { return Add(TVector3f{t.S, t.T, 0}); }
  int Add(const TVector2f& v) { return Add(TVector3f{v.X, v.Y, 0}); }
  // Becomes a copy of `other`'s items.
  void Assign(const TGLAffineVectorList& other);
  // Items := a + (b - a) * t, item by item; a and b must have the same count.
  void Lerp(const TGLAffineVectorList& a, const TGLAffineVectorList& b, float t);
  // Every vector of non-zero length gets length 1; zero vectors stay zero.
  void Normalize();
  void Translate(const TVector3f& delta);
  void Scale(const TVector3f& factors);
  // min = +inf and max = -inf for an empty list.
  void GetExtents(TVector3f& min, TVector3f& max) const;
};

class TGLVectorList : public TGLTypedList<TVector4f> {
 public:
  TGLVectorList() = default;
};

class TGLTexPointList : public TGLTypedList<TTexPoint> {
 public:
  TGLTexPointList() = default;
};

class TGLIntegerList : public TGLTypedList<int32_t> {
 public:
  TGLIntegerList() = default;
  using TGLTypedList<int32_t>::Add;
  void Add(int32_t a, int32_t b, int32_t c) {
    Add(a);
    Add(b);
    Add(c);
  }
};

}  // namespace ukh
