// The rules of the look-up that need no server: which addresses may be
// used, how names compare, which search hit is taken, Retry-After, the
// pacing, the cache file and the settings.

#include "artworkdownload/DownloadSettings.h"
#include "artworkdownload/LookupCache.h"
#include "artworkdownload/MusicBrainzCovers.h"
#include "support/Registry.h"
#include "support/RegistryKeys.h"
#include "tests/artworkdownload/LookupTestSupport.h"
#include "tests/common/TestFiles.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace artworkdownload;
using lookup_testing::ScriptedClock;

namespace {

TEST(LookupRules, OnlyHttpsOrPlainHttpOnThisMachineMayBeUsed) {
    const struct {
        const char* address;
        bool allowed;
    } cases[] = {
        {"https://musicbrainz.org", true}, {"https://coverartarchive.org/release/x/front", true},
        {"http://127.0.0.1:8080", true},   {"http://127.4.5.6", true},
        {"http://localhost:9000", true},   {"http://[::1]:9000", true},
        {"http://musicbrainz.org", false}, {"http://127.0.0.1.example.org", false},
        {"http://10.0.0.1", false},        {"ftp://127.0.0.1", false},
        {"file:///etc/passwd", false},     {"not an address", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.address);
        EXPECT_EQ(AddressProblem(QUrl(QString::fromUtf8(c.address))).isEmpty(), c.allowed);
    }
}

TEST(LookupRules, NamesCompareWithoutCasePunctuationOrAccents) {
    EXPECT_EQ(NormalisedName(u"The  Wall!"_s), NormalisedName(u"the wall"_s));
    EXPECT_EQ(NormalisedName(u"Björk"_s), NormalisedName(u"bjork"_s));
    EXPECT_EQ(NormalisedName(u"AC/DC"_s), u"ac dc"_s);
    EXPECT_NE(NormalisedName(u"Kind of Blue"_s), NormalisedName(u"Kind of Blues"_s));
    EXPECT_TRUE(NormalisedName(u"?!"_s).isEmpty());
}

TEST(LookupRules, MusicBrainzIdsAreRecognisedStrictly) {
    EXPECT_TRUE(IsMusicBrainzId(u"76df3287-6cda-33eb-8e9a-044b5e15ffdd"_s));
    EXPECT_FALSE(IsMusicBrainzId(u"76DF3287-6CDA-33EB-8E9A-044B5E15FFDD"_s));
    EXPECT_FALSE(IsMusicBrainzId(u"76df3287-6cda-33eb-8e9a-044b5e15ffdd/../x"_s));
    EXPECT_FALSE(IsMusicBrainzId(u""_s));
}

TEST(LookupRules, SearchAnswersOfWrongShapeAreMalformed) {
    const char* answers[] = {
        "",
        "[]",
        "{\"release-groups\": 3}",
        "{\"release-groups\": [1]}",
        "{\"release-groups\": [{\"id\": \"../../etc\", \"score\": 100}]}",
        "{\"release-groups\": [{\"id\": \"76df3287-6cda-33eb-8e9a-044b5e15ffdd\"}]}",
    };
    for (const char* answer : answers) {
        SCOPED_TRACE(answer);
        EXPECT_EQ(ChooseReleaseGroup(answer, u"A"_s, u"B"_s).kind, SearchChoice::Malformed);
    }
}

TEST(LookupRules, TheBestOfSeveralConfidentHitsIsTaken) {
    const QByteArray answer = lookup_testing::searchAnswer(
        {{u"11111111-1111-1111-1111-111111111111"_s, 95, u"Blue"_s, u"Joni Mitchell"_s},
         {u"22222222-2222-2222-2222-222222222222"_s, 100, u"Blue"_s, u"Joni Mitchell"_s},
         {u"33333333-3333-3333-3333-333333333333"_s, 100, u"Blue"_s, u"Weezer"_s}});
    const SearchChoice choice = ChooseReleaseGroup(answer, u"joni mitchell"_s, u"BLUE"_s);
    EXPECT_EQ(choice.kind, SearchChoice::Match);
    EXPECT_EQ(choice.releaseGroupId, u"22222222-2222-2222-2222-222222222222"_s);
}

TEST(LookupRules, RetryAfterReadsSecondsAndDates) {
    const QDateTime now(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC);
    EXPECT_EQ(RetryAfterSeconds(" 0 ", now), 0);
    EXPECT_EQ(RetryAfterSeconds("Sun, 01 Mar 2026 12:00:30 GMT", now), 30);
    EXPECT_EQ(RetryAfterSeconds("Sun, 01 Mar 2026 11:00:00 GMT", now), 0);
    EXPECT_EQ(RetryAfterSeconds("-3", now), -1);
    EXPECT_EQ(RetryAfterSeconds("soon", now), -1);
    EXPECT_EQ(RetryAfterSeconds("", now), -1);
}

// Answers kept across runs are seen in the look-up's own test.
TEST(LookupRules, CacheIgnoresADamagedFileAndRewritesItWhole) {
    testing_support::TempFolder folder;
    ScriptedClock clock;
    const QString path = CacheFileIn(folder.path() + u"/data"_s);
    const auto file = [](int version, const char* answer) {
        return QStringLiteral(R"({"version": %1, "answers": {"a": {"answer": %2, )"
                              R"("stored": "2026-03-01T11:00:00Z"}}})")
            .arg(version)
            .arg(QString::fromUtf8(answer))
            .toUtf8();
    };
    testing_support::writeFile(path, file(1, "\"none\""));
    ASSERT_TRUE(LookupCache(path, clock).find(u"a"_s).has_value()) << "a sound file is read";

    for (const QByteArray& damaged :
         {file(1, "5"), file(2, "\"none\""), QByteArray("\x00\x01garbage", 9)}) {
        testing_support::writeFile(path, damaged);
        LookupCache cache(path, clock);
        EXPECT_FALSE(cache.find(u"a"_s).has_value());
        cache.store(u"d"_s, u"none"_s);
        EXPECT_EQ(LookupCache(path, clock).find(u"d"_s), u"none"_s) << "rewritten whole";
    }
}

// The addresses and a chosen size are read and saved by the wizard's run.
TEST(LookupRules, AnUnknownCoverSizeIsNeitherSavedNorBelieved) {
    testing_support::TempFolder folder;
    support::SetRegistryFiles({folder.file(u"user.json"_s), folder.file(u"machine.json"_s)});
    SaveCoverSize(u"1200"_s);
    SaveCoverSize(u"huge"_s);
    EXPECT_EQ(ReadDownloadSettings().size, u"1200"_s);
    support::RegSetString(support::Hive::CurrentUser, support::KEY_DOWNLOAD,
                          support::VALUE_DOWNLOAD_SIZE, u"tiny"_s);
    EXPECT_EQ(ReadDownloadSettings().size, DefaultCoverSize);
    support::ResetRegistryFiles();
}

} // namespace
