// Downloaded artwork on real files: the download playlist, and moving
// downloaded art into the song files in one write.

#include "artwork/DownloadRuns.h"
#include "artwork/EmbeddingEngine.h"
#include "catalogue/LibraryScan.h"
#include "tests/artwork/ArtworkTestSupport.h"
#include "tests/catalogue/FakeLibrary.h"
#include "tests/musiclibrary/AudioFileTestFiles.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;
using namespace artwork;
using namespace testing_support;

namespace {

class DownloadRunTest : public ArtworkLibraryTest {
protected:
    ArtworkRunContext context(catalogue::RunEnvironment& run) {
        return {session, run, [this](const RowReport& row) { rows.append(row); }};
    }
    void download(const QString& location, const char* seed) {
        track(location)->SetDownloadedArtworkFromFile(seedPath(QString::fromLatin1(seed)));
    }
    QStringList playlistNames(const QString& name) {
        QStringList names;
        const musiclibrary::PlaylistPtr playlist =
            library->LibrarySource()->Playlists()->ItemByName(name);
        if (!playlist)
            return {u"(no playlist)"_s};
        const musiclibrary::TrackCollectionPtr tracks = playlist->Tracks();
        for (int i = 1; i <= tracks->Count(); ++i)
            names.append(tracks->Item(i)->Name());
        return names;
    }
    static QByteArray seed(const char* name) {
        return readFile(seedPath(QString::fromLatin1(name)));
    }
    QList<RowReport> rows;
};

TEST_F(DownloadRunTest, ThePlaylistHoldsExactlyTheSongsOfTheLastRun) {
    const QString a = song(u"A/a.mp3"_s, {}, u"Alpha"_s);
    const QString b = song(u"A/b.mp3"_s, {}, u"Beta"_s);
    const QString c = song(u"A/c.mp3"_s, {}, u"Gamma"_s);
    scan();
    // An old playlist of that name, with songs checked then.
    const musiclibrary::UserPlaylistPtr old = library->CreatePlaylist(DownloadPlaylistName());
    old->AddTrack(track(a));
    old->AddTrack(track(c));

    checkOnly({b, c});
    catalogue::RunEnvironment run = environment();
    ArtworkRunContext runContext = context(run);
    EXPECT_EQ(AddCheckedToDownloadPlaylist(runContext), 2);
    EXPECT_EQ(playlistNames(DownloadPlaylistName()), (QStringList{u"Beta"_s, u"Gamma"_s}));
    EXPECT_EQ(library->LibrarySource()->Playlists()->Count(), 1) << "the old one is gone";
    EXPECT_TRUE(session.Eligible.model().isChecked(eligibleRow(b))) << "rows keep their marks";
    ASSERT_FALSE(ui.messages.shown.isEmpty());
    EXPECT_EQ(ui.messages.shown.last().text, PlaylistDoneText(2));
    EXPECT_TRUE(PlaylistDoneText(2).contains(u"Get Album Artwork"_s));
    EXPECT_EQ(PlaylistDoneText(0), u"Done creating the 'Quillmoth - download artwork' playlist in "
                                   u"iTunes.\n\nNumber of songs added to the playlist: 0"_s);

    // Kept across openings, and written for other players.
    library = openMusic();
    EXPECT_EQ(playlistNames(DownloadPlaylistName()), (QStringList{u"Beta"_s, u"Gamma"_s}));
    EXPECT_FALSE(QDir(dataFolder() + u"/playlists"_s)
                     .entryList({u"Quillmoth - download artwork*.m3u8"_s})
                     .isEmpty());
}

TEST_F(DownloadRunTest, NothingCheckedIsSaidWithItsOwnSpacing) {
    song(u"A/a.mp3"_s);
    scan();
    checkOnly({});
    catalogue::RunEnvironment run = environment();
    ArtworkRunContext runContext = context(run);
    EXPECT_EQ(AddCheckedToDownloadPlaylist(runContext), -1);
    EXPECT_EQ(DoEmbedDownloaded2(runContext), -1);
    ASSERT_EQ(ui.messages.shown.size(), 2);
    EXPECT_TRUE(ui.messages.shown[0].text.contains(u"embedded. Please place"_s)) << "one space";
    EXPECT_TRUE(ui.messages.shown[1].text.contains(u"embedded.  Please place"_s)) << "two spaces";
    EXPECT_TRUE(ui.messages.shown[1].text.endsWith(
        u"\n\nClick the Step 2: Select Tracks toolbar button for more information."_s));
}

TEST_F(DownloadRunTest, APlaylistThatCannotBeMadeEndsTheRunQuietly) {
    song(u"A/a.mp3"_s);
    scan();
    // The playlists folder is a file: no playlist file can be written.
    QDir(dataFolder() + u"/playlists"_s).removeRecursively();
    writeFile(dataFolder() + u"/playlists"_s, "in the way");
    catalogue::RunEnvironment run = environment();
    ArtworkRunContext runContext = context(run);
    QString failure;
    EXPECT_EQ(AddCheckedToDownloadPlaylist(runContext, &failure), -1);
    EXPECT_FALSE(failure.isEmpty());
    EXPECT_TRUE(ui.messages.shown.isEmpty());
    EXPECT_FALSE(progress.active());
    QFile::remove(dataFolder() + u"/playlists"_s);
}

TEST_F(DownloadRunTest, DownloadedArtMovesIntoTheFileAndSongsWithoutItStayChecked) {
    const QString withArt = song(u"A/1.mp3"_s);
    const QString without = song(u"A/2.mp3"_s, {u"cover-75.jpg"_s});
    const QString readOnly = song(u"A/3.mp3"_s);
    scan();
    download(withArt, "cover-300.jpg");
    download(readOnly, "cover-600.jpg");
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadGroup);
    scan();
    catalogue::RunEnvironment run = environment();
    ArtworkRunContext runContext = context(run);
    EXPECT_EQ(DoEmbedDownloaded2(runContext), 2);
    EXPECT_EQ(picturesOf(withArt), QList<QByteArray>{seed("cover-300.jpg")});
    EXPECT_EQ(picturesOf(readOnly), QList<QByteArray>{seed("cover-600.jpg")})
        << "the read-only mark is cleared";
    EXPECT_TRUE(QFile::permissions(readOnly).testFlag(QFile::WriteOwner));
    EXPECT_TRUE(QDir(dataFolder() + u"/downloaded"_s).isEmpty());
    const catalogue::SongListModel& model = session.Eligible.model();
    EXPECT_FALSE(model.isChecked(eligibleRow(withArt)));
    EXPECT_EQ(model.text(eligibleRow(withArt), catalogue::ColumnDetail), u"Embedded "_s);
    EXPECT_TRUE(model.isChecked(eligibleRow(without))) << "no downloaded art: left as it is";
    EXPECT_EQ(picturesOf(without).size(), 1);
    EXPECT_EQ(ui.messages.shown.last().text,
              u"Done embedding downloaded artwork.\n\nNumber of song files processed: 2"_s);
}

// A song whose file already holds pictures that its downloaded art hides:
// they stay, and the downloaded image follows them.
TEST_F(DownloadRunTest, PicturesHiddenByDownloadedArtStayAndTheArtFollowsThem) {
    const QString path = song(u"A/1.mp3"_s, {u"cover-200.jpg"_s});
    scan();
    download(path, "cover-300.jpg");
    scan();
    catalogue::RunEnvironment run = environment();
    ArtworkRunContext runContext = context(run);
    EXPECT_EQ(DoEmbedDownloaded2(runContext), 1);
    EXPECT_EQ(picturesOf(path), (QList<QByteArray>{seed("cover-200.jpg"), seed("cover-300.jpg")}));
    ASSERT_EQ(track(path)->Artwork()->Count(), 2);
    EXPECT_FALSE(track(path)->Artwork()->Item(1)->IsDownloadedArtwork());
}

// A failed write keeps the downloaded art: it is neither lost nor doubled.
TEST_F(DownloadRunTest, AFailedWriteKeepsTheDownloadedArt) {
    const QString damaged = music().file(u"A/damaged.mp3"_s);
    writeFile(damaged, id3v2Tag(3, id3v2Frame(3, "MCDI", {}) + id3v2TextFrame(3, "TIT2", "Kept")) +
                           mpegAudioOfSeed());
    const QString later = song(u"A/later.mp3"_s);
    scan();
    download(damaged, "cover-300.jpg");
    download(later, "cover-600.jpg");
    scan();
    const QByteArray before = readFile(damaged);
    ui.messages.answers = {support::IdCancel};
    catalogue::RunEnvironment run = environment();
    ArtworkRunContext runContext = context(run);
    EXPECT_EQ(DoEmbedDownloaded2(runContext), 0);
    EXPECT_EQ(readFile(damaged), before);
    EXPECT_TRUE(track(damaged)->Artwork()->Item(1)->IsDownloadedArtwork());
    ASSERT_EQ(ui.messages.shown.size(), 2);
    EXPECT_TRUE(ui.messages.shown[0].text.startsWith(
        u"The following error occurred while trying to embed '"_s));
    EXPECT_TRUE(ui.messages.shown[0].text.endsWith(
        u"Choose OK to continue, or Cancel to stop further embedding."_s));
    EXPECT_TRUE(track(later)->Artwork()->Item(1)->IsDownloadedArtwork())
        << "Cancel stopped the run";
}

// The first checked song gone from the library: nothing added, and the
// message ends after the count.
TEST(DownloadPlaylistShape, NoSongAddedEndsTheMessageAfterTheCount) {
    TempFolder folder;
    const auto library = std::make_shared<fake::FakeLibrary>();
    library->addTrack(u"Gone"_s, folder.copySeed(u"seed.mp3"_s, u"A/1.mp3"_s));
    library->addTrack(u"Here"_s, folder.copySeed(u"seed.mp3"_s, u"A/2.mp3"_s));
    catalogue::CatalogueSession session;
    session.Kinds.Build();
    ASSERT_TRUE(session.Init([&] { return library; }));
    ScriptedUi ui;
    catalogue::RecordingProgressPanel progress;
    catalogue::ScanEnvironment scan{progress, ui.services()};
    catalogue::ScanLibrary(session, scan);
    library->tracks[0]->deleted = true;
    catalogue::RunEnvironment run{progress, ui.services()};
    ArtworkRunContext context{session, run};
    EXPECT_EQ(AddCheckedToDownloadPlaylist(context), 0);
    ASSERT_EQ(library->createdPlaylists.size(), 1u);
    EXPECT_TRUE(library->createdPlaylists[0]->added.empty());
    EXPECT_EQ(ui.messages.shown.last().text, PlaylistDoneText(0));
    session.UnInit();
}

} // namespace
