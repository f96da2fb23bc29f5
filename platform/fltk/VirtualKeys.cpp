// Virtual-key codes to FLTK keys: arrows, editing and function keys, digits, letters, keypad.
#include "platform/fltk/VirtualKeys.h"

#include <FL/Enumerations.H>

namespace ukh::platform {

std::vector<int> FltkKeysOfVirtualKey(int32_t vk) {
  switch (vk) {
    case 0x08:
      return {FL_BackSpace};
    case 0x09:
      return {FL_Tab};
    case 0x0D:
      return {FL_Enter, FL_KP_Enter};
    case 0x10:
      return {FL_Shift_L, FL_Shift_R};
    case 0x11:
      return {FL_Control_L, FL_Control_R};
    case 0x12:
      return {FL_Alt_L, FL_Alt_R};
    case 0x13:
      return {FL_Pause};
    case 0x14:
      return {FL_Caps_Lock};
    case 0x1B:
      return {FL_Escape};
    case 0x20:
      return {' '};
    case 0x21:
      return {FL_Page_Up};
    case 0x22:
      return {FL_Page_Down};
    case 0x23:
      return {FL_End};
    case 0x24:
      return {FL_Home};
    case 0x25:
      return {FL_Left};
    case 0x26:
      return {FL_Up};
    case 0x27:
      return {FL_Right};
    case 0x28:
      return {FL_Down};
    case 0x2D:
      return {FL_Insert};
    case 0x2E:
      return {FL_Delete};
    case 0x6A:
      return {FL_KP + '*'};
    case 0x6B:
      return {FL_KP + '+'};
    case 0x6D:
      return {FL_KP + '-'};
    case 0x6E:
      return {FL_KP + '.'};
    case 0x6F:
      return {FL_KP + '/'};
    case 0xA0:
      return {FL_Shift_L};
    case 0xA1:
      return {FL_Shift_R};
    case 0xA2:
      return {FL_Control_L};
    case 0xA3:
      return {FL_Control_R};
    case 0xA4:
      return {FL_Alt_L};
    case 0xA5:
      return {FL_Alt_R};
    default:
      break;
  }
  if (vk >= '0' && vk <= '9') return {vk};
  if (vk >= 'A' && vk <= 'Z') return {vk - 'A' + 'a'};  // FLTK names letter keys in lower case
  if (vk >= 0x60 && vk <= 0x69) return {FL_KP + '0' + (vk - 0x60)};
  if (vk >= 0x70 && vk <= 0x87) return {FL_F + 1 + (vk - 0x70)};  // F1 to F24
  return {};
}

}  // namespace ukh::platform
