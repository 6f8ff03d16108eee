// Get Album Artwork as the main window runs it: the Step menu and drop-down
// entry, the wizard, the run over the download playlist against a stand-in
// for the web services on 127.0.0.1, and the three steps of downloaded
// artwork ending with the covers inside the song files.

#include "artwork/ArtworkCommands.h"
#include "artwork/FormWizardDownloads.h"
#include "catalogue/SongListModel.h"
#include "mainwindow/CommandKeys.h"
#include "mainwindow/FormMain.h"
#include "mainwindow/ModalRunner.h"
#include "mainwindow/StartUp.h"
#include "mainwindow/UcProgress.h"
#include "musiclibrary/AudioFileIO.h"
#include "support/Registry.h"
#include "support/RegistryKeys.h"
#include "tests/artwork/ArtworkTestSupport.h"
#include "tests/artwork/WindowTestSupport.h"
#include "tests/common/FakeWebServer.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>

using namespace Qt::StringLiterals;
using namespace artwork;
using namespace testing_support;
namespace keys = mainwindow::keys;

namespace {

const QString ReleaseId = u"76df3287-6cda-33eb-8e9a-044b5e15ffdd"_s;

QStringList captionsOf(const QMenu* menu) {
    QStringList captions;
    for (const QAction* action : menu->actions())
        if (action->isVisible())
            captions.append(action->isSeparator() ? u"-"_s : action->text());
    return captions;
}

class GetArtworkWindowTest : public LibraryTest {
protected:
    void SetUp() override {
        support::SetRegistryFiles(
            {settings.file(u"user.json"_s), settings.file(u"machine.json"_s)});
        support::RegSetString(support::Hive::CurrentUser, support::KEY_DOWNLOAD,
                              support::VALUE_MUSICBRAINZ_ADDRESS, services.address());
        support::RegSetString(support::Hive::CurrentUser, support::KEY_DOWNLOAD,
                              support::VALUE_COVER_ART_ARCHIVE_ADDRESS, services.address());
        const musiclibrary::AlbumTags ids{{}, ReleaseId, {}};
        first = makeSong(music(), u"Blue/1.mp3"_s,
                         {u"So What"_s, u"Miles Davis"_s, u"Kind of Blue"_s, 1}, {}, &ids);
        second = makeSong(music(), u"Blue/2.mp3"_s,
                          {u"Freddie"_s, u"Miles Davis"_s, u"Kind of Blue"_s, 2}, {}, &ids);
        withArt = makeSong(music(), u"Other/1.mp3"_s, {u"Mine"_s, u"Me"_s, u"Mine"_s, 1},
                           {u"cover-75.jpg"_s});
        window = StartScannedWindow(ui, runner, [this] { return openMusic(); });
        ASSERT_TRUE(window);
    }
    void TearDown() override {
        window.reset();
        support::ResetRegistryFiles();
    }
    void choose(const QString& key) { ChooseWizard(*window, key); }

    FakeWebServer services;
    TempFolder settings;
    ScriptedUi ui;
    PlayWizard runner;
    QString first, second, withArt;
    std::unique_ptr<mainwindow::FormMain> window;
};

TEST_F(GetArtworkWindowTest, TheEntryFollowsDownloadViaITunesAndEveryOtherKeepsItsMeaning) {
    EXPECT_EQ(captionsOf(window->Step3DropDown()),
              (QStringList{u"&Delete Artwork..."_s, u"&Create Playlist of Artwork to Download..."_s,
                           u"Download Artwork &via iTunes..."_s, u"&Get Album Artwork..."_s,
                           u"&Embed Downloaded Artwork..."_s, u"Embed &Artwork (Advanced)..."_s,
                           u"-"_s, u"Create &Windows Explorer Folder Thumbnails..."_s}));
    const QMenu* stepMenu = qobject_cast<QMenu*>(window->menuItem(u"ItemStep1"_s)->parent());
    ASSERT_TRUE(stepMenu);
    const QStringList captions = captionsOf(stepMenu);
    const qsizetype via = captions.indexOf(u"Step 3: Download Artwork &via iTunes..."_s);
    ASSERT_GE(via, 0);
    EXPECT_EQ(captions.value(via + 1), u"Step 3: &Get Album Artwork..."_s);

    // Each entry still leads to its own wizard, the new one included.
    QStringList started;
    QObject::connect(&window->dispatch(), &mainwindow::CommandDispatch::wizardStarting,
                     [&started](const QString& key) { started.append(key); });
    runner.play = [](QDialog& dialog) { dynamic_cast<WizardForm&>(dialog).ButCancel()->click(); };
    const std::pair<const char*, QString> entries[] = {
        {"ItemStep5", keys::DeleteArtwork},
        {"ItemStep6", keys::CreatePlaylist},
        {"ItemStepGetAlbumArtwork", keys::GetAlbumArtwork},
        {"ItemStep8", keys::EmbedDownloadedArtwork},
        {"ItemStep9", keys::EmbedArtwork},
        {"ItemStep11", keys::CreateFolderJpg}};
    for (const auto& [item, key] : entries) {
        window->menuItem(QString::fromLatin1(item))->trigger();
        EXPECT_EQ(window->dispatch().pendingWizardKey(), key) << item;
        window->TimerButtonMenu()->stop();
        window->dispatch().wizardTimerTick();
    }
    EXPECT_EQ(started.size(), 6);
    EXPECT_TRUE(services.requests().isEmpty()) << "a cancelled wizard sends nothing";
}

TEST_F(GetArtworkWindowTest, PlaylistGetAndEmbedEndWithTheCoverInTheFiles) {
    const QByteArray cover = readFile(seedPath(u"cover-300.jpg"_s));
    services.on(u"/release/"_s + ReleaseId + u"/front-250"_s, {respond(200, cover)});

    runner.play = [](QDialog& dialog) { dynamic_cast<WizardForm&>(dialog).ButNext()->click(); };
    choose(keys::CreatePlaylist);
    ui.messages.shown.clear();

    runner.play = [this](QDialog& dialog) {
        auto& wizard = dynamic_cast<FormWizardGetAlbumArtwork&>(dialog);
        EXPECT_EQ(wizard.pos(), window->frameGeometry().topLeft() + QPoint(22, 22));
        EXPECT_TRUE(wizard.OptSize[1]->isChecked()) << "500 until chosen otherwise";
        wizard.OptSize[0]->setChecked(true);
        wizard.ButNext()->click();
    };
    choose(keys::GetAlbumArtwork);
    ASSERT_EQ(ui.messages.shown.size(), 1);
    EXPECT_EQ(ui.messages.shown[0].icon, support::MbInformation);
    EXPECT_TRUE(ui.messages.shown[0].text.startsWith(
        u"Done getting album artwork.\n\nNumber of albums looked up: 1\n\nNumber of songs given "
        u"downloaded artwork: 2\n\nNumber of albums not found: 0"_s))
        << ui.messages.shown[0].text.toStdString();
    EXPECT_EQ(support::RegGetString(support::Hive::CurrentUser, support::KEY_DOWNLOAD,
                                    support::VALUE_DOWNLOAD_SIZE),
              u"250"_s);
    EXPECT_FALSE(window->ProgressMain()->active());
    EXPECT_EQ(services.requests().size(), 1);

    // A scan shows the new art; Embed Downloaded Artwork moves it into the files.
    window->toolbarButton(keys::Step1)->click();
    const catalogue::SongListModel& rows = window->session().Eligible.model();
    int downloaded = 0;
    for (int row = 0; row < rows.rowCount(); ++row) {
        const QString location = rows.text(row, catalogue::ColumnFullPath);
        if (location == first || location == second) {
            EXPECT_EQ(rows.text(row, catalogue::ColumnDetail).trimmed(), u"Downloaded"_s);
            ++downloaded;
        }
    }
    EXPECT_EQ(downloaded, 2);
    ui.messages.shown.clear();
    runner.play = [](QDialog& dialog) { dynamic_cast<WizardForm&>(dialog).ButNext()->click(); };
    choose(keys::EmbedDownloadedArtwork);
    EXPECT_EQ(ui.messages.shown.last().text,
              u"Done embedding downloaded artwork.\n\nNumber of song files processed: 2"_s);
    for (const QString& song : {first, second}) {
        const QList<musiclibrary::Picture> pictures = musiclibrary::readPictures(song);
        ASSERT_EQ(pictures.size(), 1);
        EXPECT_EQ(pictures[0].data, cover);
    }
    EXPECT_EQ(musiclibrary::readPictures(withArt).size(), 1);
    EXPECT_EQ(musiclibrary::readPictures(withArt)[0].data, readFile(seedPath(u"cover-75.jpg"_s)));
}

TEST_F(GetArtworkWindowTest, WithoutTheDownloadPlaylistItSaysWhatToDoFirst) {
    runner.play = [](QDialog& dialog) { dynamic_cast<WizardForm&>(dialog).ButNext()->click(); };
    choose(keys::GetAlbumArtwork);
    ASSERT_EQ(ui.messages.shown.size(), 1);
    EXPECT_TRUE(ui.messages.shown[0].text.contains(u"Create Playlist of Artwork to Download"_s));
    EXPECT_TRUE(services.requests().isEmpty());
}

} // namespace
