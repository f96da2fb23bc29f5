// The PNG decoder, on libpng's simplified reading interface, which keeps libpng's own error
// recovery inside libpng and reports failures as a message.
#include "platform/PngReader.h"

#include <png.h>

namespace ukh::platform {

TRGBAImage DecodePng(const uint8_t* data, size_t size, const std::string& fileName) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data, size))
    throw EPictureError(fileName, std::string("not a readable PNG file (") + image.message + ")");

  TRGBAImage result;
  result.HasAlpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
  if (image.width == 0 || image.height == 0 ||
      uint64_t(image.width) * image.height > kMaxPicturePixels) {
    std::string problem =
        std::to_string(image.width) + " x " + std::to_string(image.height) + " pixels is too large";
    png_image_free(&image);
    throw EPictureError(fileName, problem);
  }
  image.format = PNG_FORMAT_RGBA;
  result.Width = int32_t(image.width);
  result.Height = int32_t(image.height);
  result.Pixels.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, result.Pixels.data(), 0, nullptr)) {
    std::string problem = std::string("broken PNG data (") + image.message + ")";
    png_image_free(&image);
    throw EPictureError(fileName, problem);
  }
  return result;
}

}  // namespace ukh::platform
