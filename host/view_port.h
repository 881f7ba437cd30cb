// view_port.h — what the window manager and the plugin host need from the view widget.
//
// The core of the host (plugin loading, window management, composition) works on the
// Host context alone and never touches a widget.  The few things only the view can do —
// putting composed pixels on the screen, capturing the stylus, running the view's timers —
// come through this interface, which the application's view implements and tests fake.
#pragma once

#include <string_view>

#include "common/plugin_interface.h"

namespace yk {

class ViewPort {
 public:
  virtual ~ViewPort() = default;

  // Copies the rectangle (x, y) width x height of the composition buffer (`screenBits` /
  // `screenDC` of the Host context) to the same place on the screen.  The rectangle may
  // reach past the buffer; the view clips it.  Called at the end of every composition.
  virtual void Present(int x, int y, int width, int height) = 0;

  // Stylus capture between a press and its release, so that moves and the release reach
  // the view even outside it.
  virtual void CaptureStylus() = 0;
  virtual void ReleaseStylus() = 0;

  // The view's timers.  Plugin timers have ids kPluginTimerBase (10) and up; when one
  // fires the view hands the id to PluginHost::HandleTimer.  Starting a running id
  // restarts it with the new period; stopping an id that does not run does nothing.
  virtual void StartTimer(int id, int milliseconds) = 0;
  virtual void StopTimer(int id) = 0;

  // Draws a window's title: `text` in black, face `face` at height 12, one line, no word
  // wrap, clipped to (left, top)-(right, bottom), through the window buffer's drawing
  // context `dc`.  The default draws with the shared text primitive; tests override it.
  virtual void DrawTitleText(YkHandle dc, std::u16string_view text, int left, int top, int right,
                             int bottom, std::u16string_view face);
};

}  // namespace yk
