// The table from the window system's virtual-key codes to FLTK's key numbers.
#pragma once

#include <cstdint>
#include <vector>

namespace ukh::platform {

// FLTK keys whose state makes up the virtual key (two for the generic Shift, Control and Alt,
// which mean either side); empty for a code without a key here.
std::vector<int> FltkKeysOfVirtualKey(int32_t virtualKey);

}  // namespace ukh::platform
