// The embedding runs as the main window offers them: the wizard chosen from
// the Step 3 menu and Step 3x on the toolbar, over the demonstration
// library; and the same run from quillmoth-cli giving the same songs.

#include "artwork/ArtworkCommands.h"
#include "artwork/FormWizardEmbedArtwork.h"
#include "catalogue/RowKey.h"
#include "mainwindow/CommandKeys.h"
#include "mainwindow/FormMain.h"
#include "mainwindow/ModalRunner.h"
#include "mainwindow/StartUp.h"
#include "mainwindow/UcProgress.h"
#include "musiclibrary/AudioFileIO.h"
#include "musiclibrary/DemoLibrary.h"
#include "musiclibrary/Library.h"
#include "support/Registry.h"
#include "tests/common/ScriptedUi.h"
#include "tests/common/TestFiles.h"

#include <QDirIterator>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace artwork;
using testing_support::TempFolder;
namespace keys = mainwindow::keys;

namespace {

// Plays the user of the wizard: leaves out the sources the test names,
// picks a target size and the options, and presses Next and Go!.
class WizardPlayer : public mainwindow::ModalRunner {
public:
    QList<int32_t> leaveOut;
    int targetRow = 4; // "iPod video/5G (2005) -- 200 x 200"
    bool deleteDownloaded = true;
    int existing = 2;
    bool cancel = false;
    int opened = 0;
    QPoint shownAt;

    void runModal(QDialog& dialog) override {
        ++opened;
        auto& wizard = dynamic_cast<FormWizardEmbedArtwork&>(dialog);
        shownAt = wizard.pos();
        if (cancel) {
            wizard.ButCancel()->click();
            return;
        }
        wizard.ButNext()->click();
        for (int row = wizard.ListUse->count() - 1; row >= 0; --row) {
            if (leaveOut.contains(wizard.ListUse->item(row)->data(Qt::UserRole).toInt())) {
                wizard.ListUse->setCurrentRow(row);
                wizard.ListUse->item(row)->setSelected(true);
                wizard.ButRemove->click();
            }
        }
        if (wizard.ListTargetSizes->isEnabled()) {
            wizard.ListTargetSizes->setCurrentRow(targetRow);
            wizard.ListTargetSizes->item(targetRow)->setSelected(true);
        }
        wizard.OptDeleteDownloaded[deleteDownloaded ? 1 : 0]->click();
        wizard.OptExistingEmbedded[size_t(existing)]->click();
        wizard.ButNext()->click();
        wizard.ButNext()->click();
    }
};

// Every song file below folder, by its path relative to folder, with its pictures.
QMap<QString, QList<QByteArray>> picturesBelow(const QString& folder) {
    QMap<QString, QList<QByteArray>> result;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = path.mid(folder.size());
        if (path.endsWith(u".jpg"_s, Qt::CaseInsensitive) ||
            path.endsWith(u".png"_s, Qt::CaseInsensitive) ||
            path.endsWith(u".bmp"_s, Qt::CaseInsensitive) || path.endsWith(u".xml"_s) ||
            path.endsWith(u".jpeg"_s) || path.endsWith(u".tmp"_s))
            continue;
        try {
            QList<QByteArray> bytes;
            for (const musiclibrary::Picture& picture : musiclibrary::readPictures(path))
                bytes.append(picture.data);
            result.insert(relative, bytes);
        } catch (const musiclibrary::LibraryError&) {
            result.insert(relative, {"(no pictures)"});
        }
    }
    return result;
}

class EmbedWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        support::SetRegistryFiles(
            {settings.file(u"user.json"_s), settings.file(u"machine.json"_s)});
        libraryFile = musiclibrary::buildDemoLibrary(demo.path(), {data.path()});
        window = mainwindow::StartMainWindow(ui.services(), [this] {
            return musiclibrary::openLibrary(libraryFile, {data.path()});
        });
        ASSERT_TRUE(window);
        InstallArtworkCommands(*window, &player);
        window->toolbarButton(keys::Step1)->click();
        ASSERT_GT(window->session().Eligible.rowCount(), 10);
        ui.messages.shown.clear();
    }
    void TearDown() override {
        window.reset();
        support::ResetRegistryFiles();
    }

    // Chooses the wizard from the Step 3 drop-down; it starts from the timer.
    void chooseEmbedWizard() {
        window->dispatch().wizardChosen(keys::EmbedArtwork);
        ASSERT_TRUE(window->TimerButtonMenu()->isActive());
        window->TimerButtonMenu()->stop();
        window->dispatch().wizardTimerTick();
        EXPECT_EQ(window->busy(), 0);
    }

    TempFolder demo, data, settings;
    testing_support::ScriptedUi ui;
    WizardPlayer player;
    QString libraryFile;
    std::unique_ptr<mainwindow::FormMain> window;
};

TEST_F(EmbedWindowTest, TheWizardRunsFromTheStepThreeMenuAndChangesTheCheckedSongs) {
    const QMap<QString, QList<QByteArray>> before = picturesBelow(demo.path());
    player.leaveOut = {};
    chooseEmbedWizard();
    EXPECT_EQ(player.opened, 1);
    EXPECT_EQ(player.shownAt, window->frameGeometry().topLeft() + QPoint(22, 22));
    ASSERT_FALSE(ui.messages.shown.isEmpty());
    const QString closing = ui.messages.shown.last().text;
    EXPECT_TRUE(
        closing.startsWith(u"Done embedding artwork.\n\nNumber of song files processed: "_s));
    EXPECT_NE(picturesBelow(demo.path()), before);
    // Rows stay; every row that was checked is now unchecked.
    const catalogue::SongList& eligible = window->session().Eligible;
    for (int row = 0; row < eligible.rowCount(); ++row)
        EXPECT_FALSE(eligible.model().isChecked(row)) << row;
    EXPECT_EQ(window->ProgressMain()->value(), window->ProgressMain()->max());
    EXPECT_FALSE(window->ProgressMain()->active());
}

TEST_F(EmbedWindowTest, CancelInTheWizardRunsNothing) {
    const QMap<QString, QList<QByteArray>> before = picturesBelow(demo.path());
    player.cancel = true;
    chooseEmbedWizard();
    EXPECT_EQ(player.opened, 1);
    EXPECT_TRUE(ui.messages.shown.isEmpty());
    EXPECT_EQ(picturesBelow(demo.path()), before);
}

TEST_F(EmbedWindowTest, StepThreeXEmbedsFolderJpgAndMovesTheRowsOff) {
    const int rowsBefore = window->session().Eligible.rowCount();
    window->toolbarButton(keys::Step3x)->click();
    EXPECT_EQ(window->busy(), 0);
    ASSERT_GE(ui.messages.shown.size(), 2);
    EXPECT_EQ(ui.messages.shown.first().text, u"EmbedChecked() should not have been called."_s);
    const QString closing = ui.messages.shown.last().text;
    const int embedded = closing.section(u": "_s, -1).toInt();
    EXPECT_GT(embedded, 0);
    EXPECT_EQ(window->session().Eligible.rowCount(), rowsBefore - embedded);
    EXPECT_EQ(window->TabMain()->tabText(0), u"Eligi&ble Songs (%1)"_s.arg(rowsBefore - embedded));
}

// The command-line twin runs the same code on the same library: the songs
// end the same, and it reports the same count.
TEST_F(EmbedWindowTest, TheCommandLineEmbedAgreesWithTheWindow) {
    TempFolder otherDemo, otherData;
    const QString otherLibrary =
        musiclibrary::buildDemoLibrary(otherDemo.path(), {otherData.path()});
    ASSERT_EQ(picturesBelow(otherDemo.path()), picturesBelow(demo.path()));

    player.leaveOut = {SourceLargest};
    player.targetRow = 4;
    player.deleteDownloaded = true;
    player.existing = 2;
    chooseEmbedWizard();
    const QString windowClosing = ui.messages.shown.last().text;

    QProcess cli;
    cli.start(QStringLiteral(QUILLMOTH_CLI),
              {u"--library"_s, otherLibrary, u"--data-folder"_s, otherData.path(), u"embed"_s,
               u"--sources"_s, u"1,2,3,4,5,6,7"_s, u"--target"_s, u"200"_s, u"--existing"_s, u"2"_s,
               u"--delete-downloaded"_s});
    ASSERT_TRUE(cli.waitForFinished(120000));
    EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    const QString out = QString::fromUtf8(cli.readAllStandardOutput());
    EXPECT_TRUE(out.endsWith(windowClosing + u'\n')) << out.toStdString();
    const QStringList lines = out.split(u'\n');
    EXPECT_EQ(lines.count(), window->session().Eligible.rowCount() + 4) << "a line per row";

    EXPECT_EQ(picturesBelow(otherDemo.path()), picturesBelow(demo.path()));
    EXPECT_EQ(QDir(otherData.path() + u"/downloaded"_s).entryList(QDir::Files),
              QDir(data.path() + u"/downloaded"_s).entryList(QDir::Files));
}

} // namespace
