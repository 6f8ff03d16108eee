#include "catalogue/ArtTypes.h"
#include "catalogue/TabCounts.h"
#include "catalogue/TrackCatalogue.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace catalogue;

TEST(ArtTypeNames, WritesTheWordsOfTheSetBitsInBitOrder) {
    const std::pair<ArtTypes, QString> cases[] = {
        {0, u"- No artwork available -"_s},
        {3, u"Downloaded Embedded "_s},
        {4 + 16 + 32, u"Folder.JPG WmpSmall WmpLarge "_s},
        {8 + 64 + 128, u"AlbumArtSmall Other Backup "_s},
        // Bits above 128 name nothing.
        {256 + 2, u"Embedded "_s},
    };
    for (const auto& [types, text] : cases)
        EXPECT_EQ(ArtTypeNames(types), text) << types;
}

TEST(TwoDigitTrackNumber, KeepsTheLastTwoDigitsOfNumberPlus100) {
    const std::pair<int, QString> cases[] = {{7, u"07"_s},  {0, u"00"_s},   {112, u"12"_s},
                                             {5, u"05"_s},  {99, u"99"_s},  {100, u"00"_s},
                                             {-3, u"97"_s}, {-105, u"-5"_s}};
    for (const auto& [number, text] : cases)
        EXPECT_EQ(TwoDigitTrackNumber(number), text) << number;
}

TEST(TrackCatalogue, KeepsTheCountAndTheRecordsWithinTheCapacity) {
    TrackCatalogue catalogue;
    EXPECT_EQ(catalogue.Record(1), nullptr);
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

TEST(TabCounts, CaptionsGroupThousandsAsTheLocaleDoes) {
    EXPECT_EQ(TabCounts::CaptionFor(TAB_ELIGIBLE, 1234, QLocale(QLocale::English)),
              u"Eligi&ble Songs (1,234)"_s);
    EXPECT_EQ(TabCounts::CaptionFor(TAB_INELIGIBLE, 1234567, QLocale(QLocale::German)),
              u"Ineligible S&ongs (1.234.567)"_s);
    // The C locale leaves numbers ungrouped unless asked: captions still group.
    EXPECT_EQ(TabCounts::CaptionFor(TAB_ELIGIBLE, 1234, QLocale::c()),
              u"Eligi&ble Songs (1,234)"_s);
}
