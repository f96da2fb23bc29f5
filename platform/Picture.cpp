// Picture loading: reads the whole file and hands it to the decoder its extension names.
#include "platform/Picture.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/BmpReader.h"
#include "platform/PngReader.h"

namespace ukh::platform {

namespace {
std::string LowerExtension(const std::string& fileName) {
  std::string ext = std::filesystem::path(fileName).extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  return ext;
}
}  // namespace

TRGBAImage DecodePicture(const uint8_t* data, size_t size, const std::string& fileName) {
  std::string ext = LowerExtension(fileName);
  if (ext == ".bmp") return DecodeBmp(data, size, fileName);
  if (ext == ".png") return DecodePng(data, size, fileName);
  throw EPictureError(fileName, "no picture decoder for the extension \"" + ext + "\"");
}

TRGBAImage LoadPicture(const std::string& fileName) {
  std::error_code ec;
  auto size = std::filesystem::file_size(fileName, ec);
  if (ec) throw EPictureError(fileName, "cannot be opened (" + ec.message() + ")");
  // Larger than any picture we accept could be, even uncompressed with a full header.
  if (size > kMaxPicturePixels * 4 + (1u << 20)) throw EPictureError(fileName, "file is too large");
  std::ifstream in(fileName, std::ios::binary);
  if (!in) throw EPictureError(fileName, "cannot be opened");
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()));
  if (in.gcount() != std::streamsize(bytes.size())) throw EPictureError(fileName, "read failed");
  return DecodePicture(bytes.data(), bytes.size(), fileName);
}

}  // namespace ukh::platform
