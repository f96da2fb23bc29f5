// 4x4 matrices in the row-vector convention (v' = v x M, translation in row W), their
// construction, products, inversion and the projection and view matrices.
#pragma once

#include "engine/math/Angles.h"
#include "engine/math/Vector.h"

namespace ukh {

struct TMatrix4f {
  TVector4f X, Y, Z, W;
  TVector4f& operator[](int row) { return reinterpret_cast<TVector4f*>(this)[row]; }
  const TVector4f& operator[](int row) const {
    return reinterpret_cast<const TVector4f*>(this)[row];
  }
  const float* data() const { return &X.X; }
  float* data() { return &X.X; }
  friend bool operator==(const TMatrix4f&, const TMatrix4f&) = default;
};
static_assert(sizeof(TMatrix4f) == 64, "16 floats, row after row");

// The upper 3x3 of an affine transform, for TransformAffine.
struct TAffineMatrix {
  TVector3f X, Y, Z;
  TVector3f& operator[](int row) { return reinterpret_cast<TVector3f*>(this)[row]; }
  const TVector3f& operator[](int row) const {
    return reinterpret_cast<const TVector3f*>(this)[row];
  }
};

// Below this (a denormal float) a determinant or squared scale counts as singular.
inline constexpr float cMatrixEpsilon = 9.9999461e-41f;

inline constexpr TMatrix4f IdentityHmgMatrix{
    {1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};

// ---- transforms ------------------------------------------------------------------------

// v x M over all four components; no division by W.
inline TVector4f TransformVector(const TVector4f& v, const TMatrix4f& m) {
  TVector4f r;
  for (int c = 0; c < 4; ++c)
    r[c] = float(double(v.X) * m.X[c] + double(v.Y) * m.Y[c] + double(v.Z) * m.Z[c] +
                 double(v.W) * m.W[c]);
  return r;
}

// (v, 1) x M keeping X, Y, Z: translation applied, no division.
inline TVector3f TransformPoint(const TVector3f& v, const TMatrix4f& m) {
  TVector3f r;
  for (int c = 0; c < 3; ++c)
    r[c] = float(double(v.X) * m.X[c] + double(v.Y) * m.Y[c] + double(v.Z) * m.Z[c] + m.W[c]);
  return r;
}

inline TVector3f TransformAffine(const TVector3f& v, const TAffineMatrix& m) {
  TVector3f r;
  for (int c = 0; c < 3; ++c)
    r[c] = float(double(v.X) * m.X[c] + double(v.Y) * m.Y[c] + double(v.Z) * m.Z[c]);
  return r;
}

// ---- construction ----------------------------------------------------------------------

inline TMatrix4f ScalingMatrix(const TVector3f& s) {
  TMatrix4f m = IdentityHmgMatrix;
  m.X.X = s.X;
  m.Y.Y = s.Y;
  m.Z.Z = s.Z;
  return m;
}

inline TMatrix4f TranslationMatrix(const TVector3f& t) {
  TMatrix4f m = IdentityHmgMatrix;
  m.W = {t.X, t.Y, t.Z, 1};
  return m;
}

inline TMatrix4f ScaleTranslationMatrix(const TVector3f& s, const TVector3f& t) {
  TMatrix4f m = ScalingMatrix(s);
  m.W = {t.X, t.Y, t.Z, 1};
  return m;
}

// Turns v by theta clockwise when seen from the axis tip looking at the origin:
// axis (0, 1, 0), theta = +90 degrees takes (0, 0, 1) to (-1, 0, 0).
inline TMatrix4f AxisRotationMatrix(const TVector3f& axis, double theta) {
  float s, c;
  SineCosine(theta, s, c);
  const double t = 1.0 - c;
  const TVector3f a = Normalized(axis);
  const double x = a.X, y = a.Y, z = a.Z;
  TMatrix4f m;
  m.X = {float(t * x * x + c), float(t * x * y - z * s), float(t * z * x + y * s), 0};
  m.Y = {float(t * x * y + z * s), float(t * y * y + c), float(t * y * z - x * s), 0};
  m.Z = {float(t * z * x - y * s), float(t * y * z + x * s), float(t * z * z + c), 0};
  m.W = {0, 0, 0, 1};
  return m;
}

// ---- operations ------------------------------------------------------------------------

// A x B: applies A first, then B.
inline TMatrix4f MultiplyMatrices(const TMatrix4f& a, const TMatrix4f& b) {
  TMatrix4f r;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      r[i][j] = float(double(a[i].X) * b.X[j] + double(a[i].Y) * b.Y[j] + double(a[i].Z) * b.Z[j] +
                      double(a[i].W) * b.W[j]);
  return r;
}

inline void TransposeInPlace(TMatrix4f& m) {
  for (int i = 0; i < 4; ++i)
    for (int j = i + 1; j < 4; ++j) {
      const float t = m[i][j];
      m[i][j] = m[j][i];
      m[j][i] = t;
    }
}

namespace detail {
inline double Det3(double a1, double a2, double a3, double b1, double b2, double b3, double c1,
                   double c2, double c3) {
  return a1 * (b2 * c3 - b3 * c2) - b1 * (a2 * c3 - a3 * c2) + c1 * (a2 * b3 - a3 * b2);
}
inline double DeterminantExt(const TMatrix4f& m) {
  const double a1 = m.X.X, b1 = m.X.Y, c1 = m.X.Z, d1 = m.X.W;
  const double a2 = m.Y.X, b2 = m.Y.Y, c2 = m.Y.Z, d2 = m.Y.W;
  const double a3 = m.Z.X, b3 = m.Z.Y, c3 = m.Z.Z, d3 = m.Z.W;
  const double a4 = m.W.X, b4 = m.W.Y, c4 = m.W.Z, d4 = m.W.W;
  return a1 * Det3(b2, b3, b4, c2, c3, c4, d2, d3, d4) -
         b1 * Det3(a2, a3, a4, c2, c3, c4, d2, d3, d4) +
         c1 * Det3(a2, a3, a4, b2, b3, b4, d2, d3, d4) -
         d1 * Det3(a2, a3, a4, b2, b3, b4, c2, c3, c4);
}
}  // namespace detail

// Cofactor expansion along row X with 3x3 minors.
inline float MatrixDeterminant(const TMatrix4f& m) {
  return float(detail::DeterminantExt(m));
}

// The adjugate (transposed cofactor matrix), in place.
inline void AdjointMatrix(TMatrix4f& m) {
  using detail::Det3;
  const double a1 = m.X.X, b1 = m.X.Y, c1 = m.X.Z, d1 = m.X.W;
  const double a2 = m.Y.X, b2 = m.Y.Y, c2 = m.Y.Z, d2 = m.Y.W;
  const double a3 = m.Z.X, b3 = m.Z.Y, c3 = m.Z.Z, d3 = m.Z.W;
  const double a4 = m.W.X, b4 = m.W.Y, c4 = m.W.Z, d4 = m.W.W;
  m.X.X = float(Det3(b2, b3, b4, c2, c3, c4, d2, d3, d4));
  m.Y.X = float(-Det3(a2, a3, a4, c2, c3, c4, d2, d3, d4));
  m.Z.X = float(Det3(a2, a3, a4, b2, b3, b4, d2, d3, d4));
  m.W.X = float(-Det3(a2, a3, a4, b2, b3, b4, c2, c3, c4));
  m.X.Y = float(-Det3(b1, b3, b4, c1, c3, c4, d1, d3, d4));
  m.Y.Y = float(Det3(a1, a3, a4, c1, c3, c4, d1, d3, d4));
  m.Z.Y = float(-Det3(a1, a3, a4, b1, b3, b4, d1, d3, d4));
  m.W.Y = float(Det3(a1, a3, a4, b1, b3, b4, c1, c3, c4));
  m.X.Z = float(Det3(b1, b2, b4, c1, c2, c4, d1, d2, d4));
  m.Y.Z = float(-Det3(a1, a2, a4, c1, c2, c4, d1, d2, d4));
  m.Z.Z = float(Det3(a1, a2, a4, b1, b2, b4, d1, d2, d4));
  m.W.Z = float(-Det3(a1, a2, a4, b1, b2, b4, c1, c2, c4));
  m.X.W = float(-Det3(b1, b2, b3, c1, c2, c3, d1, d2, d3));
  m.Y.W = float(Det3(a1, a2, a3, c1, c2, c3, d1, d2, d3));
  m.Z.W = float(-Det3(a1, a2, a3, b1, b2, b3, d1, d2, d3));
  m.W.W = float(Det3(a1, a2, a3, b1, b2, b3, c1, c2, c3));
}

inline void ScaleMatrixBy(TMatrix4f& m, float f) {
  for (int i = 0; i < 4; ++i) m[i] = ScaleVector(m[i], f);
}

// General inverse, in place; a singular (or NaN) matrix becomes the identity.
inline void InvertMatrix(TMatrix4f& m) {
  const float d = MatrixDeterminant(m);
  if (!(std::fabs(d) >= cMatrixEpsilon)) {
    m = IdentityHmgMatrix;
    return;
  }
  AdjointMatrix(m);
  ScaleMatrixBy(m, float(1.0 / d));
}

// Inverse of rotation, uniform scale and translation.
inline TMatrix4f InvertRigidMatrix(const TMatrix4f& m) {
  const float s = VectorNorm(m.X);
  if (std::fabs(s) < cMatrixEpsilon) return IdentityHmgMatrix;
  const double inv = 1.0 / s;
  TMatrix4f r;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) r[i][j] = float(m[j][i] * inv);
  r.X.W = r.Y.W = r.Z.W = 0;
  for (int i = 0; i < 3; ++i)
    r.W[i] = float(-(double(m.W.X) * r.X[i] + double(m.W.Y) * r.Y[i] + double(m.W.Z) * r.Z[i]));
  r.W.W = 1;
  return r;
}

inline void NormalizeMatrix(TMatrix4f& m) {
  m.X.W = 0;
  NormalizeVector(m.X);
  m.Y.W = 0;
  NormalizeVector(m.Y);
  m.Z = CrossProduct(m.X, m.Y);
  m.X = CrossProduct(m.Y, m.Z);
  m.W = {0, 0, 0, 1};
}

// ---- projection and view ---------------------------------------------------------------

inline TMatrix4f FrustumMatrix(double left, double right, double bottom, double top, double zNear,
                               double zFar) {
  TMatrix4f m{};
  m.X = {float(2 * zNear / (right - left)), 0, 0, 0};
  m.Y = {0, float(2 * zNear / (top - bottom)), 0, 0};
  m.Z = {float((right + left) / (right - left)), float((top + bottom) / (top - bottom)),
         float(-(zFar + zNear) / (zFar - zNear)), -1};
  m.W = {0, 0, float(-2 * zFar * zNear / (zFar - zNear)), 0};
  return m;
}

inline TMatrix4f OrthoMatrix(double left, double right, double bottom, double top, double zNear,
                             double zFar) {
  TMatrix4f m{};
  m.X = {float(2 / (right - left)), 0, 0, 0};
  m.Y = {0, float(2 / (top - bottom)), 0, 0};
  m.Z = {0, 0, float(-2 / (zFar - zNear)), 0};
  m.W = {float((right + left) / (left - right)), float((top + bottom) / (bottom - top)),
         float((zFar + zNear) / (zNear - zFar)), 1};
  return m;
}

// World to eye space: the camera looks along -Z with the re-derived up as +Y.
inline TMatrix4f LookAtMatrix(const TVector4f& eye, const TVector4f& center, const TVector4f& up) {
  TVector4f f = SubtractVector(center, eye);
  NormalizeVector(f);
  TVector4f s = CrossProduct(f, up);
  NormalizeVector(s);
  const TVector4f u = CrossProduct(s, f);
  TMatrix4f m;
  m.X = s;
  m.Y = u;
  m.Z = NegateVector(f);
  m.W = {0, 0, 0, 1};
  TransposeInPlace(m);
  m.W = TransformVector({-eye.X, -eye.Y, -eye.Z, 1}, m);
  return m;
}

}  // namespace ukh
