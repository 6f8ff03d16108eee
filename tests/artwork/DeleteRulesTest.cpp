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

TEST(DeleteRules, EachChoiceRemovesExactlyItsImages) {
    const QList<QByteArray> one{image(300)}, lone150{image(150)}, lone200{image(200)};
    const QList<QByteArray> four{image(100), image(200), image(300), image(400)};
    // Byte lengths 40000, 12000 and 12000: equal lengths keep position order.
    const QList<QByteArray> lengths{image(300, 40000), image(300, 12000), image(300, 12000)};
    const QList<QByteArray> noLength{QByteArray(), QByteArray()};
    const QList<QByteArray> closest{image(300), image(340), image(500)};
    const int32_t t200 = 200 * 200, t320 = 320 * 320, t250 = 250 * 300;
    const struct {
        const char* name;
        int downloaded; // images held outside the file, counted among images
        QList<QByteArray> images;
        DeleteParameters rule; // downloaded, embedded, single, multiple, target
        QList<int> expected;
    } cases[] = {
        {"downloaded art stays unless asked", 1, one, {false, true, 4, 13, 0}, {}},
        {"downloaded art goes when asked", 1, one, {true, true, 4, 13, 0}, {1}},
        {"whatever DeleteEmbedded says", 1, one, {true, false, 4, 13, 0}, {1}},
        {"two downloaded images", 2, {image(300), image(200)}, {true, true, 4, 13, 0}, {}},
        {"downloaded beside embedded", 1, {image(300), image(200)}, {true, true, 4, 13, 0}, {}},
        {"no image", 0, {}, {true, true, 4, 13, 0}, {}},
        {"single rule out of range", 0, one, {false, true, 0, 12, 0}, {}},
        {"multiple rule out of range", 0, one, {false, true, 4, 14, 0}, {}},
        {"embedded art kept", 0, one, {false, false, 4, 13, 0}, {}},
        // A lone image: never, smaller or larger than the target (strictly), always.
        {"never", 0, lone150, {false, true, 1, 12, t200}, {}},
        {"smaller", 0, lone150, {false, true, 2, 12, t200}, {1}},
        {"not smaller", 0, lone200, {false, true, 2, 12, t200}, {}},
        {"not larger", 0, lone200, {false, true, 3, 12, t200}, {}},
        {"larger", 0, {image(600)}, {false, true, 3, 12, t200}, {1}},
        {"an area of 0 is smaller", 0, {"not an image"}, {false, true, 2, 12, t200}, {1}},
        {"always", 0, lone200, {false, true, 4, 1, 0}, {1}},
        {"smallest by length", 0, lengths, {false, true, 1, 6, 0}, {2}},
        {"all but the smallest", 0, lengths, {false, true, 1, 7, 0}, {1, 3}},
        {"largest by length", 0, lengths, {false, true, 1, 8, 0}, {1}},
        {"all but the largest", 0, lengths, {false, true, 1, 9, 0}, {2, 3}},
        // Images of no length are no candidates: nothing is "the smallest".
        {"no length, smallest", 0, noLength, {false, true, 1, 6, 0}, {}},
        {"no length, largest", 0, noLength, {false, true, 1, 8, 0}, {}},
        {"none of four", 0, four, {false, true, 1, 1, t250}, {}},
        {"first of four", 0, four, {false, true, 1, 2, t250}, {1}},
        {"all but the first", 0, four, {false, true, 1, 3, t250}, {2, 3, 4}},
        {"last of four", 0, four, {false, true, 1, 4, t250}, {4}},
        {"all but the last", 0, four, {false, true, 1, 5, t250}, {1, 2, 3}},
        {"smaller than the target", 0, four, {false, true, 1, 10, t250}, {1, 2}},
        {"larger than the target", 0, four, {false, true, 1, 11, t250}, {3, 4}},
        {"all four", 0, four, {false, true, 1, 13, t250}, {1, 2, 3, 4}},
        // 300 and 340 are both 20 from 320: the larger is kept.
        {"all but the closest", 0, closest, {false, true, 1, 12, t320}, {1, 3}},
        {"the same reversed", 0, {image(340), image(300)}, {false, true, 1, 12, t320}, {2}},
        {"no image is closest", 0, {"x", "y"}, {false, true, 1, 12, t320}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SongArtwork artwork(int(c.images.size()), c.downloaded, c.images);
        EXPECT_EQ(ChooseArtworkToDelete(artwork, c.rule), c.expected);
    }
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
