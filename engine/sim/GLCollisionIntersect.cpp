// Pair tests by bounding mode. Scale reaches the point and box tests only through the
// absolute matrices; the half-extents compared against are the unscaled ones.
#include "engine/sim/GLCollisionIntersect.h"

#include <cmath>

#include "engine/scene/GLBaseSceneObject.h"

namespace ukh {
namespace {

using M = TCollisionBoundingMode;

// `a`'s absolute position in `b`'s local frame, all four components.
TVector4f PositionIn(TGLBaseSceneObject& a, TGLBaseSceneObject& b) {
  return TransformVector(a.AbsolutePosition(), b.InvAbsoluteMatrix());
}

TVector4f Divide(const TVector4f& v, const TVector4f& d) {
  // Floating-point exceptions are masked: a zero extent gives an infinity or not-a-number,
  // which the callers' comparisons handle as each test states.
  return {v.X / d.X, v.Y / d.Y, v.Z / d.Z, v.W / d.W};
}

float Radius(TGLBaseSceneObject& o) {
  return VectorLength(o.AxisAlignedDimensions());
}

double Sqr(double x) {
  return x * x;
}

// Between the two bounds inclusive, whichever of them is the larger.
bool Between(float v, float bound1, float bound2) {
  return (v >= bound1 && v <= bound2) || (v >= bound2 && v <= bound1);
}

bool EdgeCrossesBox(const TVector3f& p0, const TVector3f& p1, const TAABB& b) {
  const TVector3f d = SubtractVector(p1, p0);
  for (int i = 0; i < 3; ++i) {
    if (d[i] == 0) continue;
    const int j = (i + 1) % 3, k = (j + 1) % 3;
    for (const float plane : {b.Max[i], b.Min[i]}) {
      const float t = float((double(plane) - p0[i]) / d[i]);
      if (!(t >= 0 && t <= 1)) continue;
      const float sj = float(p0[j] + double(t) * d[j]);
      const float sk = float(p0[k] + double(t) * d[k]);
      if (Between(sj, b.Min[j], b.Max[j]) && Between(sk, b.Min[k], b.Max[k])) return true;
    }
  }
  return false;
}

TAABB HalfExtentsBox(const TVector4f& h) {
  return {{-h.X, -h.Y, -h.Z}, {h.X, h.Y, h.Z}};
}

bool BoxesThroughCrossMatrices(TGLBaseSceneObject& a, TGLBaseSceneObject& b, const TAABB& boxA,
                               const TAABB& boxB) {
  return OneSidedBoxTest(boxA, MultiplyMatrices(a.AbsoluteMatrix(), b.InvAbsoluteMatrix()), boxB) ||
         OneSidedBoxTest(boxB, MultiplyMatrices(b.AbsoluteMatrix(), a.InvAbsoluteMatrix()), boxA);
}

}  // namespace

bool OneSidedBoxTest(const TAABB& a, const TMatrix4f& aToB, const TAABB& b) {
  const TVector4f corners[8] = {{a.Min.X, a.Min.Y, a.Min.Z, 1}, {a.Max.X, a.Min.Y, a.Min.Z, 1},
                                {a.Max.X, a.Max.Y, a.Min.Z, 1}, {a.Min.X, a.Max.Y, a.Min.Z, 1},
                                {a.Min.X, a.Min.Y, a.Max.Z, 1}, {a.Max.X, a.Min.Y, a.Max.Z, 1},
                                {a.Max.X, a.Max.Y, a.Max.Z, 1}, {a.Min.X, a.Max.Y, a.Max.Z, 1}};
  TVector3f p[8];
  for (int c = 0; c < 8; ++c) {
    p[c] = AffineVector(TransformVector(corners[c], aToB));
    if (p[c].X >= b.Min.X && p[c].X <= b.Max.X && p[c].Y >= b.Min.Y && p[c].Y <= b.Max.Y &&
        p[c].Z >= b.Min.Z && p[c].Z <= b.Max.Z)
      return true;
  }
  static constexpr int cEdges[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                                        {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
  for (const auto& e : cEdges)
    if (EdgeCrossesBox(p[e[0]], p[e[1]], b)) return true;
  return false;
}

bool FastCheckPointVsPoint(TGLBaseSceneObject& a, TGLBaseSceneObject& b) {
  const float d2 = b.SqrDistanceTo(a.AbsoluteAffinePosition());
  return !(d2 > 1e-6f);
}

bool FastCheckPointVsSphere(TGLBaseSceneObject& p, TGLBaseSceneObject& s) {
  const float r = Radius(s);
  return s.SqrDistanceTo(p.AbsoluteAffinePosition()) <= Sqr(r);
}

bool FastCheckPointVsEllipsoid(TGLBaseSceneObject& p, TGLBaseSceneObject& e) {
  TVector4f v = Divide(PositionIn(p, e), e.AxisAlignedDimensionsUnscaled());
  v.W = 0;
  return NormExt(v.X, v.Y, v.Z) <= 1;
}

bool FastCheckPointVsCube(TGLBaseSceneObject& p, TGLBaseSceneObject& c) {
  const TVector4f v = Divide(PositionIn(p, c), c.AxisAlignedDimensionsUnscaled());
  return !(MaxAbsXYZ(v) > 1);
}

bool FastCheckSphereVsSphere(TGLBaseSceneObject& s1, TGLBaseSceneObject& s2) {
  const double r = double(Radius(s1)) + Radius(s2);
  return s1.SqrDistanceTo(s2.AbsoluteAffinePosition()) <= r * r;
}

bool FastCheckSphereVsEllipsoid(TGLBaseSceneObject& s, TGLBaseSceneObject& e) {
  const float r = Radius(s);
  const TVector4f d = e.AxisAlignedDimensions();
  const TVector4f v = PositionIn(s, e);
  const TVector4f scale = e.Scale().AsVector();
  double sum = 0;
  for (int i = 0; i < 3; ++i) sum += Sqr(float(v[i] / (double(d[i]) + r)) * double(scale[i]));
  return sum <= 1;
}

bool FastCheckSphereVsCube(TGLBaseSceneObject& s, TGLBaseSceneObject& c) {
  const TVector4f p = PositionIn(s, c);
  const TVector4f scale = c.Scale().AsVector();
  const TVector4f d = c.AxisAlignedDimensions();
  float v[3];
  for (int i = 0; i < 3; ++i) v[i] = float(std::fabs(double(p[i])) * scale[i] - d[i]);
  const double r = Radius(s);
  double sum = 0;
  int outside = 0;
  for (float x : v)
    if (x > 0) {
      ++outside;
      sum += Sqr(x);
    }
  switch (outside) {
    case 3:
    case 2:
      return sum <= r * r;
    case 1:
      for (float x : v)
        if (x > 0) return x <= r;
      return false;
    default:
      return true;
  }
}

bool FastCheckEllipsoidVsEllipsoid(TGLBaseSceneObject& e1, TGLBaseSceneObject& e2) {
  const TVector4f p = Divide(PositionIn(e1, e2), e2.AxisAlignedDimensions());
  const TVector4f q = Divide(PositionIn(e2, e1), e1.AxisAlignedDimensions());
  return NormExt(p.X, p.Y, p.Z) + NormExt(q.X, q.Y, q.Z) <= 2;
}

bool FastCheckEllipsoidVsCube(TGLBaseSceneObject& e, TGLBaseSceneObject& c) {
  const float r = Radius(e);
  const TVector4f d = c.AxisAlignedDimensionsUnscaled();
  const TVector4f v = PositionIn(e, c);
  double sum = 0;
  for (int i = 0; i < 3; ++i) sum += Sqr(float(v[i] / (double(d[i]) + r)));
  return sum <= 1;
}

bool FastCheckCubeVsCube(TGLBaseSceneObject& a, TGLBaseSceneObject& b) {
  const TAABB boxA = HalfExtentsBox(a.AxisAlignedDimensionsUnscaled());
  const TAABB boxB = HalfExtentsBox(b.AxisAlignedDimensionsUnscaled());
  return BoxesThroughCrossMatrices(a, b, boxA, boxB);
}

bool FastCheckCubeVsFace(TGLBaseSceneObject& c, TGLBaseSceneObject& f) {
  return BoxesThroughCrossMatrices(c, f, c.AxisAlignedBoundingBoxUnscaled(true),
                                   f.AxisAlignedBoundingBoxUnscaled(true));
}

bool FastCheckFaceVsFace(TGLBaseSceneObject& f1, TGLBaseSceneObject& f2) {
  return FastCheckCubeVsFace(f1, f2);
}

bool CheckCollisionPair(TCollisionBoundingMode mode1, TCollisionBoundingMode mode2,
                        TGLBaseSceneObject& o1, TGLBaseSceneObject& o2) {
  switch (mode1) {
    case M::cbmPoint:
      switch (mode2) {
        case M::cbmPoint:
          return FastCheckPointVsPoint(o1, o2);
        case M::cbmSphere:
          return FastCheckPointVsSphere(o1, o2);
        case M::cbmEllipsoid:
          return FastCheckPointVsEllipsoid(o1, o2);
        case M::cbmCube:
        case M::cbmFaces:
          return FastCheckPointVsCube(o1, o2);
      }
      break;
    case M::cbmSphere:
      switch (mode2) {
        case M::cbmPoint:
          return FastCheckPointVsSphere(o2, o1);
        case M::cbmSphere:
          return FastCheckSphereVsSphere(o1, o2);
        case M::cbmEllipsoid:
          return FastCheckSphereVsEllipsoid(o1, o2);
        case M::cbmCube:
        case M::cbmFaces:
          return FastCheckSphereVsCube(o1, o2);
      }
      break;
    case M::cbmEllipsoid:
      switch (mode2) {
        case M::cbmPoint:
          return FastCheckPointVsEllipsoid(o2, o1);
        case M::cbmSphere:
          return FastCheckSphereVsEllipsoid(o2, o1);
        case M::cbmEllipsoid:
          return FastCheckEllipsoidVsEllipsoid(o1, o2);
        case M::cbmCube:
        case M::cbmFaces:
          return FastCheckEllipsoidVsCube(o1, o2);
      }
      break;
    case M::cbmCube:
    case M::cbmFaces:
      switch (mode2) {
        case M::cbmPoint:
          return FastCheckPointVsCube(o2, o1);
        case M::cbmSphere:
          return FastCheckSphereVsCube(o2, o1);
        case M::cbmEllipsoid:
          return FastCheckEllipsoidVsCube(o2, o1);
        case M::cbmCube:
          return mode1 == M::cbmCube ? FastCheckCubeVsCube(o1, o2) : FastCheckCubeVsFace(o2, o1);
        case M::cbmFaces:
          return mode1 == M::cbmCube ? FastCheckCubeVsFace(o1, o2) : FastCheckFaceVsFace(o1, o2);
      }
      break;
  }
  return false;  // modes outside the enumeration never get here: the reader refuses them
}

}  // namespace ukh
