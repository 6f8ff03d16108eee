// Delete Artwork and the folder thumbnails as the main window runs them,
// on the demonstration library, against the same runs of quillmoth-cli on
// a second copy of it.

#include "artwork/ArtworkCommands.h"
#include "artwork/FormWizardCreateFolderJpg.h"
#include "artwork/FormWizardDeleteArtwork.h"
#include "artwork/FormWizardDownloads.h"
#include "artwork/WizardControls.h"
#include "mainwindow/CommandKeys.h"
#include "mainwindow/FormFilter.h"
#include "mainwindow/FormMain.h"
#include "mainwindow/ModalRunner.h"
#include "mainwindow/ReviewCommands.h"
#include "mainwindow/StartUp.h"
#include "musiclibrary/AudioFileIO.h"
#include "musiclibrary/DemoLibrary.h"
#include "musiclibrary/Library.h"
#include "support/Registry.h"
#include "tests/artwork/WindowTestSupport.h"
#include "tests/common/ScriptedUi.h"
#include "tests/common/TestFiles.h"

#include <QCheckBox>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QHeaderView>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

#include <gtest/gtest.h>

#include <utility>

using namespace Qt::StringLiterals;
using namespace artwork;
using testing_support::TempFolder;
namespace keys = mainwindow::keys;

namespace {

// What every file below folder holds: the bytes of each song's pictures, and
// each other file's bytes, by relative path (hidden files too).
QMap<QString, QByteArray> contentsBelow(const QString& folder) {
    QMap<QString, QByteArray> result;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = path.mid(folder.size());
        if (relative.endsWith(u".xml"_s))
            continue;
        QByteArray content;
        try {
            for (const musiclibrary::Picture& picture : musiclibrary::readPictures(path))
                content += QCryptographicHash::hash(picture.data, QCryptographicHash::Sha1);
        } catch (const musiclibrary::LibraryError&) {
            content =
                QCryptographicHash::hash(testing_support::readFile(path), QCryptographicHash::Sha1);
        }
        result.insert(relative, content);
    }
    return result;
}

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

class WizardWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        support::SetRegistryFiles(
            {settings.file(u"user.json"_s), settings.file(u"machine.json"_s)});
        libraryFile = musiclibrary::buildDemoLibrary(demo.path(), {data.path()});
        otherLibrary = musiclibrary::buildDemoLibrary(otherDemo.path(), {otherData.path()});
        window = testing_support::StartScannedWindow(
            ui, runner, [this] { return musiclibrary::openLibrary(libraryFile, {data.path()}); });
        ASSERT_TRUE(window);
    }
    void TearDown() override {
        window.reset();
        support::ResetRegistryFiles();
    }
    void choose(const QString& key) { testing_support::ChooseWizard(*window, key); }
    QString cli(const QStringList& arguments) {
        QProcess process;
        process.start(
            QStringLiteral(QUILLMOTH_CLI),
            QStringList{u"--library"_s, otherLibrary, u"--data-folder"_s, otherData.path()} +
                arguments);
        EXPECT_TRUE(process.waitForFinished(120000));
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        return QString::fromUtf8(process.readAllStandardOutput());
    }

    TempFolder demo, data, otherDemo, otherData, settings;
    testing_support::ScriptedUi ui;
    testing_support::PlayWizard runner;
    QString libraryFile, otherLibrary;
    std::unique_ptr<mainwindow::FormMain> window;
};

TEST_F(WizardWindowTest, DeleteArtworkFromTheWindowAndTheCommandLineAgree) {
    const auto before = contentsBelow(demo.path());
    int opened = 0;
    runner.play = [&](QDialog& dialog) {
        ++opened;
        auto& wizard = dynamic_cast<FormWizardDeleteArtwork&>(dialog);
        EXPECT_EQ(wizard.pos(), window->frameGeometry().topLeft() + QPoint(22, 22));
        EXPECT_EQ(wizard.SelCount, window->session().Eligible.rowCount());
        wizard.ButNext()->click();
        wizard.CheckDeleteDownloaded->setChecked(true);
        SelectPosition(wizard.ListSingleDelete, 2);
        SelectPosition(wizard.ListMultipleDelete, 12);
        SelectPosition(wizard.ListTargetSizes, 5); // 200 x 200
        wizard.ButNext()->click();
        wizard.ButNext()->click();
    };
    choose(keys::DeleteArtwork);
    ASSERT_EQ(opened, 1);
    ASSERT_FALSE(ui.messages.shown.isEmpty());
    const QString closing = ui.messages.shown.last().text;
    EXPECT_TRUE(closing.startsWith(u"Done deleting artwork."_s));
    EXPECT_NE(contentsBelow(demo.path()), before);

    const QString out = cli({u"delete"_s, u"--downloaded"_s, u"--single"_s, u"2"_s, u"--multiple"_s,
                             u"12"_s, u"--target"_s, u"iPod video/5G (2005) -- 200 x 200"_s});
    EXPECT_TRUE(out.endsWith(closing + u'\n')) << out.toStdString();
    EXPECT_EQ(contentsBelow(otherDemo.path()), contentsBelow(demo.path()));
    EXPECT_EQ(QDir(otherData.path() + u"/downloaded"_s).entryList(QDir::Files),
              QDir(data.path() + u"/downloaded"_s).entryList(QDir::Files));
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
    QStringList chosen;
    for (int row = 0; row < model.rowCount(); ++row) {
        const bool embedded = model.text(row, catalogue::ColumnDetail).contains(u"Embedded"_s);
        // Every other song with pictures, so that unchosen ones lie between.
        const bool choose = embedded && row % 2 == 1 && chosen.size() < 3;
        model.setChecked(row, choose);
        if (choose)
            chosen.append(model.text(row, catalogue::ColumnFullPath).mid(demo.path().size()));
    }
    ASSERT_EQ(chosen.size(), 3);
    chosen.sort();
    const int unchecked = model.isChecked(0) ? 2 : 0;
    const auto before = contentsBelow(demo.path());

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
    const auto after = contentsBelow(demo.path());
    QStringList changed;
    for (auto it = after.cbegin(); it != after.cend(); ++it)
        if (before.value(it.key()) != it.value())
            changed.append(it.key());
    EXPECT_EQ(changed, chosen);
    EXPECT_EQ(window->session().Eligible.selectedRow(), selectedBefore);
    QStringList checkedAfter;
    for (int row = 0; row < model.rowCount(); ++row)
        if (model.isChecked(row))
            checkedAfter.append(model.text(row, catalogue::ColumnFullPath).mid(demo.path().size()));
    checkedAfter.sort();
    EXPECT_EQ(checkedAfter, chosen) << "the check marks stay as they were";

    // Once the run is over the same commands work again.
    ui.events.onProcess = nullptr;
    window->menuItem(u"ItemEditCheckAll"_s)->trigger();
    EXPECT_TRUE(model.isChecked(unchecked));
}

TEST_F(WizardWindowTest, FolderThumbnailsFromTheWindowAndTheCommandLineAgree) {
    runner.play = [&](QDialog& dialog) {
        auto& wizard = dynamic_cast<FormWizardCreateFolderJpg&>(dialog);
        EXPECT_EQ(wizard.TargetPixels, 256);
        wizard.ButNext()->click();
        wizard.OptDeleteExisting[1]->click();
        wizard.ButNext()->click();
        wizard.ButNext()->click();
    };
    choose(keys::CreateFolderJpg);
    ASSERT_FALSE(ui.messages.shown.isEmpty());
    const QString closing = ui.messages.shown.last().text;
    EXPECT_TRUE(closing.startsWith(u"Done creating Folder.JPG files."_s)) << closing.toStdString();

    const QString out = cli({u"thumbnails"_s, u"--overwrite"_s});
    EXPECT_TRUE(out.endsWith(closing + u'\n')) << out.toStdString();
    // The Trash is the tests' own; the folders must hold the same files.
    EXPECT_EQ(contentsBelow(otherDemo.path()), contentsBelow(demo.path()));
}

TEST_F(WizardWindowTest, DownloadedArtworkFromTheWindowAndTheCommandLineAgree) {
    choose(keys::DownloadArtwork);
    ASSERT_EQ(ui.messages.shown.size(), 1);
    EXPECT_TRUE(ui.messages.shown[0].text.startsWith(
        u"Here is how to make iTunes download cover artwork:\n\n"_s));
    EXPECT_EQ(ui.messages.shown[0].icon, support::MbInformation);

    runner.play = [](QDialog& dialog) { dynamic_cast<WizardForm&>(dialog).ButNext()->click(); };
    choose(keys::CreatePlaylist);
    const QString playlistClosing = ui.messages.shown.last().text;
    EXPECT_TRUE(playlistClosing.contains(u"Number of songs added to the playlist: "_s));
    choose(keys::EmbedDownloadedArtwork);
    const QString closing = ui.messages.shown.last().text;
    EXPECT_EQ(closing,
              u"Done embedding downloaded artwork.\n\nNumber of song files processed: 3"_s);

    EXPECT_TRUE(cli({u"download-playlist"_s}).endsWith(playlistClosing + u'\n'));
    EXPECT_TRUE(cli({u"embed-downloaded"_s}).endsWith(closing + u'\n'));
    EXPECT_EQ(contentsBelow(otherDemo.path()), contentsBelow(demo.path()));
    EXPECT_TRUE(QDir(data.path() + u"/downloaded"_s).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(QDir(otherData.path() + u"/downloaded"_s).entryList(QDir::Files).isEmpty());
}

TEST_F(WizardWindowTest, CancelledWizardsRunNothing) {
    const auto before = contentsBelow(demo.path());
    runner.play = [](QDialog& dialog) { dynamic_cast<WizardForm&>(dialog).ButCancel()->click(); };
    for (const QString& key : {keys::DeleteArtwork, keys::CreateFolderJpg, keys::CreatePlaylist,
                               keys::EmbedDownloadedArtwork})
        choose(key);
    EXPECT_TRUE(ui.messages.shown.isEmpty());
    EXPECT_EQ(contentsBelow(demo.path()), before);
}

} // namespace
