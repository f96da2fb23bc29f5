// The BMP decoder. The file is untrusted: every field is checked against the data before it
// is used, sizes are computed in 64 bits, and the image is bounded by kMaxPicturePixels
// before anything is allocated.
#include "platform/BmpReader.h"

#include <algorithm>
#include <bit>
#include <vector>

namespace ukh::platform {

namespace {

constexpr uint64_t kMaxRlePixelsPerByte = 1024;
constexpr uint32_t BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3, BI_ALPHABITFIELDS = 6;

// One colour channel of a bit-field pixel.
struct TChannel {
  uint32_t Mask = 0;
  int Shift = 0;
  int Bits = 0;

  uint8_t Read(uint32_t pixel, uint8_t whenAbsent) const {
    if (Bits == 0) return whenAbsent;
    uint32_t v = (pixel & Mask) >> Shift;
    if (Bits >= 8) return uint8_t(v >> (Bits - 8));
    uint32_t max = (1u << Bits) - 1;
    return uint8_t((v * 255 + max / 2) / max);
  }
};

class TBmpDecoder {
 public:
  TBmpDecoder(const uint8_t* data, size_t size, const std::string& fileName)
      : FData(data), FSize(size), FFileName(fileName) {}

  TRGBAImage Decode();

 private:
  [[noreturn]] void Fail(const std::string& problem) const {
    throw EPictureError(FFileName, problem);
  }
  void Need(uint64_t offset, uint64_t count, const char* what) const {
    if (offset > FSize || count > FSize - offset) Fail(std::string(what) + " is truncated");
  }
  uint16_t U16(size_t at) const { return uint16_t(FData[at] | FData[at + 1] << 8); }
  uint32_t U32(size_t at) const {
    return uint32_t(FData[at]) | uint32_t(FData[at + 1]) << 8 | uint32_t(FData[at + 2]) << 16 |
           uint32_t(FData[at + 3]) << 24;
  }

  TChannel MakeChannel(uint32_t mask, const char* name) const;
  void ReadHeader();
  void ReadPalette(size_t paletteStart);
  void SetIndexed(uint8_t* out, uint32_t index, int64_t x, int64_t y) const;
  uint8_t* Pixel(int64_t x, int64_t rowFromTop) {
    return FImage.Pixels.data() + (size_t(rowFromTop) * size_t(FWidth) + size_t(x)) * 4;
  }
  int64_t RowFromTop(int64_t sourceRow) const {
    return FTopDown ? sourceRow : FHeight - 1 - sourceRow;
  }
  void DecodeUncompressed();
  void DecodeRle();

  const uint8_t* FData;
  size_t FSize;
  const std::string& FFileName;

  uint32_t FPixelOffset = 0;
  uint32_t FHeaderSize = 0;
  int64_t FWidth = 0, FHeight = 0;
  bool FTopDown = false;
  uint16_t FBitCount = 0;
  uint32_t FCompression = BI_RGB;
  uint32_t FColorsUsed = 0;
  uint32_t FMasks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
  bool FHasMasks = false;
  std::vector<uint8_t> FPalette;  // R, G, B triples
  uint32_t FPaletteCount = 0;
  TRGBAImage FImage;
};

TChannel TBmpDecoder::MakeChannel(uint32_t mask, const char* name) const {
  TChannel c;
  if (mask == 0) return c;
  c.Mask = mask;
  c.Shift = std::countr_zero(mask);
  c.Bits = std::popcount(mask);
  if ((mask >> c.Shift) != (c.Bits == 32 ? 0xFFFFFFFFu : (1u << c.Bits) - 1))
    Fail(std::string("the ") + name + " bit mask is not contiguous");
  return c;
}

void TBmpDecoder::ReadHeader() {
  Need(0, 18, "the file header");
  if (FData[0] != 'B' || FData[1] != 'M') Fail("not a BMP file (no \"BM\" signature)");
  FPixelOffset = U32(10);
  FHeaderSize = U32(14);
  switch (FHeaderSize) {
    case 12:
    case 40:
    case 52:
    case 56:
    case 64:
    case 108:
    case 124:
      break;
    default:
      Fail("unsupported info header size " + std::to_string(FHeaderSize));
  }
  Need(14, FHeaderSize, "the info header");
  if (FHeaderSize == 12) {
    FWidth = U16(18);
    FHeight = U16(20);
    FBitCount = U16(24);
  } else {
    FWidth = int32_t(U32(18));
    FHeight = int32_t(U32(22));
    FBitCount = U16(28);
    FCompression = U32(30);
    FColorsUsed = U32(46);
    if (FHeaderSize >= 52 && FHeaderSize != 64) {
      for (int i = 0; i < 3; ++i) FMasks[i] = U32(54 + 4 * size_t(i));
      FHasMasks = true;
    }
    if (FHeaderSize >= 56 && FHeaderSize != 64) FMasks[3] = U32(66);
  }
  if (FWidth <= 0) Fail("width " + std::to_string(FWidth) + " is not positive");
  if (FHeight == 0) Fail("height is 0");
  if (FHeight < 0) {
    FTopDown = true;
    FHeight = -FHeight;  // int64, so even the most negative 32-bit height negates
  }
  switch (FBitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
      break;
    default:
      Fail("unsupported bit depth " + std::to_string(FBitCount));
  }
  switch (FCompression) {
    case BI_RGB:
      break;
    case BI_RLE8:
      if (FBitCount != 8) Fail("RLE8 compression needs 8 bits a pixel");
      break;
    case BI_RLE4:
      if (FBitCount != 4) Fail("RLE4 compression needs 4 bits a pixel");
      break;
    case BI_BITFIELDS:
    case BI_ALPHABITFIELDS:
      if (FBitCount != 16 && FBitCount != 32) Fail("bit-field compression needs 16 or 32 bits");
      break;
    default:
      Fail("unsupported compression " + std::to_string(FCompression));
  }
  if (FTopDown && (FCompression == BI_RLE8 || FCompression == BI_RLE4))
    Fail("a compressed picture cannot be top-down");
  if (uint64_t(FWidth) * uint64_t(FHeight) > kMaxPicturePixels)
    Fail(std::to_string(FWidth) + " x " + std::to_string(FHeight) + " pixels is too large");

  size_t paletteStart = 14 + FHeaderSize;
  if ((FCompression == BI_BITFIELDS || FCompression == BI_ALPHABITFIELDS) && !FHasMasks) {
    // A plain info header is followed by the masks.
    size_t count = FCompression == BI_BITFIELDS ? 3 : 4;
    Need(paletteStart, 4 * count, "the bit masks");
    for (size_t i = 0; i < count; ++i) FMasks[i] = U32(paletteStart + 4 * i);
    paletteStart += 4 * count;
    FHasMasks = true;
  }
  ReadPalette(paletteStart);
  if (FPixelOffset > FSize)
    Fail("pixel data offset " + std::to_string(FPixelOffset) + " is beyond the end of the file (" +
         std::to_string(FSize) + " bytes)");
}

void TBmpDecoder::ReadPalette(size_t paletteStart) {
  size_t paletteEnd = paletteStart;
  if (FBitCount <= 8) {
    uint32_t maxColors = 1u << FBitCount;
    size_t entry = FHeaderSize == 12 ? 3 : 4;
    FPaletteCount = FColorsUsed;
    if (FPaletteCount == 0) {
      // A full palette, unless the pixel data starts earlier: writers leave out the unused
      // colours and let the offset tell.
      FPaletteCount = maxColors;
      if (FPixelOffset >= paletteStart)
        FPaletteCount =
            uint32_t(std::min<uint64_t>(maxColors, (FPixelOffset - paletteStart) / entry));
      if (FPaletteCount == 0) Fail("the palette is missing");
    }
    if (FPaletteCount > maxColors)
      Fail("palette of " + std::to_string(FPaletteCount) + " colours is too large for " +
           std::to_string(FBitCount) + " bits a pixel");
    Need(paletteStart, uint64_t(FPaletteCount) * entry, "the palette");
    FPalette.resize(size_t(FPaletteCount) * 3);
    for (size_t i = 0; i < FPaletteCount; ++i) {
      const uint8_t* p = FData + paletteStart + i * entry;
      FPalette[i * 3] = p[2];
      FPalette[i * 3 + 1] = p[1];
      FPalette[i * 3 + 2] = p[0];
    }
    paletteEnd += size_t(FPaletteCount) * entry;
  }
  if (FPixelOffset < paletteEnd)
    Fail("pixel data offset " + std::to_string(FPixelOffset) + " lies inside the header (" +
         std::to_string(paletteEnd) + " bytes)");
}

void TBmpDecoder::SetIndexed(uint8_t* out, uint32_t index, int64_t x, int64_t y) const {
  if (index >= FPaletteCount)
    Fail("palette index " + std::to_string(index) + " at pixel (" + std::to_string(x) + ", " +
         std::to_string(y) + ") is beyond the palette of " + std::to_string(FPaletteCount) +
         " colours");
  out[0] = FPalette[index * 3];
  out[1] = FPalette[index * 3 + 1];
  out[2] = FPalette[index * 3 + 2];
  out[3] = 255;
}

void TBmpDecoder::DecodeUncompressed() {
  const uint64_t rowSize = (uint64_t(FWidth) * FBitCount + 31) / 32 * 4;
  const uint64_t lastRow = (uint64_t(FWidth) * FBitCount + 7) / 8;  // its padding may be cut
  const uint64_t needed = rowSize * uint64_t(FHeight - 1) + lastRow;
  if (needed > FSize - FPixelOffset)
    Fail("pixel data is truncated: " + std::to_string(needed) + " bytes needed, " +
         std::to_string(FSize - FPixelOffset) + " present");

  FImage.Pixels.assign(size_t(FWidth) * size_t(FHeight) * 4, 0);
  TChannel red, green, blue, alpha;
  bool alphaFromData = false;
  if (FBitCount == 16 || FBitCount == 32) {
    if (FCompression == BI_RGB) {
      if (FBitCount == 16) {
        FMasks[0] = 0x7C00, FMasks[1] = 0x03E0, FMasks[2] = 0x001F, FMasks[3] = 0;
      } else {
        FMasks[0] = 0xFF0000, FMasks[1] = 0xFF00, FMasks[2] = 0xFF;
        // The fourth byte is reserved; it counts as alpha only when some pixel uses it.
        FMasks[3] = 0xFF000000u;
        alphaFromData = true;
      }
    }
    red = MakeChannel(FMasks[0], "red");
    green = MakeChannel(FMasks[1], "green");
    blue = MakeChannel(FMasks[2], "blue");
    alpha = MakeChannel(FMasks[3], "alpha");
    FImage.HasAlpha = alpha.Bits > 0;
  }

  for (int64_t row = 0; row < FHeight; ++row) {
    const uint8_t* src = FData + FPixelOffset + size_t(rowSize) * size_t(row);
    uint8_t* out = Pixel(0, RowFromTop(row));
    for (int64_t x = 0; x < FWidth; ++x, out += 4) {
      switch (FBitCount) {
        case 1:
          SetIndexed(out, (src[x >> 3] >> (7 - (x & 7))) & 1, x, row);
          break;
        case 4:
          SetIndexed(out, (src[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF, x, row);
          break;
        case 8:
          SetIndexed(out, src[x], x, row);
          break;
        case 24:
          out[0] = src[x * 3 + 2], out[1] = src[x * 3 + 1], out[2] = src[x * 3], out[3] = 255;
          break;
        default: {
          uint32_t px = FBitCount == 16 ? uint32_t(src[x * 2] | src[x * 2 + 1] << 8)
                                        : U32(size_t(src - FData) + size_t(x) * 4);
          out[0] = red.Read(px, 0), out[1] = green.Read(px, 0), out[2] = blue.Read(px, 0);
          out[3] = alpha.Read(px, 255);
        }
      }
    }
  }
  if (alphaFromData) {
    bool used = false;
    for (size_t i = 3; i < FImage.Pixels.size() && !used; i += 4) used = FImage.Pixels[i] != 0;
    if (!used)
      for (size_t i = 3; i < FImage.Pixels.size(); i += 4) FImage.Pixels[i] = 255;
    FImage.HasAlpha = used;
  }
}

void TBmpDecoder::DecodeRle() {
  const bool rle4 = FCompression == BI_RLE4;
  // A run sets at most 255 pixels for two bytes; far sparser data would be a small file
  // claiming a huge picture, so it is refused before the picture is allocated.
  const uint64_t dataBytes = FSize - FPixelOffset;
  if (uint64_t(FWidth) * uint64_t(FHeight) > kMaxRlePixelsPerByte * dataBytes + 65536)
    Fail("RLE data of " + std::to_string(dataBytes) + " bytes cannot fill " +
         std::to_string(FWidth) + " x " + std::to_string(FHeight) + " pixels");
  FImage.Pixels.assign(size_t(FWidth) * size_t(FHeight) * 4, 0);
  // Pixels the data skips keep colour 0 of the palette.
  for (int64_t y = 0; y < FHeight; ++y)
    for (int64_t x = 0; x < FWidth; ++x) SetIndexed(Pixel(x, y), 0, x, y);

  size_t pos = FPixelOffset;
  int64_t x = 0, y = 0;
  auto put = [&](uint32_t index) {
    if (x < FWidth && y < FHeight) SetIndexed(Pixel(x, RowFromTop(y)), index, x, y);
    ++x;
  };
  // Every pass consumes at least two bytes, so the walk ends within the data.
  while (y < FHeight) {
    Need(pos, 2, "the RLE pixel data");
    uint8_t count = FData[pos], value = FData[pos + 1];
    pos += 2;
    if (count > 0) {
      for (int i = 0; i < count; ++i) put(rle4 ? ((i & 1) ? value & 0xF : value >> 4) : value);
    } else if (value == 0) {
      x = 0, ++y;
    } else if (value == 1) {
      break;
    } else if (value == 2) {
      Need(pos, 2, "the RLE pixel data");
      x += FData[pos];
      y += FData[pos + 1];
      pos += 2;
    } else {
      size_t bytes = rle4 ? (value + 1u) / 2 : value;
      Need(pos, bytes, "the RLE pixel data");
      for (int i = 0; i < value; ++i)
        put(rle4 ? ((i & 1) ? FData[pos + size_t(i / 2)] & 0xF : FData[pos + size_t(i / 2)] >> 4)
                 : FData[pos + size_t(i)]);
      pos += bytes + (bytes & 1);  // runs are padded to 16 bits
    }
  }
}

TRGBAImage TBmpDecoder::Decode() {
  ReadHeader();
  FImage.Width = int32_t(FWidth);
  FImage.Height = int32_t(FHeight);
  if (FCompression == BI_RLE8 || FCompression == BI_RLE4)
    DecodeRle();
  else
    DecodeUncompressed();
  return std::move(FImage);
}

}  // namespace

TRGBAImage DecodeBmp(const uint8_t* data, size_t size, const std::string& fileName) {
  return TBmpDecoder(data, size, fileName).Decode();
}

}  // namespace ukh::platform
