// The main window driven as a user would, over a small real library made
// from the seed files.

#include "mainwindow/FormMain.h"
#include "catalogue/RowKey.h"
#include "mainwindow/CommandKeys.h"
#include "mainwindow/StartUp.h"
#include "mainwindow/TrackDetailsView.h"
#include "mainwindow/UcProgress.h"
#include "mainwindow/UcTrackDetails.h"
#include "musiclibrary/Library.h"
#include "support/Registry.h"
#include "support/RegistryKeys.h"
#include "tests/common/ScriptedUi.h"
#include "tests/common/TestFiles.h"
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

#include <ostream>
#include <utility>

using namespace Qt::StringLiterals;
using mainwindow::FormMain;
namespace keys = mainwindow::keys;

// Readable failure output for the texts the tests compare.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << text.toStdString();
}

namespace {

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
    catalogue::SongListModel& model(int tab) { return window->session().ListMain(tab).model(); }
    QStringList column(int tab, int column) {
        QStringList texts;
        for (int row = 0; row < model(tab).rowCount(); ++row)
            texts.append(model(tab).text(row, column));
        return texts;
    }
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

TEST_F(FormMainTest, StartsWithStepsTwoAndThreeXDisabled) {
    EXPECT_TRUE(button(keys::Step1)->isEnabled());
    EXPECT_FALSE(button(keys::Step2)->isEnabled());
    EXPECT_FALSE(button(keys::Step3x)->isEnabled());
    EXPECT_TRUE(button(keys::Step3)->isEnabled());
    EXPECT_FALSE(window->menuItem(u"ItemStep3"_s)->isEnabled());
    EXPECT_TRUE(window->DetailsShown());
    EXPECT_TRUE(window->TimerWiseUpdate()->isActive());
    EXPECT_FALSE(window->TimerButtonMenu()->isActive());
    // Step 3x is not offered; its command stays for the command line.
    showWindow();
    EXPECT_FALSE(button(keys::Step3x)->isVisible());
    EXPECT_TRUE(button(keys::Step3)->isVisible());
}

TEST_F(FormMainTest, StepOneFillsTheListsCountsAndEnablesTheNextSteps) {
    scan();
    EXPECT_EQ(window->busy(), 0);
    EXPECT_EQ(model(0).rowCount(), 3);
    EXPECT_EQ(model(1).rowCount(), 1);
    EXPECT_EQ(window->TabMain()->tabText(0), u"Eligi&ble Songs (3)"_s);
    EXPECT_EQ(window->TabMain()->tabText(1), u"Ineligible S&ongs (1)"_s);
    EXPECT_TRUE(button(keys::Step2)->isEnabled());
    EXPECT_TRUE(button(keys::Step3x)->isEnabled());
    EXPECT_TRUE(window->menuItem(u"ItemStep3"_s)->isEnabled());
    EXPECT_EQ(model(1).text(0, catalogue::ColumnDetail),
              u"File format does not support embedding images"_s);
    // Sorted by full path, and the first row shown in the details panel.
    QStringList paths = column(0, catalogue::ColumnFullPath);
    QStringList sorted = paths;
    sorted.sort(Qt::CaseInsensitive);
    EXPECT_EQ(paths, sorted);
    EXPECT_EQ(details().ArrIndex(), catalogue::RowCatalogueIndex(model(0).key(0)));
    EXPECT_TRUE(details().Track());
    EXPECT_FALSE(window->ProgressMain()->active());
    EXPECT_EQ(window->ProgressMain()->barPercent(), 100);
}

TEST_F(FormMainTest, StepOneDuringAScanOnlyBeeps) {
    int busyDuringScan = -1;
    ui.events.onProcess = [&](int call) {
        if (call == 1) {
            busyDuringScan = window->busy();
            scan();
            window->menuItem(u"ItemStep1"_s)->trigger();
        }
    };
    scan();
    EXPECT_EQ(busyDuringScan, 1);
    EXPECT_EQ(ui.beeper.beeps, 2);
    EXPECT_EQ(model(0).rowCount() + model(1).rowCount(), 4);
    EXPECT_EQ(window->busy(), 0);
}

// While Step 1 fills the lists, the commands that would change them are off
// in their menus and only beep from their keys; the lists take no clicks.
TEST_F(FormMainTest, DuringAScanTheListsTakeNoCommandsOrClicks) {
    scan();
    showWindow();
    bool menusOff = false;
    bool tried = false;
    ui.events.onProcess = [&](int) {
        if (std::exchange(tried, true))
            return;
        // Shortcuts reach the actions with the menu closed, enabled as it
        // was last opened, before the scan.
        window->menuItem(u"ItemEditUncheckAll"_s)->trigger();
        window->menuItem(u"ItemEditPreviousAlbum"_s)->trigger();
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
    EXPECT_TRUE(menusOff);
    EXPECT_EQ(ui.beeper.beeps - beepsBefore, 5);
    EXPECT_TRUE(model(0).isChecked(0)) << "the scan's rows start checked";

    // Idle again: everything works.
    Q_EMIT window->MenuEdit()->aboutToShow();
    EXPECT_TRUE(window->menuItem(u"ItemEditCheckAll"_s)->isEnabled());
    window->menuItem(u"ItemEditUncheckAll"_s)->trigger();
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

TEST_F(FormMainTest, TabCaptionsDuringAScanWaitForTheWindowsTurnAndEndExact) {
    // Setting a tab's text repaints the tab bar; per song that would cost more
    // than the scan. During the run the caption follows when events run.
    QStringList shownDuringScan;
    ui.events.onProcess = [&](int) {
        shownDuringScan.append(window->TabMain()->tabText(0));
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(); // the window's turn: pending captions show
        shownDuringScan.append(window->TabMain()->tabText(0));
    };
    scan();
    ASSERT_GE(shownDuringScan.size(), 2);
    // The first song (Alpha/Album One/01 first.mp3) is eligible.
    EXPECT_EQ(shownDuringScan[0], u"Eligi&ble Songs (0)"_s);
    EXPECT_EQ(shownDuringScan[1], u"Eligi&ble Songs (1)"_s);
    EXPECT_EQ(window->TabMain()->tabText(0), u"Eligi&ble Songs (3)"_s);
    EXPECT_EQ(window->TabMain()->tabText(1), u"Ineligible S&ongs (1)"_s);
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
    EXPECT_TRUE(window->session().CancelRequested);
    EXPECT_EQ(window->session().Catalogue.CatalogueCount(), 1);
    EXPECT_EQ(model(0).rowCount() + model(1).rowCount(), 1);
    EXPECT_LT(window->ProgressMain()->barPercent(), 100);
}

TEST_F(FormMainTest, ClickingTheSortColumnTwiceSortsDescendingThenAscending) {
    showWindow();
    scan();
    const QStringList ascending = column(0, catalogue::ColumnFullPath);
    QStringList descending = ascending;
    std::reverse(descending.begin(), descending.end());
    ASSERT_NE(ascending, descending);

    clickHeader(0, catalogue::ColumnFullPath);
    EXPECT_EQ(column(0, catalogue::ColumnFullPath), descending);
    EXPECT_EQ(window->ListMain(0)->header()->sortIndicatorOrder(), Qt::DescendingOrder);
    clickHeader(0, catalogue::ColumnFullPath);
    EXPECT_EQ(column(0, catalogue::ColumnFullPath), ascending);
    EXPECT_EQ(window->ListMain(0)->header()->sortIndicatorOrder(), Qt::AscendingOrder);

    // Another column becomes the sort column in the current direction.
    clickHeader(0, catalogue::ColumnSongName);
    EXPECT_EQ(window->session().Eligible.sortColumn(), catalogue::ColumnSongName);
    EXPECT_EQ(window->session().Eligible.sortOrder(), Qt::AscendingOrder);
    EXPECT_EQ(window->ListMain(0)->header()->sortIndicatorSection(), catalogue::ColumnSongName);
}

// Without the details panel the lists take its room and show more rows.
TEST_F(FormMainTest, ShowDetailsSwitchesPanelSizesAndGridRows) {
    const int rows = window->GridRowsVisible();
    const int height = window->ListMain(1)->height();
    QAction* showDetails = window->menuItem(u"ItemViewShowDetails"_s);
    EXPECT_TRUE(showDetails->isChecked());
    showDetails->trigger();
    EXPECT_GT(window->GridRowsVisible(), rows);
    EXPECT_FALSE(window->DetailsShown());
    EXPECT_FALSE(showDetails->isChecked());
    EXPECT_TRUE(window->TrackDetailsMain()->widget()->isHidden());
    EXPECT_GT(window->ListMain(0)->height(), height);
    EXPECT_EQ(window->ListMain(1)->height(), window->ListMain(0)->height());
    showDetails->trigger();
    EXPECT_EQ(window->GridRowsVisible(), rows);
    EXPECT_EQ(window->ListMain(1)->height(), height);
    EXPECT_FALSE(window->TrackDetailsMain()->widget()->isHidden());
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
    EXPECT_EQ(window->dispatch().pendingWizardKey(), keys::EmbedArtwork);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !started.isEmpty(); }, 5000));
    EXPECT_EQ(started, QStringList{keys::EmbedArtwork});
    EXPECT_FALSE(window->TimerButtonMenu()->isActive());
}

TEST_F(FormMainTest, StepTwoExplainsTheReview) {
    scan();
    button(keys::Step2)->click();
    ASSERT_EQ(ui.messages.shown.size(), 1);
    EXPECT_EQ(ui.messages.shown.first().title, u"Quillmoth - Step 2"_s);
}

TEST_F(FormMainTest, ListMainStatusFollowsTabAndCheckMarks) {
    EXPECT_EQ(window->ListMainStatus(), 2);
    scan();
    EXPECT_EQ(window->ListMainStatus(), 4);
    EXPECT_TRUE(window->CurListHasAtLeastOneCheckedItem());
    window->TabMain()->setCurrentIndex(1);
    EXPECT_EQ(window->CurTab(), 1);
    EXPECT_EQ(window->ListMainStatus(), 1);
    EXPECT_FALSE(window->CurListHasAtLeastOneCheckedItem());
    EXPECT_TRUE(window->CurListHasItems());
    window->TabMain()->setCurrentIndex(0);
    for (int row = 0; row < model(0).rowCount(); ++row)
        model(0).setChecked(row, false);
    EXPECT_EQ(window->ListMainStatus(), 3);
}

TEST_F(FormMainTest, DoubleClickOnAnIneligibleRowShowsThePanelWithItsWebPage) {
    scan();
    showWindow();
    window->menuItem(u"ItemViewShowDetails"_s)->trigger();
    ASSERT_FALSE(window->DetailsShown());
    window->TabMain()->setCurrentIndex(1);
    doubleClickRow(1, 0);
    EXPECT_TRUE(window->DetailsShown());
    EXPECT_EQ(window->TrackDetailsMain()->DetailsTab(), 1);
    EXPECT_EQ(details().ArrIndex(), catalogue::RowCatalogueIndex(model(1).key(0)));

    window->TabMain()->setCurrentIndex(0);
    doubleClickRow(0, 1);
    EXPECT_EQ(window->TrackDetailsMain()->DetailsTab(), 0);
    EXPECT_EQ(details().ArrIndex(), catalogue::RowCatalogueIndex(model(0).key(1)));
}

TEST_F(FormMainTest, TabChangeShowsTheNewTabsSelectedRow) {
    scan();
    window->TabMain()->setCurrentIndex(1);
    EXPECT_EQ(details().ArrIndex(), catalogue::RowCatalogueIndex(model(1).key(0)));
    window->TabMain()->setCurrentIndex(0);
    EXPECT_EQ(details().ArrIndex(), catalogue::RowCatalogueIndex(model(0).key(0)));
}

TEST_F(FormMainTest, TabStripTooltipFollowsTheMouse) {
    showWindow();
    QTabBar* strip = window->TabMain()->tabBar();
    const auto moveTo = [&](QPoint inTabControl, Qt::MouseButtons buttons) {
        const QPoint local = strip->mapFrom(window->TabMain(), inTabControl);
        QMouseEvent move(QEvent::MouseMove, local, strip->mapToGlobal(local), Qt::NoButton, buttons,
                         Qt::NoModifier);
        QApplication::sendEvent(strip, &move);
        return strip->toolTip();
    };
    EXPECT_TRUE(moveTo({10, 5}, Qt::NoButton).contains(u"including those with images"_s));
    window->session().ViewFilter = 4;
    EXPECT_TRUE(moveTo({10, 5}, Qt::NoButton).contains(u"available for embedding"_s));
    EXPECT_EQ(moveTo({300, 5}, Qt::NoButton),
              u"Show songs which are cannot have album cover art embedded"_s);
    EXPECT_EQ(moveTo({10, 5}, Qt::LeftButton), QString());
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
                EXPECT_TRUE(tip.startsWith(u"Show songs which have at least one"_s)) << x;
            else
                EXPECT_EQ(tip, u"Show songs which are cannot have album cover art embedded"_s) << x;
        }
    }
}

TEST_F(FormMainTest, MenusAreEnabledWhenTheyOpen) {
    auto* edit = window->MenuEdit();
    Q_EMIT edit->aboutToShow();
    EXPECT_FALSE(window->menuItem(u"ItemEditCheckAll"_s)->isEnabled());
    EXPECT_FALSE(window->menuItem(u"ItemEditNextAlbum"_s)->isEnabled());
    scan();
    Q_EMIT edit->aboutToShow();
    EXPECT_TRUE(window->menuItem(u"ItemEditCheckAll"_s)->isEnabled());
    EXPECT_TRUE(window->menuItem(u"ItemEditCheckAlbum"_s)->isEnabled());
    window->TabMain()->setCurrentIndex(1);
    Q_EMIT edit->aboutToShow();
    EXPECT_FALSE(window->menuItem(u"ItemEditCheckAll"_s)->isEnabled());
    EXPECT_TRUE(window->menuItem(u"ItemEditNextAlbum"_s)->isEnabled());
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

TEST_F(FormMainTest, PlaceDialogPutsTheDialogBelowAndRightOfTheFrameCorner) {
    window->move(100, 80);
    QWidget dialog;
    FormMain::PlaceDialog(window.get(), &dialog);
    EXPECT_EQ(dialog.pos(), window->frameGeometry().topLeft() + QPoint(22, 22));
}

const QString ExpectedConnectionFailure =
    u"Quillmoth cannot start because it cannot connect to iTunes!\n\n"
    u"This version of Quillmoth requires iTunes version 7.7.1 or later. Please install, "
    u"upgrade, or repair iTunes.\n\n"
    u"To repair your iTunes installation, use 'Add or Remove Programs' in the Windows Control "
    u"Panel. Select 'iTunes' with a single click, then click the 'Change' button.\n\n"
    u"Quillmoth will now exit."_s;

TEST(StartUp, ALibraryThatCannotBeOpenedEndsTheProgramWithoutAWindow) {
    testing_support::ScriptedUi ui;
    testing_support::TempFolder settings;
    support::SetRegistryFiles({settings.file(u"user.json"_s), settings.file(u"machine.json"_s)});
    auto window = mainwindow::StartMainWindow(
        ui.services(), mainwindow::MakeLibraryOpener(settings.file(u"no such library"_s)));
    EXPECT_FALSE(window);
    ASSERT_EQ(ui.messages.shown.size(), 1);
    EXPECT_EQ(ui.messages.shown.first().text, ExpectedConnectionFailure);
    EXPECT_EQ(ui.messages.shown.first().icon, support::MbCritical);
    EXPECT_TRUE(ui.messages.shown.first().title.isEmpty());
    EXPECT_NE(mainwindow::ConnectionFailedExitStatus, 0);
    for (QWidget* widget : QApplication::topLevelWidgets())
        EXPECT_FALSE(qobject_cast<FormMain*>(widget)) << "a main window was left behind";
    // A failed opening is not remembered.
    EXPECT_TRUE(support::RegGetString(support::Hive::CurrentUser, support::KEY_QUILLMOTH,
                                      support::VALUE_LAST_LIBRARY)
                    .isEmpty());
    support::ResetRegistryFiles();
}

TEST(StartUp, TheLibraryOpenedIsRememberedForTheNextStart) {
    testing_support::TempFolder settings;
    testing_support::TempFolder library;
    library.copySeed(u"seed.mp3"_s, u"a.mp3"_s);
    support::SetRegistryFiles({settings.file(u"user.json"_s), settings.file(u"machine.json"_s)});
    testing_support::ScriptedUi ui;
    auto window =
        mainwindow::StartMainWindow(ui.services(), mainwindow::MakeLibraryOpener(library.path()));
    ASSERT_TRUE(window);
    EXPECT_TRUE(ui.messages.shown.isEmpty());
    EXPECT_EQ(mainwindow::ChooseLibraryPath(QString()), library.path());
    EXPECT_EQ(mainwindow::ChooseLibraryPath(u"/elsewhere"_s), u"/elsewhere"_s);
    support::ResetRegistryFiles();
}

TEST(StartUp, LibraryChoiceOrder) {
    EXPECT_EQ(mainwindow::ChooseLibraryPath(u"/a"_s, u"/b"_s, u"/c"_s), u"/a"_s);
    EXPECT_EQ(mainwindow::ChooseLibraryPath(QString(), u"/b"_s, u"/c"_s), u"/b"_s);
    EXPECT_EQ(mainwindow::ChooseLibraryPath(u"  "_s, QString(), u"/c"_s), u"/c"_s);
}

} // namespace
