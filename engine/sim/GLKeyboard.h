// KeyHeld: whether a key is down at the moment of the call, from the window system's global
// key state (whichever window has the focus). Earlier presses are not latched.
#pragma once

#include <cstdint>

#include "platform/Keyboard.h"

namespace ukh {

// `key` is a virtual-key code (37 left, 38 up, 39 right, 40 down). Asks the current platform.
bool KeyHeld(int32_t key);
bool KeyHeld(platform::IKeyboard& keyboard, int32_t key);

}  // namespace ukh
