// PNG decoding through libpng and picture loading by extension, on files written here.
#include <gtest/gtest.h>
#include <png.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/Picture.h"
#include "platform/PngReader.h"

namespace ukh::platform {
namespace {

using TBytes = std::vector<uint8_t>;

TBytes EncodePng(int width, int height, png_uint_32 format, const TBytes& pixels) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(width);
  image.height = png_uint_32(height);
  image.format = format;
  png_alloc_size_t size = 0;
  EXPECT_TRUE(png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr));
  TBytes out(size);
  EXPECT_TRUE(png_image_write_to_memory(&image, out.data(), &size, 0, pixels.data(), 0, nullptr));
  out.resize(size);
  return out;
}

std::string ExpectPictureError(const TBytes& bytes, const std::string& name) {
  try {
    DecodePicture(bytes.data(), bytes.size(), name);
  } catch (const EPictureError& e) {
    std::string message = e.what();
    EXPECT_EQ(message.rfind(name + ": ", 0), 0u) << message;
    return message;
  }
  ADD_FAILURE() << name << " decoded";
  return {};
}

TEST(PngReader, RgbaKeepsAlpha) {
  TBytes rgba = {255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 0, 10, 20, 30, 40};
  TBytes png = EncodePng(2, 2, PNG_FORMAT_RGBA, rgba);
  TRGBAImage img = DecodePng(png.data(), png.size(), "menu.png");
  EXPECT_EQ(img.Width, 2);
  EXPECT_EQ(img.Height, 2);
  EXPECT_TRUE(img.HasAlpha);
  EXPECT_EQ(img.Pixels, rgba);
}

TEST(PngReader, RgbAndGreyHaveNoAlphaAndReadOpaque) {
  TBytes rgb = {1, 2, 3, 4, 5, 6};
  TBytes png = EncodePng(2, 1, PNG_FORMAT_RGB, rgb);
  TRGBAImage img = DecodePng(png.data(), png.size(), "rgb.png");
  EXPECT_FALSE(img.HasAlpha);
  EXPECT_EQ(img.Pixels, (TBytes{1, 2, 3, 255, 4, 5, 6, 255}));

  TBytes grey = {0, 200};
  TBytes gpng = EncodePng(1, 2, PNG_FORMAT_GRAY, grey);
  TRGBAImage g = DecodePng(gpng.data(), gpng.size(), "grey.png");
  EXPECT_FALSE(g.HasAlpha);
  // libpng converts grey to RGB through its sRGB handling; the levels stay ordered and grey.
  EXPECT_EQ(g.Pixels[0], g.Pixels[1]);
  EXPECT_EQ(g.Pixels[4], g.Pixels[6]);
  EXPECT_LT(g.Pixels[0], g.Pixels[4]);
}

TEST(PngReader, BrokenFilesNameTheFile) {
  TBytes good = EncodePng(4, 4, PNG_FORMAT_RGB, TBytes(48, 90));
  TBytes cut(good.begin(), good.begin() + std::ptrdiff_t(good.size() / 2));
  TBytes noSignature = good;
  noSignature[1] = 'X';
  TBytes badData = good;
  for (size_t i = 41; i < 49 && i < badData.size(); ++i) badData[i] ^= 0x5A;  // inside IDAT

  EXPECT_NE(ExpectPictureError(cut, "cut.png").find("PNG"), std::string::npos);
  EXPECT_NE(ExpectPictureError(noSignature, "sig.png").find("PNG"), std::string::npos);
  ExpectPictureError(badData, "data.png");
  ExpectPictureError(TBytes{}, "empty.png");
}

TEST(PngReader, HugeDimensionsAreRefusedBeforeDecoding) {
  TBytes good = EncodePng(1, 1, PNG_FORMAT_RGB, TBytes(3, 0));
  // IHDR width and height (big-endian at 16 and 20), CRC left stale: libpng may object to
  // either, but it must be an error.
  TBytes huge = good;
  for (size_t at : {size_t(16), size_t(20)}) {
    huge[at] = 0, huge[at + 1] = 0x01, huge[at + 2] = 0x86, huge[at + 3] = 0xA0;  // 100000
  }
  ExpectPictureError(huge, "huge.png");
}

class PictureFiles : public testing::Test {
 protected:
  void SetUp() override {
    FDir = std::filesystem::temp_directory_path() /
           ("ukh_picture_" + std::to_string(::getpid()) + "_" +
            testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(FDir);
  }
  void TearDown() override { std::filesystem::remove_all(FDir); }
  std::string Write(const std::string& name, const TBytes& bytes) {
    std::string path = (FDir / name).string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
  }
  std::filesystem::path FDir;
};

// A 1 x 1 24-bit BMP of colour (10, 20, 30).
TBytes TinyBmp() {
  TBytes b(58, 0);
  b[0] = 'B', b[1] = 'M', b[10] = 54, b[14] = 40, b[18] = 1, b[22] = 1, b[26] = 1, b[28] = 24;
  b[54] = 30, b[55] = 20, b[56] = 10;
  return b;
}

TEST_F(PictureFiles, TheExtensionPicksTheDecoderInAnyCase) {
  TRGBAImage bmp = LoadPicture(Write("03.BMP", TinyBmp()));
  EXPECT_EQ(bmp.Pixels, (TBytes{10, 20, 30, 255}));
  TRGBAImage png = LoadPicture(Write("menu.Png", EncodePng(1, 1, PNG_FORMAT_RGB, {7, 8, 9})));
  EXPECT_EQ(png.Pixels, (TBytes{7, 8, 9, 255}));
  // A BMP named .png is read as PNG and refused.
  EXPECT_THROW(LoadPicture(Write("wrong.png", TinyBmp())), EPictureError);
}

TEST_F(PictureFiles, MissingFilesAndUnknownExtensionsNameTheFile) {
  std::string missing = (FDir / "04.bmp").string();
  try {
    LoadPicture(missing);
    FAIL();
  } catch (const EPictureError& e) {
    EXPECT_EQ(std::string(e.what()).rfind(missing + ": cannot be opened", 0), 0u) << e.what();
  }
  std::string gif = Write("x.gif", TBytes{'G', 'I', 'F'});
  try {
    LoadPicture(gif);
    FAIL();
  } catch (const EPictureError& e) {
    EXPECT_EQ(std::string(e.what()), gif + ": no picture decoder for the extension \".gif\"");
  }
}

}  // namespace
}  // namespace ukh::platform
