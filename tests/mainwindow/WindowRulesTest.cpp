// The window's decisions that need no widgets: menu enabling, the queries of
// long runs, the tab strip's explanations and the Step messages.

#include "mainwindow/MenuState.h"
#include "mainwindow/StepMessages.h"
#include "mainwindow/TabTooltip.h"
#include "mainwindow/WindowQueries.h"
#include "support/MsgBoxMaybe.h"
#include "support/Registry.h"
#include "support/RegistryKeys.h"
#include "tests/common/ScriptedUi.h"
#include "tests/common/TestFiles.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace Qt::StringLiterals;
using namespace mainwindow;

namespace {

WindowFacts facts(int tab, int eligibleRows, bool eligibleSelected, int ineligibleRows,
                  bool ineligibleSelected) {
    return {.curTab = tab,
            .eligible = {eligibleRows, eligibleSelected},
            .ineligible = {ineligibleRows, ineligibleSelected}};
}

TEST(MenuState, EditCheckCommandsFollowTheEligibleListOnItsTabOnly) {
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
}

TEST(MenuState, FileAndViewMenusFollowTheCurrentTab) {
    EXPECT_TRUE(FileMenuEnabling(facts(0, 1, true, 1, false)).viewFileInExplorer);
    EXPECT_FALSE(FileMenuEnabling(facts(1, 1, true, 1, false)).viewFileInExplorer);
    EXPECT_TRUE(FileMenuEnabling(facts(1, 0, false, 1, true)).viewFileInExplorer);
    EXPECT_TRUE(ViewMenuEnabling(facts(0, 0, false, 0, false)).filterView);
    EXPECT_FALSE(ViewMenuEnabling(facts(1, 9, true, 0, false)).filterView);
}

struct StatusCase {
    int tab;
    int eligibleRows;
    bool anyChecked;
    int expected;
};

void PrintTo(const StatusCase& c, std::ostream* out) {
    *out << "tab " << c.tab << " rows " << c.eligibleRows << " checked " << c.anyChecked;
}

class ListMainStatusTest : public ::testing::TestWithParam<StatusCase> {};

TEST_P(ListMainStatusTest, IsTestedInOrder) {
    const StatusCase& c = GetParam();
    EXPECT_EQ(ListMainStatus(c.tab, c.eligibleRows, c.anyChecked), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ListMainStatusTest,
                         ::testing::Values(StatusCase{1, 10, true, 1}, StatusCase{1, 0, false, 1},
                                           StatusCase{0, 0, false, 2}, StatusCase{0, 4, false, 3},
                                           StatusCase{0, 4, true, 4}));

const QString EligibleWithEmbedded =
    u"Show songs which have at least one album cover art image (including those with images "
    u"already embedded) -- see the View menu to filter the list contents"_s;
const QString EligibleForEmbedding =
    u"Show songs which have at least one album cover art image available for embedding -- see "
    u"the View menu to filter the list contents"_s;
const QString IneligibleTip = u"Show songs which are cannot have album cover art embedded"_s;

struct TooltipCase {
    int x;
    int y;
    Qt::MouseButtons buttons;
    Qt::KeyboardModifiers modifiers;
    int viewFilter;
    QString expected;
};

void PrintTo(const TooltipCase& c, std::ostream* out) {
    *out << "x " << c.x << " y " << c.y << " buttons " << c.buttons.toInt() << " keys "
         << c.modifiers.toInt() << " filter " << c.viewFilter;
}

class TabTooltipTest : public ::testing::TestWithParam<TooltipCase> {};

TEST_P(TabTooltipTest, DependsOnPositionButtonsKeysAndFilter) {
    const TooltipCase& c = GetParam();
    EXPECT_EQ(TabStripTooltip(c.x, c.y, c.buttons, c.modifiers, c.viewFilter), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TabTooltipTest,
    ::testing::Values(TooltipCase{0, 0, {}, {}, 255, EligibleWithEmbedded},
                      TooltipCase{3794, 299, {}, {}, 2, EligibleWithEmbedded},
                      TooltipCase{100, 100, {}, {}, 255 & ~2, EligibleForEmbedding},
                      TooltipCase{100, 100, {}, {}, 0, EligibleForEmbedding},
                      TooltipCase{3795, 100, {}, {}, 255, IneligibleTip},
                      TooltipCase{7589, 100, {}, {}, 0, IneligibleTip},
                      TooltipCase{7590, 100, {}, {}, 255, QString()},
                      TooltipCase{100, 300, {}, {}, 255, QString()},
                      TooltipCase{100, 100, Qt::LeftButton, {}, 255, QString()},
                      TooltipCase{5000, 100, Qt::RightButton, {}, 255, QString()},
                      TooltipCase{100, 100, {}, Qt::ShiftModifier, 255, QString()},
                      TooltipCase{100, 100, {}, Qt::ControlModifier, 255, QString()},
                      TooltipCase{5000, 100, {}, Qt::AltModifier, 255, QString()},
                      // A keypad key is no Shift, Ctrl or Alt.
                      TooltipCase{100, 100, {}, Qt::KeypadModifier, 255, EligibleWithEmbedded}));

class Step3HintTest : public ::testing::Test {
protected:
    void SetUp() override {
        support::SetRegistryFiles({folder.file(u"user.json"_s), folder.file(u"machine.json"_s)});
    }
    void TearDown() override { support::ResetRegistryFiles(); }

    void suppress() {
        support::RegSetString(support::Hive::CurrentUser, support::KEY_DONT_SHOW_AGAIN,
                              support::MSG_KEY_STEP3, u" No "_s);
    }

    testing_support::TempFolder folder;
    testing_support::ScriptedMessageBoxes boxes;
    int clicks = 0;
};

TEST_F(Step3HintTest, ShownEveryTimeWhileNotSuppressed) {
    ShowStep3Hint(boxes, clicks);
    ShowStep3Hint(boxes, clicks);
    ASSERT_EQ(boxes.shown.size(), 2);
    EXPECT_EQ(boxes.shown.first().text, Step3HintText());
    EXPECT_TRUE(boxes.shown.first().withCheckBox);
    EXPECT_EQ(boxes.shown.first().icon, support::MbInformation);
    EXPECT_EQ(clicks, 0);
}

TEST_F(Step3HintTest, SuppressedHintComesBackAtTheThirdClick) {
    suppress();
    ShowStep3Hint(boxes, clicks);
    ShowStep3Hint(boxes, clicks);
    EXPECT_TRUE(boxes.shown.isEmpty());
    EXPECT_EQ(clicks, 2);
    ShowStep3Hint(boxes, clicks);
    EXPECT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(support::IsMsgBoxSuppressed(support::MSG_KEY_STEP3));
}

TEST_F(Step3HintTest, TickingTheBoxSuppressesItAgain) {
    boxes.checkBoxAnswers = {true};
    ShowStep3Hint(boxes, clicks);
    EXPECT_TRUE(support::IsMsgBoxSuppressed(support::MSG_KEY_STEP3));
    ShowStep3Hint(boxes, clicks);
    EXPECT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(clicks, 1);
}

} // namespace
