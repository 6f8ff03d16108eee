// MP4 tags at the level of atoms. Items that TagLib does not understand are
// found by the engine's own atom walk and never lost by a write without
// notice. The movie atom is rewritten where it lies with a new cover list:
// built from atoms laid out here, so that every place padding can be found,
// 64-bit sizes and damaged or fragmented files are covered without depending
// on what an encoder happens to write.

#include "musiclibrary/AudioFileIO.h"
#include "musiclibrary/ITunes.h"
#include "musiclibrary/tagio/ByteOrder.h"
#include "musiclibrary/tagio/Mp4ItemAtoms.h"
#include "tests/common/TestFiles.h"
#include "tests/musiclibrary/AudioFileTestFiles.h"
#include "tests/musiclibrary/LibraryTestSupport.h"

#include <gtest/gtest.h>

#include <optional>
#include <tuple>

using namespace Qt::StringLiterals;
using namespace musiclibrary;
using namespace testing_support;
using namespace musiclibrary::tagio;

namespace {

// An MP4 atom: its size (in 64 bits after the name when wide), name, payload.
QByteArray mp4Atom(const QByteArray& name, const QByteArray& payload, bool wide = false) {
    if (wide)
        return bigEndianBytes(1, 4) + name + bigEndianBytes(quint64(16 + payload.size()), 8) +
               payload;
    return bigEndianBytes(quint64(8 + payload.size()), 4) + name + payload;
}

// A data atom of the given type holding value, as in an MP4 tag item.
QByteArray mp4DataAtom(quint32 type, const QByteArray& value) {
    return mp4Atom("data", bigEndianBytes(type, 4) + bigEndianBytes(0, 4) + value);
}

// The names of the items in an MP4 file's tag, by the engine's own atom walk.
std::optional<QStringList> mp4ItemNamesIn(const QByteArray& file) {
    return mp4ItemNames(file.size(),
                        [&file](qint64 offset, qint64 length) { return file.mid(offset, length); });
}

QByteArray freeformItem(const QByteArray& name) {
    return mp4Atom("----", mp4Atom("mean", bigEndianBytes(0, 4) + "com.apple.iTunes") +
                               mp4Atom("name", bigEndianBytes(0, 4) + name) +
                               mp4DataAtom(1, "calm"));
}

// An item of a name TagLib does not know, holding binary data: TagLib skips
// it when reading and so would drop it when saving.
const QByteArray Unknown = mp4Atom("zzzz", mp4DataAtom(0, "\x01\x02"_ba));

// Where each atom on the way to the item list starts, outermost first.
QList<qsizetype> pathToItemList(const QByteArray& file) {
    QList<qsizetype> starts;
    qsizetype begin = 0;
    qsizetype end = file.size();
    const QList<std::pair<QByteArray, int>> steps{
        {"moov", 0}, {"udta", 0}, {"meta", 4}, {"ilst", 0}};
    for (const auto& [name, skip] : steps) {
        qsizetype pos = begin;
        while (pos + 8 <= end && file.mid(pos + 4, 4) != name)
            pos += tagio::bigEndian(file, pos, 4);
        if (pos + 8 > end)
            return {};
        starts.append(pos);
        begin = pos + 8 + skip;
        end = pos + tagio::bigEndian(file, pos, 4);
    }
    return starts;
}

// seed.m4a with items added at the end of its item list, every size on the
// way grown to match. The item list is the last thing in the seed, after the
// audio, so no chunk offset moves.
QByteArray seedWithItems(const QByteArray& items) {
    QByteArray file = readFile(seedPath(u"seed.m4a"_s));
    const QList<qsizetype> path = pathToItemList(file);
    if (path.size() != 4)
        return {};
    const qsizetype ilstEnd = path.last() + tagio::bigEndian(file, path.last(), 4);
    file.insert(ilstEnd, items);
    for (qsizetype start : path)
        file.replace(start, 4,
                     bigEndianBytes(tagio::bigEndian(file, start, 4) + quint64(items.size()), 4));
    return file;
}

// A damaged item list, or an item TagLib drops when it saves ("zzzz" with
// binary data): the write is refused and the file left as it was.
TEST(Mp4ItemAtoms, AWriteThatWouldLoseOrMisreadItemsIsRefused) {
    // The file, and whether its item list is intact.
    const QList<std::tuple<const char*, QByteArray, bool>> files{
        // A size reaching past the item list (and the file), a size smaller
        // than the header itself (which would never advance), a freeform
        // part reaching past its item.
        {"item past its parent",
         seedWithItems(bigEndianBytes(4000, 4) + "zzzz" + QByteArray(8, '\0')), false},
        {"item smaller than its header",
         seedWithItems(bigEndianBytes(4, 4) + "zzzz" + QByteArray(8, '\0')), false},
        {"freeform part past its item",
         seedWithItems(mp4Atom("----", bigEndianBytes(500, 4) + "mean")), false},
        {"item TagLib drops", seedWithItems(freeformItem("MOOD") + Unknown), true}};
    for (const auto& [name, bytes, intact] : files) {
        SCOPED_TRACE(name);
        ASSERT_FALSE(bytes.isEmpty());
        EXPECT_EQ(mp4ItemNamesIn(bytes).has_value(), intact);
        TempFolder folder;
        const QString path = folder.file(u"items.m4a"_s);
        writeFile(path, bytes);
        const LibraryError error =
            libraryErrorOf([&] { appendPicture(path, seedBytes("cover-75.jpg")); });
        EXPECT_NE(error.number(), 0) << "the write went through";
        if (intact) {
            // The walk names every item, the ones TagLib skips too.
            QStringList names{u"\u00a9nam"_s, u"\u00a9too"_s, u"----:com.apple.iTunes:MOOD"_s,
                              u"zzzz"_s};
            names.sort();
            EXPECT_EQ(mp4ItemNamesIn(bytes), names);
            EXPECT_EQ(error.number(), LibraryError::WriteFailed);
            EXPECT_TRUE(error.description().contains(u"would be lost"_s))
                << error.description().toStdString();
        }
        EXPECT_EQ(readFile(path), bytes);
        EXPECT_TRUE(leftoverCopies(folder.path()).isEmpty());
    }
}

// A freeform item TagLib understands is kept by the write, and the picture
// comes and goes around it.
TEST(Mp4ItemAtoms, FreeformItemsSurviveAddingAndRemovingArtwork) {
    const QByteArray bytes = seedWithItems(freeformItem("MOOD") + freeformItem("LABEL"));
    TempFolder folder;
    const QString path = folder.file(u"free.m4a"_s);
    writeFile(path, bytes);
    appendPicture(path, seedBytes("cover-75.jpg"));
    EXPECT_TRUE(mp4ItemNamesIn(readFile(path))->contains(u"covr"_s));
    removePicture(path, 0);
    EXPECT_EQ(mp4ItemNamesIn(readFile(path)), mp4ItemNamesIn(bytes));
}

QByteArray padding(qint64 size, const QByteArray& name = "free") {
    return mp4Atom(name, QByteArray(size - 8, '\0'));
}

QByteArray cover(char fill, int size, quint32 type = 13) {
    return mp4CoverEntry(type, QByteArray(size, fill));
}

// Where padding goes, and what the file looks like around its movie atom.
struct Layout {
    const char* name = "";
    QByteArray items = {};      // the item list's children
    QByteArray beforeList = {}; // in meta, before the item list
    QByteArray inMeta = {};     // after the item list
    QByteArray inUdta = {};     // after meta
    QByteArray inMoov = {};     // after udta
    QByteArray afterMoov = {};  // top level, right after the movie atom
    bool moovFirst = true;      // before the media data
    bool wide = false;          // 64-bit sizes on the way to the item list
};

// The offsets of the audio chunks point into the media data; the test
// reads them back to see that they still do.
QByteArray movieFile(const Layout& layout) {
    const QByteArray ftyp = mp4Atom("ftyp", "M4A \0\0\0\0M4A mp42"_ba);
    const QByteArray mdat = mp4Atom("mdat", QByteArray(4000, 'A'));
    const QByteArray ilst = mp4Atom("ilst", layout.items, layout.wide);
    const QByteArray meta =
        mp4Atom("meta", bigEndianBytes(0, 4) + mp4Atom("hdlr", QByteArray(25, '\0')) +
                            layout.beforeList + ilst + layout.inMeta);
    const QByteArray udta = mp4Atom("udta", meta + layout.inUdta, layout.wide);
    const auto moovWith = [&](quint32 chunk) {
        const QByteArray stco =
            mp4Atom("stco", bigEndianBytes(0, 4) + bigEndianBytes(1, 4) + bigEndianBytes(chunk, 4));
        const QByteArray trak =
            mp4Atom("trak", mp4Atom("mdia", mp4Atom("minf", mp4Atom("stbl", stco))));
        return mp4Atom("moov", mp4Atom("mvhd", QByteArray(100, '\0')) + trak + udta + layout.inMoov,
                       layout.wide);
    };
    const qint64 moovSize = moovWith(0).size();
    if (layout.moovFirst) {
        const qint64 mdatAt = ftyp.size() + moovSize + layout.afterMoov.size();
        return ftyp + moovWith(quint32(mdatAt + 8)) + layout.afterMoov + mdat;
    }
    return ftyp + mdat + moovWith(quint32(ftyp.size() + 8)) + layout.afterMoov;
}

std::optional<Mp4MovieTag> tagOf(const QByteArray& file) {
    return mp4MovieTag(file.size(),
                       [&file](qint64 offset, qint64 length) { return file.mid(offset, length); });
}

// The file with its movie atom rewritten to hold covers; empty when it did
// not fit.
QByteArray withCovers(const QByteArray& file, const QList<QByteArray>& covers) {
    const auto tag = tagOf(file);
    if (!tag)
        return {};
    const auto region = mp4MovieWithCovers(*tag, covers);
    if (!region)
        return {};
    QByteArray written = file;
    written.replace(tag->moov.offset, region->size(), *region);
    return written;
}

QStringList withoutCovers(QStringList names) {
    names.removeAll(u"covr"_s);
    return names;
}

const QByteArray Title = mp4Atom("\xa9nam", mp4DataAtom(1, "Tone"));
const QByteArray Tool = mp4Atom("\xa9too", mp4DataAtom(1, "Lavf"));

struct Change {
    const char* name;
    QList<QByteArray> before;
    QList<QByteArray> after;
};

const QList<Change> Changes{
    {"Add", {}, {cover('a', 700)}},
    {"AddSecond", {cover('a', 700)}, {cover('a', 700), cover('b', 300, 14)}},
    {"Replace", {cover('a', 700)}, {cover('c', 1200)}},
    {"RemoveAll", {cover('a', 700), cover('b', 300)}, {}},
};

QByteArray coverList(const QList<QByteArray>& covers) {
    QByteArray list;
    for (const QByteArray& entry : covers)
        list += entry;
    return covers.isEmpty() ? QByteArray() : mp4Atom("covr", list);
}

const QList<Layout> RoomyLayouts{
    {.name = "FreeInMetaAfterItems", .inMeta = padding(4096)},
    {.name = "SkipInMetaAfterItems", .inMeta = padding(4096, "skip")},
    {.name = "FreeInUserData", .inUdta = padding(4096)},
    {.name = "FreeInMovie", .inMoov = padding(4096)},
    {.name = "FreeAfterMovie", .afterMoov = padding(4096)},
    {.name = "FreeAfterMovieAtTheEnd", .afterMoov = padding(4096), .moovFirst = false},
    {.name = "MovieAfterMediaData", .inMeta = padding(4096), .moovFirst = false},
    {.name = "WideSizes", .inMeta = padding(4096), .wide = true},
    {.name = "WideSizesFreeAfterMovie", .afterMoov = padding(4096), .wide = true},
};

class Mp4MovieRewrite : public ::testing::TestWithParam<std::tuple<Layout, Change>> {};

// Every other item byte for byte, the covers as intended, the media data
// and the chunk offset where they were, and the file exactly as long.
TEST_P(Mp4MovieRewrite, HoldsTheNewCoversAndMovesNothingElse) {
    Layout layout = std::get<0>(GetParam());
    const Change& change = std::get<1>(GetParam());
    layout.items = Title + coverList(change.before) + Unknown + Tool;
    const QByteArray file = movieFile(layout);
    const auto before = tagOf(file);
    ASSERT_TRUE(before);
    EXPECT_EQ(before->covers, change.before);
    ASSERT_EQ(before->room.size(), 1);

    const QByteArray written = withCovers(file, change.after);
    ASSERT_EQ(written.size(), file.size());
    const auto after = tagOf(written);
    ASSERT_TRUE(after) << "every size on the way still adds up";
    EXPECT_EQ(after->covers, change.after);
    EXPECT_EQ(after->moov.offset, before->moov.offset);
    EXPECT_EQ(withoutCovers(*mp4ItemNamesIn(written)), withoutCovers(*mp4ItemNamesIn(file)));
    // The items besides the covers keep their order and bytes.
    const qsizetype titleAt = written.indexOf(Title);
    EXPECT_GE(titleAt, 0);
    EXPECT_GE(written.indexOf(Unknown), titleAt);
    EXPECT_GT(written.indexOf(Tool), written.indexOf(Unknown));
    // The media data and the bytes before the movie atom are untouched.
    const qsizetype mdat = file.indexOf("mdat") - 4;
    EXPECT_EQ(written.indexOf("mdat") - 4, mdat);
    EXPECT_EQ(written.mid(mdat, 4008), file.mid(mdat, 4008));
    EXPECT_EQ(written.left(before->moov.offset), file.left(before->moov.offset));
    const qsizetype stco = file.indexOf("stco");
    EXPECT_EQ(written.mid(stco, 16), file.mid(stco, 16));
    // The padding took up the difference and can take the next change.
    ASSERT_EQ(after->room.size(), 1);
    EXPECT_EQ(after->room[0].parent, before->room[0].parent);
    // A cover list that went comes back at the end of the item list.
    if (!change.after.isEmpty() || change.before.isEmpty()) {
        EXPECT_EQ(withCovers(written, change.before), file) << "changing back gives the same file";
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, Mp4MovieRewrite,
                         ::testing::Combine(::testing::ValuesIn(RoomyLayouts),
                                            ::testing::ValuesIn(Changes)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    std::get<1>(info.param).name;
                         });

// With padding in several places, a change goes where it fits.
TEST(Mp4MovieTag, TakesPaddingThatFitsWhereverItIs) {
    const QByteArray file = movieFile({.items = Title,
                                       .inMeta = padding(100),
                                       .inUdta = padding(3000),
                                       .afterMoov = padding(9000)});
    // 36 bytes fit in meta's padding, 2000 only in udta's, 5000 only after moov.
    for (int size : {60 - 24, 2000, 5000}) {
        SCOPED_TRACE(size);
        const QByteArray written = withCovers(file, {cover('x', size)});
        ASSERT_EQ(written.size(), file.size());
        const auto after = tagOf(written);
        ASSERT_TRUE(after);
        EXPECT_EQ(after->covers, QList<QByteArray>{cover('x', size)});
        EXPECT_EQ(after->room.size(), 3);
    }
    EXPECT_TRUE(withCovers(file, {cover('x', 20000)}).isEmpty()) << "too large for any";
}

// Padding cannot be left smaller than an atom header; used up exactly, it
// goes.
TEST(Mp4MovieTag, PaddingIsUsedUpWholeOrLeftAtLeastAHeader) {
    const QByteArray file = movieFile({.items = Title, .inMeta = padding(1000)});
    const qint64 exact = 1000 - 8 - 16; // the covr header and one entry's header
    const QByteArray full = withCovers(file, {cover('x', int(exact))});
    ASSERT_EQ(full.size(), file.size());
    const auto tag = tagOf(full);
    ASSERT_TRUE(tag);
    EXPECT_TRUE(tag->room.isEmpty());
    EXPECT_EQ(tag->covers.size(), 1);
    for (int over = 1; over < 8; ++over)
        EXPECT_TRUE(withCovers(file, {cover('x', int(exact - over))}).isEmpty()) << over;
    EXPECT_FALSE(withCovers(file, {cover('x', int(exact - 8))}).isEmpty());
}

// Nothing to rewrite in place: the file is written anew or refused by the
// general path, never guessed at.
TEST(Mp4MovieTag, RefusesWhatItDoesNotUnderstand) {
    const QByteArray roomy = movieFile({.items = Title, .inMeta = padding(500)});
    // A movie atom after the media data, ending the file.
    const QByteArray atEnd =
        movieFile({.items = Title, .inMeta = padding(500), .moovFirst = false});
    const qsizetype moovAtEnd = atEnd.indexOf("moov") - 4;
    const QList<std::pair<const char*, QByteArray>> files{
        {"no room", movieFile({.items = Title})},
        {"padding before the items", movieFile({.items = Title, .beforeList = padding(500)})},
        {"no user data", QByteArray(roomy).replace(roomy.indexOf("udta"), 4, "xxxx")},
        {"fragmented", roomy + mp4Atom("moof", QByteArray(40, '\0'))},
        {"movie extends", movieFile({.items = Title,
                                     .inMeta = padding(500),
                                     .inMoov = mp4Atom("mvex", QByteArray(32, '\0'))})},
        {"two cover lists",
         movieFile({.items = Title + coverList({cover('a', 10)}) + coverList({cover('b', 10)}),
                    .inMeta = padding(500)})},
        {"cover entry of another kind",
         movieFile(
             {.items = Title + mp4Atom("covr", mp4Atom("name", "x")), .inMeta = padding(500)})},
        {"cover entry of an unknown type",
         movieFile({.items = Title + coverList({cover('a', 10, 99)}), .inMeta = padding(500)})},
        {"item past its list",
         QByteArray(roomy).replace(roomy.indexOf(Title), 4, bigEndianBytes(3000, 4))},
        {"movie past the file", atEnd.left(atEnd.size() - 4)},
        {"movie to the end", QByteArray(atEnd).replace(moovAtEnd, 4, bigEndianBytes(0, 4))},
        {"two movies", atEnd + atEnd.mid(moovAtEnd)}};
    for (const auto& [name, file] : files) {
        SCOPED_TRACE(name);
        ASSERT_FALSE(file.isEmpty());
        const auto tag = tagOf(file);
        EXPECT_TRUE(!tag || !mp4MovieWithCovers(*tag, {cover('x', 10)}));
    }
}

} // namespace
