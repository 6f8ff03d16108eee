#pragma once

// The small questions that long runs ask about the main window, answered from
// plain facts so they hold without a screen.

#include "catalogue/TabCounts.h"

namespace mainwindow {

using catalogue::TAB_ELIGIBLE;
using catalogue::TAB_INELIGIBLE;

enum ListMainStatusCode : int {
    StatusIneligibleTabCurrent = 1,
    StatusEligibleListEmpty = 2,
    StatusNoneChecked = 3,
    StatusReady = 4,
};

// The Eligible list as the target of a run, tested in this order.
int ListMainStatus(int curTab, int eligibleRowCount, bool eligibleHasCheckedRow);

// Rows on screen per list, so that runs scroll once per screenful.
constexpr int GridRowsVisible(bool detailsShown) {
    return detailsShown ? 12 : 27;
}

} // namespace mainwindow
