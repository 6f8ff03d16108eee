// FLAC, Ogg Vorbis and Opus songs made with ffmpeg: pictures that other tools
// put in are read, the program's changes are read back by tools no one here
// wrote (mutagen, metaflac and flac, ogginfo, opusinfo), and damaged or
// unusual files are refused and left as they were.

#include "musiclibrary/AudioFileIO.h"
#include "musiclibrary/HeadWrite.h"
#include "musiclibrary/ITunes.h"
#include "musiclibrary/Library.h"
#include "musiclibrary/RemovedArtwork.h"
#include "musiclibrary/RollbackJournal.h"
#include "musiclibrary/tagio/ImageHeader.h"
#include "tests/common/TestFiles.h"
#include "tests/musiclibrary/LibraryTestSupport.h"
#include "tests/musiclibrary/SongTools.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <tuple>

using namespace Qt::StringLiterals;
using namespace musiclibrary;
using namespace testing_support;

namespace {

bool haveXiphTools() {
    return haveTools({u"ffmpeg"_s, u"metaflac"_s, u"flac"_s, u"ogginfo"_s, u"opusinfo"_s});
}

// Whether the format's own checker accepts the file.
bool checkerAccepts(const QString& path) {
    if (path.endsWith(u".flac"_s))
        return run(u"flac"_s, {u"-t"_s, u"-s"_s, path}).exitCode == 0;
    if (path.endsWith(u".opus"_s))
        return run(u"opusinfo"_s, {path}).exitCode == 0;
    const Tool tool = run(u"ogginfo"_s, {path});
    return tool.exitCode == 0 && !tool.output.contains("WARNING");
}

class XiphPictures : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        if (!haveXiphTools())
            GTEST_SKIP() << "needs ffmpeg, flac, vorbis-tools, opus-tools and python3-mutagen";
        path = makeSong(folder, QString::fromLatin1(GetParam()));
    }
    static QByteArray seed(const char* name) {
        return readFile(seedPath(QString::fromLatin1(name)));
    }

    TempFolder folder;
    QString path;
};

TEST_P(XiphPictures, PicturesOtherToolsPutInAreReadAndCounted) {
    mutagenAdd(path, seedPath(u"cover-75.jpg"_s), 3, u"front"_s);
    mutagenAdd(path, seedPath(u"cover-160x120.png"_s), 4, u"back"_s);
    const AudioFileFacts facts = readAudioFileFacts(path);
    EXPECT_TRUE(facts.tagsReadable);
    EXPECT_TRUE(facts.picturesSupported);
    EXPECT_EQ(facts.title, u"Tone"_s);
    EXPECT_EQ(facts.artist, u"Tester"_s);
    const QString kind = path.endsWith(u".flac"_s)   ? u"FLAC audio file"_s
                         : path.endsWith(u".opus"_s) ? u"Opus audio file"_s
                                                     : u"Ogg Vorbis audio file"_s;
    EXPECT_EQ(facts.kind, kind);
    ASSERT_EQ(facts.pictures.size(), 2);
    EXPECT_EQ(facts.pictures[0].format, ITArtworkFormatJPEG);
    EXPECT_EQ(facts.pictures[1].format, ITArtworkFormatPNG);
    const QList<Picture> pictures = readPictures(path);
    ASSERT_EQ(pictures.size(), 2);
    EXPECT_EQ(pictures[0].data, seed("cover-75.jpg"));
    EXPECT_EQ(pictures[1].data, seed("cover-160x120.png"));
}

// A change of pictures is read back by mutagen as intended, with every other
// comment, and the file's own checker and decoded audio are unchanged.
TEST_P(XiphPictures, AChangeIsWhatOtherReadersSeeAndKeepsEverythingElse) {
    mutagenAdd(path, seedPath(u"cover-75.jpg"_s), 4, u"back"_s);
    const QJsonObject before = mutagenList(path);
    const QByteArray audio = decodedAudio(path);

    PictureChange change;
    change.insert = {{0, seed("cover-600.jpg")}, {-1, seed("cover-160x120.png")}};
    changePictures(path, change);

    const QJsonObject after = mutagenList(path);
    EXPECT_EQ(after.value(u"comments"_s), before.value(u"comments"_s));
    const QJsonArray pictures = after.value(u"pictures"_s).toArray();
    ASSERT_EQ(pictures.size(), 3);
    const QJsonObject added = pictures[0].toObject();
    EXPECT_EQ(added.value(u"sha1"_s).toString(), sha1(seed("cover-600.jpg")));
    EXPECT_EQ(added.value(u"type"_s).toInt(), 3) << "a front cover";
    EXPECT_EQ(added.value(u"mime"_s).toString(), u"image/jpeg"_s);
    EXPECT_EQ(added.value(u"width"_s).toInt(), 600);
    EXPECT_EQ(added.value(u"height"_s).toInt(), 600);
    EXPECT_EQ(added.value(u"depth"_s).toInt(), 24);
    EXPECT_EQ(pictures[1].toObject(), before.value(u"pictures"_s).toArray()[0].toObject())
        << "the picture that was there keeps its type and description";
    const QJsonObject png = pictures[2].toObject();
    EXPECT_EQ(png.value(u"mime"_s).toString(), u"image/png"_s);
    EXPECT_EQ(png.value(u"width"_s).toInt(), 160);
    EXPECT_NE(png.value(u"desc"_s).toString(), added.value(u"desc"_s).toString())
        << "descriptions are unique in a tag";
    EXPECT_TRUE(checkerAccepts(path));
    EXPECT_EQ(decodedAudio(path), audio);

    // Removing takes exactly the chosen pictures.
    removePicture(path, 1);
    const QJsonArray left = mutagenList(path).value(u"pictures"_s).toArray();
    ASSERT_EQ(left.size(), 2);
    EXPECT_EQ(left[0].toObject().value(u"sha1"_s).toString(), sha1(seed("cover-600.jpg")));
    EXPECT_EQ(left[1].toObject().value(u"sha1"_s).toString(), sha1(seed("cover-160x120.png")));
    EXPECT_TRUE(checkerAccepts(path));
    EXPECT_EQ(decodedAudio(path), audio);
}

INSTANTIATE_TEST_SUITE_P(Containers, XiphPictures,
                         ::testing::Values("song.flac", "song.ogg", "song.opus"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param).substr(5);
                         });

class XiphFiles : public ::testing::Test {
protected:
    void SetUp() override {
        if (!haveXiphTools())
            GTEST_SKIP() << "needs ffmpeg, flac, vorbis-tools, opus-tools and python3-mutagen";
    }
    // Appending a picture fails with a description holding expected, and
    // leaves the file byte for byte as it was.
    void expectRefused(const QString& file, const QString& expected,
                       const QByteArray& image = readFile(seedPath(u"cover-75.jpg"_s))) {
        const QByteArray original = readFile(file);
        try {
            appendPicture(file, image);
            ADD_FAILURE() << "no error for " << file.toStdString();
        } catch (const LibraryError& error) {
            EXPECT_TRUE(error.description().contains(expected))
                << error.description().toStdString();
            EXPECT_TRUE(error.description().contains(file));
        }
        EXPECT_EQ(readFile(file), original);
    }

    TempFolder folder;
};

// Offsets in a FLAC file made by ffmpeg: "fLaC", then STREAMINFO.
constexpr qsizetype StreamInfoHeader = 4;

TEST_F(XiphFiles, DamagedFlacMetadataIsRefused) {
    const QString truncated = makeSong(folder, u"truncated.flac"_s);
    QByteArray bytes = readFile(truncated);
    bytes[StreamInfoHeader + 3] = char(20); // STREAMINFO says it is 20 bytes long
    writeFile(truncated, bytes);
    expectRefused(truncated, u"stream information block is missing or truncated"_s);

    // A picture block whose image length runs past the block.
    const QString overlong = makeSong(folder, u"overlong.flac"_s);
    mutagenAdd(overlong, seedPath(u"cover-75.jpg"_s), 3, u"x"_s);
    bytes = readFile(overlong);
    const qsizetype image = bytes.indexOf(readFile(seedPath(u"cover-75.jpg"_s)));
    ASSERT_GT(image, 4);
    bytes.replace(image - 4, 4, QByteArray::fromHex("00100000"));
    writeFile(overlong, bytes);
    expectRefused(overlong, u"says its image is longer than the block"_s);
}

TEST_F(XiphFiles, APictureTooLargeForAFlacBlockIsRefusedNotCut) {
    const QString song = makeSong(folder, u"song.flac"_s);
    QByteArray huge = readFile(seedPath(u"cover-75.jpg"_s));
    huge.append(QByteArray(17 * 1024 * 1024, '\0'));
    expectRefused(song, u"metadata blocks hold at most 16 MB"_s, huge);
}

TEST_F(XiphFiles, OggFilesWithSeveralStreamsAreRefused) {
    const QString first = makeSong(folder, u"first.ogg"_s);
    const QString second = makeSong(folder, u"second.ogg"_s);
    const QString chained = folder.file(u"chained.ogg"_s);
    writeFile(chained, readFile(first) + readFile(second));
    expectRefused(chained, u"more than one stream"_s);

    // A page whose checksum is wrong is not rewritten.
    QByteArray bytes = readFile(first);
    bytes[bytes.size() - 1] = char(bytes[bytes.size() - 1] ^ 0x55);
    writeFile(first, bytes);
    expectRefused(first, u"checksum is wrong"_s);
}

// What a run removes comes back whole: the picture's bytes, its type, its
// description and its MIME type, as other readers see them.
class RestoredWhole : public ::testing::TestWithParam<const char*> {};

TEST_P(RestoredWhole, ARemovedBackCoverComesBackAsABackCover) {
    if (!haveXiphTools())
        GTEST_SKIP() << "needs ffmpeg, flac, vorbis-tools, opus-tools and python3-mutagen";
    TempFolder music;
    TempFolder data;
    const QString name = QString::fromLatin1(GetParam());
    const QString path = name.endsWith(u".mp3"_s)
                             ? music.copySeed(u"seed.mp3"_s, u"Album/"_s + name)
                             : makeSong(music, u"Album/"_s + name);
    mutagenAdd(path, seedPath(u"cover-300.jpg"_s), 3, u"front"_s);
    mutagenAdd(path, seedPath(u"cover-75.jpg"_s), 4, u"back"_s);
    const QJsonValue before = mutagenList(path).value(u"pictures"_s);

    const ITunesPtr library = openLibrary(music.path(), {data.path()});
    const TrackPtr track = allTracks(*library).value(0);
    ASSERT_TRUE(track);
    library->StartArtworkRun(u"Delete artwork"_s);
    track->EditArtwork({{2}, {}});
    library->EndArtworkRun();
    ASSERT_EQ(mutagenList(path).value(u"pictures"_s).toArray().size(), 1);

    const QList<RemovedChange> kept = library->RemovedArtwork(std::nullopt);
    ASSERT_EQ(kept.size(), 1);
    EXPECT_TRUE(library->RestoreRemovedArtwork(kept[0].id));
    EXPECT_EQ(mutagenList(path).value(u"pictures"_s), before);
    EXPECT_TRUE(name.endsWith(u".mp3"_s) || checkerAccepts(path));
}

INSTANTIATE_TEST_SUITE_P(Containers, RestoredWhole,
                         ::testing::Values("song.mp3", "song.flac", "song.ogg", "song.opus"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param).substr(5);
                         });

// ID3v2 tells picture frames apart by their descriptions: a new picture
// beside one with an empty description gets another.
TEST_F(XiphFiles, ANewMp3PictureIsAFrontCoverWithADescriptionOfItsOwn) {
    const QString path = folder.copySeed(u"seed.mp3"_s, u"song.mp3"_s);
    mutagenAdd(path, seedPath(u"cover-75.jpg"_s), 0, QString());
    appendPicture(path, readFile(seedPath(u"cover-300.jpg"_s)));
    const QJsonArray pictures = mutagenList(path).value(u"pictures"_s).toArray();
    ASSERT_EQ(pictures.size(), 2);
    EXPECT_EQ(pictures[1].toObject().value(u"type"_s).toInt(), 3);
    EXPECT_NE(pictures[1].toObject().value(u"desc"_s), pictures[0].toObject().value(u"desc"_s));
}

ino_t inodeOf(const QString& path) {
    struct stat info {};
    ::stat(QFile::encodeName(path).constData(), &info);
    return info.st_ino;
}

// A FLAC file's metadata is rewritten where it stands when the new blocks
// fit the old area with its padding, under the rollback journal; a write
// cut off there is undone when the engine next comes to the folder.
TEST_F(XiphFiles, FlacChangesThatFitAreWrittenInPlaceAndRolledBackWhenCutOff) {
    const QString path = makeSong(folder, u"Album/song.flac"_s);
    appendPicture(path, readFile(seedPath(u"cover-600.jpg"_s)));
    const qint64 size = QFileInfo(path).size();
    const ino_t inode = inodeOf(path);
    appendPicture(path, readFile(seedPath(u"cover-75.jpg"_s)));
    EXPECT_EQ(QFileInfo(path).size(), size) << "the padding took the picture";
    EXPECT_EQ(inodeOf(path), inode) << "written in place";
    EXPECT_TRUE(checkerAccepts(path));
    EXPECT_EQ(mutagenList(path).value(u"pictures"_s).toArray().size(), 2);

    const QByteArray before = readFile(path);
    stopInPlaceWriteForTesting(InPlaceStop::AfterSong);
    EXPECT_THROW(removePicture(path, 0), LibraryError);
    stopInPlaceWriteForTesting(InPlaceStop::None);
    EXPECT_NE(readFile(path), before) << "the new metadata is there, and its journal";
    RollbackJournal::closeAllKeepingFilesForTesting();
    TempFolder data;
    const ITunesPtr library = openLibrary(folder.path(), {data.path()});
    EXPECT_EQ(readFile(path), before);
    EXPECT_TRUE(checkerAccepts(path));
}

// The size fields a new picture block carries come from the image's header,
// and a header cut short gives zeros ("not known"), never a guess.
TEST(ImageHeader, SizesComeFromTheHeaderAndCutHeadersGiveNothing) {
    const auto header = [](const char* seed) {
        return tagio::readImageHeader(readFile(seedPath(QString::fromLatin1(seed))));
    };
    const tagio::ImageHeader jpeg = header("cover-300.jpg");
    EXPECT_EQ(std::tuple(jpeg.width, jpeg.height, jpeg.depth), std::tuple(300u, 300u, 24u));
    const tagio::ImageHeader png = header("cover-160x120.png");
    EXPECT_EQ(std::tuple(png.width, png.height), std::tuple(160u, 120u));
    const tagio::ImageHeader bmp = header("cover-48.bmp");
    EXPECT_EQ(std::tuple(bmp.width, bmp.height), std::tuple(48u, 48u));
    for (const char* seed : {"cover-300.jpg", "cover-160x120.png", "cover-48.bmp"}) {
        const QByteArray cut = readFile(seedPath(QString::fromLatin1(seed))).left(12);
        const tagio::ImageHeader none = tagio::readImageHeader(cut);
        EXPECT_EQ(std::tuple(none.width, none.height, none.depth), std::tuple(0u, 0u, 0u)) << seed;
    }
}

} // namespace
