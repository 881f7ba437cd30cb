#include <gtest/gtest.h>

#include <Qt>

#include "platform/virtual_keys.h"

namespace platform {
namespace {

TEST(VirtualKeys, FromQtKeys) {
  struct Case {
    int qtKey;
    bool keypad;
    int code;
  } cases[] = {
      {Qt::Key_A, false, 65},        {Qt::Key_Z, false, 90},      {Qt::Key_0, false, 48},
      {Qt::Key_9, false, 57},        {Qt::Key_0, true, 96},       {Qt::Key_9, true, 105},
      {Qt::Key_F1, false, 112},      {Qt::Key_F12, false, 123},   {Qt::Key_F24, false, 135},
      {Qt::Key_Left, false, 37},     {Qt::Key_Up, false, 38},     {Qt::Key_Right, false, 39},
      {Qt::Key_Down, false, 40},     {Qt::Key_Return, false, 13}, {Qt::Key_Enter, true, 13},
      {Qt::Key_Escape, false, 27},   {Qt::Key_Space, false, 32},  {Qt::Key_Tab, false, 9},
      {Qt::Key_Backspace, false, 8}, {Qt::Key_Delete, false, 46}, {Qt::Key_Insert, false, 45},
      {Qt::Key_Home, false, 36},     {Qt::Key_End, false, 35},    {Qt::Key_PageUp, false, 33},
      {Qt::Key_PageDown, false, 34}, {Qt::Key_Shift, false, 16},  {Qt::Key_Control, false, 17},
      {Qt::Key_Alt, false, 18},      {Qt::Key_Plus, true, 107},   {Qt::Key_Minus, false, 189},
      {Qt::Key_MediaPlay, false, 0}, {Qt::Key_unknown, false, 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(VirtualKeyFromQtKey(c.qtKey, c.keypad), c.code) << std::hex << c.qtKey;
}

}  // namespace
}  // namespace platform
