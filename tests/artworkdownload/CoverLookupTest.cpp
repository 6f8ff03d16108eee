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
using testing_support::respond;
using testing_support::silence;

namespace {

const QString ReleaseId = u"76df3287-6cda-33eb-8e9a-044b5e15ffdd"_s;
const QString GroupId = u"8e8a594f-2175-3b3e-9b3a-8c4e2e1d7a31"_s;
const QString OtherGroupId = u"1b022e01-4da6-387b-8658-8678046e4cef"_s;
const QString SearchPath = u"/ws/2/release-group/"_s;

class CoverLookupTest : public ::testing::Test {
protected:
    FakeWebServer services;
    ScriptedClock clock;
    testing_support::TempFolder folder;
    QByteArray cover = testing_support::readFile(testing_support::seedPath(u"cover-75.jpg"_s));

    DownloadSettings settings(const QString& size = u"500"_s) const {
        return {services.address(), services.address(), size};
    }
    CoverAnswer lookUp(const AlbumQuery& album, LookupCache* cache = nullptr,
                       const QString& size = u"500"_s) {
        MusicBrainzCovers source(settings(size), clock, cache, {500, 5, 3, 60});
        return source.FrontCover(album);
    }
    AlbumQuery kindOfBlue() const { return {u"Miles Davis"_s, u"Kind of Blue"_s, {}, {}}; }
};

TEST_F(CoverLookupTest, ReleaseIdInTheTagsGoesStraightToTheArchive) {
    services.on(u"/release/"_s + ReleaseId + u"/front-500"_s, {respond(200, cover)});
    const CoverAnswer answer = lookUp({u"Miles Davis"_s, u"Kind of Blue"_s, ReleaseId, GroupId});

    EXPECT_EQ(answer.outcome, CoverOutcome::Found) << answer.reason.toStdString();
    EXPECT_EQ(answer.image, cover);
    EXPECT_EQ(answer.releaseId, u"release/"_s + ReleaseId);
    ASSERT_EQ(services.requests().size(), 1);
    EXPECT_EQ(services.requestsTo(u"/ws/"_s), 0) << "no search when the tags name the release";
    EXPECT_EQ(services.requests()[0].headers.value("user-agent"),
              "Quillmoth/" QUILLMOTH_VERSION " ( https://quillmoth.example.org/ )");
}

TEST_F(CoverLookupTest, ReleaseWithoutCoverFallsBackToItsGroupFromTheTags) {
    services.on(u"/release/"_s + ReleaseId + u"/front-250"_s, {respond(404, "Not Found")});
    services.on(u"/release-group/"_s + GroupId + u"/front-250"_s, {respond(200, cover)});
    const CoverAnswer answer =
        lookUp({u"Miles Davis"_s, u"Kind of Blue"_s, ReleaseId, GroupId}, nullptr, u"250"_s);
    EXPECT_EQ(answer.outcome, CoverOutcome::Found);
    EXPECT_EQ(answer.releaseId, u"release-group/"_s + GroupId);
}

TEST_F(CoverLookupTest, ConfidentSearchHitFetchesTheGroupsCoverAtTheChosenSize) {
    services.on(SearchPath,
                {jsonResponse(searchAnswer(
                    {{GroupId, 100, u"Kind of Blue"_s, u"Miles Davis"_s},
                     {OtherGroupId, 72, u"Kind of Blue (Legacy)"_s, u"Miles Davis"_s}}))});
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

TEST_F(CoverLookupTest, AmbiguousOrWeakSearchAttachesNothingAndAsksTheArchiveNothing) {
    const struct {
        const char* name;
        QList<Candidate> candidates;
        const char* reasonPart;
    } cases[] = {
        {"two equal candidates",
         {{GroupId, 100, u"Kind of Blue"_s, u"Miles Davis"_s},
          {OtherGroupId, 100, u"Kind of Blue"_s, u"Miles Davis"_s}},
         "more than one"},
        {"low score", {{GroupId, 60, u"Kind of Blue"_s, u"Miles Davis"_s}}, "knows no"},
        {"other title", {{GroupId, 100, u"Kind of Blue Live"_s, u"Miles Davis"_s}}, "knows no"},
        {"other artist", {{GroupId, 100, u"Kind of Blue"_s, u"Miles Davies Band"_s}}, "knows no"},
        {"nothing", {}, "knows no"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeWebServer server;
        server.on(SearchPath, {jsonResponse(searchAnswer(c.candidates))});
        MusicBrainzCovers source({server.address(), server.address(), u"500"_s}, clock, nullptr);
        const CoverAnswer answer = source.FrontCover(kindOfBlue());
        EXPECT_EQ(answer.outcome, CoverOutcome::NotFound);
        EXPECT_TRUE(answer.reason.contains(QString::fromUtf8(c.reasonPart)))
            << answer.reason.toStdString();
        EXPECT_EQ(server.requests().size(), 1) << "the archive is not asked";
    }
}

TEST_F(CoverLookupTest, AnswersAreCachedSoThatASecondRunSendsNothing) {
    const QString missing = u"/release-group/"_s + OtherGroupId + u"/front-500"_s;
    services.on(
        SearchPath,
        {jsonResponse(searchAnswer({{OtherGroupId, 100, u"Sketches"_s, u"Miles Davis"_s}}))});
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
    services.on(
        SearchPath,
        {respond(503, "busy", {{"Retry-After", "7"}}),
         jsonResponse(searchAnswer({{GroupId, 100, u"Kind of Blue"_s, u"Miles Davis"_s}}))});
    services.on(u"/release-group/"_s + GroupId + u"/front-500"_s, {respond(200, cover)});

    const CoverAnswer answer = lookUp(kindOfBlue());

    EXPECT_EQ(answer.outcome, CoverOutcome::Found) << answer.reason.toStdString();
    EXPECT_EQ(services.requestsTo(SearchPath), 2);
    EXPECT_TRUE(clock.waits.contains(7000)) << "waited as Retry-After said";
}

TEST_F(CoverLookupTest, ServiceBusyForTooLongFailsWithoutWaiting) {
    services.on(SearchPath, {respond(503, "busy", {{"Retry-After", "3600"}})});
    const CoverAnswer answer = lookUp(kindOfBlue());
    EXPECT_EQ(answer.outcome, CoverOutcome::Failed);
    EXPECT_TRUE(answer.reason.contains(u"3600 seconds"_s)) << answer.reason.toStdString();
    EXPECT_TRUE(clock.waits.isEmpty());
}

TEST_F(CoverLookupTest, MusicBrainzGetsAtMostOneRequestASecond) {
    services.on(SearchPath, {jsonResponse(searchAnswer({}))});
    MusicBrainzCovers source(settings(), clock, nullptr);
    source.FrontCover(kindOfBlue());
    EXPECT_TRUE(clock.waits.isEmpty()) << "the first request goes at once";

    clock.time = clock.time.addMSecs(300);
    source.FrontCover({u"Miles Davis"_s, u"Sketches of Spain"_s, {}, {}});
    EXPECT_EQ(clock.waits, QList<qint64>{700});

    clock.time = clock.time.addMSecs(2500);
    source.FrontCover({u"Miles Davis"_s, u"Milestones"_s, {}, {}});
    EXPECT_EQ(clock.waits, QList<qint64>{700}) << "no wait after more than a second";
    EXPECT_EQ(services.requestsTo(SearchPath), 3);
}

TEST_F(CoverLookupTest, BrokenAnswersFailWithAClearReason) {
    const QString front = u"/release/"_s + ReleaseId + u"/front-500"_s;
    const struct {
        const char* name;
        QString path;
        FakeResponse response;
        bool withRelease;
        const char* reasonPart;
    } cases[] = {
        {"malformed JSON", SearchPath, jsonResponse("{\"release-groups\": [ {\"id\": "), false,
         "not what its interface documents"},
        {"JSON of another shape", SearchPath, jsonResponse("{\"releases\": []}"), false,
         "not what its interface documents"},
        {"no answer in time", front, silence(), true, "did not answer within"},
        {"server error", front, respond(500, "oops"), true, "status 500"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeWebServer server;
        server.on(c.path, {c.response});
        MusicBrainzCovers source({server.address(), server.address(), u"500"_s}, clock, nullptr,
                                 {300, 5, 3, 60});
        AlbumQuery album = kindOfBlue();
        if (c.withRelease)
            album.releaseId = ReleaseId;
        const CoverAnswer answer = source.FrontCover(album);
        EXPECT_EQ(answer.outcome, CoverOutcome::Failed);
        EXPECT_TRUE(answer.reason.contains(QString::fromUtf8(c.reasonPart)))
            << answer.reason.toStdString();
        EXPECT_TRUE(answer.image.isEmpty());
    }
}

TEST_F(CoverLookupTest, RefusedConnectionFails) {
    const QString closed = FakeWebServer::closedAddress();
    MusicBrainzCovers source({closed, closed, u"500"_s}, clock, nullptr, {2000, 5, 3, 60});
    const CoverAnswer answer = source.FrontCover(kindOfBlue());
    EXPECT_EQ(answer.outcome, CoverOutcome::Failed);
    EXPECT_TRUE(answer.reason.contains(u"connection"_s)) << answer.reason.toStdString();
}

TEST_F(CoverLookupTest, RedirectsAreFollowedOnlyToSafeAddresses) {
    const QString front = u"/release/"_s + ReleaseId + u"/front-500"_s;
    services.on(front, {testing_support::redirectResponse(
                           services.address() + u"/download/mbid-1/cover_itemimage.jpg"_s)});
    services.on(u"/download/mbid-1/cover_itemimage.jpg"_s, {respond(200, cover)});
    const AlbumQuery tagged{u"Miles Davis"_s, u"Kind of Blue"_s, ReleaseId, {}};
    const CoverAnswer followed = lookUp(tagged);
    EXPECT_EQ(followed.outcome, CoverOutcome::Found) << followed.reason.toStdString();
    EXPECT_EQ(followed.image, cover);

    FakeWebServer insecure;
    insecure.on(front, {testing_support::redirectResponse(u"http://archive.example.org/x.jpg"_s)});
    MusicBrainzCovers source({insecure.address(), insecure.address(), u"500"_s}, clock, nullptr);
    const CoverAnswer refused = source.FrontCover(tagged);
    EXPECT_EQ(refused.outcome, CoverOutcome::Failed);
    EXPECT_TRUE(refused.reason.contains(u"Nothing was sent"_s)) << refused.reason.toStdString();
    EXPECT_EQ(insecure.requests().size(), 1);

    FakeWebServer looping;
    looping.on(front, {testing_support::redirectResponse(front, 302)});
    MusicBrainzCovers loopSource({looping.address(), looping.address(), u"500"_s}, clock, nullptr);
    EXPECT_EQ(loopSource.FrontCover(tagged).outcome, CoverOutcome::Failed);
    EXPECT_EQ(looping.requests().size(), 6) << "five redirects followed, then given up";
}

TEST_F(CoverLookupTest, PlainHttpToAnotherMachineSendsNothing) {
    MusicBrainzCovers source({u"http://musicbrainz.example.org"_s, services.address(), u"500"_s},
                             clock, nullptr);
    const CoverAnswer answer = source.FrontCover(kindOfBlue());
    EXPECT_EQ(answer.outcome, CoverOutcome::Failed);
    EXPECT_TRUE(answer.reason.contains(u"https"_s)) << answer.reason.toStdString();
    EXPECT_TRUE(services.requests().isEmpty());
}

} // namespace
