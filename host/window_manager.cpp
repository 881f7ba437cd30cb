// window_manager.cpp — opening, stacking, drawing and moving the floating windows.
#include "host/window_manager.h"

#include <algorithm>
#include <string>

#include "common/bitmap_ops.h"
#include "host/plugin_host.h"
#include "host/program_folder.h"
#include "host/view_port.h"
#include "host/window_positions.h"
#include "platform/clock.h"
#include "platform/message_box.h"
#include "platform/profile.h"

namespace yk {

namespace {

// Where the chrome pieces are cut from the parts sheet.
constexpr int kSheetPluginButtonX = 0;
constexpr int kSheetFrameButtonsX = 70;  // maximise and close, 40 x 20
constexpr int kSheetActiveFillX = 120;
constexpr int kSheetInactiveFillX = 30;
constexpr int kSheetFillWidth = 30;
constexpr int kSheetGripX = 160;
constexpr int kFrameButtonsWidth = 40;

// Saved layouts are brought within reach of the view; numbers this far out are garbage and
// would overflow the rectangle arithmetic.
constexpr int kLayoutLimit = 1 << 16;
// Sizes of a saved window whose values are missing.
constexpr int kLayoutDefaultWidth = 240;
constexpr int kLayoutDefaultHeight = 50;
// A new window keeps this much of the view's height below its top.
constexpr int kNewWindowRoom = 50;

std::u16string Indexed(const char16_t* name, int i) {
  std::u16string key(name);
  for (char c : std::to_string(i)) key.push_back(static_cast<char16_t>(c));
  return key;
}

int GridDelta(int from, int to, int g) {
  return g * (to / g) - g * (from / g);
}

}  // namespace

WindowManager::WindowManager(HostContext& host, ViewPort& view, PluginHost& plugins)
    : host_(host), view_(view), plugins_(plugins), composer_(host, view) {
  plugins_.AttachWindows(this);
}

WindowManager::~WindowManager() {
  plugins_.AttachWindows(nullptr);
}

void WindowManager::SetSettings(const WindowSettings& settings) {
  settings_ = settings;
  settings_.gridStep = GridStepFromStored(settings.gridStep);
  composer_.SetTranslucent(settings_.translucent);
}

void WindowManager::MovePosition(int from, int to) {
  if (!ValidPosition(host_, from) || !ValidPosition(host_, to)) return;
  const int slot = host_.order[from];
  if (from < to) {
    for (int i = from; i < to; ++i) host_.order[i] = host_.order[i + 1];
  } else {
    for (int i = from; i > to; --i) host_.order[i] = host_.order[i - 1];
  }
  host_.order[to] = slot;
  // The active and the maximised window and a drag in progress stay with their windows.
  for (int32_t* position : {&host_.active, &host_.maximized, &host_.pressed}) {
    int& p = *position;
    if (p == from) {
      p = to;
    } else if (from < to && p > from && p <= to) {
      --p;
    } else if (from > to && p >= to && p < from) {
      ++p;
    }
  }
}

void WindowManager::SwapPositions(int a, int b) {
  std::swap(host_.order[a], host_.order[b]);
  if (host_.pressed == a) {
    host_.pressed = b;
  } else if (host_.pressed == b) {
    host_.pressed = a;
  }
}

// ---- Windows -------------------------------------------------------------------------------

int WindowManager::NewWindow() {
  if (host_.windowCount >= kMaxWindows) {
    platform::MessageBox(kWindowLimitText);
    return -1;
  }
  int index = -1;
  for (int i = 0; i < kMaxWindows && index < 0; ++i) {
    if (!host_.slots[i].inUse) index = i;
  }
  if (index < 0) return -1;
  const int n = ++host_.windowCount;
  const int p = n - 1;
  host_.order[p] = index;
  PluginSlot& slot = host_.slots[index];
  // On a view narrower than a new window the window starts at the left edge rather than
  // past it, so that its plugin button can be reached.
  slot.left = std::max(0, std::min(host_.bufferWidth - kNewWindowWidth, (n - 1) * 10));
  slot.top = std::max(0, std::min(host_.bufferHeight - kNewWindowRoom, (n - 1) * 10));
  slot.width = std::min(host_.bufferWidth, kNewWindowWidth);
  slot.height = std::min(host_.bufferHeight - kNewWindowRoom, kNewWindowHeight);
  slot.right = slot.left + slot.width;
  slot.bottom = slot.top + slot.height;
  slot.inUse = 1;
  slot.dirty = 0;
  slot.name.set(kEmptyWindowName);
  slot.loaded = 0;
  // The cascade is laid out in the buffers, which may reach past what the view shows.
  wanted_[size_t(index)].reset();
  (void)BringIntoReach(p);

  if (host_.maximized < 0) {
    const int old = host_.active;
    host_.active = p;
    if (ValidPosition(host_, old)) RenderWindow(old, false, false, false);
    RenderWindow(p, true, true, false);
    if (ValidPosition(host_, old)) PresentWindow(old);
    PresentWindow(p);
  } else {
    RenderWindow(p, true, true, false);
  }
  return p;
}

void WindowManager::CloseWindow(int p) {
  if (!ValidPosition(host_, p)) return;
  const bool wasMaximized = p == host_.maximized;
  if (wasMaximized) host_.maximized = -1;
  PluginSlot& slot = *SlotAt(host_, p);
  const int left = slot.left, top = slot.top, width = slot.width, height = slot.height;
  slot.inUse = 0;
  wanted_[size_t(host_.order[p])].reset();
  plugins_.UnloadPlugin(p, /*redraw=*/false);
  slot.dirty = 0;

  // The entries above move down; the old top entry stays behind unused (a plugin timer of
  // that position then finds a slot in use beyond windowCount and is stopped).
  for (int i = p; i + 1 < host_.windowCount; ++i) host_.order[i] = host_.order[i + 1];
  --host_.windowCount;
  // Positions above the closed one moved down by one.
  if (host_.maximized > p) --host_.maximized;
  if (host_.pressed == p)
    host_.pressed = -1;
  else if (host_.pressed > p)
    --host_.pressed;
  host_.active = host_.maximized >= 0 ? host_.maximized : host_.windowCount - 1;

  if (ValidPosition(host_, host_.active)) {
    RenderWindow(host_.active, false, false, false);
    PresentWindow(host_.active);
  }
  if (wasMaximized) {
    Compose(0, 0, -1, -1, true);
  } else {
    Compose(left, top, width, height, true);
  }
}

void WindowManager::ToggleMaximize(int p, bool recompose) {
  if (!ValidPosition(host_, p)) return;
  PluginSlot& slot = *SlotAt(host_, p);
  wanted_[size_t(host_.order[p])].reset();
  auto restore = [](PluginSlot& s) {
    s.left = s.savedLeft;
    s.top = s.savedTop;
    s.right = s.savedRight;
    s.bottom = s.savedBottom;
    s.width = s.savedWidth;
    s.height = s.savedHeight;
  };
  if (p == host_.maximized) {
    host_.maximized = -1;
    restore(slot);
  } else {
    if (host_.maximized < 0 && ValidPosition(host_, host_.active)) {
      const int old = host_.active;
      host_.active = -1;
      RenderWindow(old, false, false, false);
    } else if (ValidPosition(host_, host_.maximized)) {
      // The window maximised until now was the active one: it is drawn with the title of
      // the others.
      const int old = host_.maximized;
      restore(*SlotAt(host_, old));
      host_.maximized = -1;
      if (host_.active == old) host_.active = -1;
      RenderWindow(old, true, true, false);
    }
    host_.maximized = p;
    host_.active = p;
    slot.savedLeft = slot.left;
    slot.savedTop = slot.top;
    slot.savedRight = slot.right;
    slot.savedBottom = slot.bottom;
    slot.savedWidth = slot.width;
    slot.savedHeight = slot.height;
    slot.left = 0;
    slot.top = 0;
    slot.right = host_.clientWidth;
    slot.bottom = host_.clientHeight;
    slot.width = host_.clientWidth;
    slot.height = host_.clientHeight;
  }
  RenderWindow(p, true, true, false);
  if (recompose) Compose(0, 0, -1, -1, true);
}

// ---- Chrome -------------------------------------------------------------------------------

namespace {

struct ChromeGeometry {
  int w, h;        // the window's size (the client area for the maximised window)
  int stripWidth;  // width of the white title strip background
  bool maximized;
  bool activeFill;
};

}  // namespace

void WindowManager::RenderWindow(int p, bool clear, bool notify, bool live) {
  if (!ValidPosition(host_, p)) return;
  const int slotIndex = host_.order[p];
  if (clear) FillWhite(SlotBuffer(host_, slotIndex), 0, 0, host_.bufferWidth, host_.bufferHeight);
  if (notify) plugins_.SendNotify(p, live ? kNotifyLiveResize : kNotifyRedraw);
  RenderChromePieces(p, kChromeAll);
}

void WindowManager::RenderChromePart(int p, int l, int t, int r, int b) {
  if (!ValidPosition(host_, p)) return;
  const bool maximized = p == host_.maximized;
  const int w = maximized ? host_.clientWidth : SlotAt(host_, p)->width;
  const int h = maximized ? host_.clientHeight : SlotAt(host_, p)->height;
  unsigned pieces = 0;
  if (t < kTitleHeight) pieces |= kChromeTitle;
  if (l < kBorderWidth) pieces |= kChromeLeft;
  if (r >= w - kBorderWidth) pieces |= kChromeRight;
  if (b >= h - kBorderWidth) pieces |= kChromeBottom;
  if (!maximized && r >= w - kGripSize && b >= h - kGripSize) pieces |= kChromeGrip;
  RenderChromePieces(p, pieces);
}

void WindowManager::RenderChromePieces(int p, unsigned pieces) {
  const int slotIndex = host_.order[p];
  const PluginSlot& slot = host_.slots[slotIndex];
  const PixelBuffer window = SlotBuffer(host_, slotIndex);
  const ConstPixelBuffer parts = PartsBuffer(host_);
  const bool maximized = p == host_.maximized;
  const int w = maximized ? host_.clientWidth : slot.width;
  const int h = maximized ? host_.clientHeight : slot.height;

  if (pieces & kChromeTitle)
    FillWhite(window, 0, 0, maximized ? host_.bufferWidth : w, kTitleHeight);
  if (pieces & kChromeLeft) FillBlack(window, 0, kTitleHeight, kBorderWidth, h - kTitleHeight);
  if (pieces & kChromeRight) {
    FillBlack(window, w - kBorderWidth, kTitleHeight, kBorderWidth, h - kTitleHeight);
  }
  if (pieces & kChromeBottom) FillBlack(window, 0, h - kBorderWidth, w, kBorderWidth);
  if (pieces & kChromeTitle) {
    CopyRop(window, 0, 0, kTitleButtonWidth, kTitleHeight, parts, kSheetPluginButtonX, 0, kSrcCopy);
    CopyRop(window, w - kFrameButtonsWidth, 0, kFrameButtonsWidth, kTitleHeight, parts,
            kSheetFrameButtonsX, 0, kSrcCopy);
    const bool activeFill = maximized || p == host_.active;
    const int fillX = activeFill ? kSheetActiveFillX : kSheetInactiveFillX;
    for (int x = kTitleButtonWidth; x < w - kFrameButtonsWidth; x += kSheetFillWidth) {
      CopyRop(window, x, 0, std::min(kSheetFillWidth, w - kFrameButtonsWidth - x), kTitleHeight,
              parts, fillX, 0, kSrcCopy);
    }
    const std::u16string name = slot.name.get();
    view_.DrawTitleText(slot.dc, name.empty() ? std::u16string_view(kEmptyWindowName) : name, 22, 1,
                        w - 42, 19, host_.fontName.get());
  }
  if ((pieces & kChromeGrip) && !maximized) {
    CopyRop(window, w - kGripSize, h - kGripSize, kGripSize, kGripSize, parts, kSheetGripX, 0,
            kSrcCopy);
  }
}

void WindowManager::PresentWindow(int p) {
  if (!ValidPosition(host_, p)) return;
  const PluginSlot& slot = *SlotAt(host_, p);
  Compose(slot.left, slot.top, slot.width, slot.height, true);
}

// ---- The view's size ----------------------------------------------------------------------

WindowManager::WindowRect WindowManager::OwnRect(int p) const {
  const PluginSlot& s = *SlotAt(host_, p);
  if (p == host_.maximized) return {s.savedLeft, s.savedTop, s.savedWidth, s.savedHeight};
  return {s.left, s.top, s.width, s.height};
}

void WindowManager::SetOwnRect(int p, const WindowRect& r) {
  PluginSlot& s = *SlotAt(host_, p);
  int32_t *left = &s.left, *top = &s.top, *right = &s.right, *bottom = &s.bottom, *width = &s.width,
          *height = &s.height;
  if (p == host_.maximized) {
    left = &s.savedLeft, top = &s.savedTop, right = &s.savedRight, bottom = &s.savedBottom;
    width = &s.savedWidth, height = &s.savedHeight;
  }
  *left = r.left;
  *top = r.top;
  *width = r.width;
  *height = r.height;
  *right = r.left + r.width;
  *bottom = r.top + r.height;
}

bool WindowManager::BringIntoReach(int p) {
  const size_t slot = size_t(host_.order[p]);
  const WindowRect current = OwnRect(p);
  const WindowRect wanted = wanted_[slot].value_or(current);
  const int areaWidth = std::max(host_.gridWidth, 0), areaHeight = std::max(host_.gridHeight, 0);
  // Smaller only where the window is larger than the area (a stored size below one pixel is
  // garbage and becomes one).
  WindowRect fitted = wanted;
  fitted.width = std::clamp(wanted.width, std::min(1, areaWidth), areaWidth);
  fitted.height = std::clamp(wanted.height, std::min(1, areaHeight), areaHeight);
  fitted.left = std::clamp(fitted.left, 0, areaWidth - fitted.width);
  fitted.top = std::clamp(fitted.top, 0, areaHeight - fitted.height);
  if (fitted == wanted) {
    wanted_[slot].reset();
  } else {
    wanted_[slot] = wanted;
  }
  if (fitted == current) return false;
  SetOwnRect(p, fitted);
  return fitted.width != current.width || fitted.height != current.height;
}

void WindowManager::SetClientSize(int width, int height) {
  width = std::clamp(width, 1, std::max(host_.bufferWidth, 1));
  height = std::clamp(height, 1, std::max(host_.bufferHeight, 1));
  if (width == host_.clientWidth && height == host_.clientHeight) return;
  const int g = settings_.gridStep;
  host_.clientWidth = width;
  host_.clientHeight = height;
  host_.gridWidth = width - width % g;
  host_.gridHeight = height - height % g;
  for (int p = 0; p < host_.windowCount; ++p) {
    if (!ValidPosition(host_, p)) continue;
    // The maximised window's own rectangle is the one it returns to; it is drawn below.
    if (BringIntoReach(p) && p != host_.maximized) RenderWindow(p, true, true, false);
  }
  if (ValidPosition(host_, host_.maximized)) {
    PluginSlot& s = *SlotAt(host_, host_.maximized);
    s.left = s.top = 0;
    s.right = s.width = host_.clientWidth;
    s.bottom = s.height = host_.clientHeight;
    RenderWindow(host_.maximized, true, true, false);
  }
  Compose(0, 0, -1, -1, true);
}

// ---- Geometry ------------------------------------------------------------------------------

int WindowManager::HitTest(int x, int y) const {
  if (ValidPosition(host_, host_.maximized)) return host_.maximized;
  for (int p = host_.windowCount - 1; p >= 0; --p) {
    if (!ValidPosition(host_, p)) continue;
    const PluginSlot& s = *SlotAt(host_, p);
    if (s.left <= x && x <= s.right && s.top <= y && y <= s.bottom) return p;
  }
  return -1;
}

bool WindowManager::MoveWindow(int p, int fromX, int fromY, int toX, int toY) {
  if (!ValidPosition(host_, p) || p == host_.maximized) return false;
  PluginSlot& s = *SlotAt(host_, p);
  const int g = settings_.gridStep;
  const int oldLeft = s.left, oldTop = s.top, oldRight = s.right, oldBottom = s.bottom;
  const int left =
      std::min(host_.gridWidth - s.width, std::max(0, s.left + GridDelta(fromX, toX, g)));
  const int top =
      std::min(host_.gridHeight - s.height, std::max(0, s.top + GridDelta(fromY, toY, g)));
  if (left == oldLeft && top == oldTop) return false;
  wanted_[size_t(host_.order[p])].reset();
  s.left = left;
  s.top = top;
  s.right = left + s.width;
  s.bottom = top + s.height;
  const int l = std::min(oldLeft, s.left), t = std::min(oldTop, s.top);
  const int r = std::max(oldRight, s.right), b = std::max(oldBottom, s.bottom);
  Compose(l, t, r - l, b - t, true);
  return true;
}

void WindowManager::ResizeWindow(int p, int fromX, int fromY, int toX, int toY, bool live) {
  if (!ValidPosition(host_, p) || p == host_.maximized) return;
  PluginSlot& s = *SlotAt(host_, p);
  const int g = settings_.gridStep;
  fromX = std::min(fromX, host_.gridWidth - 2);
  toX = std::min(toX, host_.gridWidth - 2);
  fromY = std::min(fromY, host_.gridHeight - 2);
  toY = std::min(toY, host_.gridHeight - 2);
  const int oldLeft = s.left, oldTop = s.top, oldRight = s.right, oldBottom = s.bottom;
  wanted_[size_t(host_.order[p])].reset();
  // A window never grows past its own buffer, which is never reallocated.
  s.width = std::min({host_.gridWidth - s.left, host_.bufferWidth,
                      std::max(kMinWindowWidth, s.width + GridDelta(fromX, toX, g))});
  s.height = std::min({host_.gridHeight - s.top, host_.bufferHeight,
                       std::max(kMinWindowHeight, s.height + GridDelta(fromY, toY, g))});
  s.right = s.left + s.width;
  s.bottom = s.top + s.height;
  RenderWindow(p, true, true, live);
  const int l = std::min(oldLeft, s.left), t = std::min(oldTop, s.top);
  const int r = std::max(oldRight, s.right), b = std::max(oldBottom, s.bottom);
  Compose(l, t, r - l, b - t, true);
}

// ---- Stacking ----------------------------------------------------------------------------

void WindowManager::RaiseOne() {
  const int a = host_.active;
  if (host_.maximized >= 0 || !ValidPosition(host_, a) || a == host_.windowCount - 1) return;
  SwapPositions(a, a + 1);
  host_.active = a + 1;
  PresentWindow(host_.active);
}

void WindowManager::RaiseToTop() {
  const int a = host_.active;
  const int top = host_.windowCount - 1;
  if (host_.maximized >= 0 || !ValidPosition(host_, a) || a == top) return;
  MovePosition(a, top);
  host_.active = top;
  PresentWindow(top);
}

void WindowManager::LowerOne() {
  const int a = host_.active;
  if (host_.maximized >= 0 || !ValidPosition(host_, a) || a == 0) return;
  SwapPositions(a, a - 1);
  host_.active = a - 1;
  PresentWindow(host_.active);
}

void WindowManager::LowerToBottom() {
  const int a = host_.active;
  if (host_.maximized >= 0 || !ValidPosition(host_, a) || a == 0) return;
  MovePosition(a, 0);
  host_.active = 0;
  PresentWindow(0);
}

void WindowManager::RenderAllChrome() {
  for (int p = 0; p < host_.windowCount; ++p) RenderWindow(p, false, false, false);
}

void WindowManager::CycleWindows(bool next) {
  const int n = host_.windowCount;
  const int top = n - 1;
  auto step = [&](int p) {
    if (next) return p <= 0 ? top : p - 1;
    return p >= top ? 0 : p + 1;
  };
  auto focusRotate = [&] {
    if (next) {
      MovePosition(top, 0);
    } else {
      MovePosition(0, top);
    }
    host_.active = top;
  };
  if (ValidPosition(host_, host_.maximized)) {
    ToggleMaximize(host_.maximized, /*recompose=*/false);
    if (settings_.focusMode) {
      focusRotate();
    } else {
      host_.active = step(host_.active);
    }
    RenderAllChrome();
    ToggleMaximize(host_.active, /*recompose=*/true);
    return;
  }
  if (!ValidPosition(host_, host_.active) || n < 2) return;
  if (settings_.focusMode) {
    focusRotate();
    RenderAllChrome();
    Compose(0, 0, -1, -1, true);
    return;
  }
  const int old = host_.active;
  host_.active = step(old);
  RenderWindow(old, false, false, false);
  PresentWindow(old);
  RenderWindow(host_.active, false, false, false);
  PresentWindow(host_.active);
}

void WindowManager::NextWindow() {
  CycleWindows(true);
}
void WindowManager::PreviousWindow() {
  CycleWindows(false);
}

void WindowManager::Today() {
  const platform::LocalTime now = platform::Now();
  host_.todayYear = now.year;
  host_.todayMonth = now.month;
  host_.todayDay = now.day;
  host_.todayHour = now.hour;
  host_.todayMinute = now.minute;
  plugins_.BroadcastNotify(kNotifyDateChanged);
}

bool WindowManager::HandleCommand(int command) {
  switch (command) {
    case kCommandNewWindow:
      NewWindow();
      return true;
    case kCommandCloseWindow:
      CloseWindow(host_.maximized >= 0 ? host_.maximized : host_.active);
      return true;
    case kCommandMaximize:
      ToggleMaximize(host_.active, true);
      return true;
    case kCommandUpOne:
      RaiseOne();
      return true;
    case kCommandToTop:
      RaiseToTop();
      return true;
    case kCommandDownOne:
      LowerOne();
      return true;
    case kCommandToBottom:
      LowerToBottom();
      return true;
    case kCommandToday:
      Today();
      return true;
    default:
      return false;
  }
}

// ---- Input ---------------------------------------------------------------------------------

void WindowManager::StylusPress(int x, int y, bool doublePress) {
  int i = HitTest(x, y);
  host_.pressed = -1;
  host_.pressMode = kPressNone;
  if (i >= 0) {
    const int top = host_.windowCount - 1;
    if (i != host_.active) {
      const int old = host_.active;
      if (!settings_.focusMode) {
        host_.active = i;
        if (ValidPosition(host_, old)) {
          RenderWindow(old, false, false, false);
          PresentWindow(old);
        }
        RenderWindow(i, false, false, false);
        PresentWindow(i);
      } else if (i != top) {
        MovePosition(i, top);
        host_.active = top;
        const int oldNow = old > i ? old - 1 : old;
        if (ValidPosition(host_, oldNow)) {
          RenderWindow(oldNow, false, false, false);
          PresentWindow(oldNow);
        }
        RenderWindow(top, false, false, false);
        PresentWindow(top);
        i = top;
      }
    }
    const PluginSlot& s = *SlotAt(host_, i);
    host_.pressed = i;
    if (y > s.top + kTitleHeight) {
      if (x >= s.right - kGripSize && y >= s.bottom - kGripSize) {
        host_.pressMode = kPressResizeCorner;
      } else {
        host_.pressMode = kPressContent;
        if (doublePress) {
          plugins_.MouseDoubleDown(i, x - s.left, y - s.top);
        } else {
          plugins_.MouseDown(i, x - s.left, y - s.top);
        }
      }
    } else if (x <= s.left + kTitleButtonWidth) {
      host_.pressMode = kPressPluginButton;
    } else if (x >= s.right - kTitleButtonWidth) {
      host_.pressMode = kPressCloseButton;
    } else if (x >= s.right - 2 * kTitleButtonWidth) {
      host_.pressMode = kPressMaximizeButton;
    } else {
      host_.pressMode = kPressTitleBar;
    }
  }
  host_.pressX = host_.lastX = x;
  host_.pressY = host_.lastY = y;
  captured_ = true;
  view_.CaptureStylus();
}

void WindowManager::StylusMove(int x, int y) {
  const int p = host_.pressed;
  if (!captured_ || !ValidPosition(host_, p)) return;
  switch (host_.pressMode) {
    case kPressTitleBar:
      if (MoveWindow(p, host_.lastX, host_.lastY, x, y)) {
        host_.lastX = x;
        host_.lastY = y;
      }
      return;
    case kPressResizeCorner:
      ResizeWindow(p, host_.lastX, host_.lastY, x, y, /*live=*/true);
      host_.lastX = x;
      host_.lastY = y;
      return;
    case kPressContent: {
      const PluginSlot& s = *SlotAt(host_, p);
      plugins_.MouseMove(p, x - s.left, y - s.top);
      return;
    }
    default:
      return;
  }
}

void WindowManager::StylusUp(int x, int y) {
  if (!captured_) return;
  captured_ = false;
  view_.ReleaseStylus();
  const int i = HitTest(x, y);
  const int p = host_.pressed;
  if (!ValidPosition(host_, p)) return;
  const PluginSlot& s = *SlotAt(host_, p);
  switch (host_.pressMode) {
    case kPressContent:
      plugins_.MouseUp(p, x - s.left, y - s.top);
      return;
    case kPressResizeCorner:
      ResizeWindow(p, host_.lastX, host_.lastY, x, y, /*live=*/false);
      return;
    default:
      break;
  }
  if (i != p || y > s.top + kTitleHeight) return;  // released elsewhere: nothing
  if (x <= s.left + kTitleButtonWidth && host_.pressMode == kPressPluginButton) {
    if (selectPlugin) selectPlugin(i, -1);
  } else if (x >= s.right - kTitleButtonWidth && host_.pressMode == kPressCloseButton) {
    CloseWindow(i);
  } else if (x >= s.right - 2 * kTitleButtonWidth && host_.pressMode == kPressMaximizeButton) {
    ToggleMaximize(i, true);
  } else if (host_.pressMode == kPressTitleBar) {
    MoveWindow(p, host_.lastX, host_.lastY, x, y);
  }
}

void WindowManager::KeyDown(int key) {
  if (settings_.IsHostKey(key)) return;
  if (ValidPosition(host_, host_.active)) plugins_.KeyDown(host_.active, key);
}

void WindowManager::KeyUp(int key) {
  const auto& k = settings_.keys;
  if (key != 0) {
    if (key == k[kKeyNextWindow]) return NextWindow();
    if (key == k[kKeyPreviousWindow]) return PreviousWindow();
    if (key == k[kKeyToday]) return Today();
    if (key == k[kKeyPluginSelect]) {
      if (ValidPosition(host_, host_.active) && selectPlugin) selectPlugin(host_.active, 0);
      return;
    }
    if (key == k[kKeyPluginNext]) {
      if (ValidPosition(host_, host_.active) && selectPlugin) selectPlugin(host_.active, 1);
      return;
    }
    if (key == k[kKeyDataRefresh]) {
      if (dataRefresh) dataRefresh();
      return;
    }
  }
  if (ValidPosition(host_, host_.active)) plugins_.KeyUp(host_.active, key);
}

// ---- Layout --------------------------------------------------------------------------------

void WindowManager::SaveLayout() {
  platform::Profile* profile = platform::ProfileOf(host_.app);
  if (profile == nullptr) return;
  profile->WriteInt(kSettingSection, u"win_num", host_.windowCount);
  for (int i = 0; i < host_.windowCount; ++i) {
    if (!ValidPosition(host_, i)) continue;
    const PluginSlot& s = *SlotAt(host_, i);
    // The rectangle the user gave the window, also when it had to move into a smaller view.
    const WindowRect r = wanted_[size_t(host_.order[i])].value_or(OwnRect(i));
    profile->WriteInt(kSettingSection, Indexed(u"winleft", i), r.left);
    profile->WriteInt(kSettingSection, Indexed(u"wintop", i), r.top);
    profile->WriteInt(kSettingSection, Indexed(u"winwidth", i), r.width);
    profile->WriteInt(kSettingSection, Indexed(u"winheight", i), r.height);
    profile->WriteString(kSettingSection, Indexed(u"winplg", i), s.loaded ? s.path.get() : u"");
  }
}

void WindowManager::RestoreLayout() {
  platform::Profile* profile = platform::ProfileOf(host_.app);
  const int n =
      profile == nullptr ? 0 : std::clamp(profile->GetInt(kSettingSection, u"win_num", 0), 0, 5);
  if (n == 0) {
    NewWindow();
  } else {
    host_.windowCount = n;
    host_.maximized = -1;
    auto read = [&](const char16_t* name, int i, int fallback) {
      return std::clamp(profile->GetInt(kSettingSection, Indexed(name, i), fallback), -kLayoutLimit,
                        kLayoutLimit);
    };
    for (int i = 0; i < n; ++i) {
      host_.order[i] = i;
      PluginSlot& s = host_.slots[i];
      wanted_[size_t(i)].reset();
      SetOwnRect(i, {read(u"winleft", i, 0), read(u"wintop", i, 0),
                     read(u"winwidth", i, kLayoutDefaultWidth),
                     read(u"winheight", i, kLayoutDefaultHeight)});
      // A layout saved in a larger view (or on another screen) opens within reach.
      (void)BringIntoReach(i);
      s.inUse = 1;
      s.dirty = 0;
      s.name.set(kEmptyWindowName);
      s.loaded = 0;
      const std::u16string stored = profile->GetString(kSettingSection, Indexed(u"winplg", i), u"");
      // A plugin of a program folder that has moved since is found in the one of this run
      // (and saved under its new path); a failed load has shown its message and the
      // window stays, empty.
      if (!stored.empty())
        (void)plugins_.LoadPlugin(i, LocatePluginFile(host_, stored), /*redraw=*/false);
      RenderWindow(i, true, true, false);
    }
  }
  host_.active = host_.windowCount - 1;
  RenderWindow(host_.active, false, false, false);
  Compose(0, 0, -1, -1, true);
}

}  // namespace yk
