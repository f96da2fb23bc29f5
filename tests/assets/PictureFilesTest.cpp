// The BMP and PNG files: formats and sizes the game and the level rely on, and pictures
// that actually show something.
#include <png.h>

#include <cstring>
#include <set>

#include "tests/assets/AssetFile.h"

namespace ukh::assets_test {
namespace {

TEST(PictureFilesTest, BmpsAre24BitUncompressedOfTheirSizes) {
  struct TCase {
    const char* Name;
    int Width, Height;
  };
  const TCase cases[] = {
      {"03.bmp", 256, 256},    {"04.bmp", 256, 256},    {"05.bmp", 256, 256},
      {"grass.bmp", 756, 512}, {"cube9.bmp", 756, 512}, {"menu_image2.bmp", 211, 92},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::vector<std::uint8_t> d = ReadAsset(c.Name);
    ASSERT_GE(d.size(), 54u);
    const std::uint32_t rowBytes = (std::uint32_t(c.Width) * 3 + 3) & ~3u;
    EXPECT_EQ(d[0], 'B');
    EXPECT_EQ(d[1], 'M');
    EXPECT_EQ(Le32(d, 2), d.size());
    EXPECT_EQ(Le32(d, 10), 54u);
    EXPECT_EQ(Le32(d, 14), 40u);
    EXPECT_EQ(std::int32_t(Le32(d, 18)), c.Width);
    EXPECT_EQ(std::int32_t(Le32(d, 22)), c.Height);
    EXPECT_EQ(Le16(d, 26), 1);
    EXPECT_EQ(Le16(d, 28), 24);
    EXPECT_EQ(Le32(d, 30), 0u);
    EXPECT_EQ(Le32(d, 34), rowBytes * c.Height);
    ASSERT_EQ(d.size(), 54 + rowBytes * c.Height);
    // A real picture, not a flat fill.
    std::set<std::uint32_t> colours;
    for (int y = 0; y < c.Height; y += 3)
      for (int x = 0; x < c.Width; x += 3) {
        const std::size_t o = 54 + rowBytes * y + 3 * x;
        colours.insert(d[o] | d[o + 1] << 8 | d[o + 2] << 16);
      }
    EXPECT_GT(colours.size(), 32u);
  }
}

TEST(PictureFilesTest, GroundRowsHaveTheStatedLength) {
  // 756 pixels of 3 bytes: 2268 bytes a row, already a multiple of 4, so no padding.
  const std::vector<std::uint8_t> d = ReadAsset("grass.bmp");
  EXPECT_EQ(d.size(), 54u + 2268 * 512);
}

struct TPng {
  bool Ok = false;
  png_uint_32 Width = 0, Height = 0;
  bool Alpha = false;
  std::vector<std::uint8_t> Rgba;
};

TPng DecodePng(const std::string& name) {
  const std::vector<std::uint8_t> data = ReadAsset(name);
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  TPng out;
  if (!png_image_begin_read_from_memory(&image, data.data(), data.size())) return out;
  out.Width = image.width, out.Height = image.height;
  out.Alpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
  image.format = PNG_FORMAT_RGBA;
  out.Rgba.resize(PNG_IMAGE_SIZE(image));
  out.Ok = png_image_finish_read(&image, nullptr, out.Rgba.data(), 0, nullptr) != 0;
  return out;
}

TEST(PictureFilesTest, MenuBadgeIs256SquareWithSoftTransparency) {
  const TPng png = DecodePng("menu_image1.png");
  ASSERT_TRUE(png.Ok);
  EXPECT_EQ(png.Width, 256u);
  EXPECT_EQ(png.Height, 256u);
  ASSERT_TRUE(png.Alpha);
  auto alpha = [&](int x, int y) { return png.Rgba[(std::size_t(y) * 256 + x) * 4 + 3]; };
  EXPECT_EQ(alpha(0, 0), 0);
  EXPECT_EQ(alpha(255, 0), 0);
  EXPECT_EQ(alpha(128, 128), 255);
  int partial = 0;
  for (std::size_t i = 3; i < png.Rgba.size(); i += 4)
    partial += png.Rgba[i] > 0 && png.Rgba[i] < 255;
  EXPECT_GT(partial, 500);  // anti-aliased rim and shadow
}

TEST(PictureFilesTest, MenuRoadIs100By200WithoutAlpha) {
  const TPng png = DecodePng("menu_image3.png");
  ASSERT_TRUE(png.Ok);
  EXPECT_EQ(png.Width, 100u);
  EXPECT_EQ(png.Height, 200u);
  EXPECT_FALSE(png.Alpha);
}

}  // namespace
}  // namespace ukh::assets_test
