#pragma once

#include <optional>

namespace mainwindow {

// The bar shows a percentage of the caller's logical range. Halves round to
// even so that 12.5 % shows as 12 and 37.5 % as 38, whatever the caller's
// maximum. No answer when max is 0: the bar then keeps its position.
std::optional<int> ProgressPercent(int value, int max);

} // namespace mainwindow
