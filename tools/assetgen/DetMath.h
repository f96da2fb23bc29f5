// Elementary functions built from +, -, *, / and sqrt only, so that the generated assets come
// out bit for bit the same whatever C library or CPU computes them (libm results may differ
// in the last bit between versions, and one bit is enough to change a quantised sample).
#pragma once

#include <cmath>
#include <cstdint>

namespace ukh::assetgen {

inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kTwoPi = 6.28318530717958647692;

// Nearest integer as double, halves away from zero; exact for |x| < 2^52.
inline double DetRound(double x) {
  return x < 0 ? -std::floor(-x + 0.5) : std::floor(x + 0.5);
}

// sin on [-pi/2, pi/2] by its Taylor series (error below 1e-15 there).
inline double SinKernel(double x) {
  const double x2 = x * x;
  double term = x, sum = x;
  for (int n = 1; n <= 11; ++n) {
    term *= -x2 / double((2 * n) * (2 * n + 1));
    sum += term;
  }
  return sum;
}

inline double DetSin(double x) {
  // Cody-Waite reduction: 2*pi in three parts of at most 32 significant bits, so k times the
  // first two parts is exact for |k| < 2^21 (|x| up to about 1.3e7).
  constexpr double kTwoPi1 = 6.2831853069365025;
  constexpr double kTwoPi2 = 2.4308402025215864e-10;
  constexpr double kTwoPi3 = 8.089064995183803e-21;
  const double k = DetRound(x / kTwoPi);
  double r = ((x - k * kTwoPi1) - k * kTwoPi2) - k * kTwoPi3;  // now in about [-pi, pi]
  if (r > kPi / 2) r = kPi - r;
  if (r < -kPi / 2) r = -kPi - r;
  return SinKernel(r);
}

inline double DetCos(double x) {
  return DetSin(x + kPi / 2);
}

// exp by x = k*ln2 + r, |r| <= ln2/2, Taylor series for e^r and an exact scaling by 2^k.
inline double DetExp(double x) {
  constexpr double kLn2 = 0.693147180559945309417;
  if (x < -700) return 0.0;
  if (x > 700) x = 700;
  const double k = DetRound(x / kLn2);
  const double r = x - k * kLn2;
  double term = 1.0, sum = 1.0;
  for (int n = 1; n <= 18; ++n) {
    term *= r / n;
    sum += term;
  }
  return std::ldexp(sum, static_cast<int>(k));
}

// atan: two half-angle reductions bring |x| below tan(pi/16), where the series converges fast.
inline double DetAtan(double x) {
  if (x < 0) return -DetAtan(-x);
  bool inverted = false;
  if (x > 1) {
    x = 1 / x;
    inverted = true;
  }
  x = x / (1 + std::sqrt(1 + x * x));
  x = x / (1 + std::sqrt(1 + x * x));
  const double x2 = x * x;
  double term = x, sum = x;
  for (int n = 1; n <= 14; ++n) {
    term *= -x2;
    sum += term / (2 * n + 1);
  }
  sum *= 4;
  return inverted ? kPi / 2 - sum : sum;
}

inline double DetAtan2(double y, double x) {
  if (x > 0) return DetAtan(y / x);
  if (x < 0) return y >= 0 ? DetAtan(y / x) + kPi : DetAtan(y / x) - kPi;
  if (y > 0) return kPi / 2;
  if (y < 0) return -kPi / 2;
  return 0.0;
}

// 2^x for the equal-tempered scale.
inline double DetExp2(double x) {
  return DetExp(x * 0.693147180559945309417);
}

inline double Clamp01(double x) {
  return x < 0 ? 0 : (x > 1 ? 1 : x);
}
inline double Lerp(double a, double b, double t) {
  return a + (b - a) * t;
}
inline double SmoothStep(double e0, double e1, double x) {
  const double t = Clamp01((x - e0) / (e1 - e0));
  return t * t * (3 - 2 * t);
}

}  // namespace ukh::assetgen
