// Decoded pictures: a plain RGBA8 image, the picture error, and loading a picture file with
// the decoder its extension names (".bmp" or ".png", in any letter case).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/base/Exception.h"

namespace ukh::platform {

// Rows top to bottom, 4 bytes a pixel (R, G, B, A); A is 255 where the source has no alpha.
struct TRGBAImage {
  int32_t Width = 0;
  int32_t Height = 0;
  std::vector<uint8_t> Pixels;
  bool HasAlpha = false;
};

// A picture that cannot be read; the message starts with the file's name.
class EPictureError : public Exception {
 public:
  EPictureError(const std::string& fileName, const std::string& problem)
      : Exception(fileName + ": " + problem) {}
};

// The largest picture the decoders accept, in pixels (256 MiB of RGBA).
inline constexpr uint64_t kMaxPicturePixels = uint64_t(1) << 26;

TRGBAImage LoadPicture(const std::string& fileName);
// Decodes bytes already in memory; `fileName` names them in errors and picks the decoder.
TRGBAImage DecodePicture(const uint8_t* data, size_t size, const std::string& fileName);

}  // namespace ukh::platform
