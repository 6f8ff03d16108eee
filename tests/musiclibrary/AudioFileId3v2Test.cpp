// What an ID3v2 write must keep: the tag's version, the other frames, the
// ID3v1 tag's absence, the RIFF INFO chunk; and the raw frame walk that
// decides whether a tag may be saved at all.

#include "musiclibrary/AudioFileIO.h"
#include "musiclibrary/ITunes.h"
#include "musiclibrary/tagio/Id3v2FrameWalk.h"
#include "tests/common/TestFiles.h"
#include "tests/musiclibrary/AudioFileTestFiles.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace musiclibrary;
using namespace testing_support;

namespace {

QByteArray jpeg() {
    return readFile(seedPath(u"cover-200.jpg"_s));
}

QByteArray threeTextFrames(int version) {
    if (version == 2)
        return id3v2TextFrame(2, "TT2", "Title") + id3v2TextFrame(2, "TP1", "Artist") +
               id3v2TextFrame(2, "TAL", "Album");
    return id3v2TextFrame(version, "TIT2", "Title") + id3v2TextFrame(version, "TPE1", "Artist") +
           id3v2TextFrame(version, "TALB", "Album");
}

class Id3v2Versions : public ::testing::TestWithParam<int> {};

TEST_P(Id3v2Versions, AnExistingTagKeepsV24OrBecomesV23) {
    const int version = GetParam();
    TempFolder folder;
    const QString path = folder.file(u"a.mp3"_s);
    writeFile(path, id3v2Tag(version, threeTextFrames(version), 64) + mpegAudioOfSeed());

    appendPicture(path, jpeg());
    const QByteArray after = readFile(path);
    EXPECT_EQ(after.at(3), version == 4 ? 4 : 3);
    const AudioFileFacts facts = readAudioFileFacts(path);
    EXPECT_EQ(facts.title, u"Title"_s);
    EXPECT_EQ(facts.artist, u"Artist"_s);
    EXPECT_EQ(facts.album, u"Album"_s);
    ASSERT_EQ(readPictures(path).size(), 1);
    EXPECT_EQ(readPictures(path).at(0).data, jpeg());
    EXPECT_TRUE(after.endsWith(mpegAudioOfSeed())) << "the audio must stay as it was";
}

INSTANTIATE_TEST_SUITE_P(Versions, Id3v2Versions, ::testing::Values(2, 3, 4));

TEST(AudioFileId3v2, ANewTagIsV23AndNoId3v1TagAppears) {
    TempFolder folder;
    const QString path = folder.file(u"bare.mp3"_s);
    writeFile(path, mpegAudioOfSeed());
    appendPicture(path, jpeg());
    const QByteArray after = readFile(path);
    ASSERT_TRUE(after.startsWith("ID3"));
    EXPECT_EQ(after.at(3), 3);
    EXPECT_FALSE(after.right(128).startsWith("TAG"));
    EXPECT_TRUE(after.endsWith(mpegAudioOfSeed()));
}

TEST(AudioFileId3v2, AnExistingId3v1TagStays) {
    TempFolder folder;
    const QString path = folder.file(u"v1.mp3"_s);
    QByteArray v1 =
        QByteArray("TAG") + QByteArray("Old title").leftJustified(30, '\0') + QByteArray(94, '\0');
    v1[127] = char(255);
    writeFile(path, readFile(seedPath(u"seed.mp3"_s)) + v1);
    appendPicture(path, jpeg());
    EXPECT_TRUE(readFile(path).endsWith(v1));
}

TEST(AudioFileId3v2, RiffFilesKeepTheirTagVersionAndTheirOtherChunks) {
    TempFolder folder;
    for (const QString& seed : {u"seed.wav"_s, u"seed.aiff"_s}) {
        const QString path = folder.copySeed(seed, seed);
        // The WAV seed has no ID3 chunk, the AIFF seed one of v2.4.
        const bool hadV24 = readFile(path).contains("ID3\x04");
        appendPicture(path, jpeg());
        const QByteArray after = readFile(path);
        EXPECT_GT(after.indexOf(hadV24 ? "ID3\x04" : "ID3\x03"), 0) << seed.toStdString();
        if (seed.endsWith(u"wav"_s))
            EXPECT_TRUE(after.contains("INFOINAM")) << "the LIST/INFO chunk must stay";
        else
            EXPECT_TRUE(after.contains("NAME")) << "the NAME chunk must stay";
    }
}

TEST(AudioFileId3v2, OtherFramesSurviveAddingAndRemoving) {
    TempFolder folder;
    const QString path = folder.file(u"frames.mp3"_s);
    const QByteArray frames = threeTextFrames(3) + id3v2TextFrame(3, "TCON", "Jazz") +
                              id3v2Frame(3, "COMM", QByteArray("\0eng\0A comment", 14)) +
                              id3v2Frame(3, "PRIV", "owner\0data");
    writeFile(path, id3v2Tag(3, frames, 16) + mpegAudioOfSeed());
    appendPicture(path, jpeg());
    removePicture(path, 0);
    const QByteArray after = readFile(path);
    for (const char* id : {"TIT2", "TPE1", "TALB", "TCON", "COMM", "PRIV"})
        EXPECT_TRUE(after.contains(id)) << id;
    EXPECT_FALSE(after.contains("APIC"));
}

// A damaged tag that TagLib would cut short on saving is refused whole.
struct DamagedTag {
    const char* name;
    QByteArray frames;
};

std::ostream& operator<<(std::ostream& out, const DamagedTag& tag) {
    return out << tag.name;
}

class Id3v2DamagedTags : public ::testing::TestWithParam<DamagedTag> {};

TEST_P(Id3v2DamagedTags, AreRefusedAndLeftByteForByte) {
    TempFolder folder;
    const QString path = folder.file(u"damaged.mp3"_s);
    writeFile(path, id3v2Tag(3, GetParam().frames, 32) + mpegAudioOfSeed());
    const QByteArray before = readFile(path);
    try {
        appendPicture(path, jpeg());
        ADD_FAILURE() << "a damaged tag was saved";
    } catch (const LibraryError& error) {
        EXPECT_EQ(error.number(), LibraryError::Unreadable);
        EXPECT_TRUE(error.description().startsWith(u"Cannot add artwork to \""_s + path));
    }
    EXPECT_EQ(readFile(path), before);
    EXPECT_TRUE(leftoverCopies(folder.path()).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Tags, Id3v2DamagedTags,
    ::testing::Values(DamagedTag{"ZeroSizeFrameBeforePictureAndTitle",
                                 id3v2Frame(3, "MCDI", {}) +
                                     id3v2Frame(3, "APIC", "\0image/jpeg\0\x03\0abc") +
                                     threeTextFrames(3)},
                      DamagedTag{"ZeroSizeFrameAfterTitle", id3v2TextFrame(3, "TIT2", "T") +
                                                                id3v2Frame(3, "MCDI", {}) +
                                                                id3v2TextFrame(3, "TPE1", "A")},
                      DamagedTag{"InvalidFrameId", id3v2TextFrame(3, "TIT2", "T") +
                                                       id3v2TextFrame(3, "ti*2", "x") +
                                                       id3v2TextFrame(3, "TPE1", "A")}),
    [](const auto& info) { return std::string(info.param.name); });

// The walk itself, on tags built byte by byte.
TEST(Id3v2FrameWalk, ReadsSizesOfEveryVersion) {
    using tagio::walkId3v2Tag;
    for (int version : {2, 3, 4}) {
        const QByteArray frames = threeTextFrames(version);
        const tagio::Id3v2Walk walk = walkId3v2Tag(id3v2Tag(version, frames, 20));
        EXPECT_TRUE(walk.intact()) << version << walk.problem.toStdString();
        EXPECT_EQ(walk.frames, 3);
        EXPECT_EQ(walk.majorVersion, version);
        EXPECT_EQ(walk.completeSize, 10 + frames.size() + 20);
    }
}

TEST(Id3v2FrameWalk, V24SizesAreSyncSafe) {
    // 200 bytes: sync-safe 0x00 0x00 0x01 0x48; the v2.3 reading would be 328.
    const QByteArray frame = id3v2TextFrame(4, "TIT2", QByteArray(199, 'x'));
    ASSERT_EQ(frame.mid(4, 4), QByteArray::fromHex("00000148"));
    const tagio::Id3v2Walk walk = tagio::walkId3v2Tag(id3v2Tag(4, frame + frame));
    EXPECT_TRUE(walk.intact()) << walk.problem.toStdString();
    EXPECT_EQ(walk.frames, 2);
}

TEST(Id3v2FrameWalk, HandlesExtendedHeaderFooterAndUnsynchronisation) {
    using tagio::walkId3v2Tag;
    // v2.3 extended header: size 6 (not counting itself), flags, padding size.
    const QByteArray extended = QByteArray::fromHex("00000006") + QByteArray(6, '\0');
    tagio::Id3v2Walk walk = walkId3v2Tag(id3v2Tag(3, extended + threeTextFrames(3), 0, 0x40));
    EXPECT_TRUE(walk.intact()) << walk.problem.toStdString();
    EXPECT_EQ(walk.frames, 3);

    // v2.4 footer: ten more bytes after the frames.
    QByteArray withFooter = id3v2Tag(4, threeTextFrames(4), 0, 0x10);
    withFooter += "3DI" + withFooter.mid(3, 7);
    walk = walkId3v2Tag(withFooter);
    EXPECT_TRUE(walk.intact());
    EXPECT_EQ(walk.completeSize, withFooter.size());

    // v2.3 unsynchronisation: FF 00 in a frame counts as one byte.
    const QByteArray stuffed = QByteArray("TIT2") + QByteArray::fromHex("00000003") +
                               QByteArray(2, '\0') + QByteArray::fromHex("00ff0041");
    walk = walkId3v2Tag(id3v2Tag(3, stuffed + threeTextFrames(3), 0, 0x80));
    EXPECT_TRUE(walk.intact()) << walk.problem.toStdString();
    EXPECT_EQ(walk.frames, 4);
}

TEST(Id3v2FrameWalk, FindsWhatWouldBeLost) {
    using tagio::walkId3v2Tag;
    const QByteArray good = id3v2Tag(3, threeTextFrames(3), 8);
    EXPECT_FALSE(walkId3v2Tag(good.left(good.size() - 4)).intact()) << "cut off by the file end";
    EXPECT_FALSE(walkId3v2Tag(good.left(10) + QByteArray(5, 'x')).intact());

    QByteArray overlong = id3v2Tag(3, id3v2TextFrame(3, "TIT2", "T"));
    overlong[17] = char(0x7F); // the frame claims more than the tag holds
    EXPECT_FALSE(walkId3v2Tag(overlong).intact());

    QByteArray badSize = good;
    badSize[6] = char(0x80); // a tag size that is not sync-safe
    EXPECT_FALSE(walkId3v2Tag(badSize).intact());

    QByteArray unknownVersion = good;
    unknownVersion[3] = 5;
    EXPECT_FALSE(walkId3v2Tag(unknownVersion).intact());

    EXPECT_FALSE(walkId3v2Tag("ID3").present);
    EXPECT_FALSE(walkId3v2Tag(QByteArray(64, '\xFF')).present);
}

TEST(Id3v2FrameWalk, CountsDateFramesThatTagLibMerges) {
    const QByteArray frames = id3v2TextFrame(3, "TYER", "2001") +
                              id3v2TextFrame(3, "TDAT", "0102") + id3v2TextFrame(3, "TIME", "1200");
    const tagio::Id3v2Walk walk = tagio::walkId3v2Tag(id3v2Tag(3, frames));
    EXPECT_EQ(walk.frames, 3);
    EXPECT_EQ(walk.mergedOnRead, 2);
}

} // namespace
