// The BMP decoder on small files built here: every bit depth, both row orders, RLE, bit
// fields, and broken headers that must give an error naming the file and the problem.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/BmpReader.h"
#include "platform/Picture.h"

namespace ukh::platform {
namespace {

using TBytes = std::vector<uint8_t>;

void Put16(TBytes& b, size_t at, uint32_t v) {
  b[at] = uint8_t(v);
  b[at + 1] = uint8_t(v >> 8);
}
void Put32(TBytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + size_t(i)] = uint8_t(v >> (8 * i));
}

struct TBmpSpec {
  int32_t Width = 2;
  int32_t Height = 2;
  uint16_t BitCount = 24;
  uint32_t Compression = 0;
  std::vector<uint32_t> Palette;  // 0x00RRGGBB
  std::vector<uint32_t> Masks;    // after a 40-byte header, for bit fields
  TBytes Pixels;                  // exactly as stored
};

// File header, 40-byte info header, masks, palette, pixel data.
TBytes BuildBmp(const TBmpSpec& s) {
  size_t headerEnd = 14 + 40 + 4 * s.Masks.size() + 4 * s.Palette.size();
  TBytes b(headerEnd, 0);
  b[0] = 'B', b[1] = 'M';
  Put32(b, 2, uint32_t(headerEnd + s.Pixels.size()));
  Put32(b, 10, uint32_t(headerEnd));
  Put32(b, 14, 40);
  Put32(b, 18, uint32_t(s.Width));
  Put32(b, 22, uint32_t(s.Height));
  Put16(b, 26, 1);
  Put16(b, 28, s.BitCount);
  Put32(b, 30, s.Compression);
  Put32(b, 34, uint32_t(s.Pixels.size()));
  Put32(b, 46, uint32_t(s.Palette.size()));
  size_t at = 54;
  for (uint32_t m : s.Masks) Put32(b, at, m), at += 4;
  for (uint32_t c : s.Palette) Put32(b, at, c), at += 4;
  b.insert(b.end(), s.Pixels.begin(), s.Pixels.end());
  return b;
}

TRGBAImage Decode(const TBytes& b) {
  return DecodeBmp(b.data(), b.size(), "test.bmp");
}

// RGBA of pixel (x, y), y counted from the top.
std::vector<uint8_t> At(const TRGBAImage& img, int x, int y) {
  const uint8_t* p = img.Pixels.data() + (size_t(y) * size_t(img.Width) + size_t(x)) * 4;
  return {p[0], p[1], p[2], p[3]};
}
using RGBA = std::vector<uint8_t>;

const std::vector<uint32_t> kFourColours = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};

TEST(BmpReader, TwentyFourBitsBottomUpWithRowPadding) {
  // 2 x 2: bottom row first, 6 bytes of BGR and 2 bytes of padding each.
  TBmpSpec s;
  s.Pixels = {0,   0, 255, 0,   255, 0,   0, 0,   // bottom: red, green
              255, 0, 0,   255, 255, 255, 0, 0};  // top: blue, white
  TRGBAImage img = Decode(BuildBmp(s));
  ASSERT_EQ(img.Width, 2);
  ASSERT_EQ(img.Height, 2);
  EXPECT_FALSE(img.HasAlpha);
  EXPECT_EQ(At(img, 0, 0), (RGBA{0, 0, 255, 255}));
  EXPECT_EQ(At(img, 1, 0), (RGBA{255, 255, 255, 255}));
  EXPECT_EQ(At(img, 0, 1), (RGBA{255, 0, 0, 255}));
  EXPECT_EQ(At(img, 1, 1), (RGBA{0, 255, 0, 255}));
}

TEST(BmpReader, NegativeHeightMeansTopDownRows) {
  TBmpSpec s;
  s.Height = -2;
  s.Pixels = {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0};
  TRGBAImage img = Decode(BuildBmp(s));
  EXPECT_EQ(img.Height, 2);
  EXPECT_EQ(At(img, 0, 0), (RGBA{255, 0, 0, 255}));
  EXPECT_EQ(At(img, 1, 1), (RGBA{255, 255, 255, 255}));
}

struct TIndexedCase {
  const char* Name;
  uint16_t BitCount;
  TBytes Row;  // one 4-pixel row, padded to 4 bytes
};

class BmpIndexed : public testing::TestWithParam<TIndexedCase> {};

// Pixels 0..3 of the row use palette entries 0, 1, 2, 3 (1 bit: 0, 1, 1, 0).
TEST_P(BmpIndexed, DecodesThroughThePalette) {
  const TIndexedCase& c = GetParam();
  TBmpSpec s;
  s.Width = 4, s.Height = 1, s.BitCount = c.BitCount;
  s.Palette = c.BitCount == 1 ? std::vector<uint32_t>{0x000000, 0xFF0000} : kFourColours;
  s.Pixels = c.Row;
  TRGBAImage img = Decode(BuildBmp(s));
  std::vector<int> expected =
      c.BitCount == 1 ? std::vector<int>{0, 1, 1, 0} : std::vector<int>{0, 1, 2, 3};
  for (int x = 0; x < 4; ++x) {
    uint32_t rgb = s.Palette[size_t(expected[size_t(x)])];
    EXPECT_EQ(At(img, x, 0), (RGBA{uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb), 255}))
        << c.Name << " pixel " << x;
  }
}

INSTANTIATE_TEST_SUITE_P(Depths, BmpIndexed,
                         testing::Values(TIndexedCase{"1 bit", 1, {0b01100000, 0, 0, 0}},
                                         TIndexedCase{"4 bits", 4, {0x01, 0x23, 0, 0}},
                                         TIndexedCase{"8 bits", 8, {0, 1, 2, 3}}),
                         [](const auto& info) {
                           return std::to_string(info.param.BitCount) + "bit";
                         });

TEST(BmpReader, ThirtyTwoBitsUsesTheFourthByteAsAlphaOnlyWhenSet) {
  TBmpSpec s;
  s.Width = 2, s.Height = 1, s.BitCount = 32;
  s.Pixels = {10, 20, 30, 0, 40, 50, 60, 0};
  TRGBAImage opaque = Decode(BuildBmp(s));
  EXPECT_FALSE(opaque.HasAlpha);
  EXPECT_EQ(At(opaque, 1, 0), (RGBA{60, 50, 40, 255}));

  s.Pixels = {10, 20, 30, 128, 40, 50, 60, 0};
  TRGBAImage alpha = Decode(BuildBmp(s));
  EXPECT_TRUE(alpha.HasAlpha);
  EXPECT_EQ(At(alpha, 0, 0), (RGBA{30, 20, 10, 128}));
  EXPECT_EQ(At(alpha, 1, 0), (RGBA{60, 50, 40, 0}));
}

TEST(BmpReader, SixteenBitFieldsScaleEachChannelToEightBits) {
  TBmpSpec s;
  s.Width = 2, s.Height = 1, s.BitCount = 16, s.Compression = 3;
  s.Masks = {0xF800, 0x07E0, 0x001F};   // 5-6-5
  s.Pixels = {0x00, 0xF8, 0xE0, 0x07};  // pure red, pure green
  TRGBAImage img = Decode(BuildBmp(s));
  EXPECT_EQ(At(img, 0, 0), (RGBA{255, 0, 0, 255}));
  EXPECT_EQ(At(img, 1, 0), (RGBA{0, 255, 0, 255}));
}

TEST(BmpReader, Rle8RunsAbsoluteRunsDeltaAndEndOfLine) {
  TBmpSpec s;
  s.Width = 4, s.Height = 2, s.BitCount = 8, s.Compression = 1;
  s.Palette = kFourColours;
  s.Pixels = {2, 1,              // bottom row: two of colour 1
              0, 3, 2, 3, 1, 0,  // absolute run of 3 (padded): 2, 3, 1 — the last one is clipped
              0, 0,              // end of line
              0, 2, 1, 0,        // delta: skip one pixel of the top row
              1, 3,              // one of colour 3 at x = 1
              0, 1};             // end of bitmap
  TRGBAImage img = Decode(BuildBmp(s));
  EXPECT_EQ(At(img, 0, 1), (RGBA{255, 0, 0, 255}));
  EXPECT_EQ(At(img, 1, 1), (RGBA{255, 0, 0, 255}));
  EXPECT_EQ(At(img, 2, 1), (RGBA{0, 255, 0, 255}));
  EXPECT_EQ(At(img, 3, 1), (RGBA{0, 0, 255, 255}));
  EXPECT_EQ(At(img, 0, 0), (RGBA{0, 0, 0, 255}));  // skipped: colour 0
  EXPECT_EQ(At(img, 1, 0), (RGBA{0, 0, 255, 255}));
}

TEST(BmpReader, Rle4AlternatesTheTwoNibbles) {
  TBmpSpec s;
  s.Width = 4, s.Height = 1, s.BitCount = 4, s.Compression = 2;
  s.Palette = kFourColours;
  s.Pixels = {3, 0x12, 0, 3, 0x30, 0, 0, 1};  // 1, 2, 1 then absolute 3
  TRGBAImage img = Decode(BuildBmp(s));
  EXPECT_EQ(At(img, 0, 0), (RGBA{255, 0, 0, 255}));
  EXPECT_EQ(At(img, 1, 0), (RGBA{0, 255, 0, 255}));
  EXPECT_EQ(At(img, 2, 0), (RGBA{255, 0, 0, 255}));
  EXPECT_EQ(At(img, 3, 0), (RGBA{0, 0, 255, 255}));
}

TEST(BmpReader, CoreHeaderWithThreeBytePalette) {
  TBytes b(14 + 12 + 6 + 4, 0);
  b[0] = 'B', b[1] = 'M';
  Put32(b, 10, 14 + 12 + 6);
  Put32(b, 14, 12);
  Put16(b, 18, 2), Put16(b, 20, 1), Put16(b, 22, 1), Put16(b, 24, 1);
  b[26] = 1, b[27] = 2, b[28] = 3;       // colour 0: BGR
  b[29] = 200, b[30] = 100, b[31] = 50;  // colour 1
  b[32] = 0b01000000;                    // pixels 0, 1
  TRGBAImage img = Decode(b);
  EXPECT_EQ(At(img, 0, 0), (RGBA{3, 2, 1, 255}));
  EXPECT_EQ(At(img, 1, 0), (RGBA{50, 100, 200, 255}));
}

// ---- broken files ---------------------------------------------------------------------------

struct TBrokenCase {
  const char* Name;
  TBytes Bytes;
  const char* Problem;  // part of the message after "broken.bmp: "
};

TBytes Valid24() {
  TBmpSpec s;
  s.Pixels = TBytes(16, 7);
  return BuildBmp(s);
}
TBytes With32(TBytes b, size_t at, uint32_t v) {
  Put32(b, at, v);
  return b;
}
TBytes With16(TBytes b, size_t at, uint32_t v) {
  Put16(b, at, v);
  return b;
}
TBytes Cut(TBytes b, size_t size) {
  b.resize(size);
  return b;
}
TBytes Indexed8(uint8_t index) {
  TBmpSpec s;
  s.Width = 1, s.Height = 1, s.BitCount = 8, s.Palette = kFourColours;
  s.Pixels = {index, 0, 0, 0};
  return BuildBmp(s);
}
TBytes Rle8(TBytes data) {
  TBmpSpec s;
  s.Width = 4, s.Height = 2, s.BitCount = 8, s.Compression = 1, s.Palette = kFourColours;
  s.Pixels = std::move(data);
  return BuildBmp(s);
}
// A 60-byte file claiming 100 000 x 100 000 pixels.
TBytes Huge() {
  TBytes b = Cut(Valid24(), 60);
  Put32(b, 18, 100000);
  Put32(b, 22, 100000);
  return b;
}

std::vector<TBrokenCase> BrokenCases() {
  return {
      {"Empty", {}, "the file header is truncated"},
      {"OnlyTheSignature", {'B', 'M'}, "the file header is truncated"},
      {"NoSignature", With16(Valid24(), 0, 0x4D42 ^ 0x0101), "no \"BM\" signature"},
      {"InfoHeaderCut", Cut(Valid24(), 30), "the info header is truncated"},
      {"UnknownHeaderSize", With32(Valid24(), 14, 41), "unsupported info header size 41"},
      {"PixelDataCut", Cut(Valid24(), 54 + 10), "pixel data is truncated"},
      {"OffsetBeyondTheEnd", With32(Valid24(), 10, 5000), "is beyond the end of the file"},
      {"OffsetInsideTheHeader", With32(Valid24(), 10, 20), "lies inside the header"},
      {"ZeroWidth", With32(Valid24(), 18, 0), "width 0 is not positive"},
      {"NegativeWidth", With32(Valid24(), 18, uint32_t(-5)), "width -5 is not positive"},
      {"ZeroHeight", With32(Valid24(), 22, 0), "height is 0"},
      {"MostNegativeHeight", With32(Valid24(), 22, 0x80000000u), "pixels is too large"},
      {"RowSizeOverflows", With16(With32(Valid24(), 18, 0x7FFFFFFF), 28, 32),
       "pixels is too large"},
      {"HugeInASixtyByteFile", Huge(), "100000 x 100000 pixels is too large"},
      {"UnknownCompression", With32(Valid24(), 30, 9), "unsupported compression 9"},
      {"Rle8OnTwentyFourBits", With32(Valid24(), 30, 1), "RLE8 compression needs 8 bits"},
      {"BitDepthSeven", With16(Valid24(), 28, 7), "unsupported bit depth 7"},
      {"PaletteIndexBeyondThePalette", Indexed8(4),
       "palette index 4 at pixel (0, 0) is beyond the palette of 4 colours"},
      {"PaletteTooLargeForTheDepth", With32(Indexed8(0), 46, 300), "palette of 300 colours"},
      {"PaletteCut", Cut(Indexed8(0), 14 + 40 + 8), "the palette is truncated"},
      {"NoRoomForAPalette", With32(With32(Indexed8(0), 46, 0), 10, 54), "the palette is missing"},
      {"IndexBeyondAPaletteTheOffsetCuts", With32(Indexed8(4), 46, 0),
       "palette index 4 at pixel (0, 0) is beyond the palette of 4 colours"},
      {"RleWithoutEnd", Rle8({2, 1, 0, 0}), "the RLE pixel data is truncated"},
      {"RleAbsoluteRunPastTheData", Rle8({0, 200, 1, 1}), "the RLE pixel data is truncated"},
      {"RleDeltaCut", Rle8({0, 2, 1}), "the RLE pixel data is truncated"},
      {"RleIndexBeyondThePalette", Rle8({1, 9, 0, 1}), "palette index 9"},
      {"RleClaimingAHugePicture", With32(With32(Rle8({0, 1}), 18, 8000), 22, 8000),
       "RLE data of 2 bytes cannot fill 8000 x 8000 pixels"},
      {"TopDownRle", With32(Rle8({0, 1}), 22, uint32_t(-2)), "cannot be top-down"},
  };
}

TEST(BmpReader, WithoutAColourCountThePixelOffsetBoundsThePalette) {
  // Four colours stored, none counted: the pixel data right after them tells.
  TBytes b = Indexed8(3);
  Put32(b, 46, 0);
  TRGBAImage img = Decode(b);
  EXPECT_EQ(At(img, 0, 0), (RGBA{0, 0, 255, 255}));
}

class BmpBroken : public testing::TestWithParam<TBrokenCase> {};

TEST_P(BmpBroken, FailsWithTheFileAndTheProblem) {
  const TBrokenCase& c = GetParam();
  try {
    DecodeBmp(c.Bytes.data(), c.Bytes.size(), "broken.bmp");
    FAIL() << c.Name << " decoded";
  } catch (const EPictureError& e) {
    std::string message = e.what();
    EXPECT_EQ(message.rfind("broken.bmp: ", 0), 0u) << message;
    EXPECT_NE(message.find(c.Problem), std::string::npos) << message;
  }
}

INSTANTIATE_TEST_SUITE_P(Files, BmpBroken, testing::ValuesIn(BrokenCases()),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(BmpReader, EveryTruncationOfAValidFileFailsCleanly) {
  // Each prefix of a palette picture; under the sanitizers this also shows no read past it.
  TBmpSpec s;
  s.Width = 3, s.Height = 3, s.BitCount = 4, s.Palette = kFourColours;
  s.Pixels = {0x01, 0x20, 0, 0, 0x12, 0x30, 0, 0, 0x33, 0x10, 0, 0};
  TBytes full = BuildBmp(s);
  ASSERT_NO_THROW(Decode(full));
  for (size_t size = 0; size + 2 < full.size(); ++size) {
    // Heap copies of exactly `size` bytes, so a read past them is caught.
    std::vector<uint8_t> prefix(full.begin(), full.begin() + std::ptrdiff_t(size));
    EXPECT_THROW(DecodeBmp(prefix.data(), prefix.size(), "cut.bmp"), EPictureError)
        << "size " << size;
  }
}

}  // namespace
}  // namespace ukh::platform
