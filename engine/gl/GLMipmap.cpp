// The mipmap chain: every level filtered from the one before it.
#include "engine/gl/GLMipmap.h"

#include <algorithm>

#include "engine/base/Exception.h"
#include "engine/gl/GLImageResample.h"

namespace ukh {

int32_t MipmapLevelCount(int32_t width, int32_t height) {
  int32_t size = std::max(width, height), levels = 1;
  while (size > 1 && levels < cMaxMipmapLevels) size >>= 1, ++levels;
  return levels;
}

void BuildMipmaps(std::vector<uint8_t>& data, int32_t width, int32_t height, int channels,
                  int32_t levels) {
  Assert(width >= 1 && height >= 1 && levels >= 1 && levels <= cMaxMipmapLevels);
  const size_t ch = size_t(channels);
  Assert(data.size() == size_t(width) * size_t(height) * ch);
  size_t total = 0;
  for (int32_t l = 0; l < levels; ++l)
    total += size_t(MipmapLevelSize(width, l)) * size_t(MipmapLevelSize(height, l)) * ch;
  data.resize(total);
  size_t from = 0;
  for (int32_t l = 1; l < levels; ++l) {
    const int32_t pw = MipmapLevelSize(width, l - 1), ph = MipmapLevelSize(height, l - 1);
    const int32_t w = MipmapLevelSize(width, l), h = MipmapLevelSize(height, l);
    const size_t to = from + size_t(pw) * size_t(ph) * ch;
    ResampleImage(data.data() + from, pw, ph, channels, data.data() + to, w, h, cTriangleFilter);
    from = to;
  }
}

}  // namespace ukh
