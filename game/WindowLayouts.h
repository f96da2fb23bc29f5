// The stored layouts of the game's four windows: sizes, captions, fonts and colours of every
// control, in creation order.
#pragma once

#include "platform/Windows.h"

namespace ukh::game {

platform::TWindowLayout Form1Layout();  // the game window
platform::TWindowLayout Form2Layout();  // the menu
platform::TWindowLayout Form3Layout();  // the loading notice
platform::TWindowLayout Form4Layout();  // the win window

}  // namespace ukh::game
