// Reading and changing the pictures of real song files made from the seeds,
// each case for every kind that can hold pictures; what an ID3v2 write must
// keep (the tag's version, the other frames, an ID3v1 tag or its absence,
// the other chunks of a RIFF file); and the raw frame walk that decides
// whether a tag may be saved at all.

#include "musiclibrary/AudioFileIO.h"
#include "musiclibrary/ITunes.h"
#include "musiclibrary/tagio/Id3v2FrameWalk.h"
#include "tests/common/TestFiles.h"
#include "tests/musiclibrary/AudioFileTestFiles.h"
#include "tests/musiclibrary/LibraryTestSupport.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace Qt::StringLiterals;
using namespace musiclibrary;
using namespace testing_support;

namespace {

class AudioFilePictures : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        const QString seed = QString::fromLatin1(GetParam());
        path = folder.copySeed(seed, u"Album/"_s + seed);
    }

    // A write hands back the facts it read while checking its copy; the index
    // keeps them instead of reading the file again, so they must be exactly
    // what a fresh read of the replaced file gives.
    void expectFreshFacts(const AudioFileFacts& written) const {
        EXPECT_EQ(factsOf(written), factsOf(readAudioFileFacts(path)));
    }
    static QStringList factsOf(const AudioFileFacts& facts) {
        QStringList values{facts.kind, facts.title, facts.artist, facts.album};
        values << u"%1 %2 %3"_s.arg(int(facts.tagsReadable))
                      .arg(int(facts.picturesSupported))
                      .arg(facts.trackNumber);
        for (const PictureFacts& picture : facts.pictures)
            values << u"%1:%2"_s.arg(picture.format).arg(picture.byteSize);
        return values;
    }

    TempFolder folder;
    QString path;
};

// The format comes from the image's bytes, whatever the container records.
// A song's whole change is one write: removals and insertions together, with
// the pictures in the order the change says.
TEST_P(AudioFilePictures, PicturesKeepTheirBytesAndFormatAndTheOrderAChangeSays) {
    const QList<std::pair<QByteArray, int>> images{
        {seedBytes("cover-600.jpg"), ITArtworkFormatJPEG},
        {seedBytes("cover-160x120.png"), ITArtworkFormatPNG},
        {seedBytes("cover-48.bmp"), ITArtworkFormatBMP},
        {QByteArray("GIF89a") + QByteArray(32, '\x01'), ITArtworkFormatUnknown}};
    const AudioFileFacts seed = readAudioFileFacts(path);
    EXPECT_TRUE(seed.tagsReadable && seed.picturesSupported && seed.pictures.isEmpty());
    for (const auto& [data, format] : images)
        expectFreshFacts(appendPicture(path, data));

    const QList<Picture> pictures = readPictures(path);
    const AudioFileFacts facts = readAudioFileFacts(path);
    ASSERT_EQ(pictures.size(), images.size());
    ASSERT_EQ(facts.pictures.size(), images.size());
    for (qsizetype i = 0; i < images.size(); ++i) {
        EXPECT_EQ(pictures[i].data, images[i].first) << i;
        EXPECT_EQ(pictures[i].format, images[i].second) << i;
        EXPECT_EQ(facts.pictures[i].format, images[i].second) << i;
        EXPECT_EQ(facts.pictures[i].byteSize, images[i].first.size()) << i;
    }
    EXPECT_EQ(facts.title, u"Seed"_s) << "the other tags must survive";

    const QByteArray jpeg = images[0].first, png = images[1].first, bmp = images[2].first;
    const QByteArray fresh = seedBytes("cover-75.jpg");
    expectFreshFacts(changePictures(path, {{0, 2, 3}, {{-1, fresh}, {0, jpeg}}}));
    EXPECT_EQ(pictureBytes(path), (QList<QByteArray>{jpeg, png, fresh}));

    // Everything removed and one added: only the new picture remains.
    changePictures(path, {{0, 1, 2}, {{-1, bmp}}});
    EXPECT_EQ(pictureBytes(path), QList<QByteArray>{bmp});

    // An insertion in the middle puts the later pictures behind it.
    appendPicture(path, fresh);
    changePictures(path, {{}, {{1, png}}});
    EXPECT_EQ(pictureBytes(path), (QList<QByteArray>{bmp, png, fresh}));

    expectFreshFacts(changePictures(path, {{0, 1, 2}, {}}));
    EXPECT_TRUE(readPictures(path).isEmpty());
    EXPECT_EQ(readAudioFileFacts(path).title, u"Seed"_s);
}

TEST_P(AudioFilePictures, AChangeThatCannotBeAppliedIsRefusedAndChangesNothing) {
    appendPicture(path, seedBytes("cover-75.jpg"));
    appendPicture(path, seedBytes("cover-300.jpg"));
    const QByteArray before = readFile(path);
    const QList<PictureChange> refused{
        {{}, {{-1, {}}}},                                    // an empty image
        {{}, {{-1, QByteArray(64 * 1024 * 1024 + 1, 'x')}}}, // an image too large
        {{-1}, {}},                                          // a position before the first
        {{0, 0}, {}},                                        // the same picture twice
        {{0, 5}, {}},                                        // one position it has, one it lacks
        {{0}, {{-1, QByteArray()}}},                         // an empty image beside a removal
        {{}, {{-1, seedBytes("cover-48.bmp")}, {-1, {}}}},   // one good and one empty image
    };
    for (qsizetype i = 0; i < refused.size(); ++i) {
        SCOPED_TRACE(i);
        const LibraryError error = libraryErrorOf([&] { changePictures(path, refused[i]); });
        EXPECT_EQ(error.number(), LibraryError::InvalidArgument);
        EXPECT_TRUE(error.description().contains(path)) << error.description().toStdString();
        EXPECT_EQ(readFile(path), before);
    }
    EXPECT_TRUE(leftoverCopies(folder.path() + u"/Album"_s).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Kinds, AudioFilePictures,
                         ::testing::Values("seed.mp3", "seed.m4a", "seed.aiff", "seed.wav",
                                           "seed.ogg", "seed.opus", "seed.flac"),
                         [](const auto& info) { return std::string(info.param).substr(5); });

// A song's kind comes from its name, whatever the case; other files have
// none. An image's format comes from its signature, and one cut short tells
// nothing.
TEST(AudioFileKinds, KindsByNameAndFormatsBySignature) {
    EXPECT_FALSE(kindForFileName(u"/m/a.MP3"_s).isEmpty());
    EXPECT_EQ(kindForFileName(u"/m/a.MP3"_s), kindForFileName(u"/m/a.mp3"_s));
    EXPECT_TRUE(kindForFileName(u"/m/cover.jpg"_s).isEmpty());
    EXPECT_TRUE(kindForFileName(u"/m/noextension"_s).isEmpty());
    EXPECT_EQ(imageFormatOf(QByteArray::fromHex("ffd8")), ITArtworkFormatUnknown);
    EXPECT_EQ(imageFormatOf(QByteArray::fromHex("89504e")), ITArtworkFormatUnknown);
    EXPECT_EQ(imageFormatOf({}), ITArtworkFormatUnknown);
}

QByteArray threeTextFrames(int version) {
    if (version == 2)
        return id3v2TextFrame(2, "TT2", "Title") + id3v2TextFrame(2, "TP1", "Artist") +
               id3v2TextFrame(2, "TAL", "Album");
    return id3v2TextFrame(version, "TIT2", "Title") + id3v2TextFrame(version, "TPE1", "Artist") +
           id3v2TextFrame(version, "TALB", "Album");
}

// What an ID3v2 write keeps: a tag of v2.4 stays v2.4 and any other becomes
// v2.3 (as does a new one), the other frames, the ID3v1 tag or its absence,
// the audio, and the other chunks of a RIFF file.
TEST(AudioFileId3v2, AWriteKeepsTheVersionTheOtherFramesAndWhatIsAroundTheTag) {
    const QByteArray audio = mpegAudioOfSeed();
    const QByteArray otherFrames = id3v2TextFrame(3, "TCON", "Jazz") +
                                   id3v2Frame(3, "COMM", QByteArray("\0eng\0A comment", 14)) +
                                   id3v2Frame(3, "PRIV", "owner\0data");
    QByteArray v1 =
        QByteArray("TAG") + QByteArray("Old title").leftJustified(30, '\0') + QByteArray(95, '\0');
    v1[127] = char(255);
    const QList<QByteArray> texts{"Title", "Artist", "Album"};
    // The song, its tag's version after the write, what must stay, its end.
    const QList<std::tuple<const char*, QByteArray, char, QList<QByteArray>, QByteArray>> songs{
        {"bare.mp3", audio, 3, {}, audio},
        {"v22.mp3", id3v2Tag(2, threeTextFrames(2), 64) + audio, 3, texts, audio},
        {"v23.mp3", id3v2Tag(3, threeTextFrames(3), 64) + audio, 3, texts, audio},
        {"v24.mp3", id3v2Tag(4, threeTextFrames(4), 64) + audio, 4, texts, audio},
        {"frames.mp3",
         id3v2Tag(3, threeTextFrames(3) + otherFrames, 16) + audio + v1,
         3,
         {"TIT2", "TPE1", "TALB", "TCON", "COMM", "PRIV"},
         audio + v1},
        // The WAV seed has no ID3 chunk, the AIFF seed one of v2.4.
        {"seed.wav", seedBytes("seed.wav"), 3, {"INFOINAM"}, {}},
        {"seed.aiff", seedBytes("seed.aiff"), 4, {"NAME"}, {}}};
    for (const auto& [name, song, version, kept, end] : songs) {
        SCOPED_TRACE(name);
        TempFolder folder;
        const QString path = folder.file(QString::fromLatin1(name));
        writeFile(path, song);
        appendPicture(path, seedBytes("cover-200.jpg"));
        const qsizetype tagAt = readFile(path).indexOf(QByteArray("ID3").append(version));
        EXPECT_TRUE(path.endsWith(u".mp3"_s) ? tagAt == 0 : tagAt > 0) << tagAt;
        EXPECT_EQ(readPictures(path).value(0).data, seedBytes("cover-200.jpg"));
        removePicture(path, 0);
        const QByteArray after = readFile(path);
        for (const QByteArray& part : kept)
            EXPECT_TRUE(after.contains(part)) << part.constData();
        EXPECT_FALSE(after.contains("APIC"));
        EXPECT_TRUE(after.endsWith(end)) << "the audio must stay as it was";
        EXPECT_EQ(after.right(128).startsWith("TAG"), end.endsWith(v1)) << "no ID3v1 tag appears";
    }
}

// A damaged tag that TagLib would cut short on saving is refused whole.
TEST(AudioFileId3v2, DamagedTagsAreRefusedAndLeftByteForByte) {
    const QList<std::pair<const char*, QByteArray>> damaged{
        {"zero-size frame before a picture and the title",
         id3v2Frame(3, "MCDI", {}) + id3v2Frame(3, "APIC", "\0image/jpeg\0\x03\0abc") +
             threeTextFrames(3)},
        {"zero-size frame after the title", id3v2TextFrame(3, "TIT2", "T") +
                                                id3v2Frame(3, "MCDI", {}) +
                                                id3v2TextFrame(3, "TPE1", "A")},
        {"invalid frame id", id3v2TextFrame(3, "TIT2", "T") + id3v2TextFrame(3, "ti*2", "x") +
                                 id3v2TextFrame(3, "TPE1", "A")}};
    for (const auto& [name, frames] : damaged) {
        SCOPED_TRACE(name);
        TempFolder folder;
        const QString path = folder.file(u"damaged.mp3"_s);
        writeFile(path, id3v2Tag(3, frames, 32) + mpegAudioOfSeed());
        const QByteArray before = readFile(path);
        const LibraryError error =
            libraryErrorOf([&] { appendPicture(path, seedBytes("cover-200.jpg")); });
        EXPECT_EQ(error.number(), LibraryError::Unreadable);
        EXPECT_TRUE(error.description().startsWith(u"Cannot add artwork to \""_s + path));
        EXPECT_EQ(readFile(path), before);
        EXPECT_TRUE(leftoverCopies(folder.path()).isEmpty());
    }
}

// The walk itself, on tags built byte by byte.
TEST(Id3v2FrameWalk, CountsTheFramesOfIntactTagsAndFindsWhatWouldBeLost) {
    // 200 bytes: sync-safe 0x00 0x00 0x01 0x48; the v2.3 reading would be 328.
    const QByteArray longTitle = id3v2TextFrame(4, "TIT2", QByteArray(199, 'x'));
    ASSERT_EQ(longTitle.mid(4, 4), QByteArray::fromHex("00000148"));
    // v2.3 extended header: size 6 (not counting itself), flags, padding size.
    const QByteArray extended = QByteArray::fromHex("00000006") + QByteArray(6, '\0');
    // v2.4 footer: ten more bytes after the frames.
    QByteArray withFooter = id3v2Tag(4, threeTextFrames(4), 0, 0x10);
    withFooter += "3DI" + withFooter.mid(3, 7);
    // v2.3 unsynchronisation: FF 00 in a frame counts as one byte.
    const QByteArray stuffed = QByteArray("TIT2") + QByteArray::fromHex("00000003") +
                               QByteArray(2, '\0') + QByteArray::fromHex("00ff0041");
    const QByteArray dates = id3v2TextFrame(3, "TYER", "2001") + id3v2TextFrame(3, "TDAT", "0102") +
                             id3v2TextFrame(3, "TIME", "1200");
    const QByteArray good = id3v2Tag(3, threeTextFrames(3), 20);
    QByteArray overlong = id3v2Tag(3, id3v2TextFrame(3, "TIT2", "T"));
    overlong[17] = char(0x7F); // the frame claims more than the tag holds
    QByteArray badSize = good;
    badSize[6] = char(0x80); // a tag size that is not sync-safe
    QByteArray unknownVersion = good;
    unknownVersion[3] = 5;
    // The tag, its frames (-1: damaged), how many of them TagLib merges.
    const QList<std::tuple<const char*, QByteArray, int, int>> tags{
        {"v2.2", id3v2Tag(2, threeTextFrames(2), 20), 3, 0},
        {"v2.3", good, 3, 0},
        {"v2.4", id3v2Tag(4, threeTextFrames(4), 20), 3, 0},
        {"v2.4 sync-safe frame sizes", id3v2Tag(4, longTitle + longTitle), 2, 0},
        {"extended header", id3v2Tag(3, extended + threeTextFrames(3), 0, 0x40), 3, 0},
        {"footer", withFooter, 3, 0},
        {"unsynchronisation", id3v2Tag(3, stuffed + threeTextFrames(3), 0, 0x80), 4, 0},
        {"date frames", id3v2Tag(3, dates), 3, 2},
        {"cut off by the file end", good.left(good.size() - 4), -1, 0},
        {"frames of noise", good.left(10) + QByteArray(5, 'x'), -1, 0},
        {"frame past the tag", overlong, -1, 0},
        {"tag size not sync-safe", badSize, -1, 0},
        {"unknown version", unknownVersion, -1, 0},
    };
    for (const auto& [name, tag, frames, merged] : tags) {
        SCOPED_TRACE(name);
        const tagio::Id3v2Walk walk = tagio::walkId3v2Tag(tag);
        EXPECT_EQ(walk.intact(), frames >= 0) << walk.problem.toStdString();
        if (frames < 0)
            continue;
        EXPECT_EQ(walk.frames, frames);
        EXPECT_EQ(walk.mergedOnRead, merged);
        EXPECT_EQ(walk.majorVersion, tag.at(3));
        EXPECT_EQ(walk.completeSize, tag.size());
    }
    EXPECT_FALSE(tagio::walkId3v2Tag("ID3").present);
    EXPECT_FALSE(tagio::walkId3v2Tag(QByteArray(64, '\xFF')).present);
}

} // namespace
