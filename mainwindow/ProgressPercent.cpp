#include "mainwindow/ProgressPercent.h"

#include <algorithm>
#include <cfenv>
#include <cmath>

namespace mainwindow {

std::optional<int> ProgressPercent(int value, int max) {
    if (max == 0)
        return std::nullopt;
    const double percent = static_cast<double>(value) / static_cast<double>(max) * 100.0;
    if (!std::isfinite(percent))
        return std::nullopt;
    // nearbyint honours the rounding mode; pin it so a library that changed it
    // cannot change what the bar shows.
    const int savedMode = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(std::clamp(percent, 0.0, 100.0));
    std::fesetround(savedMode);
    return static_cast<int>(rounded);
}

} // namespace mainwindow
