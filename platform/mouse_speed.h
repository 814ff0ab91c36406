// Mouse speed: relative motion scaled by the player's factor, the fractions carried over.
#pragma once

#include <cstdint>

inline constexpr double MOUSE_SPEED_MIN = 0.25, MOUSE_SPEED_MAX = 4.0;

class MouseSpeed {
public:
    // False, and nothing changed, outside MOUSE_SPEED_MIN..MOUSE_SPEED_MAX or not a number.
    bool Set(double factor);
    double factor() const;
    // Scales one read's motion in place; the fractions of a count left over wait for the
    // next call, so slow motion is never lost. At 1 the motion is exactly what came in.
    void Scale(std::int32_t& dx, std::int32_t& dy);
    // Forgets what was left over (the device was acquired anew).
    void Forget();

private:
    double factor_ = 1.0;
    double restX_ = 0.0, restY_ = 0.0;  // always less than one count either way
};
