// Get Album Artwork as the main window runs it: the Step menu's entries,
// the wizard, the run over the download playlist against a stand-in for the
// web services on 127.0.0.1.

#include "artwork/FormWizardDownloads.h"
#include "mainwindow/UcProgress.h"
#include "support/RegistryKeys.h"
#include "tests/artwork/ArtworkTestSupport.h"
#include "tests/artwork/WindowTestSupport.h"
#include "tests/common/FakeWebServer.h"

#include <QAction>
#include <QPushButton>
#include <QRadioButton>

using namespace Qt::StringLiterals;
using namespace artwork;
using namespace testing_support;
namespace keys = mainwindow::keys;

namespace {

const QString ReleaseId = u"76df3287-6cda-33eb-8e9a-044b5e15ffdd"_s;

class GetArtworkWindowTest : public WindowTest<LibraryTest> {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        support::RegSetString(support::Hive::CurrentUser, support::KEY_DOWNLOAD,
                              support::VALUE_MUSICBRAINZ_ADDRESS, services.address());
        support::RegSetString(support::Hive::CurrentUser, support::KEY_DOWNLOAD,
                              support::VALUE_COVER_ART_ARCHIVE_ADDRESS, services.address());
        const musiclibrary::AlbumTags ids{{}, ReleaseId, {}};
        makeSong(music(), u"Blue/1.mp3"_s, {u"So What"_s, u"Miles Davis"_s, u"Kind of Blue"_s, 1},
                 {}, &ids);
        makeSong(music(), u"Blue/2.mp3"_s, {u"Freddie"_s, u"Miles Davis"_s, u"Kind of Blue"_s, 2},
                 {}, &ids);
        start([this] { return openMusic(); });
    }

    FakeWebServer services;
};

// Each Step 3 entry of the Step menu opens its own wizard, and a cancelled
// wizard runs nothing: no message, no file touched, no request sent.
TEST_F(GetArtworkWindowTest, EveryStepEntryOpensItsWizardAndCancelRunsNothing) {
    const auto before = ContentsBelow(music().path());
    QString opened;
    runner.play = [&opened](QDialog& dialog) {
        opened = dialog.objectName();
        dynamic_cast<WizardForm&>(dialog).ButCancel()->click();
    };
    const std::pair<const char*, const char*> entries[] = {
        {"ItemStep5", "FormWizardDeleteArtwork"},
        {"ItemStep6", "FormWizardCreatePlaylist"},
        {"ItemStepGetAlbumArtwork", "FormWizardGetAlbumArtwork"},
        {"ItemStep8", "FormWizardEmbedDownloadedArtwork"},
        {"ItemStep9", "FormWizardEmbedArtwork"},
        {"ItemStep11", "FormWizardCreateFolderJpg"}};
    for (const auto& [item, wizard] : entries) {
        opened.clear();
        window->menuItem(QString::fromLatin1(item))->trigger();
        window->TimerButtonMenu()->stop();
        window->dispatch().wizardTimerTick();
        EXPECT_EQ(opened.toStdString(), wizard) << item;
    }
    EXPECT_TRUE(ui.messages.shown.isEmpty());
    EXPECT_EQ(ChangedFiles(before, ContentsBelow(music().path())), QStringList());
    EXPECT_TRUE(services.requests().isEmpty());
}

// The covers reaching the song files are checked through the command line
// (GetArtworkCliTest), Embed Downloaded Artwork against it in WizardWindowTest.
TEST_F(GetArtworkWindowTest, ThePlaylistThenGetAlbumArtworkGiveBothSongsTheCover) {
    const QByteArray cover = readFile(seedPath(u"cover-300.jpg"_s));
    services.on(u"/release/"_s + ReleaseId + u"/front-250"_s, {respond(200, cover)});

    runner.play = [](QDialog& dialog) { dynamic_cast<WizardForm&>(dialog).ButNext()->click(); };
    choose(keys::CreatePlaylist);
    ui.messages.shown.clear();

    runner.play = [this](QDialog& dialog) {
        auto& wizard = dynamic_cast<FormWizardGetAlbumArtwork&>(dialog);
        wizard.OptSize[0]->setChecked(true);
        wizard.ButNext()->click();
    };
    choose(keys::GetAlbumArtwork);
    ASSERT_EQ(ui.messages.shown.size(), 1);
    EXPECT_TRUE(ui.messages.shown[0].text.contains(u"given downloaded artwork: 2"_s))
        << ui.messages.shown[0].text.toStdString();
    EXPECT_EQ(support::RegGetString(support::Hive::CurrentUser, support::KEY_DOWNLOAD,
                                    support::VALUE_DOWNLOAD_SIZE),
              u"250"_s);
    EXPECT_FALSE(window->ProgressMain()->active());
    EXPECT_EQ(services.requests().size(), 1);
}

TEST_F(GetArtworkWindowTest, WithoutTheDownloadPlaylistItSaysWhatToDoFirst) {
    runner.play = [](QDialog& dialog) { dynamic_cast<WizardForm&>(dialog).ButNext()->click(); };
    choose(keys::GetAlbumArtwork);
    ASSERT_EQ(ui.messages.shown.size(), 1);
    EXPECT_TRUE(ui.messages.shown[0].text.contains(u"Create Playlist of Artwork to Download"_s));
    EXPECT_TRUE(services.requests().isEmpty());
}

} // namespace
