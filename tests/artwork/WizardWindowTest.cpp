// Delete Artwork and the folder thumbnails as the main window runs them,
// on the demonstration library, against the same runs of quillmoth-cli on
// a second copy of it.

#include "artwork/ArtworkCommands.h"
#include "artwork/FormWizardCreateFolderJpg.h"
#include "artwork/FormWizardDeleteArtwork.h"
#include "artwork/FormWizardDownloads.h"
#include "artwork/WizardControls.h"
#include "mainwindow/CommandKeys.h"
#include "mainwindow/FormMain.h"
#include "mainwindow/ModalRunner.h"
#include "mainwindow/StartUp.h"
#include "musiclibrary/AudioFileIO.h"
#include "musiclibrary/DemoLibrary.h"
#include "musiclibrary/Library.h"
#include "support/Registry.h"
#include "tests/common/ScriptedUi.h"
#include "tests/common/TestFiles.h"

#include <QCheckBox>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace artwork;
using testing_support::TempFolder;
namespace keys = mainwindow::keys;

namespace {

class PlayWizard : public mainwindow::ModalRunner {
public:
    std::function<void(QDialog&)> play;
    void runModal(QDialog& dialog) override { play(dialog); }
};

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

class WizardWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        support::SetRegistryFiles(
            {settings.file(u"user.json"_s), settings.file(u"machine.json"_s)});
        libraryFile = musiclibrary::buildDemoLibrary(demo.path(), {data.path()});
        otherLibrary = musiclibrary::buildDemoLibrary(otherDemo.path(), {otherData.path()});
        window = mainwindow::StartMainWindow(ui.services(), [this] {
            return musiclibrary::openLibrary(libraryFile, {data.path()});
        });
        ASSERT_TRUE(window);
        InstallArtworkCommands(*window, &runner);
        window->toolbarButton(keys::Step1)->click();
        ui.messages.shown.clear();
    }
    void TearDown() override {
        window.reset();
        support::ResetRegistryFiles();
    }
    void choose(const QString& key) {
        window->dispatch().wizardChosen(key);
        window->TimerButtonMenu()->stop();
        window->dispatch().wizardTimerTick();
    }
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
    PlayWizard runner;
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
