// virtual_keys.h — the virtual-key codes that key settings and key tables store.
//
// The numbering is the handheld's: letters 'A'..'Z' = 65..90, digits '0'..'9' = 48..57,
// F1..F24 = 112..135, numeric keypad 0..9 = 96..105, and the named codes below.  Key
// codes are stored as plain integers in the profile ("keytoday") and in key tables; 0 means
// no key.
#pragma once

#include <string>

namespace platform {

enum VirtualKey : int {
  kVkNone = 0,
  kVkBack = 8,
  kVkTab = 9,
  kVkClear = 12,
  kVkReturn = 13,
  kVkShift = 16,
  kVkControl = 17,
  kVkMenu = 18,  // Alt
  kVkPause = 19,
  kVkCapital = 20,
  kVkEscape = 27,
  kVkSpace = 32,
  kVkPrior = 33,  // Page Up
  kVkNext = 34,   // Page Down
  kVkEnd = 35,
  kVkHome = 36,
  kVkLeft = 37,
  kVkUp = 38,
  kVkRight = 39,
  kVkDown = 40,
  kVkSnapshot = 44,
  kVkInsert = 45,
  kVkDelete = 46,
  kVk0 = 48,
  kVkA = 65,
  kVkLWin = 91,
  kVkApps = 93,
  kVkNumpad0 = 96,
  kVkMultiply = 106,
  kVkAdd = 107,
  kVkSeparator = 108,
  kVkSubtract = 109,
  kVkDecimal = 110,
  kVkDivide = 111,
  kVkF1 = 112,
  kVkF24 = 135,
  kVkNumLock = 144,
  kVkScroll = 145,
  kVkOem1 = 186,       // ;:
  kVkOemPlus = 187,    // =+
  kVkOemComma = 188,   // ,<
  kVkOemMinus = 189,   // -_
  kVkOemPeriod = 190,  // .>
  kVkOem2 = 191,       // /?
  kVkOem3 = 192,       // `~ (@ on Japanese keyboards)
  kVkOem4 = 219,       // [{
  kVkOem5 = 220,       // \|
  kVkOem6 = 221,       // ]}
  kVkOem7 = 222,       // '"
};

// Key codes are bytes: the largest code a key can have.
inline constexpr int kVkMaxCode = 255;

// A key code read from the profile as the program uses it: a code outside 0..255 (a
// hand-edited settings file) is no key (0), so no table indexed by key codes is ever read
// past its end.
constexpr int KeyCodeFromStored(int stored) {
  return stored >= 0 && stored <= kVkMaxCode ? stored : kVkNone;
}

// A short name of a code for display: "A", "5", "F12", "Enter", "Left", "Num 3", ...;
// codes without a name show as their number ("229").
std::u16string VirtualKeyName(int code);

// The code of a Qt key (Qt::Key value, as int); `keypad` when Qt reported
// Qt::KeypadModifier.  0 for keys without a virtual-key code.  Letters map to their
// capital code whatever the case, digits on the keypad to the keypad codes.
int VirtualKeyFromQtKey(int qtKey, bool keypad);

}  // namespace platform
