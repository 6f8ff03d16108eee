// Embed Artwork, Delete Artwork, the folder thumbnails and downloaded artwork
// as the main window runs them on the demonstration library, against the same
// runs of quillmoth-cli on a second copy of it; and a run the user interferes
// with.

#include "artwork/FormWizardCreateFolderJpg.h"
#include "artwork/FormWizardDeleteArtwork.h"
#include "artwork/FormWizardEmbedArtwork.h"
#include "artwork/WizardControls.h"
#include "mainwindow/FormFilter.h"
#include "mainwindow/ReviewCommands.h"
#include "tests/artwork/WindowTestSupport.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTreeView>

#include <utility>

using namespace Qt::StringLiterals;
using namespace artwork;
using testing_support::ChangedFiles;
using testing_support::ContentsBelow;
namespace keys = mainwindow::keys;

namespace {

// Where a click lands on the check box of a list row.
QPoint checkBoxCentre(QTreeView* list, int row) {
    QStyleOptionViewItem option;
    option.initFrom(list);
    option.rect = list->visualRect(list->model()->index(row, 0));
    option.features = QStyleOptionViewItem::HasCheckIndicator;
    return list->style()
        ->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list)
        .center();
}

class WizardWindowTest : public testing_support::DemoWindowTest {};

TEST_F(WizardWindowTest, EmbedArtworkFromTheWindowAndTheCommandLineAgree) {
    runner.play = [](QDialog& dialog) {
        auto& wizard = dynamic_cast<FormWizardEmbedArtwork&>(dialog);
        wizard.ButNext()->click();
        for (int row = 0; row < wizard.ListUse->count(); ++row)
            if (wizard.ListUse->item(row)->data(Qt::UserRole).toInt() == SourceLargest)
                SelectPosition(wizard.ListUse, row + 1);
        wizard.ButRemove->click();
        SelectPosition(wizard.ListTargetSizes, 5); // "iPod video/5G (2005) -- 200 x 200"
        wizard.OptDeleteDownloaded[1]->click();
        wizard.OptExistingEmbedded[2]->click();
        wizard.ButNext()->click();
        wizard.ButNext()->click();
    };
    expectTwinsAgree({{keys::EmbedArtwork,
                       {u"embed"_s, u"--sources"_s, u"1,2,3,4,5,6,7"_s, u"--target"_s, u"200"_s,
                        u"--existing"_s, u"2"_s, u"--delete-downloaded"_s}}});
}

TEST_F(WizardWindowTest, DeleteArtworkFromTheWindowAndTheCommandLineAgree) {
    runner.play = [this](QDialog& dialog) {
        auto& wizard = dynamic_cast<FormWizardDeleteArtwork&>(dialog);
        EXPECT_EQ(wizard.SelCount, window->session().Eligible.rowCount());
        wizard.ButNext()->click();
        wizard.CheckDeleteDownloaded->setChecked(true);
        SelectPosition(wizard.ListSingleDelete, 2);
        SelectPosition(wizard.ListMultipleDelete, 12);
        SelectPosition(wizard.ListTargetSizes, 5); // 200 x 200
        wizard.ButNext()->click();
        wizard.ButNext()->click();
    };
    expectTwinsAgree({{keys::DeleteArtwork,
                       {u"delete"_s, u"--downloaded"_s, u"--single"_s, u"2"_s, u"--multiple"_s,
                        u"12"_s, u"--target"_s, u"iPod video/5G (2005) -- 200 x 200"_s}}});
}

TEST_F(WizardWindowTest, FolderThumbnailsFromTheWindowAndTheCommandLineAgree) {
    runner.play = [](QDialog& dialog) {
        auto& wizard = dynamic_cast<FormWizardCreateFolderJpg&>(dialog);
        wizard.ButNext()->click();
        wizard.OptDeleteExisting[1]->click();
        wizard.ButNext()->click();
        wizard.ButNext()->click();
    };
    expectTwinsAgree({{keys::CreateFolderJpg, {u"thumbnails"_s, u"--overwrite"_s}}});
}

TEST_F(WizardWindowTest, DownloadedArtworkFromTheWindowAndTheCommandLineAgree) {
    runner.play = [](QDialog& dialog) { dynamic_cast<WizardForm&>(dialog).ButNext()->click(); };
    expectTwinsAgree({{keys::CreatePlaylist, {u"download-playlist"_s}},
                      {keys::EmbedDownloadedArtwork, {u"embed-downloaded"_s}}});
}

// Download Artwork via iTunes only explains how; it opens no wizard.
TEST_F(WizardWindowTest, DownloadViaITunesOnlyExplains) {
    const auto before = ContentsBelow(demo.path());
    choose(keys::DownloadArtwork);
    ASSERT_EQ(ui.messages.shown.size(), 1);
    EXPECT_EQ(ui.messages.shown[0].icon, support::MbInformation);
    EXPECT_EQ(ChangedFiles(before, ContentsBelow(demo.path())), QStringList());
}

// A run lets window events through after every song. Whatever the user does
// then (the filter, Check All, a sort by header, check box clicks, keys in
// the list), the run changes exactly the songs that were checked when it
// started, and each refused command beeps.
TEST_F(WizardWindowTest, ARunChangesOnlyTheSongsCheckedWhenItStarted) {
    mainwindow::InstallReviewCommands(*window, &runner);
    window->show();
    catalogue::SongListModel& model = window->session().Eligible.model();
    QTreeView* list = window->ListMain(catalogue::TAB_ELIGIBLE);
    const auto checkedSongs = [&] {
        QStringList songs;
        for (int row = 0; row < model.rowCount(); ++row)
            if (model.isChecked(row))
                songs.append(model.text(row, catalogue::ColumnFullPath).mid(demo.path().size()));
        songs.sort();
        return songs;
    };
    // Every other song with pictures, so that unchosen ones lie between.
    for (int row = 0, embedded = 0; row < model.rowCount(); ++row) {
        const bool hasPictures = model.text(row, catalogue::ColumnDetail).contains(u"Embedded"_s);
        model.setChecked(row, hasPictures && row % 2 == 1 && (embedded += 1) <= 3);
    }
    const QStringList chosen = checkedSongs();
    ASSERT_EQ(chosen.size(), 3);
    const int unchecked = model.isChecked(0) ? 2 : 0;
    const auto before = ContentsBelow(demo.path());

    int filterOpened = 0;
    bool tried = false;
    ui.events.onProcess = [&](int) {
        if (std::exchange(tried, true))
            return;
        window->menuItem(u"ItemViewFilterView"_s)->trigger();
        window->menuItem(u"ItemEditCheckAll"_s)->trigger();
        QHeaderView* header = list->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(catalogue::ColumnSongName) + 5,
                                 header->height() / 2));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, checkBoxCentre(list, unchecked));
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Space);
        QTest::keyClick(list, Qt::Key_End);
    };
    runner.play = [&](QDialog& dialog) {
        if (auto* filter = dynamic_cast<mainwindow::FormFilter*>(&dialog)) {
            ++filterOpened;
            filter->ButOK()->click();
            return;
        }
        auto& wizard = dynamic_cast<FormWizardDeleteArtwork&>(dialog);
        wizard.ButNext()->click();
        SelectPosition(wizard.ListSingleDelete, 4);    // Yes (always)
        SelectPosition(wizard.ListMultipleDelete, 13); // All images
        wizard.ButNext()->click();
        wizard.ButNext()->click();
    };
    const int selectedBefore = window->session().Eligible.selectedRow();
    choose(keys::DeleteArtwork);

    EXPECT_EQ(filterOpened, 0);
    EXPECT_GE(ui.beeper.beeps, 5);
    EXPECT_EQ(ChangedFiles(before, ContentsBelow(demo.path())), chosen);
    EXPECT_EQ(window->session().Eligible.selectedRow(), selectedBefore);
    EXPECT_EQ(checkedSongs(), chosen) << "the check marks stay as they were";

    // Once the run is over the same commands work again.
    ui.events.onProcess = nullptr;
    window->menuItem(u"ItemEditCheckAll"_s)->trigger();
    EXPECT_TRUE(model.isChecked(unchecked));
}

} // namespace
