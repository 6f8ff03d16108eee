// The main window driven as a user would, over a small real library made
// from the seed files (whose songs carry no album name, so each folder is
// one album).

#include "mainwindow/FormMain.h"
#include "catalogue/RowKey.h"
#include "mainwindow/CommandKeys.h"
#include "mainwindow/FormFilter.h"
#include "mainwindow/ModalRunner.h"
#include "mainwindow/ReviewCommands.h"
#include "mainwindow/TrackDetailsView.h"
#include "mainwindow/UcProgress.h"
#include "mainwindow/UcTrackDetails.h"
#include "tests/mainwindow/SeedLibraryWindowTest.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

#include <gtest/gtest.h>

#include <utility>

using namespace Qt::StringLiterals;
using mainwindow::FormMain;
namespace keys = mainwindow::keys;

namespace {

// Plays the user of View > Filter: ticks the kinds asked for and presses OK.
class FilterChoice : public mainwindow::ModalRunner {
public:
    int32_t choose = 0;
    void runModal(QDialog& dialog) override {
        auto& filter = dynamic_cast<mainwindow::FormFilter&>(dialog);
        filter.setArtTypes(choose);
        filter.ButOK()->click();
    }
};

class FormMainTest : public SeedLibraryWindowTest {
protected:
    void SetUp() override {
        startWindow({{u"seed.mp3"_s, u"Alpha/Album One/01 first.mp3"_s},
                     {u"seed.m4a"_s, u"Alpha/Album One/02 second.m4a"_s},
                     {u"cover-300.jpg"_s, u"Alpha/Album One/Folder.jpg"_s},
                     {u"seed.aiff"_s, u"Beta/Album Two/03 third.aiff"_s},
                     {u"seed.wav"_s, u"Beta/Album Two/04 fourth.wav"_s}});
    }

    void showWindow() {
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    QToolButton* button(const QString& key) { return window->toolbarButton(key); }
    void scan() { button(keys::Step1)->click(); }
    void trigger(const QString& item) { window->menuItem(item)->trigger(); }
    catalogue::SongListModel& model(int tab) { return window->session().ListMain(tab).model(); }
    QStringList column(int tab, int column) {
        QStringList texts;
        for (int row = 0; row < model(tab).rowCount(); ++row)
            texts.append(model(tab).text(row, column));
        return texts;
    }
    QList<int> checkedRows() {
        QList<int> rows;
        for (int row = 0; row < model(0).rowCount(); ++row) {
            if (model(0).isChecked(row))
                rows.append(row);
        }
        return rows;
    }
    int32_t rowIndex(int tab, int row) { return catalogue::RowCatalogueIndex(model(tab).key(row)); }
    void clickHeader(int tab, int section) {
        QHeaderView* header = window->ListMain(tab)->header();
        const QPoint at(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                        header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }
    QPoint rowCentre(int tab, int row) {
        return window->ListMain(tab)->visualRect(model(tab).index(row, 0)).center();
    }
    // What a real double click delivers: a click, then the double click and
    // its release.
    void doubleClickRow(int tab, int row) {
        QWidget* viewport = window->ListMain(tab)->viewport();
        QTest::mouseClick(viewport, Qt::LeftButton, {}, rowCentre(tab, row));
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, rowCentre(tab, row));
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, rowCentre(tab, row));
    }
    mainwindow::UcTrackDetails& details() {
        return dynamic_cast<mainwindow::UcTrackDetails&>(*window->TrackDetailsMain());
    }
};

TEST_F(FormMainTest, StepOneFillsTheListsCountsAndEnablesTheNextSteps) {
    EXPECT_FALSE(button(keys::Step2)->isEnabled());
    EXPECT_FALSE(button(keys::Step3x)->isEnabled());
    EXPECT_TRUE(button(keys::Step3)->isEnabled());
    EXPECT_FALSE(window->menuItem(u"ItemStep3"_s)->isEnabled());
    // Step 3x is not offered; its command stays for the command line.
    showWindow();
    EXPECT_FALSE(button(keys::Step3x)->isVisible());
    EXPECT_TRUE(button(keys::Step3)->isVisible());

    scan();
    EXPECT_EQ(model(0).rowCount(), 3);
    EXPECT_EQ(model(1).rowCount(), 1);
    EXPECT_EQ(window->TabMain()->tabText(0), u"Eligi&ble Songs (3)"_s);
    EXPECT_EQ(window->TabMain()->tabText(1), u"Ineligible S&ongs (1)"_s);
    EXPECT_TRUE(button(keys::Step2)->isEnabled());
    EXPECT_TRUE(button(keys::Step3x)->isEnabled());
    EXPECT_TRUE(window->menuItem(u"ItemStep3"_s)->isEnabled());
    // The first row shown in the details panel.
    EXPECT_EQ(details().ArrIndex(), rowIndex(0, 0));
    EXPECT_TRUE(details().Track());
    EXPECT_FALSE(window->ProgressMain()->active());
    EXPECT_EQ(window->ProgressMain()->barPercent(), 100);
    // Step 2 now explains the review.
    button(keys::Step2)->click();
    EXPECT_EQ(ui.messages.shown.size(), 1);
}

// While Step 1 fills the lists, Step 1 itself and the commands that would
// change the lists are off in their menus and only beep from their keys; the
// lists take no clicks.
TEST_F(FormMainTest, DuringAScanTheListsTakeNoCommandsOrClicks) {
    scan();
    showWindow();
    int busyDuringScan = -1;
    bool menusOff = false;
    bool tried = false;
    ui.events.onProcess = [&](int) {
        if (std::exchange(tried, true))
            return;
        busyDuringScan = window->busy();
        scan();
        trigger(u"ItemStep1"_s);
        // Shortcuts reach the actions with the menu closed, enabled as it
        // was last opened, before the scan.
        trigger(u"ItemEditUncheckAll"_s);
        trigger(u"ItemEditPreviousAlbum"_s);
        Q_EMIT window->MenuEdit()->aboutToShow();
        menusOff = !window->menuItem(u"ItemEditCheckAll"_s)->isEnabled() &&
                   !window->menuItem(u"ItemEditCheckAlbum"_s)->isEnabled() &&
                   !window->menuItem(u"ItemEditNextAlbum"_s)->isEnabled();
        clickHeader(0, catalogue::ColumnArtist);
        QTest::mouseClick(window->ListMain(0)->viewport(), Qt::LeftButton, {}, rowCentre(0, 1));
        QTest::keyClick(window->ListMain(0), Qt::Key_Down);
    };
    Q_EMIT window->MenuEdit()->aboutToShow();
    const int beepsBefore = ui.beeper.beeps;
    scan();
    EXPECT_EQ(busyDuringScan, 1);
    EXPECT_TRUE(menusOff);
    EXPECT_EQ(ui.beeper.beeps - beepsBefore, 7);
    EXPECT_EQ(model(0).rowCount() + model(1).rowCount(), 4);
    EXPECT_EQ(window->busy(), 0);
    EXPECT_TRUE(model(0).isChecked(0)) << "the scan's rows start checked";

    // Idle again: everything works.
    Q_EMIT window->MenuEdit()->aboutToShow();
    EXPECT_TRUE(window->menuItem(u"ItemEditCheckAll"_s)->isEnabled());
    trigger(u"ItemEditUncheckAll"_s);
    EXPECT_FALSE(model(0).isChecked(0));
}

TEST_F(FormMainTest, TheStepThreeDropDownOpensFromTheKeyboard) {
    showWindow();
    QToolButton* step3 = button(keys::Step3);
    for (const auto& [key, modifiers] :
         {std::pair{Qt::Key_Down, Qt::KeyboardModifiers(Qt::AltModifier)},
          std::pair{Qt::Key_F4, Qt::KeyboardModifiers()}}) {
        bool opened = false;
        QTimer::singleShot(50, window.get(), [&] {
            opened = window->Step3DropDown()->isVisible();
            window->Step3DropDown()->close();
        });
        step3->setFocus();
        QTest::keyClick(step3, key, modifiers);
        EXPECT_TRUE(opened) << key;
    }
}

TEST_F(FormMainTest, ClosingDuringAScanIsRefused) {
    showWindow();
    bool closedDuringScan = true;
    ui.events.onProcess = [&](int call) {
        if (call == 2)
            closedDuringScan = window->close();
    };
    scan();
    EXPECT_FALSE(closedDuringScan);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->session().Library);
    EXPECT_TRUE(window->close());
    EXPECT_FALSE(window->session().Library);
}

TEST_F(FormMainTest, StopDuringAScanKeepsWhatWasScanned) {
    ui.events.onProcess = [&](int call) {
        if (call == 1)
            window->ProgressMain()->stopButton()->click();
    };
    window->ProgressMain()->setActive(true);
    scan();
    EXPECT_EQ(model(0).rowCount() + model(1).rowCount(), 1);
    EXPECT_LT(window->ProgressMain()->barPercent(), 100);
}

TEST_F(FormMainTest, ListsComeSortedByPathAndTheSortColumnTurnsOnASecondClick) {
    showWindow();
    scan();
    const QStringList ascending = column(0, catalogue::ColumnFullPath);
    QStringList descending = ascending;
    descending.sort(Qt::CaseInsensitive);
    ASSERT_EQ(ascending, descending);
    std::reverse(descending.begin(), descending.end());
    ASSERT_NE(ascending, descending);

    clickHeader(0, catalogue::ColumnFullPath);
    EXPECT_EQ(column(0, catalogue::ColumnFullPath), descending);
    EXPECT_EQ(window->ListMain(0)->header()->sortIndicatorOrder(), Qt::DescendingOrder);
    clickHeader(0, catalogue::ColumnFullPath);
    EXPECT_EQ(column(0, catalogue::ColumnFullPath), ascending);

    // Another column becomes the sort column in the current direction.
    clickHeader(0, catalogue::ColumnSongName);
    EXPECT_EQ(window->session().Eligible.sortColumn(), catalogue::ColumnSongName);
    EXPECT_EQ(window->session().Eligible.sortOrder(), Qt::AscendingOrder);
    EXPECT_EQ(window->ListMain(0)->header()->sortIndicatorSection(), catalogue::ColumnSongName);
}

TEST_F(FormMainTest, WizardFromTheDropDownStartsFromTheTimerNotTheMenu) {
    QStringList started;
    window->dispatch().setWizardOperation(keys::EmbedArtwork,
                                          [&] { started.append(keys::EmbedArtwork); });
    QMenu* dropDown = window->Step3DropDown();
    EXPECT_FALSE(dropDown->findChild<QAction*>(keys::ExtractArtwork)->isVisible());
    dropDown->findChild<QAction*>(keys::EmbedArtwork)->trigger();
    EXPECT_TRUE(started.isEmpty());
    EXPECT_TRUE(window->TimerButtonMenu()->isActive());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !started.isEmpty(); }, 5000));
    EXPECT_EQ(started, QStringList{keys::EmbedArtwork});
}

TEST_F(FormMainTest, TheTabDecidesTheListStatusAndTheSongInTheDetails) {
    EXPECT_EQ(window->ListMainStatus(), 2);
    scan();
    EXPECT_EQ(window->ListMainStatus(), 4);
    EXPECT_TRUE(window->CurListHasAtLeastOneCheckedItem());
    window->TabMain()->setCurrentIndex(1);
    EXPECT_EQ(window->ListMainStatus(), 1);
    EXPECT_FALSE(window->CurListHasAtLeastOneCheckedItem());
    EXPECT_TRUE(window->CurListHasItems());
    EXPECT_EQ(details().ArrIndex(), rowIndex(1, 0));
    window->TabMain()->setCurrentIndex(0);
    EXPECT_EQ(details().ArrIndex(), rowIndex(0, 0));
    trigger(u"ItemEditUncheckAll"_s);
    EXPECT_EQ(window->ListMainStatus(), 3);
}

// Without the details panel the lists take its room and show more rows; a
// double click on a row brings the panel back, on the Web page for an
// ineligible song.
TEST_F(FormMainTest, ShowDetailsSwitchesThePanelAndADoubleClickBringsItBack) {
    scan();
    showWindow();
    const int rows = window->GridRowsVisible();
    QAction* showDetails = window->menuItem(u"ItemViewShowDetails"_s);
    EXPECT_TRUE(showDetails->isChecked());
    showDetails->trigger();
    EXPECT_GT(window->GridRowsVisible(), rows);
    ASSERT_FALSE(window->DetailsShown());
    EXPECT_TRUE(window->TrackDetailsMain()->widget()->isHidden());

    window->TabMain()->setCurrentIndex(1);
    doubleClickRow(1, 0);
    EXPECT_TRUE(window->DetailsShown());
    EXPECT_TRUE(showDetails->isChecked());
    EXPECT_EQ(window->GridRowsVisible(), rows);
    EXPECT_EQ(window->TrackDetailsMain()->DetailsTab(), 1);
    EXPECT_EQ(details().ArrIndex(), rowIndex(1, 0));

    window->TabMain()->setCurrentIndex(0);
    doubleClickRow(0, 1);
    EXPECT_EQ(window->TrackDetailsMain()->DetailsTab(), 0);
    EXPECT_EQ(details().ArrIndex(), rowIndex(0, 1));
}

TEST_F(FormMainTest, TheTooltipOverEachTabIsThatTabsOwn) {
    showWindow();
    QTabBar* strip = window->TabMain()->tabBar();
    const auto tooltipAt = [&](QPoint local) {
        QMouseEvent move(QEvent::MouseMove, local, strip->mapToGlobal(local), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(strip, &move);
        return strip->toolTip();
    };
    // Near the top of the strip, where the explanations are given, over
    // both ends and the middle of each tab.
    for (int tab : {0, 1}) {
        const QRect rect = strip->tabRect(tab);
        for (int x : {rect.left() + 2, rect.center().x(), rect.right() - 2}) {
            const QString tip = tooltipAt({x, rect.top() + 3});
            if (tab == 0)
                EXPECT_TRUE(tip.contains(u"including those with images"_s)) << x;
            else
                EXPECT_EQ(tip, u"Show songs which are cannot have album cover art embedded"_s) << x;
        }
    }
    // The Eligible tab's explanation follows the view filter.
    window->session().ViewFilter = 4;
    EXPECT_TRUE(tooltipAt(strip->tabRect(0).topLeft() + QPoint(2, 3))
                    .contains(u"available for embedding"_s));
}

TEST_F(FormMainTest, RightButtonOnTheEligibleListPopsUpTheEditMenu) {
    scan();
    showWindow();
    QWidget* viewport = window->ListMain(0)->viewport();
    QTest::mousePress(viewport, Qt::RightButton, {}, rowCentre(0, 0));
    QTest::mouseRelease(viewport, Qt::RightButton, {}, rowCentre(0, 0));
    EXPECT_TRUE(window->MenuEdit()->isVisible());
    window->MenuEdit()->close();
}

// The Edit menu's check marks, over the Eligible list whichever tab is
// shown.
TEST_F(FormMainTest, EditCommandsWorkOnTheEligibleList) {
    scan();
    trigger(u"ItemEditUncheckAll"_s);
    EXPECT_TRUE(checkedRows().isEmpty());
    window->session().Eligible.selectRow(1);
    trigger(u"ItemEditCheckAlbum"_s);
    EXPECT_EQ(checkedRows(), (QList<int>{0, 1}));
    EXPECT_EQ(window->ProgressMain()->barPercent(), 100);
    trigger(u"ItemEditUncheckAlbum"_s);
    EXPECT_TRUE(checkedRows().isEmpty());

    window->TabMain()->setCurrentIndex(catalogue::TAB_INELIGIBLE);
    trigger(u"ItemEditCheckAll"_s);
    EXPECT_EQ(checkedRows(), (QList<int>{0, 1, 2}));
}

TEST_F(FormMainTest, TheFilterRebuildsTheEligibleListFromTheDialogsChoice) {
    FilterChoice filterChoice;
    mainwindow::InstallReviewCommands(*window, &filterChoice);
    scan();
    trigger(u"ItemEditUncheckAll"_s);
    filterChoice.choose = catalogue::ArtKindFolderJpg;
    trigger(u"ItemViewFilterView"_s);
    EXPECT_EQ(window->session().ViewFilter, catalogue::ArtKindFolderJpg);
    ASSERT_EQ(model(0).rowCount(), 2);
    EXPECT_EQ(checkedRows(), (QList<int>{0, 1}));
    EXPECT_EQ(window->TabMain()->tabText(0), u"Eligi&ble Songs (2)"_s);
}

} // namespace
