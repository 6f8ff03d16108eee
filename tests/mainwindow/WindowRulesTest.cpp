// The window's decisions that need no widgets: menu enabling and the tab
// strip's explanations.

#include "mainwindow/MenuState.h"
#include "mainwindow/TabTooltip.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace mainwindow;

namespace {

WindowFacts facts(int tab, int eligibleRows, bool eligibleSelected, int ineligibleRows,
                  bool ineligibleSelected) {
    return {.curTab = tab,
            .eligible = {eligibleRows, eligibleSelected},
            .ineligible = {ineligibleRows, ineligibleSelected}};
}

// The Edit check commands follow the Eligible list, on its tab only.
TEST(MenuState, MenusFollowTheCurrentTabAndItsList) {
    const EditMenuState onEligible = EditMenuEnabling(facts(0, 5, true, 0, false));
    EXPECT_TRUE(onEligible.checkAlbum && onEligible.uncheckAlbum);
    EXPECT_TRUE(onEligible.checkAll && onEligible.uncheckAll);
    EXPECT_TRUE(onEligible.previousAlbum && onEligible.nextAlbum);

    const EditMenuState noSelection = EditMenuEnabling(facts(0, 5, false, 0, false));
    EXPECT_FALSE(noSelection.checkAlbum || noSelection.uncheckAlbum);
    EXPECT_TRUE(noSelection.checkAll && noSelection.uncheckAll);

    const EditMenuState onIneligible = EditMenuEnabling(facts(1, 5, true, 3, true));
    EXPECT_FALSE(onIneligible.checkAlbum || onIneligible.uncheckAlbum || onIneligible.checkAll ||
                 onIneligible.uncheckAll);
    EXPECT_TRUE(onIneligible.previousAlbum && onIneligible.nextAlbum);

    const EditMenuState emptyIneligible = EditMenuEnabling(facts(1, 5, true, 0, false));
    EXPECT_FALSE(emptyIneligible.previousAlbum || emptyIneligible.nextAlbum);

    // File > View file and View > Filter follow the current tab.
    EXPECT_TRUE(FileMenuEnabling(facts(0, 1, true, 1, false)).viewFileInExplorer);
    EXPECT_FALSE(FileMenuEnabling(facts(1, 1, true, 1, false)).viewFileInExplorer);
    EXPECT_TRUE(FileMenuEnabling(facts(1, 0, false, 1, true)).viewFileInExplorer);
    EXPECT_TRUE(ViewMenuEnabling(facts(0, 0, false, 0, false)).filterView);
    EXPECT_FALSE(ViewMenuEnabling(facts(1, 9, true, 0, false)).filterView);
}

const QString EligibleWithEmbedded =
    u"Show songs which have at least one album cover art image (including those with images "
    u"already embedded) -- see the View menu to filter the list contents"_s;
const QString EligibleForEmbedding =
    u"Show songs which have at least one album cover art image available for embedding -- see "
    u"the View menu to filter the list contents"_s;
const QString IneligibleTip = u"Show songs which are cannot have album cover art embedded"_s;

TEST(TabTooltip, DependsOnPositionButtonsKeysAndFilter) {
    const struct {
        int x;
        int y;
        Qt::MouseButtons buttons;
        Qt::KeyboardModifiers modifiers;
        int viewFilter;
        QString expected;
    } cases[] = {
        {0, 0, {}, {}, 255, EligibleWithEmbedded},
        {3794, 299, {}, {}, 2, EligibleWithEmbedded},
        {100, 100, {}, {}, 255 & ~2, EligibleForEmbedding},
        {3795, 100, {}, {}, 255, IneligibleTip},
        {7589, 100, {}, {}, 0, IneligibleTip},
        {7590, 100, {}, {}, 255, QString()},
        {100, 300, {}, {}, 255, QString()},
        {100, 100, Qt::LeftButton, {}, 255, QString()},
        {5000, 100, Qt::RightButton, {}, 255, QString()},
        {100, 100, {}, Qt::ShiftModifier, 255, QString()},
        {100, 100, {}, Qt::ControlModifier, 255, QString()},
        {5000, 100, {}, Qt::AltModifier, 255, QString()},
        // A keypad key is no Shift, Ctrl or Alt.
        {100, 100, {}, Qt::KeypadModifier, 255, EligibleWithEmbedded},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "x " << c.x << " y " << c.y << " buttons " << c.buttons.toInt() << " keys "
                     << c.modifiers.toInt() << " filter " << c.viewFilter);
        EXPECT_EQ(TabStripTooltip(c.x, c.y, c.buttons, c.modifiers, c.viewFilter), c.expected);
    }
}

} // namespace
