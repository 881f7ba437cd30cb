#include "platform/profile.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(MemoryProfile, ReadsWhatWasWrittenAndDefaultsOtherwise) {
  MemoryProfile p;
  EXPECT_EQ(p.GetInt(u"setting", u"wingrid", 5), 5);
  EXPECT_EQ(p.GetString(u"setting", u"font", u"ＭＳ Ｐゴシック"), u"ＭＳ Ｐゴシック");
  EXPECT_TRUE(p.WriteInt(u"setting", u"wingrid", -12));
  EXPECT_TRUE(p.WriteString(u"setting", u"font", u"IPAGothic"));
  EXPECT_EQ(p.GetInt(u"setting", u"wingrid", 5), -12);
  EXPECT_EQ(p.GetInt(u"other", u"wingrid", 5), 5) << "sections are separate";
  EXPECT_EQ(p.GetString(u"setting", u"font", u""), u"IPAGothic");
  EXPECT_EQ(p.GetInt(u"setting", u"font", 3), 3) << "a text that is no number reads as default";
  EXPECT_TRUE(p.Remove(u"setting", u"wingrid"));
  EXPECT_EQ(p.GetInt(u"setting", u"wingrid", 5), 5);
}

TEST(Application, HandleResolvesToItsProfileAndStaleOnesToDefaults) {
  auto owned = std::make_unique<MemoryProfile>();
  Profile* profile = owned.get();
  Handle app = RegisterApplication(std::move(owned));
  ASSERT_NE(app, 0u);
  EXPECT_EQ(ProfileOf(app), profile);
  ASSERT_TRUE(ProfileOf(app)->WriteInt(u"plugin_tavik_sched", u"key0", 38));
  EXPECT_EQ(ProfileOf(app)->GetInt(u"plugin_tavik_sched", u"key0", 0), 38);
  ReleaseApplication(app);

  for (Handle stale : {app, Handle(0)}) {
    Profile* detached = ProfileOf(stale);
    ASSERT_NE(detached, nullptr);
    EXPECT_EQ(detached->GetInt(u"plugin_tavik_sched", u"key0", 0), 0);
    EXPECT_FALSE(detached->WriteInt(u"plugin_tavik_sched", u"key0", 1));
    EXPECT_EQ(detached->GetInt(u"plugin_tavik_sched", u"key0", 0), 0) << "writes are refused";
  }
}

}  // namespace
}  // namespace platform
