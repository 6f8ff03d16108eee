// Downloaded artwork on real files: the download playlist, and moving
// downloaded art into the song files in one write.

#include "artwork/DownloadRuns.h"
#include "artwork/EmbeddingEngine.h"
#include "tests/artwork/ArtworkTestSupport.h"
#include "tests/musiclibrary/AudioFileTestFiles.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;
using namespace artwork;
using namespace testing_support;

namespace {

class DownloadRunTest : public ArtworkLibraryTest {
protected:
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
    int playlist(QString* failure = nullptr) {
        return overRows([&](ArtworkRunContext& context) {
            return AddCheckedToDownloadPlaylist(context, failure);
        });
    }
    int embedDownloaded() { return overRows(DoEmbedDownloaded2); }
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
    EXPECT_EQ(playlist(), 2);
    EXPECT_EQ(playlistNames(DownloadPlaylistName()), (QStringList{u"Beta"_s, u"Gamma"_s}));
    EXPECT_EQ(library->LibrarySource()->Playlists()->Count(), 1) << "the old one is gone";
    EXPECT_TRUE(session.Eligible.model().isChecked(eligibleRow(b))) << "rows keep their marks";
    ASSERT_FALSE(ui.messages.shown.isEmpty());
    EXPECT_EQ(ui.messages.shown.last().text, PlaylistDoneText(2));
}

TEST_F(DownloadRunTest, APlaylistThatCannotBeMadeEndsTheRunQuietly) {
    song(u"A/a.mp3"_s);
    scan();
    // The playlists folder is a file: no playlist file can be written.
    QDir(dataFolder() + u"/playlists"_s).removeRecursively();
    writeFile(dataFolder() + u"/playlists"_s, "in the way");
    QString failure;
    EXPECT_EQ(playlist(&failure), -1);
    EXPECT_FALSE(failure.isEmpty());
    EXPECT_TRUE(ui.messages.shown.isEmpty());
    EXPECT_FALSE(progress.active());
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
    EXPECT_EQ(embedDownloaded(), 2);
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
}

// A song whose file already holds pictures that its downloaded art hides:
// they stay, and the downloaded image follows them.
TEST_F(DownloadRunTest, PicturesHiddenByDownloadedArtStayAndTheArtFollowsThem) {
    const QString path = song(u"A/1.mp3"_s, {u"cover-200.jpg"_s});
    scan();
    download(path, "cover-300.jpg");
    scan();
    EXPECT_EQ(embedDownloaded(), 1);
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
    EXPECT_EQ(embedDownloaded(), 0);
    EXPECT_EQ(readFile(damaged), before);
    EXPECT_TRUE(track(damaged)->Artwork()->Item(1)->IsDownloadedArtwork());
    EXPECT_EQ(ui.messages.shown.size(), 2) << "the error, then the summary";
    EXPECT_TRUE(track(later)->Artwork()->Item(1)->IsDownloadedArtwork())
        << "Cancel stopped the run";
}

} // namespace
