// assetgen: writes the game's models, pictures and sounds into a folder.
//   assetgen <folder> [file ...]   all assets, or only the named ones
//   assetgen --list                the file names, one a line
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "tools/assetgen/AssetGen.h"

int main(int argc, char** argv) {
  using namespace ukh::assetgen;
  if (argc == 2 && std::string(argv[1]) == "--list") {
    for (const std::string& n : AssetNames()) std::printf("%s\n", n.c_str());
    return 0;
  }
  if (argc < 2) {
    std::fprintf(stderr, "usage: assetgen <folder> [file ...] | assetgen --list\n");
    return 2;
  }
  std::vector<std::string> names(argv + 2, argv + argc);
  if (names.empty()) names = AssetNames();
  try {
    WriteAssets(argv[1], names);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "assetgen: %s\n", e.what());
    return 1;
  }
  return 0;
}
