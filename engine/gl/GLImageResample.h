// Separable filtered resizing of 8-bit pixels: Lanczos-3 for fitting a picture to a
// power-of-two texture size, the triangle kernel for mipmap levels. Pure code, no GL.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ukh {

// A filter kernel and the half-width of the source window searched for each destination
// pixel at scale 1 (wider than the kernel's support where the resize rule says so).
struct TImageFilter {
  double (*Kernel)(double x);
  double Window;
};

// k(0) = 1; 0 for |x| >= 3; else 3 sin(pi|x|) sin(pi|x|/3) / (pi|x|)^2.
double Lanczos3Kernel(double x);
// 1 - |x| for |x| < 1, else 0.
double TriangleKernel(double x);

inline constexpr TImageFilter cLanczos3Filter{Lanczos3Kernel, 5.0};
inline constexpr TImageFilter cTriangleFilter{TriangleKernel, 1.0};

// The scale of one axis: (dst - 1) / (src - 1), or dst / src where either size is 1 (the
// first form divides by zero there). A source of one pixel is simply replicated.
double ResampleScale(int32_t srcSize, int32_t dstSize);

// The taps of one destination pixel along one axis: source indices (mirrored into range)
// and their single-precision weights, in the order they are accumulated.
struct TResampleTaps {
  std::vector<int32_t> Index;
  std::vector<float> Weight;
  std::vector<uint32_t> First;  // taps of pixel j: [First[j], First[j + 1])
};
TResampleTaps ResampleTaps(int32_t srcSize, int32_t dstSize, const TImageFilter& filter);

// Resizes `src` (srcWidth x srcHeight pixels of `channels` bytes, rows packed) into `dst`
// (dstWidth x dstHeight, rows packed): horizontally, then vertically. Each pass accumulates
// every channel in single precision from 0 without renormalising the weights, and clamps
// and truncates its result to a byte. Sizes must be at least 1.
void ResampleImage(const uint8_t* src, int32_t srcWidth, int32_t srcHeight, int channels,
                   uint8_t* dst, int32_t dstWidth, int32_t dstHeight, const TImageFilter& filter);

}  // namespace ukh
