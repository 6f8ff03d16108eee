#include "catalogue/RowKey.h"
#include "catalogue/CatalogueSession.h"
#include "tests/catalogue/FakeLibrary.h"

#include <gtest/gtest.h>

#include <climits>

using namespace Qt::StringLiterals;
using namespace catalogue;

TEST(RowKeyText, WritesUpperCaseHexWithoutLeadingZeros) {
    EXPECT_EQ(RowKeyText(0x1A2B, -65535, 17, u"Intro"_s), u"&H1A2B,&HFFFF0001;17: Intro"_s);
    EXPECT_EQ(RowKeyText(0, 1, 1, QString()), u"&H0,&H1;1: "_s);
    EXPECT_EQ(RowKeyText(INT32_MIN, -1, 2147483647, u"x"_s),
              u"&H80000000,&HFFFFFFFF;2147483647: x"_s);
}

class RowKeyRoundTrip : public ::testing::TestWithParam<int32_t> {};

TEST_P(RowKeyRoundTrip, BothHalvesComeBackUnchanged) {
    auto library = std::make_shared<fake::FakeLibrary>();
    library->addTrack(u"decoy"_s, u"/m/a.mp3"_s);
    fake::FakeTrackPtr track = library->addTrack(u"Song, with; odd: name"_s, u"/m/b.mp3"_s);
    track->high = GetParam();
    track->low = ~GetParam(); // a different value in the other half

    const QString key = MakeRowKey(*library, track, 2);
    int32_t high = 0, low = 0;
    ASSERT_TRUE(RowKeyIds(key, high, low)) << key.toStdString();
    EXPECT_EQ(high, track->high);
    EXPECT_EQ(low, track->low);
    EXPECT_EQ(RowTrack(*library, key), track);
    EXPECT_EQ(RowCatalogueIndex(key), 2);
}

INSTANTIATE_TEST_SUITE_P(Halves, RowKeyRoundTrip,
                         ::testing::Values(0, 1, 65535, 32768, -65535, INT32_MIN, INT32_MAX, -1));

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

TEST(AddEligibleRow, CountsTheRowAndStoresItsColumnsMarkAndKey) {
    auto library = std::make_shared<fake::FakeLibrary>();
    fake::FakeTrackPtr track = library->addTrack(u"Song"_s, u"/m/a/1.mp3"_s);
    CatalogueSession session;
    ASSERT_TRUE(session.Init([&] { return library; }));
    session.Catalogue.EnsureCapacity(1);
    session.Catalogue.SetCatalogueCount(1);
    TrackRecord& record = session.Catalogue[1];
    record.Artist = u"Artist"_s;
    record.Album = u"Album"_s;
    record.TrackNumber = 3;
    record.Name = u"Song"_s;
    record.Location = track->location;
    record.ArtTypes = ArtKindEmbedded;
    session.Eligible.setSortingEnabled(false);

    AddEligibleRow(session, 1, track, false);
    AddEligibleRow(session, 1, track, true);

    EXPECT_EQ(session.Counts.gEligibleSongs(), 2);
    const SongListModel& model = session.Eligible.model();
    ASSERT_EQ(model.rowCount(), 2);
    const QString expected[] = {u"Artist"_s, u"Album"_s,      u"03"_s,
                                u"Song"_s,   u"/m/a/1.mp3"_s, u"Embedded "_s};
    for (int column = 0; column < SongColumnCount; ++column)
        EXPECT_EQ(model.text(0, column), expected[column]);
    EXPECT_FALSE(model.isChecked(0));
    EXPECT_TRUE(model.isChecked(1));
    EXPECT_EQ(RowTrack(*library, model.key(0)), track);
    EXPECT_EQ(RowCatalogueIndex(model.key(1)), 1);
}
