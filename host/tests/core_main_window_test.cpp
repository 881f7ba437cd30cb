// The main window's numbers without a widget: the display scale (which factor, and which
// host pixel a position falls in), the stored place and size, and where a stored window
// opens on the screens there are now.
#include <gtest/gtest.h>

#include <cmath>

#include "host/display_scale.h"
#include "host/main_window_state.h"
#include "platform/profile.h"

namespace yk {
namespace {

TEST(DisplayScale, TheFactorIsTheChoiceOrTheScreensDensity) {
  const struct {
    const char* rule;
    int choice;
    double ratio;
    int factor;
  } cases[] = {
      {"automatic on a normal screen", 0, 1.0, 1},
      {"automatic below a ratio of 2 stays 1", 0, 1.75, 1},
      {"automatic on a high-density screen", 0, 2.0, 2},
      {"automatic rounds down", 0, 2.5, 2},
      {"automatic at 3", 0, 3.0, 3},
      {"automatic never above 3", 0, 4.0, 3},
      {"a ratio a hair below 2 counts as 2", 0, 1.9999999999, 2},
      {"a broken ratio is 1", 0, std::nan(""), 1},
      {"the user's 1 on a dense screen", 1, 2.0, 1},
      {"the user's 2 on a normal screen", 2, 1.0, 2},
      {"the user's 3", 3, 1.25, 3},
      {"a choice out of range is automatic", 7, 2.0, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rule);
    EXPECT_EQ(ScaleFactor(c.choice, c.ratio), c.factor);
  }
}

TEST(DisplayScale, StoredChoicesOutsideOneToThreeAreAutomatic) {
  const struct {
    int stored, choice;
  } cases[] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 0}, {-1, 0}, {100, 0}};
  for (const auto& c : cases) EXPECT_EQ(ScaleChoiceFromStored(c.stored), c.choice) << c.stored;
}

TEST(DisplayScale, PositionsMapToTheHostPixelThatHoldsThem) {
  const struct {
    const char* rule;
    int factor;
    double ratio;
    double logical;
    int host;
  } cases[] = {
      {"1:1", 1, 1.0, 37.0, 37},
      {"factor 2: both view pixels of a host pixel", 2, 1.0, 100.0, 50},
      {"factor 2: the second one", 2, 1.0, 101.0, 50},
      {"factor 2: the next host pixel", 2, 1.0, 102.0, 51},
      {"factor 3", 3, 1.0, 8.0, 2},
      {"dense screen, factor 2: a logical pixel is a host pixel", 2, 2.0, 51.0, 51},
      {"dense screen, half a logical pixel", 2, 2.0, 51.5, 51},
      {"dense screen, factor 1: a logical pixel is two", 1, 2.0, 51.5, 103},
      {"ratio 1.25 on a pixel's edge", 1, 1.25, 0.8, 1},
      {"ratio 1.25 inside", 1, 1.25, 0.7, 0},
      {"left of the view", 2, 1.0, -1.0, -1},
      {"the origin", 3, 1.5, 0.0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rule);
    EXPECT_EQ(DisplayScale(c.factor, c.ratio).ToHost(c.logical), c.host);
  }
}

TEST(DisplayScale, ExtentsCountWholeHostPixelsAndBack) {
  const struct {
    int factor;
    double ratio;
    int logical, hostExtent, logicalForHost;  // LogicalExtent(hostExtent)
  } cases[] = {
      {1, 1.0, 800, 800, 800},  {2, 1.0, 800, 400, 800}, {2, 1.0, 801, 400, 800},
      {3, 1.0, 800, 266, 798},  {2, 2.0, 800, 800, 800}, {1, 2.0, 800, 1600, 800},
      {1, 1.5, 801, 1201, 801}, {2, 1.0, 0, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.factor) + " " + std::to_string(c.ratio) + " " +
                 std::to_string(c.logical));
    const DisplayScale scale(c.factor, c.ratio);
    EXPECT_EQ(scale.HostExtent(c.logical), c.hostExtent);
    EXPECT_EQ(scale.LogicalExtent(c.hostExtent), c.logicalForHost);
    // A host range drawn from ToLogical(a) up to ToLogical(b) covers the logical pixels
    // whose host pixels are a..b-1, no more.
    EXPECT_EQ(scale.ToHostEnd(scale.ToLogical(c.hostExtent)), c.hostExtent);
  }
}

TEST(MainWindowState, StoredValuesRoundTripAndGarbageReadsAsAFirstStart) {
  auto profile = std::make_unique<platform::MemoryProfile>();
  platform::MemoryProfile& store = *profile;
  const platform::Handle app = platform::RegisterApplication(std::move(profile));

  MainWindowState fresh = ReadMainWindowState(app);
  EXPECT_TRUE(fresh.frame.empty());
  EXPECT_FALSE(fresh.maximized);
  EXPECT_EQ(fresh.scale, 0);

  WriteMainWindowState(app, {{-20, 30, 1024, 700}, true, 3});
  MainWindowState back = ReadMainWindowState(app);
  EXPECT_EQ(back.frame, (ScreenRect{-20, 30, 1024, 700}));
  EXPECT_TRUE(back.maximized);
  EXPECT_EQ(back.scale, 3);
  WriteScaleChoice(app, 2);
  EXPECT_EQ(ReadMainWindowState(app).scale, 2);

  const struct {
    const char16_t* key;
    const char16_t* value;
    const char* rule;
  } garbage[] = {
      {u"mainwidth", u"0", "no width: nothing stored"},
      {u"mainheight", u"-5", "a negative height: nothing stored"},
      {u"mainwidth", u"abc", "not a number: nothing stored"},
      {u"scale", u"9", "an unknown scale: automatic"},
      {u"mainmax", u"7", "only 1 is maximised"},
  };
  for (const auto& g : garbage) {
    SCOPED_TRACE(g.rule);
    WriteMainWindowState(app, {{10, 20, 640, 480}, true, 2});
    ASSERT_TRUE(store.WriteString(u"setting", g.key, g.value));
    const MainWindowState read = ReadMainWindowState(app);
    if (std::u16string(g.key) == u"scale") {
      EXPECT_EQ(read.scale, 0);
    } else if (std::u16string(g.key) == u"mainmax") {
      EXPECT_FALSE(read.maximized);
    } else {
      EXPECT_TRUE(read.frame.empty());
    }
  }
  platform::ReleaseApplication(app);
}

TEST(MainWindowState, AStoredWindowOpensWholeOnAScreenThereIsNow) {
  const std::vector<ScreenRect> two = {{0, 0, 1920, 1050}, {1920, 0, 1280, 1024}};
  const struct {
    const char* rule;
    ScreenRect stored;
    std::vector<ScreenRect> screens;
    ScreenRect placed;
  } cases[] = {
      {"where it was", {100, 80, 800, 600}, two, {100, 80, 800, 600}},
      {"on the second screen", {2000, 100, 800, 600}, two, {2000, 100, 800, 600}},
      {"reaching past the second screen's right edge",
       {2900, 100, 800, 600},
       two,
       {2400, 100, 800, 600}},
      {"on a screen that is gone: onto the first",
       {5000, 100, 800, 600},
       two,
       {1120, 100, 800, 600}},
      {"above the screen", {100, -300, 800, 600}, two, {100, 0, 800, 600}},
      {"larger than its screen", {1950, 10, 1600, 1200}, two, {1920, 0, 1280, 1024}},
      {"a panel on top: below it", {0, 0, 800, 600}, {{0, 32, 1366, 736}}, {0, 32, 800, 600}},
      {"nothing stored: the desktop places it", {}, two, {}},
      {"no screens: as stored", {100, 80, 800, 600}, {}, {100, 80, 800, 600}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rule);
    EXPECT_EQ(PlaceMainWindow(c.stored, c.screens), c.placed);
  }
  EXPECT_EQ(ScreenOfFrame({2000, 100, 800, 600}, two), 1);
  EXPECT_EQ(ScreenOfFrame({5000, 100, 800, 600}, two), 0);
  EXPECT_EQ(ScreenOfFrame({0, 0, 10, 10}, {}), -1);
}

}  // namespace
}  // namespace yk
