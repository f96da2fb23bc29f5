// BMP and PNG encoders (PNGs decoded again by libpng) and the supersampled renderer.
#include "tools/assetgen/Image.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstring>

namespace ukh::assetgen {
namespace {

std::uint32_t Le32(const std::vector<std::uint8_t>& d, std::size_t o) {
  return d[o] | d[o + 1] << 8 | d[o + 2] << 16 | std::uint32_t(d[o + 3]) << 24;
}
std::uint16_t Le16(const std::vector<std::uint8_t>& d, std::size_t o) {
  return std::uint16_t(d[o] | d[o + 1] << 8);
}

// A picture whose every pixel differs: red from x, green from y, blue fixed, alpha from both.
TImage Gradient(int w, int h) {
  TImage img(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      img.Set(x, y, {x / 255.0, y / 255.0, 200 / 255.0, (10 + x + 3 * y) / 255.0});
  return img;
}

TEST(ImageTest, BmpRowsArePaddedBottomUpAndBgr) {
  struct TCase {
    int W, H;
    std::uint32_t RowBytes;
  };
  for (const TCase c :
       {TCase{1, 2, 4}, TCase{2, 1, 8}, TCase{3, 3, 12}, TCase{4, 2, 12}, TCase{211, 3, 636}}) {
    const TImage img = Gradient(c.W, c.H);
    const std::vector<std::uint8_t> d = EncodeBmp24(img);
    ASSERT_EQ(d.size(), 54 + c.RowBytes * c.H) << c.W;
    EXPECT_EQ(d[0], 'B');
    EXPECT_EQ(d[1], 'M');
    EXPECT_EQ(Le32(d, 2), d.size());
    EXPECT_EQ(Le32(d, 10), 54u);
    EXPECT_EQ(Le32(d, 14), 40u);
    EXPECT_EQ(std::int32_t(Le32(d, 18)), c.W);
    EXPECT_EQ(std::int32_t(Le32(d, 22)), c.H);  // positive: bottom-up
    EXPECT_EQ(Le16(d, 26), 1);
    EXPECT_EQ(Le16(d, 28), 24);
    EXPECT_EQ(Le32(d, 30), 0u);  // BI_RGB
    EXPECT_EQ(Le32(d, 34), c.RowBytes * c.H);
    for (int y = 0; y < c.H; ++y) {
      const std::size_t row = 54 + c.RowBytes * (c.H - 1 - y);
      for (int x = 0; x < c.W; ++x) {
        const std::uint8_t* p = img.Pixel(x, y);
        EXPECT_EQ(d[row + 3 * x], p[2]);
        EXPECT_EQ(d[row + 3 * x + 1], p[1]);
        EXPECT_EQ(d[row + 3 * x + 2], p[0]);
      }
      for (std::uint32_t pad = 3 * c.W; pad < c.RowBytes; ++pad) EXPECT_EQ(d[row + pad], 0);
    }
  }
}

struct TDecoded {
  png_uint_32 Width = 0, Height = 0;
  int ColorType = -1, BitDepth = 0;
  std::vector<std::uint8_t> Pixels;
};

TDecoded DecodePng(const std::vector<std::uint8_t>& data) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  TDecoded out;
  EXPECT_TRUE(png_image_begin_read_from_memory(&image, data.data(), data.size()));
  out.Width = image.width, out.Height = image.height;
  out.ColorType = (image.format & PNG_FORMAT_FLAG_ALPHA) ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB;
  image.format = PNG_FORMAT_RGBA;
  out.Pixels.resize(PNG_IMAGE_SIZE(image));
  EXPECT_TRUE(png_image_finish_read(&image, nullptr, out.Pixels.data(), 0, nullptr));
  return out;
}

TEST(ImageTest, PngDecodesToTheSamePixels) {
  const TImage img = Gradient(5, 3);
  for (bool alpha : {true, false}) {
    const TDecoded d = DecodePng(EncodePng(img, alpha));
    EXPECT_EQ(d.Width, 5u);
    EXPECT_EQ(d.Height, 3u);
    EXPECT_EQ(d.ColorType, alpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x)
        for (int c = 0; c < 4; ++c) {
          const int expected = (c == 3 && !alpha) ? 255 : img.Pixel(x, y)[c];
          EXPECT_EQ(d.Pixels[(y * 5 + x) * 4 + c], expected) << x << "," << y << " " << c;
        }
  }
}

TEST(ImageTest, PngHasNoTimeStamp) {
  // A tIME chunk would make every build's file different.
  const std::vector<std::uint8_t> d = EncodePng(Gradient(4, 4), true);
  const std::string s(d.begin(), d.end());
  EXPECT_EQ(s.find("tIME"), std::string::npos);
  EXPECT_NE(s.find("IEND"), std::string::npos);
}

TEST(ImageTest, SoftEdgesOfTransparentShapesKeepTheirColour) {
  // Red on the left 40% of each pixel of column 1, transparent black elsewhere: averaging
  // straight colours would darken the edge towards black.
  const TImage img = Render(3, 1, 10, [](double x, double) -> TColor {
    return x < 1.4 ? TColor{1, 0, 0, 1} : TColor{0, 0, 0, 0};
  });
  EXPECT_EQ(img.Pixel(0, 0)[0], 255);
  EXPECT_EQ(img.Pixel(0, 0)[3], 255);
  EXPECT_EQ(img.Pixel(1, 0)[0], 255);
  EXPECT_EQ(img.Pixel(1, 0)[1], 0);
  EXPECT_EQ(img.Pixel(1, 0)[3], 102);  // 4 of 10 sample columns
  EXPECT_EQ(img.Pixel(2, 0)[3], 0);
}

TEST(ImageTest, ColoursAreClampedAndRounded) {
  TImage img(1, 1);
  img.Set(0, 0, {-0.5, 1.5, 0.5, 127.4 / 255});
  EXPECT_EQ(img.Pixel(0, 0)[0], 0);
  EXPECT_EQ(img.Pixel(0, 0)[1], 255);
  EXPECT_EQ(img.Pixel(0, 0)[2], 128);
  EXPECT_EQ(img.Pixel(0, 0)[3], 127);
}

TEST(ImageTest, RefusesSizesOutOfRange) {
  EXPECT_THROW(TImage(0, 5), EImageWriteError);
  EXPECT_THROW(TImage(5, -1), EImageWriteError);
  EXPECT_THROW(TImage(20000, 2), EImageWriteError);
}

}  // namespace
}  // namespace ukh::assetgen
