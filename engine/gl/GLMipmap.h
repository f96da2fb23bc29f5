// Software mipmap chains for GL implementations that cannot generate them: each level half
// the previous one in each dimension (integer halving, never below 1), triangle-filtered.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ukh {

inline constexpr int32_t cMaxMipmapLevels = 16;

// Levels down to 1 x 1, level 0 included; at most cMaxMipmapLevels.
int32_t MipmapLevelCount(int32_t width, int32_t height);
// The size of `level` along an axis of `size0` pixels at level 0.
inline int32_t MipmapLevelSize(int32_t size0, int32_t level) {
  int32_t s = size0 >> level;
  return s < 1 ? 1 : s;
}

// Appends levels 1 .. levels - 1 to `data`, which holds level 0 (width x height pixels of
// `channels` bytes, rows packed) and becomes all levels back to back.
void BuildMipmaps(std::vector<uint8_t>& data, int32_t width, int32_t height, int channels,
                  int32_t levels);

}  // namespace ukh
