// MP4 tag items that TagLib does not understand: found by the engine's own
// atom walk, and never lost by a write without notice.

#include "musiclibrary/tagio/Mp4ItemAtoms.h"
#include "musiclibrary/AudioFileIO.h"
#include "musiclibrary/ITunes.h"
#include "tests/common/TestFiles.h"
#include "tests/musiclibrary/AudioFileTestFiles.h"

#include <gtest/gtest.h>

#include <optional>

using namespace Qt::StringLiterals;
using namespace musiclibrary;
using namespace musiclibrary::tagio;
using namespace testing_support;

namespace {

QByteArray bigEndian32(quint32 value) {
    QByteArray out;
    for (int i = 3; i >= 0; --i)
        out.append(char((value >> (8 * i)) & 0xFF));
    return out;
}

QByteArray atom(const QByteArray& name, const QByteArray& payload) {
    return bigEndian32(static_cast<quint32>(8 + payload.size())) + name + payload;
}

QByteArray dataAtom(quint32 type, const QByteArray& value) {
    return atom("data", bigEndian32(type) + bigEndian32(0) + value);
}

QByteArray freeformItem(const QByteArray& name) {
    return atom("----", atom("mean", bigEndian32(0) + "com.apple.iTunes") +
                            atom("name", bigEndian32(0) + name) + dataAtom(1, "calm"));
}

// An item of a name TagLib does not know, holding binary data: TagLib skips
// it when reading and so would drop it when saving.
QByteArray unknownItem() {
    return atom("zzzz", dataAtom(0, QByteArray("\x01\x02\x03", 3)));
}

quint32 sizeAt(const QByteArray& file, qsizetype pos) {
    quint32 value = 0;
    for (int i = 0; i < 4; ++i)
        value = (value << 8) | static_cast<unsigned char>(file.at(pos + i));
    return value;
}

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
            pos += sizeAt(file, pos);
        if (pos + 8 > end)
            return {};
        starts.append(pos);
        begin = pos + 8 + skip;
        end = pos + sizeAt(file, pos);
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
    const qsizetype ilstEnd = path.last() + sizeAt(file, path.last());
    file.insert(ilstEnd, items);
    for (qsizetype start : path)
        file.replace(start, 4,
                     bigEndian32(sizeAt(file, start) + static_cast<quint32>(items.size())));
    return file;
}

std::optional<QStringList> namesIn(const QByteArray& file) {
    return mp4ItemNames(file.size(),
                        [&file](qint64 offset, qint64 length) { return file.mid(offset, length); });
}

TEST(Mp4ItemAtoms, NamesEveryItemIncludingOnesTagLibSkips) {
    const QByteArray file = seedWithItems(freeformItem("MOOD") + unknownItem());
    ASSERT_FALSE(file.isEmpty());
    const auto names = namesIn(file);
    ASSERT_TRUE(names.has_value());
    QStringList expected{u"\u00a9nam"_s, u"\u00a9too"_s, u"----:com.apple.iTunes:MOOD"_s,
                         u"zzzz"_s};
    expected.sort();
    EXPECT_EQ(*names, expected);
}

struct Damage {
    const char* name;
    QByteArray (*make)();
};

class Mp4ItemAtomsDamaged : public ::testing::TestWithParam<Damage> {};

TEST_P(Mp4ItemAtomsDamaged, IsReportedAndAWriteIsRefused) {
    const QByteArray bytes = GetParam().make();
    ASSERT_FALSE(bytes.isEmpty());
    EXPECT_FALSE(namesIn(bytes).has_value());

    TempFolder folder;
    const QString path = folder.file(u"damaged.m4a"_s);
    writeFile(path, bytes);
    EXPECT_THROW(appendPicture(path, readFile(seedPath(u"cover-75.jpg"_s))), LibraryError);
    EXPECT_EQ(readFile(path), bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Mp4ItemAtomsDamaged,
    ::testing::Values(
        // An item whose size reaches past the item list (and the file).
        Damage{"ItemPastItsParent",
               [] { return seedWithItems(bigEndian32(4000) + "zzzz" + QByteArray(8, '\0')); }},
        // A size smaller than the header itself, which would never advance.
        Damage{"ItemSmallerThanItsHeader",
               [] { return seedWithItems(bigEndian32(4) + "zzzz" + QByteArray(8, '\0')); }},
        // A freeform part whose size reaches past its item.
        Damage{"FreeformPartPastItsItem",
               [] { return seedWithItems(atom("----", bigEndian32(500) + "mean")); }}),
    [](const auto& info) { return std::string(info.param.name); });

// TagLib drops an item of a kind it does not know ("zzzz" with binary data)
// when it saves; the write must be refused and the file left as it was.
TEST(Mp4ItemAtoms, AWriteThatWouldLoseAnItemIsRefused) {
    const QByteArray bytes = seedWithItems(freeformItem("MOOD") + unknownItem());
    ASSERT_FALSE(bytes.isEmpty());
    TempFolder folder;
    const QString path = folder.file(u"items.m4a"_s);
    writeFile(path, bytes);
    try {
        appendPicture(path, readFile(seedPath(u"cover-75.jpg"_s)));
        ADD_FAILURE() << "the write went through";
    } catch (const LibraryError& error) {
        EXPECT_EQ(error.number(), LibraryError::WriteFailed);
        EXPECT_TRUE(error.description().contains(u"would be lost"_s))
            << error.description().toStdString();
    }
    EXPECT_EQ(readFile(path), bytes);
    EXPECT_TRUE(leftoverCopies(folder.path()).isEmpty());
}

// A freeform item TagLib understands is kept by the write, and the picture
// comes and goes around it.
TEST(Mp4ItemAtoms, FreeformItemsSurviveAddingAndRemovingArtwork) {
    const QByteArray bytes = seedWithItems(freeformItem("MOOD") + freeformItem("LABEL"));
    TempFolder folder;
    const QString path = folder.file(u"free.m4a"_s);
    writeFile(path, bytes);
    appendPicture(path, readFile(seedPath(u"cover-75.jpg"_s)));
    EXPECT_TRUE(namesIn(readFile(path))->contains(u"covr"_s));
    removePicture(path, 0);
    EXPECT_EQ(namesIn(readFile(path)), namesIn(bytes));
}

} // namespace
