#include "host/display_scale.h"

#include <algorithm>
#include <cmath>

namespace yk {
namespace {

// Device-pixel ratios such as 1.25 are not exact in binary: a position that lands on a
// pixel's edge must not fall into the pixel before it.
constexpr double kEdgeSlack = 1e-6;

}  // namespace

int ScaleChoiceFromStored(int stored) {
  return stored >= 1 && stored <= kMaxScale ? stored : kAutomaticScale;
}

int ScaleFactor(int choice, double devicePixelRatio) {
  if (choice >= 1 && choice <= kMaxScale) return choice;
  if (!(devicePixelRatio + kEdgeSlack >= 2.0)) return 1;  // also NaN
  return std::min(kMaxScale, int(std::floor(devicePixelRatio + kEdgeSlack)));
}

DisplayScale::DisplayScale(int factor, double ratio)
    : factor_(std::clamp(factor, 1, kMaxScale)), ratio_(ratio > 0.0 ? ratio : 1.0) {}

int DisplayScale::ToHost(double logical) const {
  return int(std::floor(logical * ratio_ / factor_ + kEdgeSlack));
}

int DisplayScale::ToHostEnd(double logical) const {
  return int(std::ceil(logical * ratio_ / factor_ - kEdgeSlack));
}

int DisplayScale::HostExtent(int logicalLength) const {
  return std::max(0, ToHost(double(logicalLength)));
}

double DisplayScale::ToLogical(int host) const {
  return double(host) * factor_ / ratio_;
}

int DisplayScale::LogicalExtent(int hostLength) const {
  return int(std::ceil(ToLogical(hostLength) - kEdgeSlack));
}

}  // namespace yk
