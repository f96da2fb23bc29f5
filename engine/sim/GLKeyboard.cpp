// Key polling on the platform's asynchronous key state.
#include "engine/sim/GLKeyboard.h"

#include "platform/Platform.h"

namespace ukh {

bool KeyHeld(platform::IKeyboard& keyboard, int32_t key) {
  // Only the "down now" bit counts; the "pressed since the last query" bit is ignored.
  return (uint16_t(keyboard.GetAsyncKeyState(key)) & 0x8000u) != 0;
}

bool KeyHeld(int32_t key) {
  return KeyHeld(platform::CurrentPlatform().Keyboard(), key);
}

}  // namespace ukh
