// M4A songs made by ffmpeg (AAC and Apple Lossless, the movie atom before or
// after the media data, one or two tracks): a change that fits the room the
// file has is written over the movie atom where it lies, and one that does
// not writes the file anew with room for the next. Either way mutagen reads
// the covers as intended and every other tag, ffprobe and the decoder find
// the same audio, and the media data is byte for byte what it was.

#include "musiclibrary/AudioFileIO.h"
#include "musiclibrary/ITunes.h"
#include "tests/common/TestFiles.h"
#include "tests/musiclibrary/AudioFileTestFiles.h"
#include "tests/musiclibrary/SongTools.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

#include <ostream>

#include <sys/stat.h>

using namespace Qt::StringLiterals;
using namespace musiclibrary;
using namespace testing_support;

namespace {

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
        qint64 size = qint64(quint32(quint8(file[pos]) << 24 | quint8(file[pos + 1]) << 16 |
                                     quint8(file[pos + 2]) << 8 | quint8(file[pos + 3])));
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

struct FileId {
    ino_t inode = 0;
    off_t size = 0;
    bool operator==(const FileId&) const = default;
    friend void PrintTo(const FileId& id, std::ostream* out) {
        *out << "inode " << id.inode << ", " << id.size << " bytes";
    }
};

FileId idOf(const QString& path) {
    struct stat info {};
    ::stat(QFile::encodeName(path).constData(), &info);
    return {info.st_ino, info.st_size};
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
        QStringList digests;
        for (const QJsonValue& picture : now.value(u"pictures"_s).toArray())
            digests.append(picture.toObject().value(u"sha1"_s).toString());
        EXPECT_EQ(digests, covers);
        EXPECT_EQ(mediaData(readFile(path)), media);
        EXPECT_EQ(probe(path), streams);
        EXPECT_EQ(decodedAudio(path), audio);
    }

    static QByteArray seed(const char* name) {
        return readFile(seedPath(QString::fromLatin1(name)));
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
TEST_P(Mp4InPlace, TheFirstPictureMakesRoomAndTheNextChangesFitInPlace) {
    const FileId made = idOf(path);
    appendPicture(path, seed("cover-300.jpg"));
    EXPECT_NE(idOf(path).inode, made.inode) << "written anew";
    expectOnlyCoversChanged({sha1(seed("cover-300.jpg"))});

    const FileId roomy = idOf(path);
    appendPicture(path, seed("cover-600.jpg"));
    EXPECT_EQ(idOf(path), roomy) << "written in place";
    expectOnlyCoversChanged({sha1(seed("cover-300.jpg")), sha1(seed("cover-600.jpg"))});

    // Replace the first and put a PNG in front of everything.
    PictureChange change;
    change.remove = {0};
    change.insert = {{0, seed("cover-160x120.png")}, {2, seed("cover-75.jpg")}};
    changePictures(path, change);
    EXPECT_EQ(idOf(path), roomy);
    expectOnlyCoversChanged(
        {sha1(seed("cover-160x120.png")), sha1(seed("cover-600.jpg")), sha1(seed("cover-75.jpg"))});

    changePictures(path, {{0, 1, 2}, {}});
    EXPECT_EQ(idOf(path), roomy);
    expectOnlyCoversChanged({});
    EXPECT_TRUE(readPictures(path).isEmpty());
    EXPECT_TRUE(leftoverCopies(folder.path()).isEmpty());
}

// Room another tool left (mutagen pads the item list as it saves) is used
// as well.
TEST_P(Mp4InPlace, RoomLeftByAnotherToolIsUsed) {
    mutagenAdd(path, seedPath(u"cover-75.jpg"_s), 3, u""_s);
    const FileId tagged = idOf(path);
    media = mediaData(readFile(path));
    comments = mutagenList(path).value(u"comments"_s);
    removePicture(path, 0);
    EXPECT_EQ(idOf(path), tagged);
    expectOnlyCoversChanged({});
    // About 1 KB of padding and the 440 bytes the first picture left.
    appendPicture(path, seed("cover-200.jpg"));
    EXPECT_EQ(idOf(path), tagged);
    expectOnlyCoversChanged({sha1(seed("cover-200.jpg"))});
}

// A change larger than the room writes the file anew, again with room.
TEST_P(Mp4InPlace, AChangeLargerThanTheRoomIsWrittenAnew) {
    appendPicture(path, seed("cover-75.jpg"));
    const FileId small = idOf(path);
    QByteArray large = seed("cover-600.jpg");
    large.append(QByteArray(600 * 1024, '\0'));
    appendPicture(path, large);
    EXPECT_NE(idOf(path).inode, small.inode);
    expectOnlyCoversChanged({sha1(seed("cover-75.jpg")), sha1(large)});
    const FileId grown = idOf(path);
    removePicture(path, 1);
    appendPicture(path, large);
    EXPECT_EQ(idOf(path), grown) << "the room is kept for a picture as large";
    expectOnlyCoversChanged({sha1(seed("cover-75.jpg")), sha1(large)});
}

// A change that is refused leaves the file as it was, in place or not.
TEST_P(Mp4InPlace, ARefusedChangeLeavesTheFileAsItWas) {
    appendPicture(path, seed("cover-75.jpg"));
    const QByteArray before = readFile(path);
    EXPECT_THROW(removePicture(path, 3), LibraryError);
    EXPECT_EQ(readFile(path), before);
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
    const QByteArray image = readFile(seedPath(u"cover-75.jpg"_s));
    for (int write = 0; write < 2; ++write) {
        SCOPED_TRACE(write);
        const FileId before = idOf(path);
        const QByteArray bytes = readFile(path);
        try {
            appendPicture(path, image);
        } catch (const LibraryError&) {
            EXPECT_EQ(readFile(path), bytes) << "refused, and left as it was";
            continue;
        }
        EXPECT_NE(idOf(path).inode, before.inode);
        EXPECT_EQ(mutagenList(path).value(u"pictures"_s).toArray().size(), write + 1);
        EXPECT_EQ(decodedAudio(path), audio);
    }
}

INSTANTIATE_TEST_SUITE_P(Encodings, Mp4InPlace, ::testing::ValuesIn(Encodings),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
