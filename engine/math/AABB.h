// Axis-aligned boxes and the eight-corner oriented boxes built from them.
#pragma once

#include "engine/math/Matrix.h"

namespace ukh {

struct TAABB {
  TVector3f Min, Max;
  friend bool operator==(const TAABB&, const TAABB&) = default;
};

// An oriented box given by its eight corners (points, W = 1).
struct THmgBoundingBox {
  TVector4f BBox[8];
};

struct TQuaternion {
  TVector3f ImagPart;
  float RealPart = 0;
};

// Bounds included.
inline bool PointInHalfExtents(const TVector3f& p, const TVector3f& e) {
  return p.X >= -e.X && p.X <= e.X && p.Y >= -e.Y && p.Y <= e.Y && p.Z >= -e.Z && p.Z <= e.Z;
}

inline void AABBUnion(TAABB& a, const TAABB& b) {
  for (int i = 0; i < 3; ++i) {
    if (b.Min[i] < a.Min[i]) a.Min[i] = b.Min[i];
    if (b.Max[i] > a.Max[i]) a.Max[i] = b.Max[i];
  }
}

inline void AABBScale(TAABB& box, const TVector3f& s) {
  for (int i = 0; i < 3; ++i) {
    box.Min[i] *= s[i];
    box.Max[i] *= s[i];
  }
}

// Corner i takes Max on axis k when bit k of i is set.
inline void AABBToCorners(const TAABB& box, TVector3f corners[8]) {
  for (int i = 0; i < 8; ++i)
    corners[i] = {(i & 1) ? box.Max.X : box.Min.X, (i & 2) ? box.Max.Y : box.Min.Y,
                  (i & 4) ? box.Max.Z : box.Min.Z};
}

inline THmgBoundingBox AABBToBB(const TAABB& box) {
  TVector3f c[8];
  AABBToCorners(box, c);
  THmgBoundingBox r;
  for (int i = 0; i < 8; ++i) r.BBox[i] = PointMake(c[i]);
  return r;
}

inline TAABB BBToAABB(const THmgBoundingBox& bb) {
  TAABB r{AffineVector(bb.BBox[0]), AffineVector(bb.BBox[0])};
  for (int i = 1; i < 8; ++i) AABBUnion(r, {AffineVector(bb.BBox[i]), AffineVector(bb.BBox[i])});
  return r;
}

// The box around the eight transformed corners.
inline TAABB AABBTransform(const TAABB& box, const TMatrix4f& m) {
  TVector3f c[8];
  AABBToCorners(box, c);
  TVector3f p = TransformPoint(c[0], m);
  TAABB r{p, p};
  for (int i = 1; i < 8; ++i) {
    p = TransformPoint(c[i], m);
    AABBUnion(r, {p, p});
  }
  return r;
}

}  // namespace ukh
