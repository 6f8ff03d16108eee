// Songs made by ffmpeg, read back by tools no one here wrote (mutagen,
// ffprobe and the decoder, metaflac and flac, ogginfo, opusinfo).
//
// M4A (AAC and Apple Lossless, the movie atom before or after the media
// data, one or two tracks): a change that fits the room the file has is
// written over the movie atom where it lies, and one that does not writes the
// file anew with room for the next; the covers are as intended, every other
// tag and the audio as they were, the media data byte for byte.
//
// FLAC, Ogg Vorbis and Opus: pictures that other tools put in are read, the
// program's changes are what other readers see, and damaged or unusual files
// are refused and left as they were. What a run removes comes back whole, in
// MP3 too.

#include "musiclibrary/AudioFileIO.h"
#include "musiclibrary/ITunes.h"
#include "musiclibrary/Library.h"
#include "musiclibrary/RemovedArtwork.h"
#include "musiclibrary/tagio/ByteOrder.h"
#include "musiclibrary/tagio/ImageHeader.h"
#include "tests/common/TestFiles.h"
#include "tests/musiclibrary/AudioFileTestFiles.h"
#include "tests/musiclibrary/LibraryTestSupport.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <tuple>

using namespace Qt::StringLiterals;
using namespace musiclibrary;
using namespace testing_support;

namespace {

struct Tool {
    int exitCode = -1;
    QByteArray output;
};

// mutagen through tools/song_pictures.py: pictures and comments as JSON.
const QString Mutagen = QStringLiteral(QUILLMOTH_PICTURES_TOOL);

// Runs program to its end (a minute at most), with its output and errors.
Tool run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    Tool tool;
    if (process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit) {
        tool.exitCode = process.exitCode();
        tool.output = process.readAll();
    }
    return tool;
}

// Whether the programs are installed, and python3 with mutagen.
bool haveTools(const QStringList& programs) {
    for (const QString& program : programs)
        if (QStandardPaths::findExecutable(program).isEmpty())
            return false;
    return QFile::exists(u"/usr/bin/python3"_s) &&
           run(u"/usr/bin/python3"_s, {u"-c"_s, u"import mutagen"_s}).exitCode == 0;
}

// One second of a tone with a title and an artist, as ffmpeg encodes it for
// the extension of name; encoder adds ffmpeg output options (codec, flags).
QString makeSong(const TempFolder& folder, const QString& name, const QStringList& encoder = {}) {
    const QString path = folder.file(name);
    QStringList arguments{u"-v"_s,    u"error"_s, u"-f"_s,
                          u"lavfi"_s, u"-i"_s,    u"sine=frequency=440:duration=1"_s};
    if (name.endsWith(u".ogg"_s))
        arguments << u"-c:a"_s << u"libvorbis"_s;
    else if (name.endsWith(u".opus"_s))
        arguments << u"-c:a"_s << u"libopus"_s;
    arguments << encoder;
    arguments << u"-metadata"_s << u"TITLE=Tone"_s << u"-metadata"_s << u"ARTIST=Tester"_s << path;
    EXPECT_EQ(run(u"ffmpeg"_s, arguments).exitCode, 0) << name.toStdString();
    return path;
}

QJsonObject mutagenList(const QString& path) {
    const Tool tool = run(u"/usr/bin/python3"_s, {Mutagen, u"list"_s, path});
    EXPECT_EQ(tool.exitCode, 0) << tool.output.toStdString();
    return QJsonDocument::fromJson(tool.output).object();
}

QJsonArray mutagenPictures(const QString& path) {
    return mutagenList(path).value(u"pictures"_s).toArray();
}

// The SHA-1 digests of the pictures' images in what mutagenList gave.
QStringList pictureDigests(const QJsonObject& listing) {
    QStringList digests;
    for (const QJsonValue& picture : listing.value(u"pictures"_s).toArray())
        digests.append(picture.toObject().value(u"sha1"_s).toString());
    return digests;
}

void mutagenAdd(const QString& path, const QString& image, int type, const QString& description) {
    const Tool tool = run(u"/usr/bin/python3"_s,
                          {Mutagen, u"add"_s, path, image, QString::number(type), description});
    ASSERT_EQ(tool.exitCode, 0) << tool.output.toStdString();
}

QString sha1(const QByteArray& bytes) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex());
}

// The decoded audio, as a digest: what no change of pictures may alter.
QByteArray decodedAudio(const QString& path) {
    const Tool tool = run(u"ffmpeg"_s, {u"-v"_s, u"error"_s, u"-i"_s, path, u"-map"_s, u"0:a"_s,
                                        u"-f"_s, u"md5"_s, u"-"_s});
    EXPECT_EQ(tool.exitCode, 0) << tool.output.toStdString();
    return tool.output;
}

struct Encoding {
    const char* name;
    QStringList options;
};

const QList<Encoding> Encodings{
    // ffmpeg's default puts the movie atom after the media data.
    {"AacMovieLast", {u"-c:a"_s, u"aac"_s}},
    {"AacMovieFirst", {u"-c:a"_s, u"aac"_s, u"-movflags"_s, u"+faststart"_s}},
    {"AlacMovieLast", {u"-c:a"_s, u"alac"_s}},
    {"AlacMovieFirst", {u"-c:a"_s, u"alac"_s, u"-movflags"_s, u"+faststart"_s}},
    {"TwoTracks",
     {u"-f"_s, u"lavfi"_s, u"-i"_s, u"sine=frequency=660:duration=1"_s, u"-map"_s, u"0:a"_s,
      u"-map"_s, u"1:a"_s, u"-c:a"_s, u"aac"_s, u"-movflags"_s, u"+faststart"_s}},
};

// The media data atoms of a file, whole, in order.
QByteArray mediaData(const QByteArray& file) {
    QByteArray found;
    qint64 pos = 0;
    while (pos + 8 <= file.size()) {
        qint64 size = tagio::bigEndian(file, pos, 4);
        if (size == 0)
            size = file.size() - pos;
        if (size < 8 || pos + size > file.size())
            return {};
        if (file.mid(pos + 4, 4) == "mdat")
            found += file.mid(pos, size);
        pos += size;
    }
    return found;
}

// The audio streams and the duration as ffprobe reads them (covers show as
// video streams).
QByteArray probe(const QString& path) {
    const Tool tool =
        run(u"ffprobe"_s, {u"-v"_s, u"error"_s, u"-select_streams"_s, u"a"_s, u"-show_entries"_s,
                           u"stream=index,codec_name,sample_rate,channels,duration_ts,nb_frames:"
                           u"format=duration"_s,
                           u"-of"_s, u"json"_s, path});
    EXPECT_EQ(tool.exitCode, 0) << tool.output.toStdString();
    return tool.output;
}

QString digestOf(const char* seed) {
    return sha1(seedBytes(seed));
}

// The inode and the size: both the same after a write in place.
std::pair<ino_t, qint64> idOf(const QString& path) {
    return {inodeOf(path), QFileInfo(path).size()};
}

class Mp4InPlace : public ::testing::TestWithParam<Encoding> {
protected:
    void SetUp() override {
        if (!haveTools({u"ffmpeg"_s, u"ffprobe"_s}))
            GTEST_SKIP() << "needs ffmpeg and python3-mutagen";
        path = makeSong(folder, u"song.m4a"_s, GetParam().options);
        comments = mutagenList(path).value(u"comments"_s);
        ASSERT_TRUE(comments.toObject().contains(u"\u00a9nam"_s));
        media = mediaData(readFile(path));
        ASSERT_FALSE(media.isEmpty());
        streams = probe(path);
        audio = decodedAudio(path);
    }

    // What a change of covers leaves alone.
    void expectOnlyCoversChanged(const QStringList& covers) {
        const QJsonObject now = mutagenList(path);
        EXPECT_EQ(now.value(u"comments"_s), comments);
        EXPECT_EQ(pictureDigests(now), covers);
        EXPECT_EQ(mediaData(readFile(path)), media);
        EXPECT_EQ(probe(path), streams);
        EXPECT_EQ(decodedAudio(path), audio);
    }

    TempFolder folder;
    QString path;
    QJsonValue comments;
    QByteArray media;
    QByteArray streams;
    QByteArray audio;
};

// ffmpeg leaves no room for a picture: the first one writes the file anew,
// with room that takes the next changes where they lie.
TEST_P(Mp4InPlace, TheFirstPictureMakesRoomTheNextChangesFitInPlaceALargerOneMakesMore) {
    const auto made = idOf(path);
    appendPicture(path, seedBytes("cover-300.jpg"));
    EXPECT_NE(inodeOf(path), made.first) << "written anew";
    expectOnlyCoversChanged({digestOf("cover-300.jpg")});

    const auto roomy = idOf(path);
    appendPicture(path, seedBytes("cover-600.jpg"));
    EXPECT_EQ(idOf(path), roomy) << "written in place";
    expectOnlyCoversChanged({digestOf("cover-300.jpg"), digestOf("cover-600.jpg")});

    // Replace the first and put a PNG in front of everything.
    PictureChange change;
    change.remove = {0};
    change.insert = {{0, seedBytes("cover-160x120.png")}, {2, seedBytes("cover-75.jpg")}};
    changePictures(path, change);
    EXPECT_EQ(idOf(path), roomy);
    expectOnlyCoversChanged(
        {digestOf("cover-160x120.png"), digestOf("cover-600.jpg"), digestOf("cover-75.jpg")});

    changePictures(path, {{0, 1, 2}, {}});
    EXPECT_EQ(idOf(path), roomy);
    expectOnlyCoversChanged({});

    // A change larger than the room writes the file anew, again with room.
    appendPicture(path, seedBytes("cover-75.jpg"));
    const QByteArray large = seedBytes("cover-600.jpg") + QByteArray(600 * 1024, '\0');
    appendPicture(path, large);
    EXPECT_NE(inodeOf(path), roomy.first);
    expectOnlyCoversChanged({digestOf("cover-75.jpg"), sha1(large)});
    const auto grown = idOf(path);
    removePicture(path, 1);
    appendPicture(path, large);
    EXPECT_EQ(idOf(path), grown) << "the room is kept for a picture as large";
    expectOnlyCoversChanged({digestOf("cover-75.jpg"), sha1(large)});
    EXPECT_TRUE(leftoverCopies(folder.path()).isEmpty());
}

// Room another tool left (mutagen pads the item list as it saves) is used
// as well.
TEST_P(Mp4InPlace, RoomLeftByAnotherToolIsUsed) {
    mutagenAdd(path, seedPath(u"cover-75.jpg"_s), 3, u""_s);
    const auto tagged = idOf(path);
    media = mediaData(readFile(path));
    comments = mutagenList(path).value(u"comments"_s);
    removePicture(path, 0);
    EXPECT_EQ(idOf(path), tagged);
    expectOnlyCoversChanged({});
    // About 1 KB of padding and the 440 bytes the first picture left.
    appendPicture(path, seedBytes("cover-200.jpg"));
    EXPECT_EQ(idOf(path), tagged);
    expectOnlyCoversChanged({digestOf("cover-200.jpg")});
}

// A fragmented file keeps chunk positions in each fragment: it is never
// written in place, even with room, and what is written anew keeps its
// audio.
TEST(Mp4Fragmented, IsNeverWrittenInPlace) {
    if (!haveTools({u"ffmpeg"_s, u"ffprobe"_s}))
        GTEST_SKIP() << "needs ffmpeg and python3-mutagen";
    TempFolder folder;
    const QString path =
        makeSong(folder, u"song.m4a"_s,
                 {u"-c:a"_s, u"aac"_s, u"-movflags"_s, u"frag_keyframe+empty_moov"_s});
    const QByteArray audio = decodedAudio(path);
    const QByteArray image = seedBytes("cover-75.jpg");
    for (int write = 0; write < 2; ++write) {
        SCOPED_TRACE(write);
        const ino_t inode = inodeOf(path);
        const QByteArray bytes = readFile(path);
        if (libraryErrorOf([&] { appendPicture(path, image); }).number() != 0) {
            EXPECT_EQ(readFile(path), bytes) << "refused, and left as it was";
            continue;
        }
        EXPECT_NE(inodeOf(path), inode);
        EXPECT_EQ(mutagenPictures(path).size(), write + 1);
        EXPECT_EQ(decodedAudio(path), audio);
    }
}

INSTANTIATE_TEST_SUITE_P(Encodings, Mp4InPlace, ::testing::ValuesIn(Encodings),
                         [](const auto& info) { return std::string(info.param.name); });

// Whether the format's own checker accepts the file.
bool checkerAccepts(const QString& path) {
    if (path.endsWith(u".flac"_s))
        return run(u"flac"_s, {u"-t"_s, u"-s"_s, path}).exitCode == 0;
    if (path.endsWith(u".opus"_s))
        return run(u"opusinfo"_s, {path}).exitCode == 0;
    const Tool tool = run(u"ogginfo"_s, {path});
    return tool.exitCode == 0 && !tool.output.contains("WARNING");
}

class XiphFiles : public ::testing::Test {
protected:
    void SetUp() override {
        if (!haveTools({u"ffmpeg"_s, u"metaflac"_s, u"flac"_s, u"ogginfo"_s, u"opusinfo"_s}))
            GTEST_SKIP() << "needs ffmpeg, flac, vorbis-tools, opus-tools and python3-mutagen";
    }

    TempFolder folder;
};

class XiphPictures : public XiphFiles, public ::testing::WithParamInterface<const char*> {
protected:
    QString song() const { return makeSong(folder, u"Album/"_s + QString::fromLatin1(GetParam())); }
};

// A picture another tool put in is read; a change of pictures is read back
// by mutagen as intended, with every other comment, and the file's own
// checker and decoded audio are unchanged.
TEST_P(XiphPictures, AChangeIsWhatOtherReadersSeeAndKeepsEverythingElse) {
    const QString path = song();
    mutagenAdd(path, seedPath(u"cover-75.jpg"_s), 4, u"back"_s);
    const AudioFileFacts facts = readAudioFileFacts(path);
    EXPECT_EQ(facts.artist, u"Tester"_s);
    ASSERT_EQ(facts.pictures.size(), 1);
    EXPECT_EQ(facts.pictures[0].format, ITArtworkFormatJPEG);
    EXPECT_EQ(readPictures(path).value(0).data, seedBytes("cover-75.jpg"));
    const QJsonObject before = mutagenList(path);
    const QByteArray audio = decodedAudio(path);

    PictureChange change;
    change.insert = {{0, seedBytes("cover-600.jpg")}, {-1, seedBytes("cover-160x120.png")}};
    changePictures(path, change);

    const QJsonObject after = mutagenList(path);
    EXPECT_EQ(after.value(u"comments"_s), before.value(u"comments"_s));
    const QJsonArray pictures = after.value(u"pictures"_s).toArray();
    ASSERT_EQ(pictures.size(), 3);
    // Type, MIME type and the sizes from the image's header; a new picture
    // is a front cover.
    const auto described = [](const QJsonValue& picture) {
        QStringList values;
        for (const QString& key : {u"type"_s, u"mime"_s, u"width"_s, u"height"_s, u"depth"_s})
            values.append(picture.toObject().value(key).toVariant().toString());
        return values.join(u' ');
    };
    EXPECT_EQ(described(pictures[0]), u"3 image/jpeg 600 600 24"_s);
    EXPECT_EQ(described(pictures[2]), u"3 image/png 160 120 48"_s);
    EXPECT_EQ(pictureDigests(after)[0], digestOf("cover-600.jpg"));
    EXPECT_EQ(pictures[1].toObject(), before.value(u"pictures"_s).toArray()[0].toObject())
        << "the picture that was there keeps its type and description";
    EXPECT_NE(pictures[2].toObject().value(u"desc"_s), pictures[0].toObject().value(u"desc"_s))
        << "descriptions are unique in a tag";
    EXPECT_TRUE(checkerAccepts(path));
    EXPECT_EQ(decodedAudio(path), audio);

    // Removing takes exactly the chosen pictures.
    removePicture(path, 1);
    EXPECT_EQ(pictureDigests(mutagenList(path)),
              (QStringList{digestOf("cover-600.jpg"), digestOf("cover-160x120.png")}));
    EXPECT_TRUE(checkerAccepts(path));
    EXPECT_EQ(decodedAudio(path), audio);
}

// What a run removes comes back whole: the picture's bytes, its type, its
// description and its MIME type, as other readers see them.
class RestoredWhole : public XiphPictures {};

TEST_P(RestoredWhole, ARemovedBackCoverComesBackAsABackCover) {
    const QString name = QString::fromLatin1(GetParam());
    const QString path =
        name.endsWith(u".mp3"_s) ? folder.copySeed(u"seed.mp3"_s, u"Album/"_s + name) : song();
    mutagenAdd(path, seedPath(u"cover-300.jpg"_s), 3, u"front"_s);
    mutagenAdd(path, seedPath(u"cover-75.jpg"_s), 4, u"back"_s);
    const QJsonArray before = mutagenPictures(path);

    TempFolder data;
    const ITunesPtr library = openLibrary(folder.path(), {data.path()});
    const TrackPtr track = allTracks(*library).value(0);
    ASSERT_TRUE(track);
    library->StartArtworkRun(u"Delete artwork"_s);
    track->EditArtwork({{2}, {}});
    library->EndArtworkRun();
    ASSERT_EQ(mutagenPictures(path).size(), 1);

    const QList<RemovedChange> kept = library->RemovedArtwork(std::nullopt);
    ASSERT_EQ(kept.size(), 1);
    EXPECT_TRUE(library->RestoreRemovedArtwork(kept[0].id));
    EXPECT_EQ(mutagenPictures(path), before);
    EXPECT_TRUE(name.endsWith(u".mp3"_s) || checkerAccepts(path));
}

INSTANTIATE_TEST_SUITE_P(Containers, XiphPictures,
                         ::testing::Values("song.flac", "song.ogg", "song.opus"),
                         [](const auto& info) { return std::string(info.param).substr(5); });
INSTANTIATE_TEST_SUITE_P(Containers, RestoredWhole,
                         ::testing::Values("song.flac", "song.ogg", "song.opus", "song.mp3"),
                         [](const auto& info) { return std::string(info.param).substr(5); });

// Offsets in a FLAC file made by ffmpeg: "fLaC", then STREAMINFO.
constexpr qsizetype StreamInfoHeader = 4;

// Appending a picture fails with a description that says why, and leaves
// the file byte for byte as it was.
TEST_F(XiphFiles, DamagedOrUnusualFilesAreRefusedAndLeftAsTheyWere) {
    const QByteArray cover = seedBytes("cover-75.jpg");
    const QString truncated = makeSong(folder, u"truncated.flac"_s);
    QByteArray bytes = readFile(truncated);
    bytes[StreamInfoHeader + 3] = char(20); // STREAMINFO says it is 20 bytes long
    writeFile(truncated, bytes);

    // A picture block whose image length runs past the block.
    const QString overlong = makeSong(folder, u"overlong.flac"_s);
    mutagenAdd(overlong, seedPath(u"cover-75.jpg"_s), 3, u"x"_s);
    bytes = readFile(overlong);
    const qsizetype image = bytes.indexOf(cover);
    ASSERT_GT(image, 4);
    bytes.replace(image - 4, 4, QByteArray::fromHex("00100000"));
    writeFile(overlong, bytes);

    const QString first = makeSong(folder, u"first.ogg"_s);
    const QString chained = folder.file(u"chained.ogg"_s);
    writeFile(chained, readFile(first) + readFile(makeSong(folder, u"second.ogg"_s)));
    // A page whose checksum is wrong is not rewritten.
    bytes = readFile(first);
    bytes[bytes.size() - 1] = char(bytes[bytes.size() - 1] ^ 0x55);
    writeFile(first, bytes);

    const QList<std::tuple<QString, QByteArray, QString>> refused{
        {truncated, cover, u"stream information block is missing or truncated"_s},
        {overlong, cover, u"says its image is longer than the block"_s},
        // A picture too large for a block is refused, not cut.
        {makeSong(folder, u"song.flac"_s), cover + QByteArray(17 * 1024 * 1024, '\0'),
         u"metadata blocks hold at most 16 MB"_s},
        {chained, cover, u"more than one stream"_s},
        {first, cover, u"checksum is wrong"_s}};
    for (const auto& [path, picture, reason] : refused) {
        SCOPED_TRACE(path.toStdString());
        const QByteArray original = readFile(path);
        const LibraryError error = libraryErrorOf([&] { appendPicture(path, picture); });
        EXPECT_TRUE(error.description().contains(reason)) << error.description().toStdString();
        EXPECT_TRUE(error.description().contains(path));
        EXPECT_EQ(readFile(path), original);
    }
}

// ID3v2 tells picture frames apart by their descriptions: a new picture
// beside one with an empty description gets another.
TEST_F(XiphFiles, ANewMp3PictureIsAFrontCoverWithADescriptionOfItsOwn) {
    const QString path = folder.copySeed(u"seed.mp3"_s, u"song.mp3"_s);
    mutagenAdd(path, seedPath(u"cover-75.jpg"_s), 0, QString());
    appendPicture(path, seedBytes("cover-300.jpg"));
    const QJsonArray pictures = mutagenPictures(path);
    ASSERT_EQ(pictures.size(), 2);
    EXPECT_EQ(pictures[1].toObject().value(u"type"_s).toInt(), 3);
    EXPECT_NE(pictures[1].toObject().value(u"desc"_s), pictures[0].toObject().value(u"desc"_s));
}

// A FLAC file's metadata is rewritten where it stands when the new blocks
// fit the old area with its padding (InPlaceWriteOfKind has the failures).
TEST_F(XiphFiles, FlacChangesThatFitAreWrittenInPlace) {
    const QString path = makeSong(folder, u"song.flac"_s);
    appendPicture(path, seedBytes("cover-600.jpg"));
    const qint64 size = QFileInfo(path).size();
    const ino_t inode = inodeOf(path);
    appendPicture(path, seedBytes("cover-75.jpg"));
    EXPECT_EQ(QFileInfo(path).size(), size) << "the padding took the picture";
    EXPECT_EQ(inodeOf(path), inode) << "written in place";
    EXPECT_TRUE(checkerAccepts(path));
    EXPECT_EQ(pictureDigests(mutagenList(path)),
              (QStringList{digestOf("cover-600.jpg"), digestOf("cover-75.jpg")}));
}

// The size fields a new picture block carries come from the image's header
// (mutagen reads them above for JPEG and PNG); a header cut short gives zeros
// ("not known"), never a guess.
TEST(ImageHeader, BmpSizesComeFromTheHeaderAndCutHeadersGiveNothing) {
    const tagio::ImageHeader bmp = tagio::readImageHeader(seedBytes("cover-48.bmp"));
    EXPECT_EQ(std::tuple(bmp.width, bmp.height), std::tuple(48u, 48u));
    for (const char* seed : {"cover-300.jpg", "cover-160x120.png", "cover-48.bmp"}) {
        const tagio::ImageHeader none = tagio::readImageHeader(seedBytes(seed).left(12));
        EXPECT_EQ(std::tuple(none.width, none.height, none.depth), std::tuple(0u, 0u, 0u)) << seed;
    }
}

} // namespace
