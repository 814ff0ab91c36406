// Mouse speed: scaling relative motion with the fractions of a count carried from read to read.
#include "platform/mouse_speed.h"

#include <cmath>

namespace {

// Scales one axis: the whole counts go out, the fraction stays in rest. Truncating towards zero
// treats both directions alike. A count beyond 32 bits is more than any screen: it is dropped,
// never wrapped.
std::int32_t ScaleAxis(std::int32_t counts, double factor, double& rest) {
    double total = counts * factor + rest;
    double whole = std::trunc(total);
    rest = total - whole;
    if (whole >= 2147483647.0) return INT32_MAX;
    if (whole <= -2147483648.0) return INT32_MIN;
    return static_cast<std::int32_t>(whole);
}

}  // namespace

bool MouseSpeed::Set(double factor) {
    if (!(factor >= MOUSE_SPEED_MIN && factor <= MOUSE_SPEED_MAX)) return false;  // NaN too
    factor_ = factor;
    Forget();  // a fraction of the old speed means nothing at the new one
    return true;
}

double MouseSpeed::factor() const { return factor_; }

void MouseSpeed::Scale(std::int32_t& dx, std::int32_t& dy) {
    if (factor_ == 1.0) return;  // exactly what came in
    dx = ScaleAxis(dx, factor_, restX_);
    dy = ScaleAxis(dy, factor_, restY_);
}

void MouseSpeed::Forget() { restX_ = restY_ = 0.0; }
