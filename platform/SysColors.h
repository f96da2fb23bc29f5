// System colours by index: a fixed palette of the classic desktop scheme, and the toolkit's
// colour values that name a system colour (0xFF0000nn) resolved to RGB at each use.
#pragma once

#include <cstdint>

namespace ukh::platform {

enum TSysColorIndex : int32_t {
  COLOR_SCROLLBAR = 0,
  COLOR_BACKGROUND = 1,  // the desktop
  COLOR_ACTIVECAPTION = 2,
  COLOR_INACTIVECAPTION = 3,
  COLOR_MENU = 4,
  COLOR_WINDOW = 5,
  COLOR_WINDOWFRAME = 6,
  COLOR_MENUTEXT = 7,
  COLOR_WINDOWTEXT = 8,
  COLOR_CAPTIONTEXT = 9,
  COLOR_ACTIVEBORDER = 10,
  COLOR_INACTIVEBORDER = 11,
  COLOR_APPWORKSPACE = 12,
  COLOR_HIGHLIGHT = 13,
  COLOR_HIGHLIGHTTEXT = 14,
  COLOR_BTNFACE = 15,
  COLOR_BTNSHADOW = 16,
  COLOR_GRAYTEXT = 17,
  COLOR_BTNTEXT = 18,
  COLOR_INACTIVECAPTIONTEXT = 19,
  COLOR_BTNHIGHLIGHT = 20,
  COLOR_3DDKSHADOW = 21,
  COLOR_3DLIGHT = 22,
  COLOR_INFOTEXT = 23,
  COLOR_INFOBK = 24,
  COLOR_HOTLIGHT = 26,
  COLOR_GRADIENTACTIVECAPTION = 27,
  COLOR_GRADIENTINACTIVECAPTION = 28,
  COLOR_MENUHILIGHT = 29,
  COLOR_MENUBAR = 30,
};

struct TRGB8 {
  uint8_t R = 0, G = 0, B = 0;
  friend bool operator==(const TRGB8&, const TRGB8&) = default;
};

// The colour of a system colour index; an index outside the palette reads black.
TRGB8 GetSysColor(int32_t index);

// A toolkit colour value: 0x00BBGGRR for a plain colour, 0xFF0000nn for system colour nn.
using TColor = uint32_t;
inline constexpr TColor kSystemColorFlag = 0xFF000000u;
constexpr TColor SystemColor(int32_t index) {
  return kSystemColorFlag | uint32_t(index);
}
inline constexpr TColor clBtnFace = SystemColor(COLOR_BTNFACE);
inline constexpr TColor clWindowText = SystemColor(COLOR_WINDOWTEXT);
inline constexpr TColor clBackground = SystemColor(COLOR_BACKGROUND);
inline constexpr TColor clGradientActiveCaption = SystemColor(COLOR_GRADIENTACTIVECAPTION);
inline constexpr TColor clYellow = 0x0000FFFFu;

TRGB8 ColorToRGB(TColor color);

}  // namespace ukh::platform
