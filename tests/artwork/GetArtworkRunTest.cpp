// Get Album Artwork on real song files against a stand-in for MusicBrainz
// and the Cover Art Archive on 127.0.0.1: one look-up per album, release
// ids from the tags first, covers checked as any image a song takes, and
// songs that have art left alone.

#include "artwork/GetArtworkRun.h"
#include "artworkdownload/MusicBrainzCovers.h"
#include "tests/artwork/ArtworkTestSupport.h"
#include "tests/artworkdownload/LookupTestSupport.h"
#include "tests/common/FakeWebServer.h"

using namespace Qt::StringLiterals;
using namespace artwork;
using namespace testing_support;

namespace {

const QString ReleaseId = u"76df3287-6cda-33eb-8e9a-044b5e15ffdd"_s;
const QString GroupId = u"8e8a594f-2175-3b3e-9b3a-8c4e2e1d7a31"_s;
const QString SearchedGroupId = u"1b022e01-4da6-387b-8658-8678046e4cef"_s;

class GetArtworkRunTest : public ArtworkLibraryTest {
protected:
    QString tagged(const QString& relative, const QString& title, const QString& album,
                   const QString& releaseId = {}, const QString& groupId = {},
                   const QStringList& pictures = {}) {
        const musiclibrary::AlbumTags ids{{}, releaseId, groupId};
        return makeSong(music(), relative, {title, u"Miles Davis"_s, album, 1}, pictures, &ids);
    }
    QList<SongToFetch> songs(const QStringList& locations) {
        QList<SongToFetch> list;
        const QList<musiclibrary::TrackPtr> tracks = allTracks(*library);
        for (const QString& location : locations)
            for (int i = 0; i < tracks.size(); ++i)
                if (tracks[i]->Location() == location)
                    list.append({i + 1, tracks[i]});
        return list;
    }
    GetArtworkCounts run(const QList<SongToFetch>& list, artworkdownload::CoverSource& source) {
        catalogue::RunEnvironment runEnvironment = environment();
        GetArtworkEnvironment getEnvironment{runEnvironment, session.CancelRequested,
                                             dataFolder() + u'/'};
        return GetAlbumArtwork(list, source, getEnvironment,
                               [this](const AlbumReport& report) { reports.append(report); });
    }
    GetArtworkCounts runAgainstServices(const QList<SongToFetch>& list) {
        artworkdownload::MusicBrainzCovers source(
            {services.address(), services.address(), u"500"_s}, clock, nullptr);
        return run(list, source);
    }
    QByteArray downloadedOf(const QString& location) {
        const musiclibrary::TrackPtr song = track(location);
        if (song->Artwork()->Count() != 1 || !song->Artwork()->Item(1)->IsDownloadedArtwork())
            return {};
        return song->ArtworkData().value(0);
    }

    FakeWebServer services;
    lookup_testing::ScriptedClock clock;
    QList<AlbumReport> reports;
};

TEST_F(GetArtworkRunTest, TaggedAndSearchedAlbumsGetTheRightCoversOnceEach) {
    const QByteArray tagCover = readFile(seedPath(u"cover-300.jpg"_s));
    const QByteArray groupCover = readFile(seedPath(u"cover-200.jpg"_s));
    const QByteArray searchCover = readFile(seedPath(u"cover-160x120.png"_s));
    // Tagged with a release id; one song has art already.
    const QString a1 = tagged(u"Blue/1.mp3"_s, u"So What"_s, u"Kind of Blue"_s, ReleaseId);
    const QString a2 = tagged(u"Blue/2.mp3"_s, u"Freddie"_s, u"Kind of Blue"_s, ReleaseId, {},
                              {u"cover-75.jpg"_s});
    const QString a3 = tagged(u"Blue/3.mp3"_s, u"Blue in Green"_s, u"Kind of Blue"_s, ReleaseId);
    // An MP4 song tagged with its release group only.
    const QString b1 =
        tagged(u"Spain/1.m4a"_s, u"Concierto"_s, u"Sketches of Spain"_s, {}, GroupId);
    // No ids: found by a search of artist and title.
    const QString c1 = tagged(u"Miles/1.mp3"_s, u"Dr. Jekyll"_s, u"Milestones"_s);
    const QString c2 = tagged(u"Miles/2.mp3"_s, u"Sid's Ahead"_s, u"Milestones"_s);
    // Every song has art: not looked up at all.
    const QString d1 =
        tagged(u"Bags/1.mp3"_s, u"Bags' Groove"_s, u"Bags' Groove"_s, {}, {}, {u"cover-75.jpg"_s});
    library = openMusic();

    services.on(u"/release/"_s + ReleaseId + u"/front-500"_s, {respond(200, tagCover)});
    services.on(u"/release-group/"_s + GroupId + u"/front-500"_s, {respond(200, groupCover)});
    services.on(u"/ws/2/release-group/"_s,
                {jsonResponse(lookup_testing::searchAnswer(
                    {{SearchedGroupId, 100, u"Milestones"_s, u"Miles Davis"_s}}))});
    services.on(u"/release-group/"_s + SearchedGroupId + u"/front-500"_s,
                {respond(200, searchCover)});

    const QList<SongToFetch> list = songs({a1, a2, a3, b1, c1, c2, d1});
    const GetArtworkCounts counts = runAgainstServices(list);

    EXPECT_EQ(downloadedOf(a1), tagCover);
    EXPECT_EQ(downloadedOf(a3), tagCover);
    EXPECT_EQ(picturesOf(a2).size(), 1) << "a song with art is left alone";
    EXPECT_TRUE(downloadedOf(a2).isEmpty());
    EXPECT_EQ(downloadedOf(b1), groupCover);
    EXPECT_EQ(downloadedOf(c1), searchCover);
    EXPECT_EQ(downloadedOf(c2), searchCover);
    EXPECT_TRUE(downloadedOf(d1).isEmpty());

    EXPECT_EQ(counts.albumsLookedUp, 3);
    EXPECT_EQ(counts.songsGiven, 5);
    EXPECT_EQ(counts.albumsNotFound, 0);
    EXPECT_EQ(services.requests().size(), 4) << "one look-up per album, the search included";
    EXPECT_EQ(services.requestsTo(u"/ws/"_s), 1);

    ASSERT_EQ(reports.size(), 4);
    EXPECT_EQ(reports[0].indexes, (QList<int32_t>{list[0].index, list[1].index, list[2].index}));
    EXPECT_EQ(reports[0].status, u"found"_s);
    EXPECT_EQ(reports[0].releaseId, u"release/"_s + ReleaseId);
    EXPECT_EQ(reports[1].releaseId, u"release-group/"_s + GroupId);
    EXPECT_EQ(reports[2].releaseId, u"release-group/"_s + SearchedGroupId);
    EXPECT_EQ(reports[3].status, u"skipped"_s);
    EXPECT_EQ(progress.value(), 4);
    EXPECT_FALSE(progress.active());
    EXPECT_TRUE(
        GetArtworkDoneText(counts).contains(u"Number of songs given downloaded artwork: 5"_s));
}

TEST_F(GetArtworkRunTest, ACoverThatFailsTheImageChecksAttachesNothing) {
    const struct {
        const char* name;
        QByteArray body;
    } cases[] = {
        {"a web page", QByteArray("<html><body>Not an image</body></html>")},
        {"a cut-short JPEG", truncatedJpeg()},
        {"a decompression bomb", pngDeclaring(60000, 60000)},
    };
    const QString song = tagged(u"Blue/1.mp3"_s, u"So What"_s, u"Kind of Blue"_s, ReleaseId);
    library = openMusic();
    const QByteArray before = readFile(song);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        reports.clear();
        services.on(u"/release/"_s + ReleaseId + u"/front-500"_s, {respond(200, c.body)});
        const GetArtworkCounts counts = runAgainstServices(songs({song}));
        EXPECT_EQ(counts.songsGiven, 0);
        EXPECT_EQ(counts.albumsFailed, 1);
        ASSERT_EQ(reports.size(), 1);
        EXPECT_EQ(reports[0].status, u"failed"_s);
        EXPECT_FALSE(reports[0].detail.isEmpty());
        EXPECT_EQ(track(song)->Artwork()->Count(), 0);
        EXPECT_EQ(readFile(song), before);
        EXPECT_TRUE(GetArtworkDoneText(counts).contains(reports[0].detail));
    }
}

TEST_F(GetArtworkRunTest, AlbumsNotFoundOrUnreachableAreReportedEachAndChangeNothing) {
    const QString a = tagged(u"Blue/1.mp3"_s, u"So What"_s, u"Kind of Blue"_s, ReleaseId);
    const QString b = tagged(u"Miles/1.mp3"_s, u"Dr. Jekyll"_s, u"Milestones"_s);
    library = openMusic();
    services.on(u"/release/"_s + ReleaseId + u"/front-500"_s, {respond(404, "Not Found")});
    services.on(u"/ws/2/release-group/"_s, {respond(503, "busy", {{"Retry-After", "600"}})});

    const GetArtworkCounts counts = runAgainstServices(songs({a, b}));

    ASSERT_EQ(reports.size(), 2);
    EXPECT_EQ(reports[0].status, u"not found"_s);
    EXPECT_EQ(reports[1].status, u"failed"_s);
    EXPECT_TRUE(reports[1].detail.contains(u"600 seconds"_s)) << reports[1].detail.toStdString();
    EXPECT_EQ(counts.albumsNotFound, 1);
    EXPECT_EQ(counts.albumsFailed, 1);
    EXPECT_EQ(track(a)->Artwork()->Count() + track(b)->Artwork()->Count(), 0);
}

// A source that stands for the user pressing Stop while the first album
// is looked up.
class StoppingSource : public artworkdownload::CoverSource {
public:
    explicit StoppingSource(bool& cancel) : m_cancel(cancel) {}
    artworkdownload::CoverAnswer FrontCover(const artworkdownload::AlbumQuery& album) override {
        asked.append(album.album);
        m_cancel = true;
        return {artworkdownload::CoverOutcome::NotFound, {}, {}, u"none"_s};
    }
    QStringList asked;

private:
    bool& m_cancel;
};

TEST_F(GetArtworkRunTest, StopEndsTheRunAfterTheAlbumInHand) {
    const QString a = tagged(u"A/1.mp3"_s, u"One"_s, u"First"_s);
    const QString b = tagged(u"B/1.mp3"_s, u"Two"_s, u"Second"_s);
    library = openMusic();
    StoppingSource source(session.CancelRequested);
    const GetArtworkCounts counts = run(songs({a, b}), source);
    EXPECT_TRUE(counts.stopped);
    EXPECT_EQ(source.asked, QStringList{u"First"_s});
    EXPECT_EQ(reports.size(), 1);
    EXPECT_LT(progress.value(), progress.max());
}

TEST_F(GetArtworkRunTest, ThePlaylistsSongsCarryTheirPlaceInTheLibrary) {
    const QString a = tagged(u"A/1.mp3"_s, u"One"_s, u"First"_s);
    const QString b = tagged(u"B/1.mp3"_s, u"Two"_s, u"Second"_s);
    library = openMusic();
    const musiclibrary::UserPlaylistPtr playlist =
        library->CreatePlaylist(u"Quillmoth - download artwork"_s);
    playlist->AddTrack(track(b));
    QString failure;
    const QList<SongToFetch> list =
        PlaylistSongs(*library, u"Quillmoth - download artwork"_s, failure);
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(list[0].index, songs({b}).value(0).index);
    EXPECT_EQ(list[0].track->Location(), b);
    EXPECT_TRUE(PlaylistSongs(*library, u"No such list"_s, failure).isEmpty());
    EXPECT_TRUE(failure.contains(u"No such list"_s));
}

} // namespace
