#include "stats/ChartScale.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace kavri::stats {

namespace {

constexpr int MaxTop = std::numeric_limits<int>::max() / 2;

/// The top for `step`: the smallest multiple of it at least `largest`, and at least one step.
double topFor(double largest, double step)
{
    return std::max(1.0, std::ceil(largest / step)) * step;
}

/// The smallest step of the series (each a step of `base` times 1, 2, 5, 10, ...
/// after the listed ones) whose top takes at most MaxAxisSteps steps.
template <size_t N> AxisScale scaleOf(double largest, const std::array<double, N> &steps, double base)
{
    // Nothing to show, or no number at all: an axis up to one.
    if (!(largest > 0))
        largest = 0;
    largest = std::min(largest, double(MaxTop));
    auto fits = [largest](double step) { return topFor(largest, step) / step <= MaxAxisSteps; };
    for (const double step : steps) {
        if (fits(step))
            return {int(topFor(largest, step)), int(step)};
    }
    for (double power = base;; power *= 10) {
        for (const double factor : {1.0, 2.0, 5.0}) {
            if (fits(power * factor))
                return {int(topFor(largest, power * factor)), int(power * factor)};
        }
    }
}

} // namespace

AxisScale countScale(double largest)
{
    return scaleOf(largest, std::array<double, 0>{}, 1);
}

AxisScale minuteScale(double largest)
{
    constexpr std::array<double, 12> steps{1, 2, 5, 10, 15, 30, 60, 120, 180, 360, 720, 1440};
    return scaleOf(largest, steps, 1440 * 2);
}

} // namespace kavri::stats
