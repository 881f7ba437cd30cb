#include "host/main_window_state.h"

#include <algorithm>

#include "host/display_scale.h"
#include "host/window_settings.h"
#include "platform/profile.h"

namespace yk {
namespace {

// Numbers this far out are garbage and would overflow the arithmetic below.
constexpr int kCoordinateLimit = 1 << 20;

int Read(platform::Profile& profile, const char16_t* key) {
  return std::clamp(profile.GetInt(kSettingSection, key, 0), -kCoordinateLimit, kCoordinateLimit);
}

}  // namespace

MainWindowState ReadMainWindowState(platform::Handle app) {
  MainWindowState state;
  platform::Profile* profile = platform::ProfileOf(app);
  if (profile == nullptr) return state;
  state.frame = {Read(*profile, u"mainleft"), Read(*profile, u"maintop"),
                 Read(*profile, u"mainwidth"), Read(*profile, u"mainheight")};
  if (state.frame.empty()) state.frame = {};
  state.maximized = profile->GetInt(kSettingSection, u"mainmax", 0) == 1;
  state.scale = ScaleChoiceFromStored(profile->GetInt(kSettingSection, u"scale", kAutomaticScale));
  return state;
}

void WriteMainWindowState(platform::Handle app, const MainWindowState& state) {
  platform::Profile* profile = platform::ProfileOf(app);
  if (profile == nullptr) return;
  profile->WriteInt(kSettingSection, u"mainleft", state.frame.left);
  profile->WriteInt(kSettingSection, u"maintop", state.frame.top);
  profile->WriteInt(kSettingSection, u"mainwidth", state.frame.width);
  profile->WriteInt(kSettingSection, u"mainheight", state.frame.height);
  profile->WriteInt(kSettingSection, u"mainmax", state.maximized ? 1 : 0);
  profile->WriteInt(kSettingSection, u"scale", ScaleChoiceFromStored(state.scale));
}

void WriteScaleChoice(platform::Handle app, int scale) {
  if (platform::Profile* profile = platform::ProfileOf(app))
    profile->WriteInt(kSettingSection, u"scale", ScaleChoiceFromStored(scale));
}

int ScreenOfFrame(const ScreenRect& frame, const std::vector<ScreenRect>& screens) {
  if (screens.empty()) return -1;
  int best = 0;
  long long bestArea = 0;
  for (size_t i = 0; i < screens.size(); ++i) {
    const ScreenRect& s = screens[i];
    const long long w =
        std::min(frame.left + frame.width, s.left + s.width) - std::max(frame.left, s.left);
    const long long h =
        std::min(frame.top + frame.height, s.top + s.height) - std::max(frame.top, s.top);
    if (w > 0 && h > 0 && w * h > bestArea) {
      best = int(i);
      bestArea = w * h;
    }
  }
  return best;
}

ScreenRect PlaceMainWindow(const ScreenRect& frame, const std::vector<ScreenRect>& screens) {
  const int index = ScreenOfFrame(frame, screens);
  if (frame.empty() || index < 0 || screens[size_t(index)].empty()) return frame;
  const ScreenRect& s = screens[size_t(index)];
  ScreenRect placed = frame;
  placed.width = std::min(frame.width, s.width);
  placed.height = std::min(frame.height, s.height);
  placed.left = std::clamp(frame.left, s.left, s.left + s.width - placed.width);
  placed.top = std::clamp(frame.top, s.top, s.top + s.height - placed.height);
  return placed;
}

}  // namespace yk
