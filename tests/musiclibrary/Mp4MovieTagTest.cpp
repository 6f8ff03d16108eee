// The movie atom of an MP4 file rewritten where it lies with a new cover
// list: built from atoms laid out here, so that every place padding can be
// found, 64-bit sizes and damaged or fragmented files are covered without
// depending on what an encoder happens to write.

#include "musiclibrary/tagio/ByteOrder.h"
#include "musiclibrary/tagio/Mp4ItemAtoms.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <optional>

using namespace Qt::StringLiterals;
using namespace musiclibrary::tagio;

namespace {

// A size or count, most significant byte first, in 4 or 8 bytes.
QByteArray be(quint64 value, int bytes) {
    QByteArray out;
    if (bytes == 8)
        appendBigEndian(out, quint32(value >> 32), 4);
    appendBigEndian(out, quint32(value), 4);
    return out;
}

QByteArray atom(const QByteArray& name, const QByteArray& payload, bool wide = false) {
    if (wide)
        return be(1, 4) + name + be(quint64(16 + payload.size()), 8) + payload;
    return be(quint64(8 + payload.size()), 4) + name + payload;
}

QByteArray padding(qint64 size, const QByteArray& name = "free") {
    return atom(name, QByteArray(size - 8, '\0'));
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
    const QByteArray ftyp = atom("ftyp", "M4A \0\0\0\0M4A mp42"_ba);
    const QByteArray mdat = atom("mdat", QByteArray(4000, 'A'));
    const QByteArray ilst = atom("ilst", layout.items, layout.wide);
    const QByteArray meta = atom("meta", be(0, 4) + atom("hdlr", QByteArray(25, '\0')) +
                                             layout.beforeList + ilst + layout.inMeta);
    const QByteArray udta = atom("udta", meta + layout.inUdta, layout.wide);
    const auto moovWith = [&](quint32 chunk) {
        const QByteArray stco = atom("stco", be(0, 4) + be(1, 4) + be(chunk, 4));
        const QByteArray trak = atom("trak", atom("mdia", atom("minf", atom("stbl", stco))));
        return atom("moov", atom("mvhd", QByteArray(100, '\0')) + trak + udta + layout.inMoov,
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

std::optional<QStringList> itemNames(const QByteArray& file) {
    return mp4ItemNames(file.size(),
                        [&file](qint64 offset, qint64 length) { return file.mid(offset, length); });
}

QStringList withoutCovers(QStringList names) {
    names.removeAll(u"covr"_s);
    return names;
}

const QByteArray Title = atom("\xa9nam", atom("data", be(1, 4) + be(0, 4) + "Tone"));
const QByteArray Tool = atom("\xa9too", atom("data", be(1, 4) + be(0, 4) + "Lavf"));
const QByteArray Unknown = atom("zzzz", atom("data", be(0, 4) + be(0, 4) + "\x01\x02"_ba));

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
    return covers.isEmpty() ? QByteArray() : atom("covr", list);
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
    EXPECT_EQ(withoutCovers(*itemNames(written)), withoutCovers(*itemNames(file)));
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
    EXPECT_EQ(written.indexOf("stco"), file.indexOf("stco"));
    EXPECT_EQ(written.mid(written.indexOf("stco"), 16), file.mid(file.indexOf("stco"), 16));
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

TEST(Mp4MovieTag, TakesTheInnermostPaddingThatFits) {
    const QByteArray file = movieFile({.items = Title,
                                       .inMeta = padding(100),
                                       .inUdta = padding(3000),
                                       .afterMoov = padding(9000)});
    const auto tag = tagOf(file);
    ASSERT_TRUE(tag);
    ASSERT_EQ(tag->room.size(), 3);
    EXPECT_EQ(tag->room[0].parent, 2);
    EXPECT_EQ(tag->room[1].parent, 1);
    EXPECT_EQ(tag->room[2].parent, -1);

    // 60 bytes fit in meta's padding; 2000 only in udta's; 5000 only after moov.
    for (const auto& [size, parent] : {std::pair{60 - 24, 2}, {2000, 1}, {5000, -1}}) {
        SCOPED_TRACE(size);
        const QByteArray written = withCovers(file, {cover('x', size)});
        ASSERT_EQ(written.size(), file.size());
        const auto after = tagOf(written);
        ASSERT_TRUE(after);
        for (const Mp4MovieTag::Room& room : after->room) {
            const qint64 length = room.box.end - room.box.offset;
            const auto old =
                std::find_if(tag->room.begin(), tag->room.end(),
                             [&room](const auto& r) { return r.parent == room.parent; });
            ASSERT_NE(old, tag->room.end());
            EXPECT_EQ(length != old->box.end - old->box.offset, room.parent == parent);
        }
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

struct Refused {
    const char* name;
    QByteArray (*make)();
};

class Mp4MovieTagRefuses : public ::testing::TestWithParam<Refused> {};

// Nothing to rewrite in place: the file is written anew or refused by the
// general path, never guessed at.
TEST_P(Mp4MovieTagRefuses, WhatItDoesNotUnderstand) {
    const QByteArray file = GetParam().make();
    ASSERT_FALSE(file.isEmpty());
    const auto tag = tagOf(file);
    EXPECT_TRUE(!tag || !mp4MovieWithCovers(*tag, {cover('x', 10)}));
}

QByteArray replaced(QByteArray file, const QByteArray& from, const QByteArray& to) {
    const qsizetype at = file.indexOf(from);
    if (at < 0)
        return {};
    return file.replace(at, from.size(), to);
}

// A movie atom after the media data, ending the file.
QByteArray atEnd() {
    return movieFile({.items = Title, .inMeta = padding(500), .moovFirst = false});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Mp4MovieTagRefuses,
    ::testing::Values(
        Refused{"NoRoom", [] { return movieFile({.items = Title}); }},
        Refused{"PaddingBeforeTheItems",
                [] { return movieFile({.items = Title, .beforeList = padding(500)}); }},
        Refused{"NoUserData",
                [] {
                    return replaced(movieFile({.items = Title, .inMeta = padding(500)}), "udta",
                                    "xxxx");
                }},
        Refused{"Fragmented",
                []() -> QByteArray {
                    return movieFile({.items = Title, .inMeta = padding(500)}) +
                           atom("moof", QByteArray(40, '\0'));
                }},
        Refused{"MovieExtends",
                [] {
                    return movieFile({.items = Title,
                                      .inMeta = padding(500),
                                      .inMoov = atom("mvex", QByteArray(32, '\0'))});
                }},
        Refused{"TwoCoverLists",
                [] {
                    return movieFile(
                        {.items = Title + coverList({cover('a', 10)}) + coverList({cover('b', 10)}),
                         .inMeta = padding(500)});
                }},
        Refused{"CoverEntryOfAnotherKind",
                [] {
                    return movieFile(
                        {.items = Title + atom("covr", atom("name", "x")), .inMeta = padding(500)});
                }},
        Refused{"CoverEntryOfAnUnknownType",
                [] {
                    return movieFile(
                        {.items = Title + coverList({cover('a', 10, 99)}), .inMeta = padding(500)});
                }},
        Refused{"ItemPastItsList",
                [] {
                    return replaced(movieFile({.items = Title, .inMeta = padding(500)}), Title,
                                    be(3000, 4) + Title.mid(4));
                }},
        Refused{"MoviePastTheFile",
                [] {
                    const QByteArray file = atEnd();
                    return file.left(file.size() - 4);
                }},
        Refused{"MovieToTheEnd",
                [] {
                    QByteArray file = atEnd();
                    return file.replace(file.indexOf("moov") - 4, 4, be(0, 4));
                }},
        Refused{"TwoMovies",
                []() -> QByteArray {
                    const QByteArray file = atEnd();
                    return file + file.mid(file.indexOf("moov") - 4);
                }}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
