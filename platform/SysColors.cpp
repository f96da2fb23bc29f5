// The classic desktop colour scheme, so that a system colour always has the same RGB here.
#include "platform/SysColors.h"

#include <array>
#include <cstddef>

namespace ukh::platform {

namespace {
constexpr std::array<TRGB8, 31> kPalette = {{
    {212, 208, 200},  // scroll bar
    {58, 110, 165},   // desktop
    {10, 36, 106},    // active caption
    {128, 128, 128},  // inactive caption
    {212, 208, 200},  // menu
    {255, 255, 255},  // window
    {0, 0, 0},        // window frame
    {0, 0, 0},        // menu text
    {0, 0, 0},        // window text
    {255, 255, 255},  // caption text
    {212, 208, 200},  // active border
    {212, 208, 200},  // inactive border
    {128, 128, 128},  // application workspace
    {10, 36, 106},    // highlight
    {255, 255, 255},  // highlight text
    {212, 208, 200},  // button face
    {128, 128, 128},  // button shadow
    {128, 128, 128},  // grey text
    {0, 0, 0},        // button text
    {212, 208, 200},  // inactive caption text
    {255, 255, 255},  // button highlight
    {64, 64, 64},     // 3D dark shadow
    {212, 208, 200},  // 3D light
    {0, 0, 0},        // tooltip text
    {255, 255, 225},  // tooltip background
    {0, 0, 0},        // (unused index 25)
    {0, 0, 128},      // hot-tracked item
    {166, 202, 240},  // active caption gradient
    {192, 192, 192},  // inactive caption gradient
    {10, 36, 106},    // menu highlight
    {212, 208, 200},  // menu bar
}};
}  // namespace

TRGB8 GetSysColor(int32_t index) {
  if (index < 0 || index >= int32_t(kPalette.size())) return {};
  return kPalette[size_t(index)];
}

TRGB8 ColorToRGB(TColor color) {
  if ((color & kSystemColorFlag) == kSystemColorFlag) return GetSysColor(int32_t(color & 0xFF));
  return {uint8_t(color & 0xFF), uint8_t((color >> 8) & 0xFF), uint8_t((color >> 16) & 0xFF)};
}

}  // namespace ukh::platform
