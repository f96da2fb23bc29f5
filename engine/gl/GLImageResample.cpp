// The resizer: the taps of each axis are worked out once (weights in double precision,
// kept as singles), then every row and every column reuses them.
#include "engine/gl/GLImageResample.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/base/Exception.h"

namespace ukh {

double Lanczos3Kernel(double x) {
  x = std::fabs(x);
  if (x == 0) return 1;
  if (x >= 3) return 0;
  const double px = std::numbers::pi * x;
  return 3 * std::sin(px) * std::sin(px / 3) / (px * px);
}

double TriangleKernel(double x) {
  x = std::fabs(x);
  return x < 1 ? 1 - x : 0;
}

double ResampleScale(int32_t srcSize, int32_t dstSize) {
  if (srcSize == 1 || dstSize == 1) return double(dstSize) / double(srcSize);
  return double(dstSize - 1) / double(srcSize - 1);
}

namespace {

// Before the first pixel mirrored as -k, past the last as 2n - 1 - k; what a narrow source
// still leaves outside is clamped.
int32_t Mirror(int64_t k, int32_t n) {
  if (k < 0) k = -k;
  if (k > n - 1) k = 2 * int64_t(n) - 1 - k;
  return int32_t(std::clamp<int64_t>(k, 0, n - 1));
}

uint8_t ToByte(float v) {
  if (!(v > 0)) return 0;  // also NaN
  if (v >= 255) return 255;
  return uint8_t(v);
}

// The channel count is fixed at compile time so that the per-tap work unrolls.
template <size_t Ch>
void HorizontalPass(const uint8_t* src, int32_t srcWidth, int32_t srcHeight, const TResampleTaps& h,
                    uint8_t* mid, int32_t dstWidth) {
  for (int32_t y = 0; y < srcHeight; ++y) {
    const uint8_t* row = src + size_t(y) * size_t(srcWidth) * Ch;
    uint8_t* out = mid + size_t(y) * size_t(dstWidth) * Ch;
    for (int32_t x = 0; x < dstWidth; ++x, out += Ch) {
      float acc[Ch] = {};
      for (uint32_t t = h.First[size_t(x)]; t < h.First[size_t(x) + 1]; ++t) {
        const uint8_t* p = row + size_t(h.Index[t]) * Ch;
        const float w = h.Weight[t];
        for (size_t c = 0; c < Ch; ++c) acc[c] += w * float(p[c]);
      }
      for (size_t c = 0; c < Ch; ++c) out[c] = ToByte(acc[c]);
    }
  }
}

}  // namespace

TResampleTaps ResampleTaps(int32_t srcSize, int32_t dstSize, const TImageFilter& filter) {
  Assert(srcSize >= 1 && dstSize >= 1);
  const double s = ResampleScale(srcSize, dstSize);
  TResampleTaps taps;
  taps.First.reserve(size_t(dstSize) + 1);
  for (int32_t j = 0; j < dstSize; ++j) {
    taps.First.push_back(uint32_t(taps.Index.size()));
    if (srcSize == 1) {
      // Every destination pixel is the one source pixel (the scale rule has no value here).
      taps.Index.push_back(0);
      taps.Weight.push_back(1.0f);
      continue;
    }
    const double center = j / s;
    const double window = s >= 1 ? filter.Window : filter.Window / s;
    const int64_t left = int64_t(std::floor(center - window));
    const int64_t right = int64_t(std::ceil(center + window));
    for (int64_t k = left; k <= right; ++k) {
      const double x = center - double(k);
      const double w = s >= 1 ? filter.Kernel(x) : s * filter.Kernel(s * x);
      if (w == 0) continue;
      taps.Index.push_back(Mirror(k, srcSize));
      taps.Weight.push_back(float(w));
    }
  }
  taps.First.push_back(uint32_t(taps.Index.size()));
  return taps;
}

void ResampleImage(const uint8_t* src, int32_t srcWidth, int32_t srcHeight, int channels,
                   uint8_t* dst, int32_t dstWidth, int32_t dstHeight, const TImageFilter& filter) {
  Assert(channels >= 1 && channels <= 4);
  const size_t ch = size_t(channels);
  const TResampleTaps h = ResampleTaps(srcWidth, dstWidth, filter);
  const TResampleTaps v = ResampleTaps(srcHeight, dstHeight, filter);

  // Horizontal pass: srcHeight rows of dstWidth pixels, kept as bytes.
  const size_t midRow = size_t(dstWidth) * ch;
  std::vector<uint8_t> mid(midRow * size_t(srcHeight));
  switch (channels) {
    case 1:
      HorizontalPass<1>(src, srcWidth, srcHeight, h, mid.data(), dstWidth);
      break;
    case 2:
      HorizontalPass<2>(src, srcWidth, srcHeight, h, mid.data(), dstWidth);
      break;
    case 3:
      HorizontalPass<3>(src, srcWidth, srcHeight, h, mid.data(), dstWidth);
      break;
    default:
      HorizontalPass<4>(src, srcWidth, srcHeight, h, mid.data(), dstWidth);
      break;
  }

  // Vertical pass, a destination row at a time; each value still sums its taps in order.
  std::vector<float> acc(midRow);
  for (int32_t y = 0; y < dstHeight; ++y) {
    std::fill(acc.begin(), acc.end(), 0.0f);
    for (uint32_t t = v.First[size_t(y)]; t < v.First[size_t(y) + 1]; ++t) {
      const uint8_t* row = mid.data() + size_t(v.Index[t]) * midRow;
      const float w = v.Weight[t];
      for (size_t i = 0; i < midRow; ++i) acc[i] += w * float(row[i]);
    }
    uint8_t* out = dst + size_t(y) * midRow;
    for (size_t i = 0; i < midRow; ++i) out[i] = ToByte(acc[i]);
  }
}

}  // namespace ukh
