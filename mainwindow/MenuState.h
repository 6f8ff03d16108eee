#pragma once

// Which menu entries are usable, recomputed each time a menu opens, from a
// few facts about the two song lists.

namespace mainwindow {

struct ListFacts {
    int rowCount = 0;
    bool hasSelectedRow = false;
};

struct WindowFacts {
    int curTab = 0; // TAB_ELIGIBLE or TAB_INELIGIBLE
    // A run or the scan is going: nothing may change its lists under it.
    bool busy = false;
    ListFacts eligible;
    ListFacts ineligible;

    const ListFacts& current() const;
};

struct FileMenuState {
    bool viewFileInExplorer = false;
};

struct EditMenuState {
    bool checkAlbum = false;
    bool uncheckAlbum = false;
    bool checkAll = false;
    bool uncheckAll = false;
    bool previousAlbum = false;
    bool nextAlbum = false;
};

struct ViewMenuState {
    bool filterView = false;
};

FileMenuState FileMenuEnabling(const WindowFacts& facts);
EditMenuState EditMenuEnabling(const WindowFacts& facts);
ViewMenuState ViewMenuEnabling(const WindowFacts& facts);

} // namespace mainwindow
