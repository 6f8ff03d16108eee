// The size rules' choosers with their exact tie rules, the source order and
// the target sizes read from the wizards' texts.

#include "artwork/ArtworkSource.h"
#include "artwork/CandidateImages.h"
#include "artwork/TargetSizes.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace artwork;

namespace {

struct Entry {
    const char* path;
    bool isFile;
    int32_t xyprod;
};

CandidateImages listOf(std::initializer_list<Entry> entries, int32_t target = 320) {
    CandidateImages images;
    for (const Entry& entry : entries)
        images.add(QString::fromLatin1(entry.path), entry.isFile, entry.xyprod, target);
    return images;
}

TEST(Choosers, AnEmptyListChoosesNothing) {
    const CandidateImages none;
    EXPECT_EQ(none.ClosestCandidate(), -1);
    EXPECT_EQ(none.SmallestCandidate(), -1);
    EXPECT_EQ(none.LargestCandidate(), -1);
}

TEST(Choosers, ClosestPrefersTheLargerOfTwoEquallyDistantImages) {
    // 300 and 340 are both 20 from 320.
    EXPECT_EQ(listOf({{"/a/300.jpg", true, 300 * 300}, {"/a/340.jpg", true, 340 * 340}})
                  .ClosestCandidate(),
              2);
    EXPECT_EQ(listOf({{"/a/340.jpg", true, 340 * 340}, {"/a/300.jpg", true, 300 * 300}})
                  .ClosestCandidate(),
              1);
    EXPECT_EQ(listOf({{"/a/200.jpg", true, 200 * 200},
                      {"/a/330.jpg", true, 330 * 330},
                      {"/a/600.jpg", true, 600 * 600}})
                  .ClosestCandidate(),
              2);
}

// Among exact ties an earlier folder file keeps its place against later
// folder files, while a later image of the song's own replaces whatever tied.
TEST(Choosers, ExactTiesKeepTheFirstFileButGiveWayToTheSongsOwnImage) {
    const CandidateImages files =
        listOf({{"/a/first.jpg", true, 250 * 250}, {"/a/second.png", true, 250 * 250}});
    EXPECT_EQ(files.ClosestCandidate(), 1);
    EXPECT_EQ(files.SmallestCandidate(), 1);
    EXPECT_EQ(files.LargestCandidate(), 1);

    const CandidateImages ownLast = listOf(
        {{"1", false, 250 * 250}, {"/a/first.jpg", true, 250 * 250}, {"2", false, 250 * 250}});
    EXPECT_EQ(ownLast.ClosestCandidate(), 3);
    EXPECT_EQ(ownLast.SmallestCandidate(), 3);
    EXPECT_EQ(ownLast.LargestCandidate(), 3);

    const CandidateImages ownFirst =
        listOf({{"1", false, 250 * 250}, {"/a/first.jpg", true, 250 * 250}});
    EXPECT_EQ(ownFirst.ClosestCandidate(), 1);
    EXPECT_EQ(ownFirst.LargestCandidate(), 1);
}

TEST(Choosers, SmallestAndLargestGoBySide) {
    const CandidateImages images = listOf({{"/a/m.jpg", true, 200 * 200},
                                           {"/a/s.jpg", true, 48 * 48},
                                           {"/a/l.jpg", true, 600 * 600},
                                           {"/a/wide.png", true, 160 * 120}});
    EXPECT_EQ(images.SmallestCandidate(), 2);
    EXPECT_EQ(images.LargestCandidate(), 3);
    EXPECT_DOUBLE_EQ(images[4].Side, std::sqrt(160.0 * 120.0));
    EXPECT_DOUBLE_EQ(images[4].Distance, 320 - std::sqrt(160.0 * 120.0));
}

TEST(Choosers, ClearingKeepsTheStorageAndAddingGrowsItToTheCount) {
    CandidateImages images = listOf({{"/a", true, 1}, {"/b", true, 4}, {"/c", true, 9}});
    EXPECT_EQ(images.count(), 3);
    EXPECT_EQ(images.capacity(), 3);
    images.clear();
    EXPECT_EQ(images.count(), 0);
    EXPECT_EQ(images.capacity(), 3);
    EXPECT_EQ(images.ClosestCandidate(), -1) << "cleared entries are not candidates";
    images.add(u"/d"_s, true, 16, 320);
    EXPECT_EQ(images.capacity(), 3);
    EXPECT_EQ(images[1].Path, u"/d"_s);
}

TEST(SourceOrderSlots, DefaultIsEverySourceAndAssignClearsTheRest) {
    SourceOrder order;
    for (int slot = 1; slot <= 8; ++slot)
        EXPECT_EQ(order.slot(slot), slot);
    order.assign(QList<int32_t>{3, 1, 7, 2});
    EXPECT_EQ(order.slot(1), 3);
    EXPECT_EQ(order.slot(4), 2);
    for (int slot = 5; slot <= 8; ++slot)
        EXPECT_EQ(order.slot(slot), 0);
    EXPECT_EQ(order.slot(0), 0);
    EXPECT_EQ(order.slot(9), 0);
    EXPECT_EQ(ArtworkSourceLabel(5), u"AlbumArt_{WmpId}_Small.JPG"_s);
    EXPECT_TRUE(ArtworkSourceLabel(9).isEmpty());
}

TEST(TargetSizeTexts, SidesAreaAndStoredEntries) {
    const QStringList& entries = TargetSizeEntries();
    ASSERT_EQ(entries.size(), 9);
    const QList<int32_t> sides{320, 320, 320, 320, 200, 140, 100, 600, 480};
    for (qsizetype i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(TargetSideOfEntry(entries[i]), sides[i]) << entries[i].toStdString();
        EXPECT_EQ(TargetAreaOfEntry(entries[i]), sides[i] * sides[i]);
    }
    EXPECT_EQ(TargetSideOfEntry(u"no size here"_s), 0);
    EXPECT_EQ(TargetSideOfEntry(u"Odd -- 12.6 x 7"_s), 7);
    EXPECT_EQ(TargetSideOfEntry(u"Odd -- 7 x 12.6"_s), 13);
    EXPECT_EQ(TargetAreaOfEntry(u"320 x 320"_s), 0) << "no \"--\"";
    EXPECT_EQ(TargetAreaOfEntry(u"Wide -- 320 by 200"_s), 0) << "no \"x\"";
    EXPECT_EQ(TargetAreaOfEntry(u"Wide -- 320x200"_s), 64000);

    EXPECT_EQ(TargetEntryIndex(entries, u"  IPOD VIDEO/5G (2005) -- 200 X 200 "_s), 4);
    EXPECT_EQ(TargetEntryIndex(entries, u""_s), -1);
    EXPECT_EQ(TargetEntryIndex(entries, u"iPod video -- 200 x 200"_s), -1);
}

} // namespace
