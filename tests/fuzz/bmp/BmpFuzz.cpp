// libFuzzer target for the BMP decoder: any input either decodes to an image of the size it
// claims or fails with EPictureError; nothing else may happen.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/BmpReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    ukh::platform::TRGBAImage image = ukh::platform::DecodeBmp(data, size, "fuzz.bmp");
    if (image.Pixels.size() != size_t(image.Width) * size_t(image.Height) * 4) std::abort();
  } catch (const ukh::platform::EPictureError&) {
  }
  return 0;
}
