#include <gtest/gtest.h>

#include "common/plugin_interface.h"

namespace {

TEST(SharedString, CopiesShareTextUntilReleased) {
  SharedString name{};
  EXPECT_TRUE(name.empty());
  name.set(u"スケジュール");
  SharedString copy = name;  // a plain record copy, as key tables and slots are copied
  EXPECT_EQ(copy.get(), u"スケジュール");
  copy.set(u"天気予報");
  EXPECT_EQ(name.get(), u"天気予報") << "one entry, two objects";
  name.clear();
  EXPECT_TRUE(copy.empty());
  EXPECT_NE(name.handle, 0u) << "clear keeps the entry";
  name.release();
  EXPECT_EQ(name.handle, 0u);
}

TEST(SharedString, StaleCopyNeverAliasesANewString) {
  SharedString first{};
  first.set(u"first");
  SharedString stale = first;
  first.release();
  SharedString second{};
  second.set(u"second");  // may not take the released entry's number
  EXPECT_EQ(stale.get(), u"") << "a released entry reads as empty";
  stale.set(u"written through the stale copy");
  EXPECT_EQ(second.get(), u"second");
  EXPECT_NE(stale.handle, second.handle);
  EXPECT_EQ(stale.get(), u"written through the stale copy");
  stale.release();
  second.release();
  SharedString bogus{0xFFFFFFF0u};
  EXPECT_TRUE(bogus.empty());
  bogus.release();
  EXPECT_EQ(bogus.handle, 0u);
}

}  // namespace
