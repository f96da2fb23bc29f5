// Pixel buffers and their file encodings: 24-bit BMP and PNG (through libpng).
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <vector>

namespace ukh::assetgen {

class EImageWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Colour with straight (not premultiplied) alpha, components in 0..1.
struct TColor {
  double R = 0, G = 0, B = 0, A = 1;
};

inline TColor Mix(TColor a, TColor b, double t) {
  return {a.R + (b.R - a.R) * t, a.G + (b.G - a.G) * t, a.B + (b.B - a.B) * t,
          a.A + (b.A - a.A) * t};
}
inline TColor Scale(TColor c, double s) {
  return {c.R * s, c.G * s, c.B * s, c.A};
}
// `top` over `bottom` with top's alpha as coverage.
TColor Over(TColor top, TColor bottom);
TColor Rgb(int r, int g, int b);

// 8-bit RGBA pixels, rows top-down.
class TImage {
 public:
  TImage(int width, int height);
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  const std::uint8_t* Pixel(int x, int y) const { return &FPixels[(y * FWidth + x) * 4]; }
  void Set(int x, int y, TColor c);
  const std::vector<std::uint8_t>& Pixels() const { return FPixels; }

 private:
  int FWidth, FHeight;
  std::vector<std::uint8_t> FPixels;
};

// Renders `shader` (pixel-space coordinates, y down) with n x n samples per pixel; samples
// are averaged premultiplied, so soft edges of transparent shapes keep their colour.
using TShader = std::function<TColor(double x, double y)>;
TImage Render(int width, int height, int samples, const TShader& shader);

// An uncompressed 24-bit BMP (BITMAPINFOHEADER, rows bottom-up, padded to 4 bytes).
std::vector<std::uint8_t> EncodeBmp24(const TImage& image);
// An 8-bit PNG, RGBA or (withAlpha false) RGB, with no time stamp.
std::vector<std::uint8_t> EncodePng(const TImage& image, bool withAlpha);

}  // namespace ukh::assetgen
