// The look-up against a stand-in for MusicBrainz and the Cover Art Archive
// on 127.0.0.1, with answers written from the services' documentation.

#include "artworkdownload/MusicBrainzCovers.h"
#include "tests/artworkdownload/LookupTestSupport.h"
#include "tests/common/FakeWebServer.h"
#include "tests/common/TestFiles.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace artworkdownload;
using lookup_testing::Candidate;
using lookup_testing::ScriptedClock;
using lookup_testing::searchAnswer;
using testing_support::FakeResponse;
using testing_support::FakeWebServer;
using testing_support::jsonResponse;
using testing_support::redirectResponse;
using testing_support::respond;
using testing_support::silence;

namespace {

const QString ReleaseId = u"76df3287-6cda-33eb-8e9a-044b5e15ffdd"_s;
const QString GroupId = u"8e8a594f-2175-3b3e-9b3a-8c4e2e1d7a31"_s;
const QString OtherGroupId = u"1b022e01-4da6-387b-8658-8678046e4cef"_s;
const QString SearchPath = u"/ws/2/release-group/"_s;
const QString ReleaseFront = u"/release/"_s + ReleaseId + u"/front-500"_s;

// What the stand-in answers on one path.
struct Route {
    QString path;
    FakeResponse answer;
};
Route searchGives(const QList<Candidate>& candidates) {
    return {SearchPath, jsonResponse(searchAnswer(candidates))};
}
Route searchSays(const FakeResponse& answer) {
    return {SearchPath, answer};
}
Route archiveSays(const FakeResponse& answer) {
    return {ReleaseFront, answer};
}

class CoverLookupTest : public ::testing::Test {
protected:
    FakeWebServer services;
    ScriptedClock clock;
    testing_support::TempFolder folder;
    QByteArray cover = testing_support::readFile(testing_support::seedPath(u"cover-75.jpg"_s));

    CoverAnswer lookUp(const AlbumQuery& album, LookupCache* cache = nullptr,
                       const QString& size = u"500"_s) {
        MusicBrainzCovers source({services.address(), services.address(), size}, clock, cache,
                                 {500, 5, 3, 60});
        return source.FrontCover(album);
    }
    AlbumQuery kindOfBlue(const QString& releaseId = {}, const QString& groupId = {}) const {
        return {u"Miles Davis"_s, u"Kind of Blue"_s, releaseId, groupId};
    }
};

// Which cover each kind of tag or search finds shows in the command line's
// run; these are the parts of the exchange it does not show.
// The group's cover comes through a redirect on this machine, as the archive
// serves its images.
TEST_F(CoverLookupTest, AReleaseWithoutACoverGivesWayToItsGroupFromTheTags) {
    services.on(u"/release/"_s + ReleaseId + u"/front-250"_s, {respond(404, "Not Found")});
    services.on(u"/release-group/"_s + GroupId + u"/front-250"_s,
                {redirectResponse(services.address() + u"/download/1/cover_itemimage.jpg"_s)});
    services.on(u"/download/1/cover_itemimage.jpg"_s, {respond(200, cover)});
    const CoverAnswer answer = lookUp(kindOfBlue(ReleaseId, GroupId), nullptr, u"250"_s);
    EXPECT_EQ(answer.outcome, CoverOutcome::Found) << answer.reason.toStdString();
    EXPECT_EQ(answer.image, cover);
    EXPECT_EQ(answer.releaseId, u"release-group/"_s + GroupId);
    EXPECT_EQ(services.requests()[0].headers.value("user-agent"),
              "Quillmoth/" QUILLMOTH_VERSION " ( https://quillmoth.example.org/ )");
    EXPECT_EQ(services.requestsTo(u"/ws/"_s), 0) << "no search when the tags name the album";
}

TEST_F(CoverLookupTest, ConfidentSearchHitFetchesTheGroupsCoverAtTheChosenSize) {
    services.on(
        SearchPath,
        {jsonResponse(searchAnswer({{GroupId}, {OtherGroupId, 72, u"Kind of Blue (Legacy)"_s}}))});
    services.on(u"/release-group/"_s + GroupId + u"/front"_s, {respond(200, cover)});

    const CoverAnswer answer = lookUp(kindOfBlue(), nullptr, u"original"_s);

    EXPECT_EQ(answer.outcome, CoverOutcome::Found) << answer.reason.toStdString();
    EXPECT_EQ(answer.releaseId, u"release-group/"_s + GroupId);
    EXPECT_EQ(answer.image, cover);
    ASSERT_EQ(services.requests().size(), 2);
    const QUrlQuery& query = services.requests()[0].query;
    EXPECT_EQ(query.queryItemValue(u"fmt"_s), u"json"_s);
    EXPECT_EQ(query.queryItemValue(u"query"_s, QUrl::FullyDecoded),
              u"releasegroup:\"Kind of Blue\" AND artist:\"Miles Davis\""_s);
}

// Nothing is attached on any of these, and each says why in a sentence.
TEST_F(CoverLookupTest, UnsuccessfulLookUpsSayWhyAndBringNoImage) {
    using enum CoverOutcome;
    const QString closed = FakeWebServer::closedAddress();
    const struct {
        const char* what;
        Route route;
        CoverOutcome outcome;
        const char* reasonPart;
        int requests;             // what reached the stand-in
        QString musicBrainz = {}; // instead of the stand-in
        QString archive = {};
    } cases[] = {
        {"two equal hits", searchGives({{GroupId}, {OtherGroupId}}), NotFound, "more than one", 1},
        {"low score", searchGives({{GroupId, 60}}), NotFound, "knows no", 1},
        {"other title", searchGives({{GroupId, 100, u"Kind of Blue Live"_s}}), NotFound, "knows no",
         1},
        {"other artist", searchGives({{GroupId, 100, u"Kind of Blue"_s, u"Miles Davies Band"_s}}),
         NotFound, "knows no", 1},
        {"malformed JSON", searchSays(jsonResponse("{\"release-groups\": [ {\"id\": ")), Failed,
         "not what its interface documents", 1},
        {"no answer in time", archiveSays(silence()), Failed, "did not answer within", 1},
        {"server error", archiveSays(respond(500, "oops")), Failed, "status 500", 1},
        {"busy for too long", searchSays(respond(503, "busy", {{"Retry-After", "3600"}})), Failed,
         "3600 seconds", 1},
        {"redirect to plain http elsewhere",
         archiveSays(redirectResponse(u"http://archive.example.org/x.jpg"_s)), Failed,
         "Nothing was sent", 1},
        // Five redirects are followed, then the archive is given up.
        {"redirect loop", archiveSays(redirectResponse(ReleaseFront, 302)), Failed, "", 6},
        {"plain http to another machine", searchGives({}), Failed, "https", 0,
         u"http://musicbrainz.example.org"_s},
        {"refused connection", searchGives({}), Failed, "connection", 0, closed, closed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakeWebServer server;
        server.on(c.route.path, {c.route.answer});
        MusicBrainzCovers source({c.musicBrainz.isEmpty() ? server.address() : c.musicBrainz,
                                  c.archive.isEmpty() ? server.address() : c.archive, u"500"_s},
                                 clock, nullptr, {300, 5, 3, 60});
        const CoverAnswer answer =
            source.FrontCover(kindOfBlue(c.route.path == ReleaseFront ? ReleaseId : QString()));
        EXPECT_EQ(answer.outcome, c.outcome);
        EXPECT_TRUE(answer.reason.contains(QString::fromUtf8(c.reasonPart)))
            << answer.reason.toStdString();
        EXPECT_FALSE(answer.reason.isEmpty());
        EXPECT_TRUE(answer.image.isEmpty());
        EXPECT_EQ(server.requests().size(), c.requests);
    }
    EXPECT_TRUE(clock.waits.isEmpty()) << "no pause asked for longer than allowed is made";
}

TEST_F(CoverLookupTest, AnswersAreCachedSoThatASecondRunSendsNothing) {
    const QString missing = u"/release-group/"_s + OtherGroupId + u"/front-500"_s;
    services.on(SearchPath, {jsonResponse(searchAnswer({{OtherGroupId, 100, u"Sketches"_s}}))});
    services.on(missing, {respond(404, "Not Found")});
    const AlbumQuery sketches{u"Miles Davis"_s, u"Sketches"_s, {}, {}};
    const AlbumQuery unknown{u"Nobody"_s, u"Nothing"_s, {}, {}};
    {
        LookupCache cache(CacheFileIn(folder.path()), clock);
        EXPECT_EQ(lookUp(sketches, &cache).outcome, CoverOutcome::NotFound);
        services.on(SearchPath, {jsonResponse(searchAnswer({}))});
        EXPECT_EQ(lookUp(unknown, &cache).outcome, CoverOutcome::NotFound);
    }
    const int before = services.requests().size();
    EXPECT_EQ(before, 3);

    clock.time = clock.time.addDays(CacheDays - 1);
    LookupCache reopened(CacheFileIn(folder.path()), clock);
    const CoverAnswer again = lookUp(sketches, &reopened);
    EXPECT_EQ(again.outcome, CoverOutcome::NotFound);
    EXPECT_TRUE(again.reason.contains(u"no front cover"_s)) << again.reason.toStdString();
    EXPECT_EQ(lookUp(unknown, &reopened).outcome, CoverOutcome::NotFound);
    EXPECT_EQ(services.requests().size(), before) << "both answers came from the cache";

    // After 30 days the services are asked again.
    clock.time = clock.time.addDays(2);
    LookupCache aged(CacheFileIn(folder.path()), clock);
    lookUp(unknown, &aged);
    EXPECT_EQ(services.requests().size(), before + 1);
}

TEST_F(CoverLookupTest, BusyServiceIsAskedAgainAfterTheTimeItNames) {
    services.on(SearchPath, {respond(503, "busy", {{"Retry-After", "7"}}),
                             jsonResponse(searchAnswer({{GroupId}}))});
    services.on(u"/release-group/"_s + GroupId + u"/front-500"_s, {respond(200, cover)});

    const CoverAnswer answer = lookUp(kindOfBlue());

    EXPECT_EQ(answer.outcome, CoverOutcome::Found) << answer.reason.toStdString();
    EXPECT_EQ(services.requestsTo(SearchPath), 2);
    EXPECT_TRUE(clock.waits.contains(7000)) << "waited as Retry-After said";
}

TEST_F(CoverLookupTest, MusicBrainzGetsAtMostOneRequestASecond) {
    services.on(SearchPath, {jsonResponse(searchAnswer({}))});
    MusicBrainzCovers source({services.address(), services.address(), u"500"_s}, clock, nullptr);
    source.FrontCover(kindOfBlue());
    EXPECT_TRUE(clock.waits.isEmpty()) << "the first request goes at once";

    clock.time = clock.time.addMSecs(300);
    source.FrontCover({u"Miles Davis"_s, u"Sketches of Spain"_s, {}, {}});
    EXPECT_EQ(clock.waits, QList<qint64>{700});

    clock.time = clock.time.addMSecs(2500);
    source.FrontCover({u"Miles Davis"_s, u"Milestones"_s, {}, {}});
    EXPECT_EQ(clock.waits, QList<qint64>{700}) << "no wait after more than a second";

    clock.time = clock.time.addSecs(-3600); // the clock was set back
    source.FrontCover(kindOfBlue());
    EXPECT_EQ(clock.waits, (QList<qint64>{700, 1000})) << "a whole interval, not an hour";
    EXPECT_EQ(services.requestsTo(SearchPath), 4);
}

} // namespace
