// Display names of virtual-key codes.
#include "platform/virtual_keys.h"

#include <string>

namespace platform {

std::u16string VirtualKeyName(int code) {
  auto ascii = [](const std::string& s) { return std::u16string(s.begin(), s.end()); };
  if ((code >= kVkA && code < kVkA + 26) || (code >= kVk0 && code < kVk0 + 10))
    return std::u16string(1, char16_t(code));
  if (code >= kVkF1 && code <= kVkF24) return ascii("F" + std::to_string(code - kVkF1 + 1));
  if (code >= kVkNumpad0 && code < kVkNumpad0 + 10)
    return ascii("Num " + std::to_string(code - kVkNumpad0));
  switch (code) {
    case kVkNone:
      return u"";
    case kVkBack:
      return u"Backspace";
    case kVkTab:
      return u"Tab";
    case kVkClear:
      return u"Clear";
    case kVkReturn:
      return u"Enter";
    case kVkShift:
      return u"Shift";
    case kVkControl:
      return u"Ctrl";
    case kVkMenu:
      return u"Alt";
    case kVkPause:
      return u"Pause";
    case kVkCapital:
      return u"Caps Lock";
    case kVkEscape:
      return u"Esc";
    case kVkSpace:
      return u"Space";
    case kVkPrior:
      return u"Page Up";
    case kVkNext:
      return u"Page Down";
    case kVkEnd:
      return u"End";
    case kVkHome:
      return u"Home";
    case kVkLeft:
      return u"Left";
    case kVkUp:
      return u"Up";
    case kVkRight:
      return u"Right";
    case kVkDown:
      return u"Down";
    case kVkSnapshot:
      return u"Print";
    case kVkInsert:
      return u"Insert";
    case kVkDelete:
      return u"Delete";
    case kVkLWin:
      return u"Win";
    case kVkApps:
      return u"Menu";
    case kVkMultiply:
      return u"Num *";
    case kVkAdd:
      return u"Num +";
    case kVkSeparator:
      return u"Num ,";
    case kVkSubtract:
      return u"Num -";
    case kVkDecimal:
      return u"Num .";
    case kVkDivide:
      return u"Num /";
    case kVkNumLock:
      return u"Num Lock";
    case kVkScroll:
      return u"Scroll Lock";
    case kVkOem1:
      return u";";
    case kVkOemPlus:
      return u"=";
    case kVkOemComma:
      return u",";
    case kVkOemMinus:
      return u"-";
    case kVkOemPeriod:
      return u".";
    case kVkOem2:
      return u"/";
    case kVkOem3:
      return u"`";
    case kVkOem4:
      return u"[";
    case kVkOem5:
      return u"\\";
    case kVkOem6:
      return u"]";
    case kVkOem7:
      return u"'";
    default:
      return ascii(std::to_string(code));
  }
}

}  // namespace platform
