// The resizer against an independent double-precision evaluation of the resize rule, the
// texture sizes pictures are fitted to, and the mipmap chain.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "engine/gl/GLImage.h"
#include "engine/gl/GLImageResample.h"
#include "engine/gl/GLMipmap.h"

namespace ukh::test {
namespace {

using TBytes = std::vector<uint8_t>;

// ---- the reference: the rule written out once more, in double precision ----

double RefLanczos3(double x) {
  x = std::fabs(x);
  if (x == 0) return 1;
  if (x >= 3) return 0;
  return 3 * std::sin(std::numbers::pi * x) * std::sin(std::numbers::pi * x / 3) /
         (std::numbers::pi * x * std::numbers::pi * x);
}
double RefTriangle(double x) {
  return std::fabs(x) < 1 ? 1 - std::fabs(x) : 0;
}

struct TRefValue {
  double Exact;  // before clamping and truncation
  uint8_t Byte;
};

// A sum that is a whole number but for the near-zero weights sin(pi n) leaves in double
// precision (a same-size axis) is that whole number: single-precision sums absorb them.
constexpr double cWhole = 1e-9;

// One destination value along one axis of `n` source values read through `at`.
template <class At>
TRefValue RefAxis(At at, int n, int dst, int j, double (*kernel)(double), double window) {
  if (n == 1) return {at(0), uint8_t(at(0))};  // one source pixel: every pixel is that one
  const double s = (n == 1 || dst == 1) ? double(dst) / n : double(dst - 1) / (n - 1);
  const double c = j / s;
  const double half = s >= 1 ? window : window / s;
  double sum = 0;
  for (long k = long(std::floor(c - half)); k <= long(std::ceil(c + half)); ++k) {
    const double w = s >= 1 ? kernel(c - double(k)) : s * kernel(s * (c - double(k)));
    if (w == 0) continue;
    long m = k < 0 ? -k : k;
    if (m > n - 1) m = 2L * n - 1 - m;
    m = std::clamp(m, 0L, long(n - 1));
    sum += w * at(int(m));
  }
  double clamped = std::clamp(sum, 0.0, 255.0);
  if (std::fabs(clamped - std::round(clamped)) < cWhole) clamped = std::round(clamped);
  return {sum, uint8_t(std::trunc(clamped))};
}

// Elsewhere a byte computed in single precision may differ from the double reference (by
// one) only where the exact value lies this close to a whole number: truncation jumps there.
constexpr double cNearWhole = 1e-3;

bool NearWhole(double v) {
  const double d = std::fabs(v - std::round(v));
  return d >= cWhole && d < cNearWhole;
}

// Destination pixel (x, y), channel c: horizontal pass to bytes, then vertical.
struct TRefPixel {
  uint8_t Byte;
  bool Ambiguous;
};
TRefPixel RefPixel(const TBytes& src, int w, int h, int ch, int dw, int dh, int x, int y, int c,
                   double (*kernel)(double), double window) {
  bool ambiguous = false;
  auto column = [&](int row) {
    TRefValue v = RefAxis([&](int i) { return double(src[(size_t(row) * w + i) * ch + c]); }, w, dw,
                          x, kernel, window);
    ambiguous |= NearWhole(v.Exact);
    return double(v.Byte);
  };
  TRefValue v = RefAxis(column, h, dh, y, kernel, window);
  ambiguous |= NearWhole(v.Exact);
  return {v.Byte, ambiguous};
}

// Deterministic busy pixels: neighbours differ a lot, so mistakes in taps show.
TBytes Pattern(int w, int h, int ch, uint32_t seed) {
  TBytes b(size_t(w) * h * ch);
  uint32_t x = seed;
  for (auto& v : b) {
    x ^= x << 13, x ^= x >> 17, x ^= x << 5;
    v = uint8_t(x >> 24);
  }
  return b;
}

TEST(Resample, KernelsAsWritten) {
  EXPECT_EQ(Lanczos3Kernel(0), 1.0);
  EXPECT_EQ(Lanczos3Kernel(3), 0.0);
  EXPECT_EQ(Lanczos3Kernel(-3.5), 0.0);
  EXPECT_DOUBLE_EQ(Lanczos3Kernel(0.5), RefLanczos3(0.5));
  EXPECT_DOUBLE_EQ(Lanczos3Kernel(-1.7), RefLanczos3(1.7));
  EXPECT_EQ(TriangleKernel(0.25), 0.75);
  EXPECT_EQ(TriangleKernel(-1), 0.0);
  EXPECT_EQ(ResampleScale(3, 4), 1.5);
  EXPECT_EQ(ResampleScale(1, 4), 4.0);  // (4 - 1) / 0 has no value
  EXPECT_EQ(ResampleScale(2, 1), 0.5);
}

TEST(Resample, TextureSizesPicturesAreFittedTo) {
  struct {
    int W, H;
    bool Npot;
    int Max;
    int ExpectW, ExpectH;
  } cases[] = {
      {1, 1, false, 16384, 1, 1},
      {3, 2, false, 16384, 4, 2},
      {756, 512, false, 16384, 1024, 512},
      {756, 512, true, 16384, 756, 512},
      {101, 101, false, 16384, 128, 128},
      {5000, 300, false, 4096, 4096, 512},
      {5000, 300, true, 4096, 4096, 300},
      // 16384 x 8192 would be 2^27 texels: the wider side gives way.
      {8193, 8192, false, 16384, 8192, 8192},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.W << " x " << c.H << " npot " << c.Npot);
    const TGLImage::TUploadSize s = TGLImage::TargetSize(c.W, c.H, 0, c.Npot, c.Max);
    EXPECT_EQ(s.Width, c.ExpectW);
    EXPECT_EQ(s.Height, c.ExpectH);
    EXPECT_EQ(s.Depth, 0);
  }
}

TEST(Resample, Lanczos3AgainstTheDoubleReference) {
  struct {
    int W, H, Ch, DW, DH;
    std::vector<std::pair<int, int>> Pixels;  // destination pixels checked; empty: all
  } cases[] = {
      {1, 1, 4, 1, 1, {}},
      {3, 2, 4, 4, 2, {}},
      {3, 2, 3, 4, 4, {}},
      {1, 3, 1, 1, 4, {}},  // a one-pixel-wide source: the axis of size 1
      {5, 7, 4, 2, 3, {}},  // shrinking: the wide window of s < 1
      {756,
       512,
       3,
       1024,
       512,
       {{0, 0}, {1023, 511}, {1, 1}, {512, 256}, {1022, 0}, {3, 510}, {777, 123}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.W << " x " << c.H << " -> " << c.DW << " x " << c.DH);
    const TBytes src = Pattern(c.W, c.H, c.Ch, uint32_t(c.W * 131 + c.H));
    TBytes dst(size_t(c.DW) * c.DH * c.Ch, 0xCD);
    ResampleImage(src.data(), c.W, c.H, c.Ch, dst.data(), c.DW, c.DH, cLanczos3Filter);
    std::vector<std::pair<int, int>> pixels = c.Pixels;
    if (pixels.empty())
      for (int y = 0; y < c.DH; ++y)
        for (int x = 0; x < c.DW; ++x) pixels.push_back({x, y});
    int checked = 0;
    for (auto [x, y] : pixels)
      for (int ch = 0; ch < c.Ch; ++ch) {
        const TRefPixel r = RefPixel(src, c.W, c.H, c.Ch, c.DW, c.DH, x, y, ch, RefLanczos3, 5.0);
        const int got = dst[(size_t(y) * c.DW + x) * c.Ch + ch];
        if (r.Ambiguous) {
          EXPECT_LE(std::abs(got - int(r.Byte)), 1) << "pixel " << x << ", " << y;
        } else {
          EXPECT_EQ(got, int(r.Byte)) << "pixel " << x << ", " << y << " channel " << ch;
          ++checked;
        }
      }
    EXPECT_GT(checked, 0);
  }
}

TEST(Resample, SameSizeIsIdentityAndOnePixelIsReplicated) {
  const TBytes src = Pattern(6, 5, 4, 7);
  TBytes dst(src.size());
  ResampleImage(src.data(), 6, 5, 4, dst.data(), 6, 5, cLanczos3Filter);
  EXPECT_EQ(dst, src);
  const TBytes one{10, 200, 0, 255};
  TBytes wide(4 * 4 * 1);
  ResampleImage(one.data(), 1, 1, 4, wide.data(), 1, 4, cLanczos3Filter);
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(TBytes(wide.begin() + i * 4, wide.begin() + i * 4 + 4), one) << "row " << i;
}

TEST(Resample, NoWeightRenormalisationAndClampingAtTheEdges) {
  // A hard edge rings under Lanczos-3: overshoot clamps to 255 and undershoot to 0.
  TBytes src{0, 0, 255, 255};
  TBytes dst(8);
  ResampleImage(src.data(), 4, 1, 1, dst.data(), 8, 1, cLanczos3Filter);
  for (int x = 0; x < 8; ++x) {
    const TRefPixel r = RefPixel(src, 4, 1, 1, 8, 1, x, 0, 0, RefLanczos3, 5.0);
    EXPECT_EQ(dst[size_t(x)], r.Byte) << x;
  }
  EXPECT_EQ(dst[0], 0);
  EXPECT_EQ(dst[7], 255);
}

TEST(Mipmap, LevelSizesAndTriangleFilteredLevels) {
  EXPECT_EQ(MipmapLevelCount(1, 1), 1);
  EXPECT_EQ(MipmapLevelCount(1024, 512), 11);
  EXPECT_EQ(MipmapLevelCount(756, 512), 10);
  EXPECT_EQ(MipmapLevelCount(1 << 20, 1), cMaxMipmapLevels);
  EXPECT_EQ(MipmapLevelSize(756, 3), 94);
  EXPECT_EQ(MipmapLevelSize(5, 4), 1);

  // 4 x 2 -> 2 x 1 -> 1 x 1, each level from the one before.
  const TBytes level0 = Pattern(4, 2, 2, 99);
  TBytes data = level0;
  BuildMipmaps(data, 4, 2, 2, 3);
  ASSERT_EQ(data.size(), size_t(4 * 2 + 2 * 1 + 1) * 2);
  const TBytes level1(data.begin() + 16, data.begin() + 20);
  for (int x = 0; x < 2; ++x)
    for (int c = 0; c < 2; ++c) {
      const TRefPixel r = RefPixel(level0, 4, 2, 2, 2, 1, x, 0, c, RefTriangle, 1.0);
      EXPECT_EQ(level1[size_t(x * 2 + c)], r.Byte) << x << " " << c;
    }
  // 2 -> 1 is the plain average, truncated.
  for (int c = 0; c < 2; ++c)
    EXPECT_EQ(data[20 + size_t(c)], (level1[size_t(c)] + level1[size_t(2 + c)]) / 2);
}

}  // namespace
}  // namespace ukh::test
