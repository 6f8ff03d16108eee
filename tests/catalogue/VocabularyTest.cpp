#include "catalogue/ArtTypes.h"
#include "catalogue/TabCounts.h"
#include "catalogue/TrackCatalogue.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace catalogue;

struct NamesCase {
    ArtTypes types;
    QString text;
};

class ArtTypeNamesTest : public ::testing::TestWithParam<NamesCase> {};

TEST_P(ArtTypeNamesTest, WritesTheWordsOfTheSetBitsInBitOrder) {
    EXPECT_EQ(ArtTypeNames(GetParam().types), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ArtTypeNamesTest,
    ::testing::Values(NamesCase{0, u"- No artwork available -"_s},
                      NamesCase{3, u"Downloaded Embedded "_s}, NamesCase{128, u"Backup "_s},
                      NamesCase{4 + 16 + 32, u"Folder.JPG WmpSmall WmpLarge "_s},
                      NamesCase{8 + 64, u"AlbumArtSmall Other "_s},
                      NamesCase{255, u"Downloaded Embedded Folder.JPG AlbumArtSmall WmpSmall "
                                     u"WmpLarge Other Backup "_s},
                      // Bits above 128 name nothing.
                      NamesCase{256 + 2, u"Embedded "_s}));

TEST(ArtworkFormatName, NamesTheThreeFormatsAndAnythingElseUnknown) {
    EXPECT_EQ(ArtworkFormatName(1), u"JPG"_s);
    EXPECT_EQ(ArtworkFormatName(2), u"PNG"_s);
    EXPECT_EQ(ArtworkFormatName(3), u"BMP"_s);
    for (int other : {0, 4, -1, 27})
        EXPECT_EQ(ArtworkFormatName(other), u"UnknownFormat"_s) << other;
}

TEST(StatusText, GivesTheReasonOfEachStatus) {
    EXPECT_EQ(StatusText(StatusEligible), u"Eligible"_s);
    EXPECT_EQ(StatusText(StatusNoLocation), u"The song file is missing"_s);
    EXPECT_EQ(StatusText(StatusFileMissing), u"The song file is missing"_s);
    EXPECT_EQ(StatusText(StatusNoArtwork), u"No embeddable artwork available"_s);
    EXPECT_EQ(StatusText(StatusFormatUnsupported),
              u"File format does not support embedding images"_s);
    for (int unknown : {0, 6, -3})
        EXPECT_EQ(StatusText(unknown), u"Unknown status -- please email "_s + SupportAddress());
    EXPECT_TRUE(SupportAddress().contains(u'@'));
}

TEST(TwoDigitTrackNumber, KeepsTheLastTwoDigitsOfNumberPlus100) {
    const std::pair<int, QString> cases[] = {{7, u"07"_s},  {0, u"00"_s},   {112, u"12"_s},
                                             {5, u"05"_s},  {99, u"99"_s},  {100, u"00"_s},
                                             {-3, u"97"_s}, {-105, u"-5"_s}};
    for (const auto& [number, text] : cases)
        EXPECT_EQ(TwoDigitTrackNumber(number), text) << number;
}

TEST(ArtKindList, HoldsTheEightKindsInBitOrderUntilReleased) {
    ArtKindList list;
    EXPECT_FALSE(list.IsBuilt());
    list.Build();
    EXPECT_TRUE(list.IsBuilt());
    EXPECT_EQ(list.Kinds(), (std::vector<int32_t>{1, 2, 4, 8, 16, 32, 64, 128}));
    list.Release();
    EXPECT_FALSE(list.IsBuilt());
    EXPECT_TRUE(list.Kinds().empty());
}

TEST(TrackCatalogue, GrowsOnlyAndGrowingDiscardsTheRecords) {
    TrackCatalogue catalogue;
    EXPECT_EQ(catalogue.CatalogueCapacity(), 0);
    EXPECT_EQ(catalogue.Record(1), nullptr);
    EXPECT_TRUE(catalogue.EnsureCapacity(3));
    catalogue.SetCatalogueCount(3);
    catalogue[2].Name = u"kept"_s;

    EXPECT_FALSE(catalogue.EnsureCapacity(2));
    EXPECT_EQ(catalogue.CatalogueCapacity(), 3);
    EXPECT_EQ(catalogue[2].Name, u"kept"_s);

    EXPECT_TRUE(catalogue.EnsureCapacity(5));
    EXPECT_EQ(catalogue.CatalogueCapacity(), 5);
    EXPECT_EQ(catalogue.CatalogueCount(), 0);
    EXPECT_TRUE(catalogue[2].Name.isEmpty());
}

TEST(TrackCatalogue, KeepsTheCountWithinTheCapacity) {
    TrackCatalogue catalogue;
    catalogue.EnsureCapacity(4);
    catalogue.SetCatalogueCount(9);
    EXPECT_EQ(catalogue.CatalogueCount(), 4);
    catalogue.SetCatalogueCount(-1);
    EXPECT_EQ(catalogue.CatalogueCount(), 0);
    catalogue.SetCatalogueCount(2);
    EXPECT_TRUE(catalogue.IsFilled(2));
    EXPECT_FALSE(catalogue.IsFilled(3));
    EXPECT_FALSE(catalogue.IsFilled(0));
    EXPECT_NE(catalogue.Record(4), nullptr);
    EXPECT_EQ(catalogue.Record(5), nullptr);
    EXPECT_EQ(catalogue.Record(0), nullptr);
}

TEST(TabCounts, CaptionsUseTheLocalesThousandsSeparator) {
    TabCounts counts(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(counts.Caption(TAB_ELIGIBLE), u"Eligi&ble Songs (0)"_s);
    EXPECT_EQ(counts.Caption(TAB_INELIGIBLE), u"Ineligible S&ongs (0)"_s);
    counts.UpdateTabCounts(1234, 0);
    EXPECT_EQ(counts.Caption(TAB_ELIGIBLE), u"Eligi&ble Songs (1,234)"_s);
    EXPECT_EQ(TabCounts::CaptionFor(TAB_INELIGIBLE, 1234567, QLocale(QLocale::German)),
              u"Ineligible S&ongs (1.234.567)"_s);
    // The C locale leaves numbers ungrouped unless asked: captions still group.
    EXPECT_EQ(TabCounts::CaptionFor(TAB_ELIGIBLE, 1234, QLocale::c()),
              u"Eligi&ble Songs (1,234)"_s);
    EXPECT_TRUE(counts.Caption(TAB_EMBEDDED).isEmpty());
}

TEST(TabCounts, AnnouncesOnlyTheCaptionsWhoseCountChanged) {
    TabCounts counts(QLocale(QLocale::English));
    QSignalSpy spy(&counts, &TabCounts::captionChanged);
    counts.UpdateTabCounts(0, 2);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toInt(), TAB_INELIGIBLE);
    EXPECT_EQ(spy.at(0).at(1).toString(), u"Ineligible S&ongs (2)"_s);
    counts.UpdateTabCounts(3, -1);
    EXPECT_EQ(spy.count(), 3);
    EXPECT_EQ(counts.gEligibleSongs(), 3);
    EXPECT_EQ(counts.gInEligibleSongs(), 1);

    spy.clear();
    counts.ResetEligibleCount();
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(1).toString(), u"Eligi&ble Songs (0)"_s);
    EXPECT_EQ(counts.gInEligibleSongs(), 1);

    spy.clear();
    counts.ResetTabCounts();
    EXPECT_EQ(spy.count(), 2);
    EXPECT_EQ(counts.gInEligibleSongs(), 0);
}
