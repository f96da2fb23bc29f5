// The resizer and the mipmap builder on the ground's picture (756 x 512, 24 bits, to
// 1024 x 512 without non-power-of-two textures), each against a naive floor: the obvious
// loop over destination pixels that works out every tap's window and kernel weight anew.
// The floor computes the same weights in the same order, so the results are identical
// (checked once before timing).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "engine/gl/GLImageResample.h"
#include "engine/gl/GLMipmap.h"

namespace {

using ukh::TImageFilter;
using TBytes = std::vector<uint8_t>;

constexpr int cW = 756, cH = 512, cTW = 1024, cTH = 512, cCh = 3;

// A grass-like picture: green noise.
TBytes Grass() {
  TBytes b(size_t(cW) * cH * cCh);
  uint32_t s = 7;
  for (size_t i = 0; i < b.size(); i += 3) {
    s = s * 1664525u + 1013904223u;
    b[i] = uint8_t(30 + (s >> 27));
    b[i + 1] = uint8_t(90 + (s >> 25) % 110);
    b[i + 2] = uint8_t(20 + (s >> 28));
  }
  return b;
}

uint8_t ToByte(float v) {
  if (!(v > 0)) return 0;
  if (v >= 255) return 255;
  return uint8_t(v);
}

int Mirror(long k, int n) {
  if (k < 0) k = -k;
  if (k > n - 1) k = 2L * n - 1 - k;
  return int(k < 0 ? 0 : k > n - 1 ? n - 1 : k);
}

// One destination value along an axis, taps and weights worked out on the spot.
template <class At>
uint8_t NaiveAxis(At at, int n, int dst, int j, const TImageFilter& f) {
  if (n == 1) return uint8_t(at(0));
  const double s = ukh::ResampleScale(n, dst);
  const double c = j / s;
  const double half = s >= 1 ? f.Window : f.Window / s;
  float acc = 0;
  for (long k = long(std::floor(c - half)); k <= long(std::ceil(c + half)); ++k) {
    const double w = s >= 1 ? f.Kernel(c - double(k)) : s * f.Kernel(s * (c - double(k)));
    if (w == 0) continue;
    acc += float(w) * float(at(Mirror(k, n)));
  }
  return ToByte(acc);
}

void NaiveResample(const uint8_t* src, int w, int h, int ch, uint8_t* dst, int dw, int dh,
                   const TImageFilter& f) {
  TBytes mid(size_t(dw) * h * ch);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < dw; ++x)
      for (int c = 0; c < ch; ++c)
        mid[(size_t(y) * dw + x) * ch + c] =
            NaiveAxis([&](int i) { return src[(size_t(y) * w + i) * ch + c]; }, w, dw, x, f);
  for (int y = 0; y < dh; ++y)
    for (int x = 0; x < dw; ++x)
      for (int c = 0; c < ch; ++c)
        dst[(size_t(y) * dw + x) * ch + c] =
            NaiveAxis([&](int i) { return mid[(size_t(i) * dw + x) * ch + c]; }, h, dh, y, f);
}

void NaiveMipmaps(TBytes& data, int w, int h, int ch, int levels) {
  size_t total = 0;
  for (int l = 0; l < levels; ++l)
    total += size_t(ukh::MipmapLevelSize(w, l)) * ukh::MipmapLevelSize(h, l) * ch;
  data.resize(total);
  size_t from = 0;
  for (int l = 1; l < levels; ++l) {
    const int pw = ukh::MipmapLevelSize(w, l - 1), ph = ukh::MipmapLevelSize(h, l - 1);
    const size_t to = from + size_t(pw) * ph * ch;
    NaiveResample(data.data() + from, pw, ph, ch, data.data() + to, ukh::MipmapLevelSize(w, l),
                  ukh::MipmapLevelSize(h, l), ukh::cTriangleFilter);
    from = to;
  }
}

const TBytes& Picture() {
  static const TBytes p = Grass();
  return p;
}
const TBytes& Resized() {
  static const TBytes r = [] {
    TBytes fast(size_t(cTW) * cTH * cCh), slow(fast.size());
    ukh::ResampleImage(Picture().data(), cW, cH, cCh, fast.data(), cTW, cTH, ukh::cLanczos3Filter);
    NaiveResample(Picture().data(), cW, cH, cCh, slow.data(), cTW, cTH, ukh::cLanczos3Filter);
    if (fast != slow) {
      std::fprintf(stderr, "the resizer and the naive floor disagree\n");
      std::abort();
    }
    TBytes a = fast, b = fast;
    ukh::BuildMipmaps(a, cTW, cTH, cCh, ukh::MipmapLevelCount(cTW, cTH));
    NaiveMipmaps(b, cTW, cTH, cCh, ukh::MipmapLevelCount(cTW, cTH));
    if (a != b) {
      std::fprintf(stderr, "the mipmap builder and the naive floor disagree\n");
      std::abort();
    }
    return fast;
  }();
  return r;
}

void BM_Lanczos3Resize(benchmark::State& state) {
  const TBytes& src = Picture();
  Resized();
  TBytes dst(size_t(cTW) * cTH * cCh);
  for (auto _ : state) {
    ukh::ResampleImage(src.data(), cW, cH, cCh, dst.data(), cTW, cTH, ukh::cLanczos3Filter);
    benchmark::DoNotOptimize(dst.data());
  }
}
BENCHMARK(BM_Lanczos3Resize)->Unit(benchmark::kMillisecond);

void BM_Lanczos3ResizeNaiveFloor(benchmark::State& state) {
  const TBytes& src = Picture();
  Resized();
  TBytes dst(size_t(cTW) * cTH * cCh);
  for (auto _ : state) {
    NaiveResample(src.data(), cW, cH, cCh, dst.data(), cTW, cTH, ukh::cLanczos3Filter);
    benchmark::DoNotOptimize(dst.data());
  }
}
BENCHMARK(BM_Lanczos3ResizeNaiveFloor)->Unit(benchmark::kMillisecond);

void BM_Mipmaps(benchmark::State& state) {
  const TBytes& level0 = Resized();
  const int levels = ukh::MipmapLevelCount(cTW, cTH);
  TBytes data;
  for (auto _ : state) {
    data = level0;
    ukh::BuildMipmaps(data, cTW, cTH, cCh, levels);
    benchmark::DoNotOptimize(data.data());
  }
}
BENCHMARK(BM_Mipmaps)->Unit(benchmark::kMillisecond);

void BM_MipmapsNaiveFloor(benchmark::State& state) {
  const TBytes& level0 = Resized();
  const int levels = ukh::MipmapLevelCount(cTW, cTH);
  TBytes data;
  for (auto _ : state) {
    data = level0;
    NaiveMipmaps(data, cTW, cTH, cCh, levels);
    benchmark::DoNotOptimize(data.data());
  }
}
BENCHMARK(BM_MipmapsNaiveFloor)->Unit(benchmark::kMillisecond);

}  // namespace
