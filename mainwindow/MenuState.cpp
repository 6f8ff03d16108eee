#include "mainwindow/MenuState.h"

#include "mainwindow/WindowQueries.h"

namespace mainwindow {

const ListFacts& WindowFacts::current() const {
    return curTab == TAB_INELIGIBLE ? ineligible : eligible;
}

FileMenuState FileMenuEnabling(const WindowFacts& facts) {
    return {.viewFileInExplorer = facts.current().hasSelectedRow};
}

EditMenuState EditMenuEnabling(const WindowFacts& facts) {
    EditMenuState state;
    if (facts.busy)
        return state;
    // The check commands act on the Eligible list only, so they are offered
    // only while it is on screen.
    if (facts.curTab == TAB_ELIGIBLE) {
        state.checkAlbum = state.uncheckAlbum = facts.eligible.hasSelectedRow;
        state.checkAll = state.uncheckAll = facts.eligible.rowCount > 0;
    }
    state.previousAlbum = state.nextAlbum = facts.current().rowCount > 0;
    return state;
}

ViewMenuState ViewMenuEnabling(const WindowFacts& facts) {
    return {.filterView = !facts.busy && facts.curTab == TAB_ELIGIBLE};
}

} // namespace mainwindow
