// The review commands as the main window offers them: Edit menu check
// marks and album moves, View > Filter, and the details panel that follows
// the selection. Over a small real library made from the seed files (whose
// songs carry no album name, so each folder is one album).

#include "catalogue/RowKey.h"
#include "mainwindow/CommandKeys.h"
#include "mainwindow/FormFilter.h"
#include "mainwindow/FormMain.h"
#include "mainwindow/ModalRunner.h"
#include "mainwindow/ReviewCommands.h"
#include "mainwindow/UcProgress.h"
#include "mainwindow/UcTrackDetails.h"
#include "tests/common/ScriptedUi.h"
#include "tests/common/TestFiles.h"
#include "tests/mainwindow/SeedLibraryWindowTest.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using mainwindow::FormMain;

namespace {

class FilterChoice : public mainwindow::ModalRunner {
public:
    int32_t choose = 0;
    QPoint shownAt;
    void runModal(QDialog& dialog) override {
        auto& filter = dynamic_cast<mainwindow::FormFilter&>(dialog);
        shownAt = filter.pos();
        filter.setArtTypes(choose);
        filter.ButOK()->click();
    }
};

class SelectionWindowTest : public SeedLibraryWindowTest {
protected:
    void SetUp() override {
        startWindow({{u"seed.mp3"_s, u"Alpha/01 first.mp3"_s},
                     {u"seed.m4a"_s, u"Alpha/02 second.m4a"_s},
                     {u"cover-300.jpg"_s, u"Alpha/Folder.jpg"_s},
                     {u"seed.aiff"_s, u"Beta/03 third.aiff"_s},
                     {u"seed.wav"_s, u"Beta/04 fourth.wav"_s}});
        ASSERT_TRUE(window);
        mainwindow::InstallReviewCommands(*window, &filterChoice);
        window->toolbarButton(mainwindow::keys::Step1)->click();
        ASSERT_EQ(eligible().rowCount(), 3);
    }

    catalogue::SongList& eligible() { return window->session().Eligible; }
    void trigger(const QString& item) { window->menuItem(item)->trigger(); }
    QList<int> checkedRows() {
        QList<int> rows;
        for (int row = 0; row < eligible().rowCount(); ++row) {
            if (eligible().model().isChecked(row))
                rows.append(row);
        }
        return rows;
    }
    mainwindow::UcTrackDetails& details() {
        return dynamic_cast<mainwindow::UcTrackDetails&>(*window->TrackDetailsMain());
    }

    FilterChoice filterChoice;
};

TEST_F(SelectionWindowTest, CheckAlbumMarksTheSongsOfTheSelectedSongsFolder) {
    trigger(u"ItemEditUncheckAll"_s);
    EXPECT_TRUE(checkedRows().isEmpty());
    eligible().selectRow(1);
    trigger(u"ItemEditCheckAlbum"_s);
    EXPECT_EQ(checkedRows(), (QList<int>{0, 1}));
    EXPECT_EQ(window->ProgressMain()->barPercent(), 100);
    trigger(u"ItemEditUncheckAlbum"_s);
    EXPECT_TRUE(checkedRows().isEmpty());
}

TEST_F(SelectionWindowTest, CheckAllWorksOnTheEligibleListFromEitherTab) {
    trigger(u"ItemEditUncheckAll"_s);
    window->TabMain()->setCurrentIndex(catalogue::TAB_INELIGIBLE);
    trigger(u"ItemEditCheckAll"_s);
    EXPECT_EQ(checkedRows(), (QList<int>{0, 1, 2}));
}

TEST_F(SelectionWindowTest, AlbumMovesFollowTheListAndShowTheNewRow) {
    // Every song has the same (empty) album name: there is no other album.
    eligible().selectRow(0);
    trigger(u"ItemEditNextAlbum"_s);
    trigger(u"ItemEditPreviousAlbum"_s);
    EXPECT_EQ(ui.beeper.beeps, 2);
    EXPECT_EQ(eligible().selectedRow(), 0);
    EXPECT_EQ(details().ArrIndex(), catalogue::RowCatalogueIndex(eligible().model().key(0)));
}

TEST_F(SelectionWindowTest, TheFilterRebuildsTheEligibleListFromTheDialogsChoice) {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    trigger(u"ItemEditUncheckAll"_s);
    filterChoice.choose = catalogue::ArtKindFolderJpg;
    trigger(u"ItemViewFilterView"_s);
    EXPECT_EQ(filterChoice.shownAt, window->frameGeometry().topLeft() + QPoint(22, 22));
    EXPECT_EQ(window->session().ViewFilter, catalogue::ArtKindFolderJpg);
    ASSERT_EQ(eligible().rowCount(), 2);
    EXPECT_EQ(checkedRows(), (QList<int>{0, 1}));
    EXPECT_EQ(window->TabMain()->tabText(0), u"Eligi&ble Songs (2)"_s);
}

TEST_F(SelectionWindowTest, TheDetailsPanelShowsTheClickedSongsArtwork) {
    eligible().selectRow(1);
    const int32_t index = catalogue::RowCatalogueIndex(eligible().model().key(1));
    EXPECT_EQ(details().ArrIndex(), index);
    ASSERT_TRUE(details().Track());
    EXPECT_EQ(details().ShownKind(), catalogue::ArtKindFolderJpg);
    EXPECT_EQ(details().LabDimensions()->text(), u"300 x 300"_s);
}

} // namespace
