// Which images the Delete Artwork choices remove, rule by rule, and the
// closest-image rule the folder thumbnails share.

#include "artwork/DeleteRules.h"
#include "tests/artwork/ArtworkTestSupport.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace artwork;
using testing_support::pngDeclaring;

namespace {

// An image of the given pixel size and exactly the given byte length.
QByteArray image(int side, qsizetype bytes = 0) {
    QByteArray png = pngDeclaring(quint32(side), quint32(side));
    if (bytes > png.size())
        png += QByteArray(bytes - png.size(), '\0');
    return png;
}

SongArtwork embedded(QList<QByteArray> images) {
    const int count = int(images.size());
    return SongArtwork(count, 0, std::move(images));
}

DeleteParameters rule(int32_t single, int32_t multiple, int32_t target = 0) {
    DeleteParameters p;
    p.SingleDelete = single;
    p.MultipleDelete = multiple;
    p.TargetXYProd = target;
    return p;
}

TEST(DeleteRules, DownloadedArtGoesOnlyWhenAskedAndOddSongsAreLeftAlone) {
    SongArtwork downloaded(1, 1, {image(300)});
    DeleteParameters p = rule(4, 13);
    EXPECT_TRUE(ChooseArtworkToDelete(downloaded, p).isEmpty());
    p.DeleteDownloaded = true;
    EXPECT_EQ(ChooseArtworkToDelete(downloaded, p), QList<int>{1});
    p.DeleteEmbedded = false;
    EXPECT_EQ(ChooseArtworkToDelete(downloaded, p), QList<int>{1})
        << "whatever DeleteEmbedded says";

    p.DeleteEmbedded = true;
    SongArtwork two(2, 2, {image(300), image(200)});
    EXPECT_TRUE(ChooseArtworkToDelete(two, p).isEmpty()) << "two downloaded images";
    SongArtwork mixed(2, 1, {image(300), image(200)});
    EXPECT_TRUE(ChooseArtworkToDelete(mixed, p).isEmpty()) << "downloaded beside embedded";
    SongArtwork none(0, 0, {});
    EXPECT_TRUE(ChooseArtworkToDelete(none, p).isEmpty());
    SongArtwork one = embedded({image(300)});
    EXPECT_TRUE(ChooseArtworkToDelete(one, rule(0, 12)).isEmpty()) << "rule out of range";
    EXPECT_TRUE(ChooseArtworkToDelete(one, rule(4, 14)).isEmpty()) << "rule out of range";
    DeleteParameters noEmbedded = rule(4, 13);
    noEmbedded.DeleteEmbedded = false;
    EXPECT_TRUE(ChooseArtworkToDelete(one, noEmbedded).isEmpty());
}

// A lone image: never, smaller or larger than the target (strictly), always.
TEST(DeleteRules, ALoneImageByTheSingleRules) {
    const int32_t target = 200 * 200;
    SongArtwork small = embedded({image(150)});
    SongArtwork exact = embedded({image(200)});
    SongArtwork big = embedded({image(600)});
    SongArtwork unreadable = embedded({QByteArray("not an image")});
    EXPECT_TRUE(ChooseArtworkToDelete(small, rule(1, 12, target)).isEmpty());
    EXPECT_EQ(ChooseArtworkToDelete(small, rule(2, 12, target)), QList<int>{1});
    EXPECT_TRUE(ChooseArtworkToDelete(exact, rule(2, 12, target)).isEmpty()) << "not smaller";
    EXPECT_TRUE(ChooseArtworkToDelete(exact, rule(3, 12, target)).isEmpty()) << "not larger";
    EXPECT_EQ(ChooseArtworkToDelete(big, rule(3, 12, target)), QList<int>{1});
    EXPECT_EQ(ChooseArtworkToDelete(unreadable, rule(2, 12, target)), QList<int>{1})
        << "an area of 0 is smaller than any target";
    EXPECT_EQ(ChooseArtworkToDelete(exact, rule(4, 1)), QList<int>{1});
}

// Equal byte lengths keep position order: of 40000, 12000 and 12000 bytes
// the smallest is image 2.
TEST(DeleteRules, ByteLengthRulesKeepPositionOrderOnTies) {
    SongArtwork three = embedded({image(300, 40000), image(300, 12000), image(300, 12000)});
    EXPECT_EQ(SortArtworkByFileSize(three), (QList<int>{2, 3, 1}));
    EXPECT_EQ(ChooseArtworkToDelete(three, rule(1, 6)), QList<int>{2});
    EXPECT_EQ(ChooseArtworkToDelete(three, rule(1, 7)), (QList<int>{1, 3}));
    EXPECT_EQ(ChooseArtworkToDelete(three, rule(1, 8)), QList<int>{1});
    EXPECT_EQ(ChooseArtworkToDelete(three, rule(1, 9)), (QList<int>{2, 3}));

    // Images of no length are no candidates: nothing is "the smallest".
    SongArtwork empty(2, 0, {QByteArray(), QByteArray()});
    for (int multiple : {6, 7, 8, 9})
        EXPECT_TRUE(ChooseArtworkToDelete(empty, rule(1, multiple)).isEmpty()) << multiple;
}

TEST(DeleteRules, PositionRulesOnFourImages) {
    SongArtwork four = embedded({image(100), image(200), image(300), image(400)});
    const QList<std::pair<int, QList<int>>> cases{
        {1, {}},        {2, {1}},     {3, {2, 3, 4}}, {4, {4}},
        {5, {1, 2, 3}}, {10, {1, 2}}, {11, {3, 4}},   {13, {1, 2, 3, 4}},
    };
    for (const auto& [multiple, expected] : cases)
        EXPECT_EQ(ChooseArtworkToDelete(four, rule(1, multiple, 250 * 300)), expected) << multiple;
}

// 300 and 340 are both 20 from 320: the larger is kept.
TEST(DeleteRules, AllButTheClosestKeepsTheLargerOfTwoEquallyClose) {
    SongArtwork images = embedded({image(300), image(340), image(500)});
    EXPECT_EQ(ChooseArtworkToDelete(images, rule(1, 12, 320 * 320)), (QList<int>{1, 3}));
    SongArtwork reversed = embedded({image(340), image(300)});
    EXPECT_EQ(ChooseArtworkToDelete(reversed, rule(1, 12, 320 * 320)), QList<int>{2});
    SongArtwork unreadable = embedded({QByteArray("x"), QByteArray("y")});
    EXPECT_TRUE(ChooseArtworkToDelete(unreadable, rule(1, 12, 320 * 320)).isEmpty())
        << "no image qualifies as closest";
}

TEST(ClosestArtworkRule, OneImageNeedsNoMeasuringAndUnreadableImagesAreSkipped) {
    SongArtwork one = embedded({QByteArray("not measured")});
    EXPECT_EQ(ClosestArtwork(one, 256), 1);
    SongArtwork two = embedded({image(200), image(300)});
    EXPECT_EQ(ClosestArtwork(two, 256), 2) << "distance 44 against 56";
    SongArtwork gap = embedded({QByteArray("bad"), image(64)});
    EXPECT_EQ(ClosestArtwork(gap, 256), 2);
    SongArtwork bad = embedded({QByteArray("bad"), QByteArray("worse")});
    EXPECT_EQ(ClosestArtwork(bad, 256), 0);
}

} // namespace
