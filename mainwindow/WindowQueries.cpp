#include "mainwindow/WindowQueries.h"

namespace mainwindow {

int ListMainStatus(int curTab, int eligibleRowCount, bool eligibleHasCheckedRow) {
    if (curTab == TAB_INELIGIBLE)
        return StatusIneligibleTabCurrent;
    if (eligibleRowCount <= 0)
        return StatusEligibleListEmpty;
    if (!eligibleHasCheckedRow)
        return StatusNoneChecked;
    return StatusReady;
}

} // namespace mainwindow
