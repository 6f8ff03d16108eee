#include "catalogue/RowKey.h"
#include "catalogue/CatalogueSession.h"
#include "tests/catalogue/FakeLibrary.h"

#include <gtest/gtest.h>

#include <climits>

using namespace Qt::StringLiterals;
using namespace catalogue;

TEST(RowKey, BothHalvesOfTheIdsComeBackUnchanged) {
    auto library = std::make_shared<fake::FakeLibrary>();
    library->addTrack(u"decoy"_s, u"/m/a.mp3"_s);
    fake::FakeTrackPtr track = library->addTrack(u"Song, with; odd: name"_s, u"/m/b.mp3"_s);
    for (int32_t half : {0, 1, 65535, 32768, -65535, INT32_MIN, INT32_MAX, -1}) {
        SCOPED_TRACE(half);
        track->high = half;
        track->low = ~half; // a different value in the other half
        const QString key = MakeRowKey(*library, track, 2);
        // The library finds the song by both halves; the decoy has others.
        EXPECT_EQ(RowTrack(*library, key), track) << key.toStdString();
        EXPECT_EQ(RowCatalogueIndex(key), 2);
    }
}

TEST(RowTrack, GivesNoneForARenamedDeletedOrMalformedRow) {
    auto library = std::make_shared<fake::FakeLibrary>();
    fake::FakeTrackPtr track = library->addTrack(u"Intro"_s, u"/m/a.mp3"_s);
    const QString key = MakeRowKey(*library, track, 1);
    ASSERT_EQ(RowTrack(*library, key), track);

    track->name = u"Intro (renamed)"_s;
    EXPECT_EQ(RowTrack(*library, key), nullptr);
    track->name = u"Intro"_s;

    track->deleted = true;
    EXPECT_EQ(RowTrack(*library, key), nullptr);
    track->deleted = false;

    library->failing.insert(u"LibraryPlaylist"_s);
    EXPECT_EQ(RowTrack(*library, key), nullptr);
    library->failing.clear();

    const QString malformed[] = {QString(),
                                 u"&H0;1: Intro"_s,
                                 u"&H0,&H1;1 Intro"_s,
                                 u"&HZZ,&H1;1: Intro"_s,
                                 u"0,&H1;1: Intro"_s,
                                 u"&H123456789,&H1;1: Intro"_s};
    for (const QString& bad : malformed)
        EXPECT_EQ(RowTrack(*library, bad), nullptr) << bad.toStdString();
}

TEST(RowCatalogueIndex, ReadsTheNumberAfterTheFirstSemicolon) {
    EXPECT_EQ(RowCatalogueIndex(u"&H1,&H2;17: Intro"_s), 17);
    EXPECT_EQ(RowCatalogueIndex(u"&H1,&H2;17x;5: a"_s), 17);
    EXPECT_EQ(RowCatalogueIndex(u"&H1,&H2;: a"_s), 0);
    EXPECT_EQ(RowCatalogueIndex(u"&H1,&H2 17: a"_s), 0);
    EXPECT_EQ(RowCatalogueIndex(QString()), 0);
    EXPECT_EQ(RowCatalogueIndex(u";99999999999: a"_s), 0);
}

TEST(CatalogueTrack, FindsTheRecordsTrackOnlyWhileItsNameIsUnchanged) {
    auto library = std::make_shared<fake::FakeLibrary>();
    fake::FakeTrackPtr first = library->addTrack(u"One"_s, u"/m/1.mp3"_s);
    library->addTrack(u"Two"_s, u"/m/2.mp3"_s);
    TrackCatalogue catalogue;
    catalogue.EnsureCapacity(2);
    catalogue.SetCatalogueCount(1);
    catalogue[1].Name = u"One"_s;
    catalogue[2].Name = u"Two"_s;

    EXPECT_EQ(CatalogueTrack(*library, catalogue, 1), first);
    EXPECT_EQ(CatalogueTrack(*library, catalogue, 2), nullptr); // beyond CatalogueCount
    EXPECT_EQ(CatalogueTrack(*library, catalogue, 0), nullptr);
    first->name = u"Uno"_s;
    EXPECT_EQ(CatalogueTrack(*library, catalogue, 1), nullptr);
    first->name = u"One"_s;
    library->failing.insert(u"Item:1"_s);
    EXPECT_EQ(CatalogueTrack(*library, catalogue, 1), nullptr);
}
