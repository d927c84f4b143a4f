#pragma once

namespace kavri::stats {

/// A value axis from 0 to `top` with a labelled tick every `step`: both whole
/// numbers, `top` a multiple of `step` and at least the largest value shown.
struct AxisScale
{
    int top = 1;
    int step = 1;
    int ticks() const { return top / step + 1; }
};

/// At most this many steps from 0 to the top, so the labels never crowd.
inline constexpr int MaxAxisSteps = 6;

/// The count axis: whole requests, in steps of 1, 2 or 5 times a power of ten.
AxisScale countScale(double largest);
/// The wait axis: round minutes, in steps of 1, 2, 5, 10, 15 or 30 minutes, or
/// whole hours (1, 2, 3, 6, 12, 24 and multiples of a day).
AxisScale minuteScale(double largest);

} // namespace kavri::stats
