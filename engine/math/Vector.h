// Vector value types of the engine and the component-wise operations on them.
//
// Conventions: W = 1 marks a point and W = 0 a direction. Arithmetic runs in double and is
// rounded to float when stored; lengths, dot products and norms are rounded to float as well.
#pragma once

#include <cmath>
#include <cstdint>

namespace ukh {

struct TVector2f {
  float X = 0, Y = 0;
  float& operator[](int i) { return reinterpret_cast<float*>(this)[i]; }
  float operator[](int i) const { return reinterpret_cast<const float*>(this)[i]; }
  friend bool operator==(const TVector2f&, const TVector2f&) = default;
};

struct TVector3f {
  float X = 0, Y = 0, Z = 0;
  float& operator[](int i) { return reinterpret_cast<float*>(this)[i]; }
  float operator[](int i) const { return reinterpret_cast<const float*>(this)[i]; }
  friend bool operator==(const TVector3f&, const TVector3f&) = default;
};

struct TVector4f {
  float X = 0, Y = 0, Z = 0, W = 0;
  float& operator[](int i) { return reinterpret_cast<float*>(this)[i]; }
  float operator[](int i) const { return reinterpret_cast<const float*>(this)[i]; }
  friend bool operator==(const TVector4f&, const TVector4f&) = default;
};

struct TVector4i {
  int32_t X = 0, Y = 0, Z = 0, W = 0;
  int32_t& operator[](int i) { return reinterpret_cast<int32_t*>(this)[i]; }
  int32_t operator[](int i) const { return reinterpret_cast<const int32_t*>(this)[i]; }
  friend bool operator==(const TVector4i&, const TVector4i&) = default;
};

struct TTexPoint {
  float S = 0, T = 0;
  friend bool operator==(const TTexPoint&, const TTexPoint&) = default;
};

static_assert(sizeof(TVector3f) == 12 && sizeof(TVector4f) == 16, "vectors are packed floats");

// The fixed vectors.
inline constexpr TVector3f XVector{1, 0, 0};
inline constexpr TVector3f YVector{0, 1, 0};
inline constexpr TVector3f ZVector{0, 0, 1};
inline constexpr TVector3f NullVector{0, 0, 0};
inline constexpr TVector4f XHmgVector{1, 0, 0, 0};
inline constexpr TVector4f YHmgVector{0, 1, 0, 0};
inline constexpr TVector4f ZHmgVector{0, 0, 1, 0};
inline constexpr TVector4f NullHmgPoint{0, 0, 0, 1};
inline constexpr TVector4f NullHmgVector{0, 0, 0, 0};
inline constexpr TVector4f XYZHmgVector{1, 1, 1, 0};

inline TVector3f AffineVector(const TVector4f& v) {
  return {v.X, v.Y, v.Z};
}
inline TVector4f VectorMake(const TVector3f& v, float w) {
  return {v.X, v.Y, v.Z, w};
}
inline TVector4f PointMake(const TVector3f& v) {
  return {v.X, v.Y, v.Z, 1};
}

// ---- component-wise arithmetic ----------------------------------------------------------

inline TVector3f AddVector(const TVector3f& a, const TVector3f& b) {
  return {a.X + b.X, a.Y + b.Y, a.Z + b.Z};
}
inline TVector4f AddVector(const TVector4f& a, const TVector4f& b) {
  return {a.X + b.X, a.Y + b.Y, a.Z + b.Z, a.W + b.W};
}
inline void AddVectorInPlace(TVector3f& a, const TVector3f& b) {
  a = AddVector(a, b);
}
inline void AddVectorInPlace(TVector4f& a, const TVector4f& b) {
  a = AddVector(a, b);
}

// 3 - 3 -> 3
inline TVector3f SubtractVector(const TVector3f& a, const TVector3f& b) {
  return {a.X - b.X, a.Y - b.Y, a.Z - b.Z};
}
// 4 - 4 -> 4, all four components
inline TVector4f SubtractVector(const TVector4f& a, const TVector4f& b) {
  return {a.X - b.X, a.Y - b.Y, a.Z - b.Z, a.W - b.W};
}
// 4 - 3 -> 4, keeping a.W
inline TVector4f SubtractVector(const TVector4f& a, const TVector3f& b) {
  return {a.X - b.X, a.Y - b.Y, a.Z - b.Z, a.W};
}
// 3 - 3 -> 4 with W := 0
inline TVector4f SubtractVectorHmg(const TVector3f& a, const TVector3f& b) {
  return {a.X - b.X, a.Y - b.Y, a.Z - b.Z, 0};
}
// 4 - 4 -> 3
inline TVector3f SubtractVectorAffine(const TVector4f& a, const TVector4f& b) {
  return {a.X - b.X, a.Y - b.Y, a.Z - b.Z};
}

inline TVector3f ScaleVector(const TVector3f& v, float f) {
  return {v.X * f, v.Y * f, v.Z * f};
}
inline TVector4f ScaleVector(const TVector4f& v, float f) {
  return {v.X * f, v.Y * f, v.Z * f, v.W * f};
}
inline void ScaleVectorInPlace(TVector3f& v, float f) {
  v = ScaleVector(v, f);
}
inline void ScaleVectorInPlace(TVector4f& v, float f) {
  v = ScaleVector(v, f);
}

inline TVector3f NegateVector(const TVector3f& v) {
  return {-v.X, -v.Y, -v.Z};
}
inline TVector4f NegateVector(const TVector4f& v) {
  return {-v.X, -v.Y, -v.Z, -v.W};
}

// v := v + f*w
inline void CombineVector(TVector3f& v, const TVector3f& w, float f) {
  v.X = float(v.X + double(f) * w.X);
  v.Y = float(v.Y + double(f) * w.Y);
  v.Z = float(v.Z + double(f) * w.Z);
}
inline void CombineVector(TVector4f& v, const TVector4f& w, float f) {
  v.X = float(v.X + double(f) * w.X);
  v.Y = float(v.Y + double(f) * w.Y);
  v.Z = float(v.Z + double(f) * w.Z);
  v.W = float(v.W + double(f) * w.W);
}
// 4-component v with a 3-component w: only X, Y, Z change.
inline void CombineVector(TVector4f& v, const TVector3f& w, float f) {
  v.X = float(v.X + double(f) * w.X);
  v.Y = float(v.Y + double(f) * w.Y);
  v.Z = float(v.Z + double(f) * w.Z);
}

inline void MultiplyVectors(TVector4f& a, const TVector4f& b) {
  a.X *= b.X;
  a.Y *= b.Y;
  a.Z *= b.Z;
  a.W *= b.W;
}

inline TVector3f LerpVector(const TVector3f& a, const TVector3f& b, float t) {
  return {float(a.X + (double(b.X) - a.X) * t), float(a.Y + (double(b.Y) - a.Y) * t),
          float(a.Z + (double(b.Z) - a.Z) * t)};
}
inline TVector4f LerpVector(const TVector4f& a, const TVector4f& b, float t) {
  return {float(a.X + (double(b.X) - a.X) * t), float(a.Y + (double(b.Y) - a.Y) * t),
          float(a.Z + (double(b.Z) - a.Z) * t), float(a.W + (double(b.W) - a.W) * t)};
}

// ---- products, lengths and distances ----------------------------------------------------

inline float DotProduct(const TVector3f& a, const TVector3f& b) {
  return float(double(a.X) * b.X + double(a.Y) * b.Y + double(a.Z) * b.Z);
}
// All four components.
inline float DotProduct(const TVector4f& a, const TVector4f& b) {
  return float(double(a.X) * b.X + double(a.Y) * b.Y + double(a.Z) * b.Z + double(a.W) * b.W);
}

inline TVector3f CrossProduct(const TVector3f& a, const TVector3f& b) {
  return {float(double(a.Y) * b.Z - double(a.Z) * b.Y),
          float(double(a.Z) * b.X - double(a.X) * b.Z),
          float(double(a.X) * b.Y - double(a.Y) * b.X)};
}
// W := 0.
inline TVector4f CrossProduct(const TVector4f& a, const TVector4f& b) {
  return {float(double(a.Y) * b.Z - double(a.Z) * b.Y),
          float(double(a.Z) * b.X - double(a.X) * b.Z),
          float(double(a.X) * b.Y - double(a.Y) * b.X), 0};
}

inline double NormExt(float x, float y, float z) {
  return double(x) * x + double(y) * y + double(z) * z;
}
inline float VectorNorm(const TVector3f& v) {
  return float(NormExt(v.X, v.Y, v.Z));
}
inline float VectorNorm(const TVector4f& v) {
  return float(NormExt(v.X, v.Y, v.Z));
}
inline float VectorLength(const TVector3f& v) {
  return float(std::sqrt(NormExt(v.X, v.Y, v.Z)));
}
inline float VectorLength(const TVector4f& v) {
  return float(std::sqrt(NormExt(v.X, v.Y, v.Z)));
}

inline float VectorDistance2(const TVector3f& a, const TVector3f& b) {
  return float(NormExt(b.X - a.X, b.Y - a.Y, b.Z - a.Z));
}
inline float VectorDistance2(const TVector4f& a, const TVector4f& b) {
  return float(NormExt(b.X - a.X, b.Y - a.Y, b.Z - a.Z));
}
inline float VectorDistance(const TVector3f& a, const TVector3f& b) {
  return float(std::sqrt(NormExt(b.X - a.X, b.Y - a.Y, b.Z - a.Z)));
}
inline float VectorDistance(const TVector4f& a, const TVector4f& b) {
  return float(std::sqrt(NormExt(b.X - a.X, b.Y - a.Y, b.Z - a.Z)));
}

// Undefined (NaN or infinite) for zero vectors.
inline float VectorAngleCosine(const TVector3f& a, const TVector3f& b) {
  return float(double(DotProduct(a, b)) / (double(VectorLength(a)) * VectorLength(b)));
}

inline float MaxXYZ(float x, float y, float z) {
  float r = x;
  if (y > r) r = y;
  if (z > r) r = z;
  return r;
}
inline float MaxXYZ(const TVector3f& v) {
  return MaxXYZ(v.X, v.Y, v.Z);
}
inline float MaxXYZ(const TVector4f& v) {
  return MaxXYZ(v.X, v.Y, v.Z);
}
inline float MaxAbsXYZ(const TVector3f& v) {
  return MaxXYZ(std::fabs(v.X), std::fabs(v.Y), std::fabs(v.Z));
}
inline float MaxAbsXYZ(const TVector4f& v) {
  return MaxXYZ(std::fabs(v.X), std::fabs(v.Y), std::fabs(v.Z));
}

// ---- normalisation ----------------------------------------------------------------------

// A zero vector stays zero; the 4-component form sets W := 0 in every case.
inline void NormalizeVector(TVector3f& v) {
  const float norm = VectorNorm(v);
  if (norm > 0) {
    const float f = float(1.0 / std::sqrt(double(norm)));
    v = ScaleVector(v, f);
  }
}
inline void NormalizeVector(TVector4f& v) {
  const float norm = VectorNorm(v);
  if (norm > 0) {
    const float f = float(1.0 / std::sqrt(double(norm)));
    v.X *= f;
    v.Y *= f;
    v.Z *= f;
  }
  v.W = 0;
}
// Unlike NormalizeVector, only an exactly zero norm is left alone (a NaN norm scales).
inline TVector3f Normalized(const TVector3f& v) {
  const float norm = VectorNorm(v);
  if (norm == 0) return v;
  return ScaleVector(v, float(1.0 / std::sqrt(double(norm))));
}
inline TVector4f Normalized(const TVector4f& v) {
  const float norm = VectorNorm(v);
  TVector4f r = v;
  if (norm != 0) {
    const float f = float(1.0 / std::sqrt(double(norm)));
    r.X *= f;
    r.Y *= f;
    r.Z *= f;
  }
  r.W = 0;
  return r;
}

}  // namespace ukh
