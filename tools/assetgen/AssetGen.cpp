// Maps asset file names to their generators and writes the files.
#include "tools/assetgen/AssetGen.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <stdexcept>

#include "tools/assetgen/Models.h"
#include "tools/assetgen/Pictures.h"
#include "tools/assetgen/Sound.h"
#include "tools/assetgen/Writer3DS.h"

namespace ukh::assetgen {

namespace {

using TGenerator = std::function<std::vector<std::uint8_t>()>;

const std::vector<std::pair<std::string, TGenerator>>& Table() {
  static const std::vector<std::pair<std::string, TGenerator>> table = {
      {"Car_02.3ds", [] { return Write3DS(BuildCar()); }},
      {"Hous.3ds", [] { return Write3DS(BuildHouse()); }},
      {"03.bmp", [] { return EncodeBmp24(DrawCrate()); }},
      {"04.bmp", [] { return EncodeBmp24(DrawCanister()); }},
      {"05.bmp", [] { return EncodeBmp24(DrawHouseWall()); }},
      {"grass.bmp", [] { return EncodeBmp24(DrawGrass()); }},
      {"cube9.bmp", [] { return EncodeBmp24(DrawBoxPlaceholder()); }},
      {"menu_image1.png", [] { return EncodePng(DrawMenuBadge(), true); }},
      {"menu_image2.bmp", [] { return EncodeBmp24(DrawMenuTitle()); }},
      {"menu_image3.png", [] { return EncodePng(DrawMenuRoad(), false); }},
      {"Menu.wav", [] { return EncodeWav16Mono(SynthMenuJingle(), kSampleRate); }},
      {"Track01.wav", [] { return EncodeWav16Mono(SynthTrack(), kSampleRate); }},
  };
  return table;
}

}  // namespace

const std::vector<std::string>& AssetNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> n;
    for (const auto& [name, gen] : Table()) n.push_back(name);
    return n;
  }();
  return names;
}

std::vector<std::uint8_t> GenerateAsset(const std::string& name) {
  for (const auto& [n, gen] : Table())
    if (n == name) return gen();
  throw std::invalid_argument("unknown asset \"" + name + "\"");
}

void WriteAssets(const std::string& dir, const std::vector<std::string>& names) {
  namespace fs = std::filesystem;
  fs::create_directories(dir);
  for (const std::string& name : names) {
    const std::vector<std::uint8_t> data = GenerateAsset(name);
    const fs::path target = fs::path(dir) / name;
    const fs::path temp = fs::path(dir) / (name + ".tmp");
    {
      std::ofstream out(temp, std::ios::binary | std::ios::trunc);
      if (!out) throw std::runtime_error("cannot create \"" + temp.string() + "\"");
      out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
      out.close();
      if (!out) throw std::runtime_error("cannot write \"" + temp.string() + "\"");
    }
    fs::rename(temp, target);
  }
}

}  // namespace ukh::assetgen
