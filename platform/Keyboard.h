// IKeyboard: the global, focus-independent key state of the window system, by virtual-key code.
#pragma once

#include <cstdint>

namespace ukh::platform {

// Virtual-key codes of the keys the game and the tools use.
inline constexpr int32_t VK_LEFT = 37;
inline constexpr int32_t VK_UP = 38;
inline constexpr int32_t VK_RIGHT = 39;
inline constexpr int32_t VK_DOWN = 40;

class IKeyboard {
 public:
  virtual ~IKeyboard() = default;
  // Bit 15 set: the key is down now. Bit 0 set: it was pressed since the previous query
  // (only where the platform can tell). Unknown codes read 0.
  virtual int16_t GetAsyncKeyState(int32_t virtualKey) = 0;
};

}  // namespace ukh::platform
