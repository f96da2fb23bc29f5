// The BMP decoder: core and info headers (up to V5), 1, 4, 8, 16, 24 and 32 bits a pixel,
// uncompressed, RLE8, RLE4 and bit-field masks; rows bottom-up or, with a negative height,
// top-down. Every size and offset is checked against the data before it is used.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Picture.h"

namespace ukh::platform {

// Throws EPictureError naming `fileName` and the problem.
TRGBAImage DecodeBmp(const uint8_t* data, size_t size, const std::string& fileName);

}  // namespace ukh::platform
