#include "platform/virtual_keys.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(VirtualKeys, Names) {
  struct Case {
    int code;
    std::u16string name;
  } cases[] = {
      {65, u"A"},    {90, u"Z"},     {48, u"0"},       {57, u"9"},      {112, u"F1"},
      {135, u"F24"}, {96, u"Num 0"}, {105, u"Num 9"},  {13, u"Enter"},  {27, u"Esc"},
      {37, u"Left"}, {40, u"Down"},  {33, u"Page Up"}, {46, u"Delete"}, {0, u""},
      {229, u"229"}, {64, u"64"},  // between the digits and the letters: no name
  };
  for (const auto& c : cases) EXPECT_EQ(VirtualKeyName(c.code), c.name) << c.code;
}

}  // namespace
}  // namespace platform
