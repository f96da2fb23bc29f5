// Picture loading: the whole file is read (bounded by the largest picture the decoders
// accept) and decoded before the picture changes.
#include "engine/gl/GLPicture.h"

#include <filesystem>
#include <fstream>

namespace ukh {

void TGLPicture::LoadFromFile(const std::string& fileName) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(fileName, ec);
  if (ec) throw platform::EPictureError(fileName, "cannot be opened (" + ec.message() + ")");
  if (size > platform::kMaxPicturePixels * 4 + (1u << 20))
    throw platform::EPictureError(fileName, "file is too large");
  std::ifstream in(fileName, std::ios::binary);
  if (!in) throw platform::EPictureError(fileName, "cannot be opened");
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()));
  if (in.gcount() != std::streamsize(bytes.size()))
    throw platform::EPictureError(fileName, "read failed");
  SetGraphic(DecodeGraphic(bytes.data(), bytes.size(), fileName));
}

void TGLPicture::ReadData(const uint8_t* data, size_t size, const std::string& objectName) {
  std::optional<TGLGraphic> g = ReadPictureData(data, size, objectName);
  FGraphic = std::move(g);
  Changed();
}

void TGLPicture::SetGraphic(TGLGraphic graphic) {
  FGraphic = std::move(graphic);
  Changed();
}

void TGLPicture::Clear() {
  FGraphic.reset();
  Changed();
}

void TGLPicture::Assign(const TGLPicture& source) {
  if (&source == this) return;
  FGraphic = source.FGraphic;
  Changed();
}

}  // namespace ukh
