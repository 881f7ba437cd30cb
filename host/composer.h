// composer.h — composition of the window buffers over the background.
//
// Every window has its own bufferWidth x bufferHeight buffer in the Host context; the
// composer copies the visible parts of them, bottom to top, into the composition buffer
// (`screenBits`) and hands the rectangle to the view.  Only a rectangle is composed at a
// time, windows that do not meet it are skipped and (in normal mode) windows wholly hidden
// under a window above them are not copied; beyond that, normal mode copies each pixel of
// the rectangle once, from the topmost marked window over it (or the background), so
// overlapping windows cost no more than one.
//
// Translucent mode: the part of the composition buffer under a window is first lightened
// (each byte b -> b * 15 / 100 + 216) and the window's pixels are then multiplied onto it
// (d * s / 255), so white parts of a window show a pale copy of what lies beneath.  The
// result is that of doing so window by window, bottom first, but each pixel is worked out
// once through all the windows over it and written once.
//
// The composition marks live in the slots (`dirty`, `clipLeft`..`clipBottom`, view
// coordinates, right and bottom exclusive).  All pixel loops are clipped to the buffers:
// a rectangle reaching past the screen composes only its inside.
#pragma once

#include <cstdint>

#include "common/plugin_interface.h"

namespace yk {

class ViewPort;

class Composer {
 public:
  Composer(HostContext& host, ViewPort& view) : host_(host), view_(view) {}

  void SetTranslucent(bool translucent) { translucent_ = translucent; }
  bool translucent() const { return translucent_; }

  // Composes the rectangle (x, y) w x h and presents it.  A w or h of -1 means
  // clientWidth / clientHeight.  With `full` the background is first copied into the
  // rectangle and the windows meeting it are marked (hidden ones dropped); without it the
  // marks set by the caller are used as they stand.
  void Compose(int x, int y, int w, int h, bool full);

  // Marks for composition every window that meets (l, t, r, b) (touching edges count) with
  // its clip = the intersection; clears the others.  While a window is maximised only it
  // is marked, with the clip (l, t, r, b) as given.
  void MarkWindows(int l, int t, int r, int b);

  // Normal mode only: unmarks each window whose clip lies inside the clip of a marked
  // window above it.
  void DropHidden();

  // Composes every marked window, bottom first, over the composition buffer.
  void ComposeMarked();

 private:
  struct ViewRect {
    int left, top, right, bottom;
  };
  // Composes the marked windows; with `background` the background is first put back
  // inside that rectangle.  ComposeClipped is the slow path for buffers shorter than
  // their size says: every step clipped on its own by the drawing primitives.
  void ComposeLayers(const ViewRect* background);
  void ComposeClipped(const ViewRect* background);

  HostContext& host_;
  ViewPort& view_;
  bool translucent_ = false;
};

// The translucent kernel, exposed for the tests: for `count` bytes,
// d = (d * 15 / 100 + 216) * s / 255 — exactly Lighten followed by Blend mode 6.
void LightenMultiply(uint8_t* dst, const uint8_t* src, int count);

}  // namespace yk
