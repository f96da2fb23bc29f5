// The files built into the program: the level document ("level.json") and the pictures it
// names ("grass.bmp", "cube9.bmp"), as the build step found them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace ukh::game {

struct TEmbeddedFile {
  const char* Name;
  const uint8_t* Data;
  size_t Size;
};

// Defined in the generated source of the build.
std::span<const TEmbeddedFile> EmbeddedFiles();
// The embedded file of that exact name, or null.
const TEmbeddedFile* FindEmbeddedFile(std::string_view name);

}  // namespace ukh::game
