// display_scale.h — how the host's pixels meet the screen's.
//
// The host draws in pixels of its own: every buffer of the Host context is counted in them,
// and so are the stylus coordinates the plugins receive.  The view shows each of them as a
// square of `factor` x `factor` device pixels, copied (nearest neighbour), so the 8- and
// 9-pixel texts of the views stay sharp at any size.  The factor is the user's choice of
// 表示倍率 ("scale" in section "setting": 1, 2 or 3) or, left on automatic (0), the screen's
// device-pixel ratio rounded down: 1 on a normal screen, 2 on a high-density one.
//
// Qt measures the view in logical pixels, `ratio` device pixels each.  A logical position
// maps to the host pixel that holds it, exactly: floor(logical * ratio / factor).
#pragma once

namespace yk {

inline constexpr int kAutomaticScale = 0;
inline constexpr int kMaxScale = 3;

// The stored choice: 0 automatic, 1..3 fixed; anything else stored reads as automatic.
int ScaleChoiceFromStored(int stored);

// Device pixels per host pixel for a choice on a screen of `devicePixelRatio`.
int ScaleFactor(int choice, double devicePixelRatio);

class DisplayScale {
 public:
  DisplayScale() = default;
  DisplayScale(int factor, double ratio);

  int factor() const { return factor_; }
  double ratio() const { return ratio_; }

  // The host pixel that holds a logical coordinate (negative ones stay negative), and the
  // first host pixel wholly past it (the end of a range that reaches it).
  int ToHost(double logical) const;
  int ToHostEnd(double logical) const;
  // How many whole host pixels a logical length shows.
  int HostExtent(int logicalLength) const;
  // The logical coordinate where host pixel `host` begins, and the smallest logical length
  // that shows `host` pixels: rectangles to repaint and minimum sizes.
  double ToLogical(int host) const;
  int LogicalExtent(int hostLength) const;

 private:
  int factor_ = 1;
  double ratio_ = 1.0;
};

}  // namespace yk
