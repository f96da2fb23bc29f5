// Stored pictures and picture files. The BMP file inside a stored picture is handed to the
// BMP decoder only after its claimed length has been checked against the bytes present, so
// a lying length can neither read past the data nor make anything allocate.
#include "engine/gl/GLPictureStream.h"

#include <cctype>
#include <filesystem>
#include <string_view>

#include "platform/BmpReader.h"
#include "platform/PngReader.h"

namespace ukh {

namespace {

uint32_t U32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v);
  Put16(out, v >> 16);
}

// The bit depth of a BMP file the decoder has accepted (so its header is present).
uint16_t BmpBitCount(const uint8_t* data) {
  const uint32_t headerSize = U32(data + 14);
  const size_t at = headerSize == 12 ? 24 : 28;
  return uint16_t(data[at] | data[at + 1] << 8);
}

TGLGraphic DecodeBitmap(const uint8_t* data, size_t size, const std::string& name) {
  TGLGraphic g;
  g.ClassName = cBitmapClassName;
  g.Image = platform::DecodeBmp(data, size, name);
  g.BitsPerPixel = BmpBitCount(data);
  return g;
}

}  // namespace

std::optional<TGLGraphic> ReadPictureData(const uint8_t* data, size_t size,
                                          const std::string& objectName) {
  auto fail = [&](const std::string& problem) -> platform::EPictureError {
    return platform::EPictureError(objectName, problem);
  };
  if (size == 0) throw fail("the picture data is empty");
  const size_t nameLength = data[0];
  if (nameLength > size - 1)
    throw fail("the class name of " + std::to_string(nameLength) + " characters is cut off after " +
               std::to_string(size - 1));
  const std::string className(reinterpret_cast<const char*>(data + 1), nameLength);
  size_t pos = 1 + nameLength;
  if (className.empty()) {
    if (pos != size)
      throw fail("an empty picture is followed by " + std::to_string(size - pos) + " bytes");
    return std::nullopt;
  }
  if (className != cBitmapClassName) throw fail("unknown graphic class \"" + className + "\"");
  if (size - pos < 4) throw fail("the bitmap's byte count is cut off");
  const uint32_t length = U32(data + pos);
  pos += 4;
  if (length > size - pos)
    throw fail("the bitmap claims " + std::to_string(length) + " bytes but " +
               std::to_string(size - pos) + " follow");
  if (length < size - pos)
    throw fail(std::to_string(size - pos - length) + " unexpected bytes follow the bitmap");
  return DecodeBitmap(data + pos, length, objectName);
}

std::vector<uint8_t> EncodeBmp(const platform::TRGBAImage& image) {
  const bool alpha = image.HasAlpha;
  const uint32_t w = uint32_t(image.Width), h = uint32_t(image.Height);
  const uint32_t rowSize = alpha ? w * 4 : (w * 3 + 3) / 4 * 4;
  const uint32_t headerSize = alpha ? 56 : 40;  // with alpha: the info header with four masks
  const uint32_t offset = 14 + headerSize;
  const uint32_t fileSize = offset + rowSize * h;
  std::vector<uint8_t> out;
  out.reserve(fileSize);
  out.push_back('B');
  out.push_back('M');
  Put32(out, fileSize);
  Put32(out, 0);
  Put32(out, offset);
  Put32(out, headerSize);
  Put32(out, w);
  Put32(out, h);  // positive: rows bottom-up
  Put16(out, 1);
  Put16(out, alpha ? 32 : 24);
  Put32(out, alpha ? 3 : 0);  // BI_BITFIELDS : BI_RGB
  Put32(out, rowSize * h);
  Put32(out, 2835);  // 72 dpi
  Put32(out, 2835);
  Put32(out, 0);
  Put32(out, 0);
  if (alpha) {
    Put32(out, 0x00FF0000u);
    Put32(out, 0x0000FF00u);
    Put32(out, 0x000000FFu);
    Put32(out, 0xFF000000u);
  }
  for (uint32_t y = h; y-- > 0;) {
    const uint8_t* p = image.Pixels.data() + size_t(y) * w * 4;
    size_t start = out.size();
    for (uint32_t x = 0; x < w; ++x, p += 4) {
      out.push_back(p[2]);
      out.push_back(p[1]);
      out.push_back(p[0]);
      if (alpha) out.push_back(p[3]);
    }
    out.resize(start + rowSize, 0);
  }
  return out;
}

std::vector<uint8_t> WritePictureData(const TGLGraphic* graphic) {
  std::vector<uint8_t> out;
  if (!graphic || graphic->Image.Width <= 0 || graphic->Image.Height <= 0) {
    out.push_back(0);
    return out;
  }
  const std::string_view name = cBitmapClassName;
  const std::vector<uint8_t> bmp = EncodeBmp(graphic->Image);
  out.reserve(1 + name.size() + 4 + bmp.size());
  out.push_back(uint8_t(name.size()));
  for (char c : name) out.push_back(uint8_t(c));
  Put32(out, uint32_t(bmp.size()));
  out.insert(out.end(), bmp.begin(), bmp.end());
  return out;
}

TGLGraphic DecodeGraphic(const uint8_t* data, size_t size, const std::string& fileName) {
  std::string ext = std::filesystem::path(fileName).extension().string();
  for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
  if (ext == ".bmp") return DecodeBitmap(data, size, fileName);
  if (ext == ".png") {
    TGLGraphic g;
    g.ClassName = cPngClassName;
    g.Image = platform::DecodePng(data, size, fileName);
    g.BitsPerPixel = 32;
    return g;
  }
  throw platform::EPictureError(fileName, "no picture decoder for the extension \"" + ext + "\"");
}

}  // namespace ukh
