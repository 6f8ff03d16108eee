// Get Album Artwork on real song files against a stand-in for MusicBrainz
// and the Cover Art Archive on 127.0.0.1: covers checked as any image a song
// takes, and Stop. What a whole run finds
// is checked through the command line (GetArtworkCliTest).

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

class GetArtworkRunTest : public ArtworkLibraryTest {
protected:
    QString tagged(const QString& relative, const QString& title, const QString& album,
                   const QString& releaseId = {}) {
        const musiclibrary::AlbumTags ids{{}, releaseId, {}};
        return makeSong(music(), relative, {title, u"Miles Davis"_s, album, 1}, {}, &ids);
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

    FakeWebServer services;
    lookup_testing::ScriptedClock clock;
    QList<AlbumReport> reports;
};

// A cover that fails the image checks is reported and changes nothing. (A
// busy or failing service is tried on the look-up, CoverLookupTest; an album
// not found in the command line's run, GetArtworkCliTest.)
TEST_F(GetArtworkRunTest, AnAlbumWithoutAUsableCoverIsReportedAndChangesNothing) {
    const QString song = tagged(u"Blue/1.mp3"_s, u"So What"_s, u"Kind of Blue"_s, ReleaseId);
    library = openMusic();
    const QByteArray before = readFile(song);
    for (const BadImage& bad : badImages()) {
        SCOPED_TRACE(bad.name);
        reports.clear();
        services.on(u"/release/"_s + ReleaseId + u"/front-500"_s, {respond(200, bad.bytes)});
        const GetArtworkCounts counts = runAgainstServices(songs({song}));
        EXPECT_EQ(counts.songsGiven, 0);
        EXPECT_EQ(counts.albumsFailed, 1);
        ASSERT_EQ(reports.size(), 1);
        EXPECT_EQ(reports[0].status, u"failed"_s);
        EXPECT_TRUE(reports[0].detail.contains(bad.reason)) << reports[0].detail.toStdString();
        EXPECT_EQ(track(song)->Artwork()->Count(), 0);
        EXPECT_EQ(readFile(song), before);
        EXPECT_TRUE(GetArtworkDoneText(counts).contains(reports[0].detail))
            << "a failure is told at the end";
    }
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

} // namespace
