// libFuzzer target for the stored picture stream and the BMP decoder behind it: any input
// either reads as a picture that writes back and reads again to the same pixels, or fails
// with EPictureError; nothing else may happen.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

#include "engine/gl/GLPictureStream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::optional<ukh::TGLGraphic> g;
  try {
    g = ukh::ReadPictureData(data, size, "Fuzz.Picture.Data");
  } catch (const ukh::platform::EPictureError&) {
    return 0;
  }
  if (!g) return 0;
  const auto& image = g->Image;
  if (image.Width <= 0 || image.Height <= 0 ||
      image.Pixels.size() != size_t(image.Width) * size_t(image.Height) * 4)
    std::abort();
  const std::vector<uint8_t> again = ukh::WritePictureData(&*g);
  const auto back = ukh::ReadPictureData(again.data(), again.size(), "Fuzz.Picture.Data");
  if (!back || back->Image.Width != image.Width || back->Image.Height != image.Height ||
      back->Image.Pixels != image.Pixels)
    std::abort();
  return 0;
}
