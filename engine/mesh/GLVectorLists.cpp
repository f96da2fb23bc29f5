// Whole-list operations on affine vectors.
#include "engine/mesh/GLVectorLists.h"

#include <limits>

namespace ukh {

void TGLAffineVectorList::Assign(const TGLAffineVectorList& other) {
  if (&other == this) return;
  SetCount(0);
  SetCapacity(other.Count());
  SetCount(other.Count());
  if (other.Count()) std::memcpy(List(), other.List(), size_t(other.Count()) * sizeof(TVector3f));
  IncRevision();
}

void TGLAffineVectorList::Lerp(const TGLAffineVectorList& a, const TGLAffineVectorList& b,
                               float t) {
  if (a.Count() != b.Count()) throw EAssertionFailed("Lerp between lists of different counts");
  SetCount(a.Count());
  TVector3f* v = List();
  for (int i = 0; i < a.Count(); ++i) v[i] = LerpVector(a[i], b[i], t);
  IncRevision();
}

void TGLAffineVectorList::Normalize() {
  TVector3f* v = List();
  for (int i = 0; i < Count(); ++i) NormalizeVector(v[i]);
  IncRevision();
}

void TGLAffineVectorList::Translate(const TVector3f& delta) {
  TVector3f* v = List();
  for (int i = 0; i < Count(); ++i) AddVectorInPlace(v[i], delta);
  IncRevision();
}

void TGLAffineVectorList::Scale(const TVector3f& factors) {
  TVector3f* v = List();
  for (int i = 0; i < Count(); ++i) {
    v[i].X *= factors.X;
    v[i].Y *= factors.Y;
    v[i].Z *= factors.Z;
  }
  IncRevision();
}

void TGLAffineVectorList::GetExtents(TVector3f& min, TVector3f& max) const {
  const float inf = std::numeric_limits<float>::infinity();
  min = {inf, inf, inf};
  max = {-inf, -inf, -inf};
  const TVector3f* v = List();
  for (int i = 0; i < Count(); ++i)
    for (int k = 0; k < 3; ++k) {
      if (v[i][k] < min[k]) min[k] = v[i][k];
      if (v[i][k] > max[k]) max[k] = v[i][k];
    }
}

}  // namespace ukh
