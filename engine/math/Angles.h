// Scalar helpers: angle conversion and wrapping, sine-cosine, min/max and range tests.
#pragma once

#include <cmath>

namespace ukh {

inline constexpr double cPI = 3.141592653589793238462643383279502884;
// The float32 constants the engine's angle arithmetic is defined with.
inline constexpr float cPIdiv180 = 0.01745329238f;  // nearest float to pi/180
inline constexpr float cInv360 = 0.00277777785f;    // nearest float to 1/360
inline constexpr float cInv2PI = 0.159154937f;      // nearest float to 1/(2 pi)
inline constexpr float c2PI = 6.28318548f;          // nearest float to 2 pi
inline constexpr double c180divPI = 57.29577951308232;

inline float DegToRad(float degrees) {
  return float(double(degrees) * cPIdiv180);
}
inline double DegToRadExt(double degrees) {
  return degrees * (cPI / 180.0);
}
inline double RadToDeg(double radians) {
  return radians * c180divPI;
}

// Wraps into [-180, 180]: r := x - Int(x / 360) * 360, then one correction step.
inline float WrapDegrees(double x) {
  double r = x - std::trunc(x * double(cInv360)) * 360.0;
  if (r > 180)
    r -= 360;
  else if (r < -180)
    r += 360;
  return float(r);
}

inline float WrapRadians(double x) {
  double r = x - std::trunc(x * double(cInv2PI)) * double(c2PI);
  if (r > cPI)
    r -= double(c2PI);
  else if (r < -cPI)
    r += double(c2PI);
  return float(r);
}

inline void SineCosine(double theta, float& s, float& c) {
  s = float(std::sin(theta));
  c = float(std::cos(theta));
}

// On ties both return a.
inline float MinFloat(float a, float b) {
  return b < a ? b : a;
}
inline float MaxFloat(float a, float b) {
  return b > a ? b : a;
}

// Both bounds included, whichever of a and b is the larger.
inline bool IsBetween(float x, float a, float b) {
  return a <= b ? (x >= a && x <= b) : (x >= b && x <= a);
}

}  // namespace ukh
