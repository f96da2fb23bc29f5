// The stored form of a picture (the "Picture.Data" property): the graphic's class name as
// a length byte and its characters, then the graphic's own data; for "TBitmap" a 32-bit
// little-endian byte count and a complete BMP file. Also the decoding of picture files into
// the same graphic. Pure code, no GL: every byte is untrusted and checked before use.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Picture.h"

namespace ukh {

// A decoded graphic of the windowing toolkit: its class and the pixels.
struct TGLGraphic {
  std::string ClassName;      // "TBitmap" or "TPngImage"
  uint16_t BitsPerPixel = 0;  // of the bitmap as stored; 32 for a PNG picture
  platform::TRGBAImage Image;
};

inline constexpr const char* cBitmapClassName = "TBitmap";
inline constexpr const char* cPngClassName = "TPngImage";

// Reads a stored picture; `objectName` names the property in errors (EPictureError). An
// empty class name is a picture without a graphic (nullopt).
std::optional<TGLGraphic> ReadPictureData(const uint8_t* data, size_t size,
                                          const std::string& objectName);
// The stored form of `graphic`, always as a "TBitmap" (24 bits a pixel, or 32 with alpha);
// nullptr writes the form of an empty picture.
std::vector<uint8_t> WritePictureData(const TGLGraphic* graphic);

// A complete BMP file of the image: 24 bits a pixel bottom-up, or 32 bits with an alpha
// mask when the image has alpha.
std::vector<uint8_t> EncodeBmp(const platform::TRGBAImage& image);

// Decodes picture file bytes by the file's extension (".bmp", ".png").
TGLGraphic DecodeGraphic(const uint8_t* data, size_t size, const std::string& fileName);

}  // namespace ukh
