// Reading the built asset files in the tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace ukh::assets_test {

inline std::string AssetPath(const std::string& name) {
  return std::string(UKH_ASSET_DIR) + "/" + name;
}

inline std::vector<std::uint8_t> ReadAsset(const std::string& name) {
  std::ifstream in(AssetPath(name), std::ios::binary);
  EXPECT_TRUE(in.good()) << AssetPath(name) << " missing";
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::uint32_t Le32(const std::vector<std::uint8_t>& d, std::size_t o) {
  return d[o] | d[o + 1] << 8 | d[o + 2] << 16 | std::uint32_t(d[o + 3]) << 24;
}
inline std::uint16_t Le16(const std::vector<std::uint8_t>& d, std::size_t o) {
  return std::uint16_t(d[o] | d[o + 1] << 8);
}

}  // namespace ukh::assets_test
