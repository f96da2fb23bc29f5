// TGLNormalDirection: whether a primitive's faces and normals point out of its volume or into
// it; shared by the box and the quadric objects.
#pragma once

#include <cstdint>

namespace ukh {

enum class TGLNormalDirection : uint8_t { ndInside, ndOutside };

}  // namespace ukh
