// Pixel buffers, supersampled rendering and the BMP and PNG encoders.
#include "tools/assetgen/Image.h"

#include <png.h>

#include <cmath>
#include <string>

#include "tools/assetgen/DetMath.h"

namespace ukh::assetgen {

TColor Over(TColor top, TColor bottom) {
  const double a = top.A + bottom.A * (1 - top.A);
  if (a <= 0) return {0, 0, 0, 0};
  auto ch = [&](double t, double b) { return (t * top.A + b * bottom.A * (1 - top.A)) / a; };
  return {ch(top.R, bottom.R), ch(top.G, bottom.G), ch(top.B, bottom.B), a};
}

TColor Rgb(int r, int g, int b) {
  return {r / 255.0, g / 255.0, b / 255.0, 1};
}

TImage::TImage(int width, int height) : FWidth(width), FHeight(height) {
  if (width <= 0 || height <= 0 || width > 16384 || height > 16384)
    throw EImageWriteError("image size " + std::to_string(width) + " x " + std::to_string(height) +
                           " out of range");
  FPixels.assign(std::size_t(width) * height * 4, 0);
}

void TImage::Set(int x, int y, TColor c) {
  auto q = [](double v) { return std::uint8_t(std::floor(Clamp01(v) * 255 + 0.5)); };
  std::uint8_t* p = &FPixels[(std::size_t(y) * FWidth + x) * 4];
  p[0] = q(c.R), p[1] = q(c.G), p[2] = q(c.B), p[3] = q(c.A);
}

TImage Render(int width, int height, int samples, const TShader& shader) {
  TImage image(width, height);
  const double inv = 1.0 / (samples * samples);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      double r = 0, g = 0, b = 0, a = 0;
      for (int sy = 0; sy < samples; ++sy)
        for (int sx = 0; sx < samples; ++sx) {
          const TColor c = shader(x + (sx + 0.5) / samples, y + (sy + 0.5) / samples);
          const double ca = Clamp01(c.A);
          r += Clamp01(c.R) * ca, g += Clamp01(c.G) * ca, b += Clamp01(c.B) * ca, a += ca;
        }
      if (a > 0)
        image.Set(x, y, {r / a, g / a, b / a, a * inv});
      else
        image.Set(x, y, {0, 0, 0, 0});
    }
  return image;
}

namespace {

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(std::uint8_t(v)), out.push_back(std::uint8_t(v >> 8));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(std::uint8_t(v >> (8 * i)));
}

}  // namespace

std::vector<std::uint8_t> EncodeBmp24(const TImage& image) {
  const std::uint32_t w = image.Width(), h = image.Height();
  const std::uint32_t rowBytes = (w * 3 + 3) & ~3u;
  const std::uint32_t dataOffset = 14 + 40, imageBytes = rowBytes * h;
  std::vector<std::uint8_t> out;
  out.reserve(dataOffset + imageBytes);
  out.push_back('B'), out.push_back('M');
  Put32(out, dataOffset + imageBytes);
  Put32(out, 0);  // reserved
  Put32(out, dataOffset);
  Put32(out, 40);  // BITMAPINFOHEADER
  Put32(out, w);
  Put32(out, h);  // positive: rows stored bottom-up
  Put16(out, 1);  // planes
  Put16(out, 24);
  Put32(out, 0);  // BI_RGB
  Put32(out, imageBytes);
  Put32(out, 2835), Put32(out, 2835);  // 72 dpi
  Put32(out, 0), Put32(out, 0);        // no palette
  for (std::uint32_t row = 0; row < h; ++row) {
    const int y = int(h - 1 - row);
    for (std::uint32_t x = 0; x < w; ++x) {
      const std::uint8_t* p = image.Pixel(int(x), y);
      out.push_back(p[2]), out.push_back(p[1]), out.push_back(p[0]);
    }
    for (std::uint32_t pad = w * 3; pad < rowBytes; ++pad) out.push_back(0);
  }
  return out;
}

namespace {

// libpng reports errors by longjmp; the message is kept here and thrown once back in C++.
struct TPngSink {
  std::vector<std::uint8_t>* Out;
  std::string Error;
};

void PngWrite(png_structp png, png_bytep data, png_size_t length) {
  auto* sink = static_cast<TPngSink*>(png_get_io_ptr(png));
  try {
    sink->Out->insert(sink->Out->end(), data, data + length);
  } catch (...) {
    png_error(png, "out of memory");
  }
}
void PngFlush(png_structp) {}
void PngError(png_structp png, png_const_charp message) {
  static_cast<TPngSink*>(png_get_error_ptr(png))->Error = message;
  png_longjmp(png, 1);
}
void PngWarning(png_structp, png_const_charp) {}

}  // namespace

std::vector<std::uint8_t> EncodePng(const TImage& image, bool withAlpha) {
  std::vector<std::uint8_t> out;
  TPngSink sink{&out, {}};
  const int channels = withAlpha ? 4 : 3;
  std::vector<std::uint8_t> rows(std::size_t(image.Width()) * image.Height() * channels);
  for (int y = 0; y < image.Height(); ++y)
    for (int x = 0; x < image.Width(); ++x)
      for (int c = 0; c < channels; ++c)
        rows[(std::size_t(y) * image.Width() + x) * channels + c] = image.Pixel(x, y)[c];
  std::vector<png_bytep> rowPointers(image.Height());
  for (int y = 0; y < image.Height(); ++y)
    rowPointers[y] = rows.data() + std::size_t(y) * image.Width() * channels;

  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink, PngError, PngWarning);
  if (!png) throw EImageWriteError("PNG encoding failed: out of memory");
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    throw EImageWriteError("PNG encoding failed: out of memory");
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    throw EImageWriteError("PNG encoding failed: " + sink.Error);
  }
  png_set_write_fn(png, &sink, PngWrite, PngFlush);
  png_set_IHDR(png, info, image.Width(), image.Height(), 8,
               withAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(png, 9);
  png_set_rows(png, info, rowPointers.data());
  png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

}  // namespace ukh::assetgen
