// Seeded pseudo-random numbers and value noise of our own: std distributions give different
// sequences on different standard libraries, and the assets must not change between machines.
#pragma once

#include <cmath>
#include <cstdint>

namespace ukh::assetgen {

// SplitMix64: tiny, fast and well distributed; plenty for textures and drum noise.
class TRandom {
 public:
  explicit TRandom(std::uint64_t seed) : FState(seed) {}

  std::uint64_t Next() {
    std::uint64_t z = (FState += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [0, 1) with 53 random bits.
  double Uniform() { return double(Next() >> 11) * (1.0 / 9007199254740992.0); }
  double Uniform(double lo, double hi) { return lo + (hi - lo) * Uniform(); }
  // Uniform integer in [0, n).
  int Below(int n) { return static_cast<int>(Uniform() * n); }

 private:
  std::uint64_t FState;
};

// Hash of a lattice point to [0, 1): the basis of the value noise below.
inline double LatticeValue(std::int64_t x, std::int64_t y, std::uint64_t seed) {
  std::uint64_t h = seed ^ (std::uint64_t(x) * 0x9E3779B97F4A7C15ull) ^
                    (std::uint64_t(y) * 0xC2B2AE3D27D4EB4Full);
  h = (h ^ (h >> 29)) * 0xBF58476D1CE4E5B9ull;
  h = (h ^ (h >> 32)) * 0x94D049BB133111EBull;
  h ^= h >> 29;
  return double(h >> 11) * (1.0 / 9007199254740992.0);
}

// Smoothly interpolated value noise in [0, 1). With period > 0 the lattice wraps, so the
// noise tiles every `period` units.
inline double ValueNoise(double x, double y, std::uint64_t seed, std::int64_t period = 0) {
  const double fx = std::floor(x), fy = std::floor(y);
  std::int64_t x0 = static_cast<std::int64_t>(fx), y0 = static_cast<std::int64_t>(fy);
  double tx = x - fx, ty = y - fy;
  tx = tx * tx * (3 - 2 * tx);
  ty = ty * ty * (3 - 2 * ty);
  std::int64_t x1 = x0 + 1, y1 = y0 + 1;
  if (period > 0) {
    auto wrap = [period](std::int64_t v) { return ((v % period) + period) % period; };
    x0 = wrap(x0), x1 = wrap(x1), y0 = wrap(y0), y1 = wrap(y1);
  }
  const double a = LatticeValue(x0, y0, seed), b = LatticeValue(x1, y0, seed);
  const double c = LatticeValue(x0, y1, seed), d = LatticeValue(x1, y1, seed);
  return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

// Sum of `octaves` noise layers, each twice the frequency and half the weight; in [0, 1).
inline double FractalNoise(double x, double y, std::uint64_t seed, int octaves,
                           std::int64_t period = 0) {
  double sum = 0, weight = 0.5, total = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += weight * ValueNoise(x, y, seed + std::uint64_t(i) * 7919, period);
    total += weight;
    x *= 2, y *= 2, weight *= 0.5;
    if (period > 0) period *= 2;
  }
  return sum / total;
}

}  // namespace ukh::assetgen
