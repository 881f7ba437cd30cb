// Qt key codes to the handheld's virtual-key codes.
#include <Qt>

#include "platform/virtual_keys.h"

namespace platform {

int VirtualKeyFromQtKey(int qtKey, bool keypad) {
  if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return kVkA + (qtKey - Qt::Key_A);
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
    return (keypad ? kVkNumpad0 : kVk0) + (qtKey - Qt::Key_0);
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return kVkF1 + (qtKey - Qt::Key_F1);
  switch (qtKey) {
    case Qt::Key_Backspace:
      return kVkBack;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return kVkTab;
    case Qt::Key_Clear:
      return kVkClear;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return kVkReturn;
    case Qt::Key_Shift:
      return kVkShift;
    case Qt::Key_Control:
      return kVkControl;
    case Qt::Key_Alt:
      return kVkMenu;
    case Qt::Key_Pause:
      return kVkPause;
    case Qt::Key_CapsLock:
      return kVkCapital;
    case Qt::Key_Escape:
      return kVkEscape;
    case Qt::Key_Space:
      return kVkSpace;
    case Qt::Key_PageUp:
      return kVkPrior;
    case Qt::Key_PageDown:
      return kVkNext;
    case Qt::Key_End:
      return kVkEnd;
    case Qt::Key_Home:
      return kVkHome;
    case Qt::Key_Left:
      return kVkLeft;
    case Qt::Key_Up:
      return kVkUp;
    case Qt::Key_Right:
      return kVkRight;
    case Qt::Key_Down:
      return kVkDown;
    case Qt::Key_Print:
      return kVkSnapshot;
    case Qt::Key_Insert:
      return kVkInsert;
    case Qt::Key_Delete:
      return kVkDelete;
    case Qt::Key_Meta:
      return kVkLWin;
    case Qt::Key_Menu:
      return kVkApps;
    case Qt::Key_NumLock:
      return kVkNumLock;
    case Qt::Key_ScrollLock:
      return kVkScroll;
    case Qt::Key_Asterisk:
      return keypad ? kVkMultiply : 0;
    case Qt::Key_Plus:
      return keypad ? kVkAdd : kVkOemPlus;
    case Qt::Key_Minus:
      return keypad ? kVkSubtract : kVkOemMinus;
    case Qt::Key_Period:
      return keypad ? kVkDecimal : kVkOemPeriod;
    case Qt::Key_Slash:
      return keypad ? kVkDivide : kVkOem2;
    case Qt::Key_Comma:
      return keypad ? kVkSeparator : kVkOemComma;
    case Qt::Key_Semicolon:
    case Qt::Key_Colon:
      return kVkOem1;
    case Qt::Key_Equal:
      return kVkOemPlus;
    case Qt::Key_QuoteLeft:
    case Qt::Key_At:
      return kVkOem3;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft:
      return kVkOem4;
    case Qt::Key_Backslash:
    case Qt::Key_Bar:
      return kVkOem5;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight:
      return kVkOem6;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl:
      return kVkOem7;
    default:
      return 0;
  }
}

}  // namespace platform
