// Opening a music folder: which files become tracks, in which order, and
// with which names; and the paths that cannot be opened at all.

#include "tests/musiclibrary/LibraryTestSupport.h"

#include "musiclibrary/AudioFileIO.h"
#include "musiclibrary/SafeFileWrite.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace musiclibrary;
using namespace testing_support;
using namespace Qt::StringLiterals;

namespace {

class LibraryFolderTest : public LibraryTest {};

TEST_F(LibraryFolderTest, ListsNestedAudioFilesInPathOrderWithTagsOrFileNames) {
    makeSong(music(), u"B Artist/Album/02 second.mp3"_s, {u"Second"_s, u"B"_s, u"Disc"_s, 2});
    makeSong(music(), u"A Artist/01 untitled song.m4a"_s, {{}, u"A"_s, u"First Album"_s, 1});
    makeSong(music(), u"B Artist/Album/01 first.aiff"_s, {u"First"_s, u"B"_s, u"Disc"_s, 1});
    makeSong(music(), u"top.wav"_s, {u"Top"_s, {}, {}, 0});
    writeFile(music().file(u"B Artist/Album/Folder.jpg"_s), readFile(seedPath(u"cover-75.jpg"_s)));
    writeFile(music().file(u"notes.txt"_s), "not a song");

    const ITunesPtr library = openMusic();
    const QList<TrackPtr> tracks = allTracks(*library);
    ASSERT_EQ(tracks.size(), 4);
    EXPECT_EQ(trackNames(*library),
              QStringList({u"01 untitled song"_s, u"First"_s, u"Second"_s, u"Top"_s}));
    EXPECT_EQ(tracks[0]->Artist(), u"A"_s);
    EXPECT_EQ(tracks[0]->Album(), u"First Album"_s);
    EXPECT_EQ(tracks[0]->KindAsString(), u"AAC audio file"_s);
    EXPECT_EQ(tracks[1]->TrackNumber(), 1);
    EXPECT_EQ(tracks[1]->KindAsString(), u"AIFF audio file"_s);
    EXPECT_EQ(tracks[2]->Location(), music().path() + u"/B Artist/Album/02 second.mp3"_s);
    EXPECT_EQ(tracks[2]->KindAsString(), u"MPEG audio file"_s);
    EXPECT_EQ(tracks[3]->KindAsString(), u"WAV audio file"_s);

    // A second opening of the unchanged folder gives the same order and ids.
    const ITunesPtr again = openMusic();
    const QList<TrackPtr> tracksAgain = allTracks(*again);
    ASSERT_EQ(tracksAgain.size(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(tracksAgain[i]->Location(), tracks[i]->Location());
        EXPECT_EQ(persistentId(*again, tracksAgain[i]), persistentId(*library, tracks[i]));
    }
}

TEST_F(LibraryFolderTest, HiddenFilesAreTracksAndOtherKindsHaveNoPictures) {
    makeSong(music(), u".hidden/.secret.mp3"_s, {u"Secret"_s, {}, {}, 0});
    // A kind whose pictures the engine does not handle.
    writeFile(music().file(u"song.wv"_s), "wvpk and little else");
    const ITunesPtr library = openMusic();
    const QList<TrackPtr> tracks = allTracks(*library);
    ASSERT_EQ(tracks.size(), 2);
    EXPECT_EQ(tracks[0]->Name(), u"Secret"_s);
    EXPECT_EQ(tracks[1]->KindAsString(), u"WavPack audio file"_s);
    EXPECT_EQ(tracks[1]->Artwork()->Count(), 0);
    const LibraryError error =
        libraryErrorOf([&] { tracks[1]->AddArtworkFromFile(seedPath(u"cover-75.jpg"_s)); });
    EXPECT_EQ(error.number(), LibraryError::Unsupported);
    EXPECT_TRUE(error.description().contains(tracks[1]->Location()));
}

TEST_F(LibraryFolderTest, SymbolicLinkLoopIsWalkedOnce) {
    makeSong(music(), u"a/song.mp3"_s, {u"Looped"_s, {}, {}, 0});
    ASSERT_TRUE(QFile::link(music().path() + u"/a"_s, music().path() + u"/a/again"_s));
    ASSERT_TRUE(QFile::link(music().path(), music().path() + u"/a/root"_s));
    const ITunesPtr library = openMusic();
    EXPECT_EQ(trackNames(*library), QStringList({u"Looped"_s}));
}

// A copy that no running write holds is what a killed write left: opening
// the library removes it at once; a copy a write still holds stays.
TEST_F(LibraryFolderTest, OpeningRemovesTemporaryCopiesThatNoWriteHolds) {
    makeSong(music(), u"a/song.mp3"_s, {u"Song"_s, {}, {}, 0});
    const QString left =
        music().file(u"a/.song.mp3"_s + SafeFileWrite::copyNameMarker() + u"Qw12Er"_s);
    const QString held =
        music().file(u"a/.song.mp3"_s + SafeFileWrite::copyNameMarker() + u"Ty34Ui"_s);
    writeFile(left, "partial");
    writeFile(held, "partial");
    const int holder = ::open(QFile::encodeName(held).constData(), O_RDONLY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);
    const ITunesPtr library = openMusic();
    EXPECT_EQ(trackNames(*library), QStringList({u"Song"_s}));
    EXPECT_FALSE(QFile::exists(left));
    EXPECT_TRUE(QFile::exists(held));
    ::close(holder);
}

TEST_F(LibraryFolderTest, UnparseableFileIsTrackNamedByFileWhoseArtworkCallsThrow) {
    writeFile(music().file(u"broken song.mp3"_s), QByteArray(4096, '\x7f'));
    const ITunesPtr library = openMusic();
    const QList<TrackPtr> tracks = allTracks(*library);
    ASSERT_EQ(tracks.size(), 1);
    EXPECT_EQ(tracks[0]->Name(), u"broken song"_s);
    const QList<std::function<void()>> calls = {
        [&] { tracks[0]->Artwork()->Count(); },
        [&] { tracks[0]->Artwork()->Item(1); },
        [&] { tracks[0]->AddArtworkFromFile(seedPath(u"cover-75.jpg"_s)); },
    };
    for (const auto& call : calls) {
        const LibraryError error = libraryErrorOf(call);
        EXPECT_EQ(error.number(), LibraryError::Unreadable);
        EXPECT_TRUE(error.description().contains(tracks[0]->Location()))
            << error.description().toStdString();
    }
}

struct UnopenablePath {
    const char* label;
    QString relative;   // below the test's music folder
    QByteArray content; // written as a file unless empty
    int number;
    QString descriptionPart;
};

class UnopenableLibraryTest : public LibraryTest,
                              public ::testing::WithParamInterface<UnopenablePath> {};

TEST_P(UnopenableLibraryTest, FailsWithDescriptionNamingThePath) {
    const UnopenablePath& param = GetParam();
    const QString path = music().path() + u'/' + param.relative;
    if (!param.content.isEmpty())
        writeFile(path, param.content);
    const LibraryError error = libraryErrorOf([&] { open(path); });
    EXPECT_EQ(error.number(), param.number);
    EXPECT_TRUE(error.description().contains(path)) << error.description().toStdString();
    EXPECT_TRUE(error.description().contains(param.descriptionPart))
        << error.description().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Paths, UnopenableLibraryTest,
    ::testing::Values(
        UnopenablePath{"missing", u"nowhere"_s, {}, LibraryError::NotFound, u"does not exist"_s},
        UnopenablePath{"text", u"notes.txt"_s, "just some text", LibraryError::Unreadable,
                       u"neither a music folder nor a library file"_s},
        UnopenablePath{"song", u"song.mp3"_s, QByteArray(512, '\x01'), LibraryError::Unreadable,
                       u"neither a music folder nor a library file"_s},
        UnopenablePath{"brokenXml", u"library.xml"_s, "<?xml version=\"1.0\"?><plist><dict><key>",
                       LibraryError::Unreadable, u"cannot be read"_s}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(LibraryOpenTest, EmptyPathIsRefused) {
    EXPECT_EQ(libraryErrorOf([] { openLibrary(QString(), {}); }).number(),
              LibraryError::InvalidArgument);
}

// The album facts that taggers add are read in each container's own form:
// ID3v2 TXXX frames, MP4 freeform items, Vorbis comments.
TEST_F(LibraryTest, AlbumTagsAreReadFromEveryKindOfTag) {
    const QString releaseId = u"76df3287-6cda-33eb-8e9a-044b5e15ffdd"_s;
    const QString groupId = u"8e8a594f-2175-3b3e-9b3a-8c4e2e1d7a31"_s;
    QStringList songs;
    for (const QString& name : {u"a.mp3"_s, u"b.m4a"_s, u"c.aiff"_s, u"d.ogg"_s}) {
        const AlbumTags album{u"Various Artists"_s, releaseId, groupId};
        songs.append(makeSong(music(), name, {name, u"Artist"_s, u"Album"_s, 1}, {}, &album));
    }
    const QString plain = makeSong(music(), u"e.mp3"_s, {u"Plain"_s, u"Artist"_s, u"Album"_s, 1});
    const QString damaged = music().file(u"f.mp3"_s);
    writeFile(damaged, QByteArray("ID3\x04\x00\x00\x7f\x7f\x7f\x7f", 10) + QByteArray(64, 'x'));

    const ITunesPtr library = openMusic();
    for (const TrackPtr& track : allTracks(*library)) {
        SCOPED_TRACE(track->Location().toStdString());
        const AlbumTags tags = track->ReadAlbumTags();
        if (songs.contains(track->Location())) {
            EXPECT_EQ(tags.albumArtist, u"Various Artists"_s);
            EXPECT_EQ(tags.releaseId, releaseId);
            EXPECT_EQ(tags.releaseGroupId, groupId);
        } else {
            EXPECT_TRUE(tags.albumArtist.isEmpty());
            EXPECT_TRUE(tags.releaseId.isEmpty());
            EXPECT_TRUE(tags.releaseGroupId.isEmpty());
        }
    }
    EXPECT_EQ(allTracks(*library).size(), 6);
    EXPECT_TRUE(readAlbumTags(plain).releaseId.isEmpty());
}

} // namespace
