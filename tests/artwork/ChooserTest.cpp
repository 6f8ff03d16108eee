// The size rules' choosers with their exact tie rules, and the target sizes
// read from the wizards' texts.

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

// Positions are 1-based in the order the images were found; -1 is none.
TEST(Choosers, ClosestSmallestAndLargestWithTheirTieRules) {
    const struct {
        const char* name;
        QList<int32_t> closestSmallestLargest;
        QList<Entry> images;
    } cases[] = {
        {"no image", {-1, -1, -1}, {}},
        {"300 and 340 are both 20 from 320: the larger is closest",
         {2, 1, 2},
         {{"/a/300.jpg", true, 300 * 300}, {"/a/340.jpg", true, 340 * 340}}},
        {"the same the other way round",
         {1, 2, 1},
         {{"/a/340.jpg", true, 340 * 340}, {"/a/300.jpg", true, 300 * 300}}},
        {"sides, not areas, decide",
         {1, 2, 3},
         {{"/a/m.jpg", true, 200 * 200},
          {"/a/s.jpg", true, 48 * 48},
          {"/a/l.jpg", true, 600 * 600},
          {"/a/wide.png", true, 160 * 120}}},
        {"a later image of the song's own replaces whatever tied",
         {3, 3, 3},
         {{"1", false, 250 * 250}, {"/a/first.jpg", true, 250 * 250}, {"2", false, 250 * 250}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CandidateImages images;
        for (const Entry& entry : c.images)
            images.add(QString::fromLatin1(entry.path), entry.isFile, entry.xyprod, 320);
        EXPECT_EQ((QList<int32_t>{images.ClosestCandidate(), images.SmallestCandidate(),
                                  images.LargestCandidate()}),
                  c.closestSmallestLargest);
        // A list used again holds none of its earlier images.
        images.clear();
        EXPECT_EQ(images.ClosestCandidate(), -1);
    }
}

TEST(TargetSizeTexts, EveryEntryHasASizeAndOddTextsAreReadSafely) {
    for (const QString& entry : TargetSizeEntries()) {
        EXPECT_GT(TargetSideOfEntry(entry), 0) << entry.toStdString();
        EXPECT_EQ(TargetAreaOfEntry(entry), TargetSideOfEntry(entry) * TargetSideOfEntry(entry));
    }
    EXPECT_EQ(TargetSideOfEntry(u"no size here"_s), 0);
    EXPECT_EQ(TargetSideOfEntry(u"Odd -- 12.6 x 7"_s), 7);
    EXPECT_EQ(TargetSideOfEntry(u"Odd -- 7 x 12.6"_s), 13);
    EXPECT_EQ(TargetAreaOfEntry(u"320 x 320"_s), 0) << "no \"--\"";
    EXPECT_EQ(TargetAreaOfEntry(u"Wide -- 320 by 200"_s), 0) << "no \"x\"";
    EXPECT_EQ(TargetAreaOfEntry(u"Wide -- 320x200"_s), 64000);
}

} // namespace
