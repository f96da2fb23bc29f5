// The PNG decoder, on libpng: any colour type and bit depth, to 8-bit RGBA.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Picture.h"

namespace ukh::platform {

// Throws EPictureError naming `fileName` and libpng's reason.
TRGBAImage DecodePng(const uint8_t* data, size_t size, const std::string& fileName);

}  // namespace ukh::platform
