// Pictures without GL: the stored picture stream and its errors, picture files through the
// persistent image, and the conversion of a graphic into the upload buffer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/gl/GLImage.h"
#include "engine/gl/GLLog.h"
#include "engine/gl/GLPersistentImage.h"
#include "engine/gl/GLPicture.h"
#include "engine/gl/GLPictureStream.h"
#include "platform/BmpReader.h"

namespace ukh::test {
namespace {

using TBytes = std::vector<uint8_t>;

// A picture whose every pixel tells its position: (x * 40, y * 60, 7 + x + y, alpha).
platform::TRGBAImage Picture(int w, int h, bool alpha = false) {
  platform::TRGBAImage p;
  p.Width = w, p.Height = h, p.HasAlpha = alpha;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      p.Pixels.insert(p.Pixels.end(), {uint8_t(x * 40), uint8_t(y * 60), uint8_t(7 + x + y),
                                       uint8_t(alpha ? 255 - x * 10 - y : 255)});
  return p;
}

TBytes Stream(const std::string& className, const TBytes& payload) {
  TBytes s(1 + className.size());
  s[0] = uint8_t(className.size());
  std::copy(className.begin(), className.end(), s.begin() + 1);
  s.insert(s.end(), payload.begin(), payload.end());
  return s;
}
TBytes Le32(uint32_t v) {
  return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
}
TBytes Cat(TBytes a, const TBytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}
// A bitmap stream: "TBitmap", the byte count `length` claims, then `bmp`.
TBytes BitmapStream(const TBytes& bmp, uint32_t length) {
  return Stream("TBitmap", Cat(Le32(length), bmp));
}
TBytes BitmapStream(const TBytes& bmp) {
  return BitmapStream(bmp, uint32_t(bmp.size()));
}

std::string ErrorOf(const TBytes& stream) {
  try {
    ReadPictureData(stream.data(), stream.size(), "Pole.Picture.Data");
  } catch (const platform::EPictureError& e) {
    return e.what();
  }
  return "(no error)";
}

TEST(PictureStream, RoundTripsAsTBitmapWithAnyAlpha) {
  for (bool alpha : {false, true}) {
    SCOPED_TRACE(alpha ? "32 bits" : "24 bits");
    TGLGraphic g{cBitmapClassName, 24, Picture(3, 2, alpha)};
    const TBytes stream = WritePictureData(&g);
    // "TBitmap" behind its length byte, the BMP's byte count, then the BMP file itself.
    ASSERT_GT(stream.size(), 14u);
    EXPECT_EQ(stream[0], 7);
    EXPECT_EQ(std::string(stream.begin() + 1, stream.begin() + 8), "TBitmap");
    EXPECT_EQ(TBytes(stream.begin() + 8, stream.begin() + 12), Le32(uint32_t(stream.size() - 12)));
    EXPECT_EQ(stream[12], 'B');
    EXPECT_EQ(stream[13], 'M');

    auto back = ReadPictureData(stream.data(), stream.size(), "Cube9.Picture.Data");
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->ClassName, "TBitmap");
    EXPECT_EQ(back->BitsPerPixel, alpha ? 32 : 24);
    EXPECT_EQ(back->Image.Width, 3);
    EXPECT_EQ(back->Image.Height, 2);
    EXPECT_EQ(back->Image.HasAlpha, alpha);
    EXPECT_EQ(back->Image.Pixels, g.Image.Pixels);
    EXPECT_EQ(WritePictureData(&*back), stream);  // and again, byte for byte
  }
  // An empty picture is a zero-length class name, and reads back as no graphic.
  const TBytes empty = WritePictureData(nullptr);
  EXPECT_EQ(empty, TBytes{0});
  EXPECT_FALSE(ReadPictureData(empty.data(), empty.size(), "x").has_value());
}

TEST(PictureStream, BrokenStreamsNameTheObjectAndTheFault) {
  TGLGraphic g{cBitmapClassName, 24, Picture(2, 2)};
  const TBytes bmp = EncodeBmp(g.Image);
  // A 24-bit info header claiming 100 000 x 100 000 pixels, in a 60-byte file.
  TBytes huge = bmp;
  huge.resize(60);
  for (int i = 0; i < 4; ++i) huge[18 + size_t(i)] = Le32(100000)[size_t(i)];
  for (int i = 0; i < 4; ++i) huge[22 + size_t(i)] = Le32(100000)[size_t(i)];
  huge[2] = 60;
  TBytes tall = bmp;  // 2 x 5000 pixels: plausible size, but the rows are missing
  for (int i = 0; i < 4; ++i) tall[22 + size_t(i)] = Le32(5000)[size_t(i)];
  TBytes packed = bmp;  // compression 9 is no BMP compression
  packed[30] = 9;
  struct {
    const char* Name;
    TBytes Stream;
    const char* Expect;
  } cases[] = {
      {"Empty", {}, "the picture data is empty"},
      {"NameCutOff", {200, 'T', 'B'}, "class name of 200 characters is cut off after 2"},
      {"UnknownClass", Stream("TJPEGImage", Le32(0)), "unknown graphic class \"TJPEGImage\""},
      {"CountCutOff", Stream("TBitmap", {1, 2}), "byte count is cut off"},
      {"CountLies", BitmapStream(bmp, 0xFFFFFFFFu), "claims 4294967295 bytes but"},
      {"TrailingBytes", Cat(BitmapStream(bmp), {0, 0, 0}), "3 unexpected bytes follow"},
      {"BytesAfterEmpty", {0, 1}, "an empty picture is followed by 1 bytes"},
      {"NotABmp", BitmapStream({'P', 'K', 3, 4, 0, 0}), "is truncated"},
      {"HugeHeader", BitmapStream(huge), "too large"},
      {"RowsMissing", BitmapStream(tall), "pixel data is truncated"},
      {"UnknownCompression", BitmapStream(packed), "unsupported compression 9"},
      {"HeaderCut", BitmapStream(TBytes(bmp.begin(), bmp.begin() + 30)),
       "info header is truncated"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::string message = ErrorOf(c.Stream);
    EXPECT_EQ(message.rfind("Pole.Picture.Data: ", 0), 0u) << message;
    EXPECT_NE(message.find(c.Expect), std::string::npos) << message;
  }
}

TEST(PictureStream, ABrokenStreamLeavesThePictureAsItWas) {
  TGLPicture p;
  TGLGraphic g{cBitmapClassName, 24, Picture(3, 2)};
  p.SetGraphic(g);
  int changes = 0;
  p.OnChange = [&] { ++changes; };
  const TBytes bad{7, 'T', 'B', 'i', 't', 'm', 'a', 'p', 9, 0, 0, 0};
  EXPECT_THROW(p.ReadData(bad.data(), bad.size(), "Pole"), platform::EPictureError);
  ASSERT_TRUE(p.HasGraphic());
  EXPECT_EQ(p.Width(), 3);
  EXPECT_EQ(changes, 0);
  const TBytes good = p.WriteData();
  p.ReadData(good.data(), good.size(), "Pole");
  EXPECT_EQ(changes, 1);
}

class PictureFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    FDir = std::filesystem::temp_directory_path() /
           ("ukh_picture_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(FDir);
  }
  void TearDown() override { std::filesystem::remove_all(FDir); }
  std::string Write(const std::string& name, const TBytes& bytes) {
    const std::string path = (FDir / name).string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
  }
  std::filesystem::path FDir;
};

TEST_F(PictureFiles, LoadingMissingAndCorruptFiles) {
  TGLPersistentImage image(nullptr);
  const std::string good = Write("03.bmp", EncodeBmp(Picture(4, 2)));
  image.LoadFromFile(good);
  EXPECT_EQ(image.ResourceName(), good);
  EXPECT_EQ(image.Width(), 4);
  EXPECT_EQ(image.Height(), 2);
  ASSERT_TRUE(image.Picture().HasGraphic());
  EXPECT_EQ(image.Picture().Graphic()->BitsPerPixel, 24);

  // A corrupt file: the decoder's error names the file; the picture stays.
  const std::string corrupt = Write("bad.bmp", {'B', 'M', 1, 2, 3});
  try {
    image.LoadFromFile(corrupt);
    ADD_FAILURE() << "no error";
  } catch (const platform::EPictureError& e) {
    EXPECT_EQ(std::string(e.what()).rfind(corrupt + ": ", 0), 0u) << e.what();
  }
  EXPECT_TRUE(image.Picture().HasGraphic());

  // A missing file clears the picture.
  try {
    image.LoadFromFile("no such picture.bmp");
    ADD_FAILURE() << "no error";
  } catch (const ETexture& e) {
    EXPECT_STREQ(e.what(), "Could not open file: no such picture.bmp");
  }
  EXPECT_FALSE(image.Picture().HasGraphic());
  // Without a graphic the converted copy is the 64 x 64 error picture.
  TGLImage* copy = image.GetBitmap32();
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->Width(), 64);
  EXPECT_EQ(copy->Height(), 64);
  EXPECT_EQ(copy->ColorFormat(), GLenum(GL_RGB));
}

// ---- the upload buffer ----

gl::TGLFeatures Features(bool bgra) {
  gl::TGLFeatures f;
  f.MajorVersion = 1, f.MinorVersion = 1;
  f.EXT_bgra = bgra;
  return f;
}

TEST(ImageAssign, BitmapsAreCopiedOrRedrawnAsTheirWidthAndGLAsk) {
  struct {
    const char* Name;
    int Width;
    uint16_t Bits;
    bool Bgra;
    int ExpectWidth;
    GLenum ExpectFormat;
    int ExpectElement;
  } cases[] = {
      {"24 bits, width 4k", 8, 24, false, 8, GL_RGBA, 4},
      {"24 bits with BGRA", 8, 24, true, 8, GL_BGR, 3},
      {"24 bits 101 wide with BGRA", 101, 24, true, 101, GL_BGR, 3},
      {"24 bits 101 wide without BGRA", 101, 24, false, 104, GL_RGBA, 4},
      {"32 bits with BGRA", 5, 32, true, 5, GL_BGRA, 4},
      {"8 bits 6 wide, redrawn", 6, 8, true, 8, GL_BGR, 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TGLGraphic g{cBitmapClassName, c.Bits, Picture(c.Width, 3, c.Bits == 32)};
    TGLImage image;
    image.AssignFromGraphic(g, Features(c.Bgra));
    EXPECT_EQ(image.Width(), c.ExpectWidth);
    EXPECT_EQ(image.Height(), 3);
    EXPECT_EQ(image.ColorFormat(), c.ExpectFormat);
    EXPECT_EQ(image.ElementSize(), c.ExpectElement);
    EXPECT_EQ(image.InternalFormat(), tfRGBA8);
    image.Narrow();
    ASSERT_EQ(image.Data().size(), size_t(c.ExpectWidth) * 3 * 4);
    // Data row 0 is the picture's bottom row; a widened picture repeats its nearest column.
    for (int row = 0; row < 3; ++row)
      for (int x = 0; x < c.ExpectWidth; ++x) {
        const int sx = x * c.Width / c.ExpectWidth, sy = 2 - row;
        const uint8_t* p = &image.Data()[(size_t(row) * c.ExpectWidth + x) * 4];
        const uint8_t* q = &g.Image.Pixels[(size_t(sy) * c.Width + sx) * 4];
        ASSERT_EQ(p[0], q[0]) << x << ", " << row;
        ASSERT_EQ(p[1], q[1]) << x << ", " << row;
        ASSERT_EQ(p[2], q[2]) << x << ", " << row;
        ASSERT_EQ(p[3], c.Bits == 32 ? q[3] : 255) << x << ", " << row;
      }
  }
}

TEST(ImageAssign, VerticalReverseKeepsThePictureTopRowFirst) {
  TGLGraphic g{cBitmapClassName, 24, Picture(4, 2)};
  TGLImage image;
  image.SetVerticalReverseOnAssignFromBitmap(true);
  image.AssignFromGraphic(g, Features(false));
  EXPECT_EQ(image.Data()[1], 0);  // green of row y = 0, the top row
}

TEST(ImageAlphaRules, EachRuleOnKnownPixels) {
  // (10, 20, 31) and (255, 255, 254) as luminance give 20 and 254.
  const TBytes rgb{10, 20, 31, 255, 255, 254, 0, 0, 0, 10, 20, 31};
  auto make = [&] {
    TGLImage image;
    image.SetImage(2, 2, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    return image;
  };
  auto alphas = [](const TGLImage& image) {
    std::vector<int> a;
    for (size_t i = 3; i < image.Data().size(); i += 4) a.push_back(image.Data()[i]);
    return a;
  };
  const int q20 = int(std::trunc(255 * std::sqrt(20 / 255.0)));
  const int q254 = int(std::trunc(255 * std::sqrt(254 / 255.0)));
  TGLImage a = make();
  a.SetAlphaFromIntensity();
  EXPECT_EQ(alphas(a), (std::vector<int>{20, 254, 0, 20}));
  EXPECT_EQ(TBytes(a.Data().begin(), a.Data().begin() + 3), (TBytes{10, 20, 31}));  // colour kept
  a.SqrtAlpha();
  EXPECT_EQ(alphas(a), (std::vector<int>{q20, q254, 0, q20}));
  a.InvertAlpha();
  EXPECT_EQ(alphas(a), (std::vector<int>{255 - q20, 255 - q254, 255, 255 - q20}));
  TGLImage b = make();
  b.SetAlphaTransparentForColor(0, 0, 0);
  EXPECT_EQ(alphas(b), (std::vector<int>{255, 255, 0, 255}));
  b.SetAlphaTransparentForColor(10, 20, 31);
  EXPECT_EQ(alphas(b), (std::vector<int>{0, 255, 255, 0}));
  b.SetAlphaToValue(255);
  EXPECT_EQ(alphas(b), (std::vector<int>{255, 255, 255, 255}));
}

TEST(ImageNarrow, UnknownFormatsAreRefusedOrReplacedByTheErrorPicture) {
  try {
    PixelElementSize(GL_RGBA, GL_UNSIGNED_INT_8_8_8_8);
    ADD_FAILURE() << "no error";
  } catch (const EGLImageError& e) {
    EXPECT_STREQ(e.what(), "Invalid data type");
  }
  EXPECT_THROW(PixelElementSize(0x1234, GL_UNSIGNED_BYTE), EGLImageError);

  TGLLogCapture log;
  TGLImage image;
  image.SetImage(1, 1, GL_RGBA, GL_FLOAT, TBytes(16, 0));
  image.Narrow();
  ASSERT_EQ(log.Entries.size(), 1u);
  EXPECT_EQ(log.Entries[0].Level, TLogLevel::lkError);
  EXPECT_EQ(log.Entries[0].Message, "TGLImage: can't convert image to RGBA8 format");
  EXPECT_EQ(image.Width(), 64);
  EXPECT_EQ(image.ColorFormat(), GLenum(GL_RGBA));
  EXPECT_EQ(image.Data().size(), 64u * 64 * 4);
}

}  // namespace
}  // namespace ukh::test
