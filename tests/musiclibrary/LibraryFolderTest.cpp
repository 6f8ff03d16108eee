// Opening a music folder: which files become tracks, in which order, and
// with which names; and the paths that cannot be opened at all.

#include "tests/musiclibrary/LibraryTestSupport.h"

#include "musiclibrary/SafeFileWrite.h"

#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <functional>

using namespace musiclibrary;
using namespace testing_support;
using namespace Qt::StringLiterals;

namespace {

class LibraryFolderTest : public LibraryTest {};

TEST_F(LibraryFolderTest, ListsNestedAndHiddenAudioFilesInPathOrderWithTagsOrFileNames) {
    makeSong(music(), u"B Artist/Album/02 second.mp3"_s, {u"Second"_s, u"B"_s, u"Disc"_s, 2});
    makeSong(music(), u"A Artist/01 untitled song.m4a"_s, {{}, u"A"_s, u"First Album"_s, 1});
    makeSong(music(), u"B Artist/Album/01 first.aiff"_s, {u"First"_s, u"B"_s, u"Disc"_s, 1});
    makeSong(music(), u".hidden/.secret.wav"_s, {u"Secret"_s, {}, {}, 0});
    writeFile(music().file(u"B Artist/Album/Folder.jpg"_s), readFile(seedPath(u"cover-75.jpg"_s)));
    writeFile(music().file(u"notes.txt"_s), "not a song");

    const ITunesPtr library = openMusic();
    const QList<TrackPtr> tracks = allTracks(*library);
    ASSERT_EQ(trackNames(*library),
              QStringList({u"Secret"_s, u"01 untitled song"_s, u"First"_s, u"Second"_s}));
    EXPECT_EQ(tracks[1]->Artist(), u"A"_s);
    EXPECT_EQ(tracks[1]->Album(), u"First Album"_s);
    EXPECT_EQ(tracks[2]->TrackNumber(), 1);
    EXPECT_EQ(tracks[3]->Location(), music().path() + u"/B Artist/Album/02 second.mp3"_s);

    // A second opening of the unchanged folder gives the same order and ids.
    const ITunesPtr again = openMusic();
    for (int i = 0; i < tracks.size(); ++i)
        EXPECT_EQ(persistentId(*again, allTracks(*again).value(i)),
                  persistentId(*library, tracks[i]));
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

// A song that cannot be parsed is still a track, named by its file; it and a
// kind whose pictures the engine does not handle refuse artwork calls.
TEST_F(LibraryFolderTest, ArtworkOfUnreadableOrUnhandledSongsIsRefusedNamingTheSong) {
    writeFile(music().file(u"broken song.mp3"_s), QByteArray(4096, '\x7f'));
    writeFile(music().file(u"song.wv"_s), "wvpk and little else");
    const ITunesPtr library = openMusic();
    const QList<TrackPtr> tracks = allTracks(*library);
    ASSERT_EQ(tracks.size(), 2);
    const TrackPtr broken = tracks[0];
    const TrackPtr unhandled = tracks[1];
    EXPECT_EQ(broken->Name(), u"broken song"_s);
    EXPECT_EQ(unhandled->Artwork()->Count(), 0);
    const QString cover = seedPath(u"cover-75.jpg"_s);
    const struct {
        TrackPtr track;
        std::function<void()> call;
        int number;
    } cases[] = {
        {broken, [&] { broken->Artwork()->Count(); }, LibraryError::Unreadable},
        {broken, [&] { broken->Artwork()->Item(1); }, LibraryError::Unreadable},
        {broken, [&] { broken->AddArtworkFromFile(cover); }, LibraryError::Unreadable},
        {unhandled, [&] { unhandled->AddArtworkFromFile(cover); }, LibraryError::Unsupported},
    };
    for (const auto& c : cases) {
        const LibraryError error = libraryErrorOf(c.call);
        EXPECT_EQ(error.number(), c.number) << error.description().toStdString();
        EXPECT_TRUE(error.description().contains(c.track->Location()))
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
    const AlbumTags album{u"Various Artists"_s, u"76df3287-6cda-33eb-8e9a-044b5e15ffdd"_s,
                          u"8e8a594f-2175-3b3e-9b3a-8c4e2e1d7a31"_s};
    QStringList tagged;
    for (const QString& name : {u"a.mp3"_s, u"b.m4a"_s, u"c.aiff"_s, u"d.ogg"_s})
        tagged.append(makeSong(music(), name, {name, u"Artist"_s, u"Album"_s, 1}, {}, &album));
    makeSong(music(), u"e.mp3"_s, {u"Plain"_s, u"Artist"_s, u"Album"_s, 1});
    writeFile(music().file(u"f.mp3"_s),
              QByteArray("ID3\x04\x00\x00\x7f\x7f\x7f\x7f", 10) + QByteArray(64, 'x'));

    const QList<TrackPtr> tracks = allTracks(*openMusic());
    ASSERT_EQ(tracks.size(), 6);
    for (const TrackPtr& track : tracks) {
        SCOPED_TRACE(track->Location().toStdString());
        const AlbumTags expected = tagged.contains(track->Location()) ? album : AlbumTags{};
        const AlbumTags tags = track->ReadAlbumTags();
        EXPECT_EQ(tags.albumArtist, expected.albumArtist);
        EXPECT_EQ(tags.releaseId, expected.releaseId);
        EXPECT_EQ(tags.releaseGroupId, expected.releaseGroupId);
    }
}

} // namespace
