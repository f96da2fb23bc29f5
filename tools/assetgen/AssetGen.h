// The list of generated asset files and their making: what the `assetgen` program writes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ukh::assetgen {

// File names, in the order they are written.
const std::vector<std::string>& AssetNames();

// The bytes of one asset; std::invalid_argument for a name not in AssetNames.
std::vector<std::uint8_t> GenerateAsset(const std::string& name);

// Writes each named asset into `dir` (created if missing) through a temporary file, so an
// interrupted run never leaves a half-written file under the final name.
void WriteAssets(const std::string& dir, const std::vector<std::string>& names);

}  // namespace ukh::assetgen
