// main_window_state.h — where the main window was and how large, and the display scale:
// read at start, written at an orderly end (section "setting" of the host's profile).
//
//   "mainleft", "maintop", "mainwidth", "mainheight"  the frame's normal rectangle in the
//                                                     desktop's logical pixels (0 x 0: never
//                                                     stored, the first start)
//   "mainmax"                                         1 when it ended maximised
//   "scale"                                           表示倍率: 0 automatic, 1..3 (display_scale.h)
//
// A stored rectangle is put back within reach of the screens there are now
// (PlaceMainWindow): a window saved on a screen that is gone, or larger than the screen it
// opens on, still opens whole on one.
#pragma once

#include <vector>

#include "platform/handles.h"

namespace yk {

struct ScreenRect {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const ScreenRect&) const = default;
  bool empty() const { return width <= 0 || height <= 0; }
};

struct MainWindowState {
  ScreenRect frame;  // empty: nothing stored
  bool maximized = false;
  int scale = 0;  // ScaleChoiceFromStored
};

// Missing values read as the first start's (nothing stored, automatic scale).
MainWindowState ReadMainWindowState(platform::Handle app);
void WriteMainWindowState(platform::Handle app, const MainWindowState& state);
// "scale" alone, as the settings dialog changes it.
void WriteScaleChoice(platform::Handle app, int scale);

// The screen, of `screens` (available areas, the primary first), that a stored frame
// rectangle belongs to: the one holding most of it, else the first.  -1 when there are none.
int ScreenOfFrame(const ScreenRect& frame, const std::vector<ScreenRect>& screens);

// The rectangle to open the frame at: the stored one, no larger than that screen's
// available area and moved onto it.  An empty rectangle stays empty (the first start: the
// desktop places the window).
ScreenRect PlaceMainWindow(const ScreenRect& frame, const std::vector<ScreenRect>& screens);

}  // namespace yk
