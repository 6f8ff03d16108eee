// Reading and changing the pictures of real song files made from the seeds,
// each case for every kind that can hold pictures.

#include "musiclibrary/AudioFileIO.h"
#include "musiclibrary/ITunes.h"
#include "tests/common/TestFiles.h"
#include "tests/musiclibrary/AudioFileTestFiles.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace musiclibrary;
using namespace testing_support;

namespace {

struct SongKind {
    const char* seed;
    const char* kind;
};

std::ostream& operator<<(std::ostream& out, const SongKind& song) {
    return out << song.seed;
}

class AudioFilePictures : public ::testing::TestWithParam<SongKind> {
protected:
    QString song() const {
        const QString seed = QString::fromLatin1(GetParam().seed);
        return folder.copySeed(seed, u"Album/"_s + seed);
    }
    static QByteArray image(const char* name) {
        return readFile(seedPath(QString::fromLatin1(name)));
    }

    static QList<QByteArray> bytesOf(const QList<Picture>& pictures) {
        QList<QByteArray> bytes;
        for (const Picture& picture : pictures)
            bytes.append(picture.data);
        return bytes;
    }

    TempFolder folder;
};

TEST_P(AudioFilePictures, SeedReadsWithKindTitleAndNoPictures) {
    const AudioFileFacts facts = readAudioFileFacts(song());
    EXPECT_TRUE(facts.tagsReadable);
    EXPECT_TRUE(facts.picturesSupported);
    EXPECT_EQ(facts.kind, QString::fromLatin1(GetParam().kind));
    EXPECT_EQ(facts.title, u"Seed"_s);
    EXPECT_TRUE(facts.pictures.isEmpty());
    EXPECT_TRUE(readPictures(song()).isEmpty());
}

TEST_P(AudioFilePictures, AppendedPicturesKeepTheirOrderAndBytes) {
    const QString path = song();
    const QByteArray first = image("cover-600.jpg");
    const QByteArray second = image("cover-160x120.png");
    appendPicture(path, first);
    appendPicture(path, second);

    const QList<Picture> pictures = readPictures(path);
    ASSERT_EQ(pictures.size(), 2);
    EXPECT_EQ(bytesOf(pictures), (QList<QByteArray>{first, second}));
    EXPECT_EQ(pictures.at(0).format, ITArtworkFormatJPEG);
    EXPECT_EQ(pictures.at(1).format, ITArtworkFormatPNG);

    const AudioFileFacts facts = readAudioFileFacts(path);
    ASSERT_EQ(facts.pictures.size(), 2);
    EXPECT_EQ(facts.pictures.at(0).byteSize, first.size());
    EXPECT_EQ(facts.pictures.at(1).format, ITArtworkFormatPNG);
    EXPECT_EQ(facts.title, u"Seed"_s) << "the other tags must survive";
}

TEST_P(AudioFilePictures, RemovingTheMiddlePictureKeepsTheOthersInOrder) {
    const QString path = song();
    const QList<QByteArray> images{image("cover-300.jpg"), image("cover-48.bmp"),
                                   image("cover-75.jpg")};
    for (const QByteArray& data : images)
        appendPicture(path, data);

    removePicture(path, 1);
    const QList<Picture> pictures = readPictures(path);
    EXPECT_EQ(bytesOf(pictures), (QList<QByteArray>{images.at(0), images.at(2)}));

    removePicture(path, 0);
    removePicture(path, 0);
    EXPECT_TRUE(readPictures(path).isEmpty());
    EXPECT_EQ(readAudioFileFacts(path).title, u"Seed"_s);
}

// A write hands back the facts it read while checking its copy; the index
// keeps them instead of reading the file again, so they must be exactly what
// a fresh read of the replaced file gives.
TEST_P(AudioFilePictures, AWriteReportsTheFactsOfTheFileAsWritten) {
    const QString path = song();
    const auto expectFreshFacts = [&](const AudioFileFacts& written, const char* step) {
        const AudioFileFacts fresh = readAudioFileFacts(path);
        EXPECT_EQ(written.tagsReadable, fresh.tagsReadable) << step;
        EXPECT_EQ(written.picturesSupported, fresh.picturesSupported) << step;
        EXPECT_EQ(written.kind, fresh.kind) << step;
        EXPECT_EQ(written.title, fresh.title) << step;
        EXPECT_EQ(written.artist, fresh.artist) << step;
        EXPECT_EQ(written.album, fresh.album) << step;
        EXPECT_EQ(written.trackNumber, fresh.trackNumber) << step;
        ASSERT_EQ(written.pictures.size(), fresh.pictures.size()) << step;
        for (qsizetype i = 0; i < fresh.pictures.size(); ++i) {
            EXPECT_EQ(written.pictures[i].format, fresh.pictures[i].format) << step;
            EXPECT_EQ(written.pictures[i].byteSize, fresh.pictures[i].byteSize) << step;
        }
    };
    expectFreshFacts(appendPicture(path, image("cover-600.jpg")), "first append");
    const AudioFileFacts two = appendPicture(path, image("cover-48.bmp"));
    expectFreshFacts(two, "second append");
    EXPECT_EQ(two.pictures.size(), 2);
    expectFreshFacts(removePicture(path, 0), "remove");
}

TEST_P(AudioFilePictures, FormatsComeFromTheBytes) {
    const QString path = song();
    const QByteArray gif = QByteArray("GIF89a") + QByteArray(32, '\x01');
    for (const char* name : {"cover-200.jpg", "cover-160x120.png", "cover-48.bmp"})
        appendPicture(path, image(name));
    appendPicture(path, gif);
    const AudioFileFacts facts = readAudioFileFacts(path);
    ASSERT_EQ(facts.pictures.size(), 4);
    EXPECT_EQ(facts.pictures.at(0).format, ITArtworkFormatJPEG);
    EXPECT_EQ(facts.pictures.at(1).format, ITArtworkFormatPNG);
    EXPECT_EQ(facts.pictures.at(2).format, ITArtworkFormatBMP);
    EXPECT_EQ(facts.pictures.at(3).format, ITArtworkFormatUnknown);
    EXPECT_EQ(readPictures(path).at(3).data, gif);
}

TEST_P(AudioFilePictures, BadArgumentsAreRefusedAndChangeNothing) {
    const QString path = song();
    appendPicture(path, image("cover-75.jpg"));
    const QByteArray before = readFile(path);

    const auto expectRefused = [&](auto call, int number) {
        try {
            call();
            ADD_FAILURE() << "no error";
        } catch (const LibraryError& error) {
            EXPECT_EQ(error.number(), number);
            EXPECT_TRUE(error.description().contains(path)) << error.description().toStdString();
        }
        EXPECT_EQ(readFile(path), before);
    };
    expectRefused([&] { appendPicture(path, {}); }, LibraryError::InvalidArgument);
    expectRefused([&] { appendPicture(path, QByteArray(64 * 1024 * 1024 + 1, 'x')); },
                  LibraryError::InvalidArgument);
    expectRefused([&] { removePicture(path, 1); }, LibraryError::InvalidArgument);
    expectRefused([&] { removePicture(path, -1); }, LibraryError::InvalidArgument);
    EXPECT_TRUE(leftoverCopies(folder.path() + u"/Album"_s).isEmpty());
}

// A song's whole change is one write: removals and insertions together,
// with the pictures in the order the change says.
TEST_P(AudioFilePictures, OneChangeRemovesAndInsertsInOrder) {
    const QString path = song();
    const QList<QByteArray> images{image("cover-300.jpg"), image("cover-48.bmp"),
                                   image("cover-75.jpg"), image("cover-160x120.png")};
    for (const QByteArray& data : images.mid(0, 3))
        appendPicture(path, data);

    const QByteArray fresh = image("cover-600.jpg");
    changePictures(path, {{0, 2}, {{-1, fresh}, {0, images[3]}}});
    EXPECT_EQ(bytesOf(readPictures(path)), (QList<QByteArray>{images[3], images[1], fresh}));

    // Everything removed and one added: only the new picture remains.
    changePictures(path, {{0, 1, 2}, {{-1, images[0]}}});
    EXPECT_EQ(bytesOf(readPictures(path)), QList<QByteArray>{images[0]});
    EXPECT_EQ(readAudioFileFacts(path).title, u"Seed"_s);

    // An insertion in the middle puts the later pictures behind it.
    appendPicture(path, images[2]);
    changePictures(path, {{}, {{1, images[1]}}});
    EXPECT_EQ(bytesOf(readPictures(path)), (QList<QByteArray>{images[0], images[1], images[2]}));
}

TEST_P(AudioFilePictures, AChangeThatCannotBeAppliedChangesNothing) {
    const QString path = song();
    appendPicture(path, image("cover-75.jpg"));
    appendPicture(path, image("cover-300.jpg"));
    const QByteArray before = readFile(path);
    const QList<PictureChange> refused{
        {{0, 0}, {}},                                  // the same picture twice
        {{0, 5}, {}},                                  // a position the file lacks
        {{0}, {{-1, QByteArray()}}},                   // an empty image beside a valid removal
        {{}, {{-1, image("cover-48.bmp")}, {-1, {}}}}, // one good and one empty image
    };
    for (const PictureChange& change : refused) {
        try {
            changePictures(path, change);
            ADD_FAILURE() << "no error";
        } catch (const LibraryError& error) {
            EXPECT_EQ(error.number(), LibraryError::InvalidArgument);
        }
        EXPECT_EQ(readFile(path), before);
    }
    EXPECT_TRUE(leftoverCopies(folder.path() + u"/Album"_s).isEmpty());
}

TEST_P(AudioFilePictures, AWriteKeepsPermissions) {
    const QString path = song();
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    appendPicture(path, image("cover-75.jpg"));
    EXPECT_EQ(QFile::permissions(path) & ~(QFile::ReadUser | QFile::WriteUser),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
}

INSTANTIATE_TEST_SUITE_P(Kinds, AudioFilePictures,
                         ::testing::Values(SongKind{"seed.mp3", "MPEG audio file"},
                                           SongKind{"seed.m4a", "AAC audio file"},
                                           SongKind{"seed.aiff", "AIFF audio file"},
                                           SongKind{"seed.wav", "WAV audio file"},
                                           SongKind{"seed.ogg", "Ogg Vorbis audio file"},
                                           SongKind{"seed.opus", "Opus audio file"},
                                           SongKind{"seed.flac", "FLAC audio file"}));

TEST(AudioFileKinds, KindsByName) {
    const QList<std::pair<QString, QString>> cases{
        {u"/m/a.mp3"_s, u"MPEG audio file"_s},
        {u"/m/a.MP3"_s, u"MPEG audio file"_s},
        {u"/m/a.m4a"_s, u"AAC audio file"_s},
        {u"/m/a.m4p"_s, u"Protected AAC audio file"_s},
        {u"/m/a.aif"_s, u"AIFF audio file"_s},
        {u"/m/a.wav"_s, u"WAV audio file"_s},
        {u"/m/a.ogg"_s, u"Ogg Vorbis audio file"_s},
        {u"/m/a.oga"_s, u"Ogg Vorbis audio file"_s},
        {u"/m/a.opus"_s, u"Opus audio file"_s},
        {u"/m/a.flac"_s, u"FLAC audio file"_s},
        {u"/m/a.wma"_s, u"Windows Media audio file"_s},
        {u"/m/cover.jpg"_s, QString()},
        {u"/m/noextension"_s, QString()},
    };
    for (const auto& [path, kind] : cases)
        EXPECT_EQ(kindForFileName(path), kind) << path.toStdString();
}

TEST(AudioFileKinds, ImageFormatsBySignature) {
    EXPECT_EQ(imageFormatOf(QByteArray::fromHex("ffd8ffe000")), ITArtworkFormatJPEG);
    EXPECT_EQ(imageFormatOf(QByteArray::fromHex("89504e470d0a1a0a")), ITArtworkFormatPNG);
    EXPECT_EQ(imageFormatOf("BM\x10\x00"), ITArtworkFormatBMP);
    EXPECT_EQ(imageFormatOf("GIF89a"), ITArtworkFormatUnknown);
    EXPECT_EQ(imageFormatOf(QByteArray::fromHex("ffd8")), ITArtworkFormatUnknown);
    EXPECT_EQ(imageFormatOf({}), ITArtworkFormatUnknown);
}

} // namespace
