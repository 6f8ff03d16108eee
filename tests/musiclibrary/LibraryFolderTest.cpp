// Opening a music folder: which files become tracks, in which order, and
// with which names; and the paths that cannot be opened at all. The
// demonstration library: every picture format is in it, and building it
// again gives the same library (which song has which artwork is checked song
// by song by the scan of the demonstration library). User playlists: made,
// filled, found, deleted, kept across runs, and written as .m3u8 files.

#include "tests/musiclibrary/LibraryTestSupport.h"

#include "musiclibrary/DemoLibrary.h"

#include <QFile>
#include <QFileInfo>

#include <functional>
#include <tuple>

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
}

TEST_F(LibraryFolderTest, SymbolicLinkLoopIsWalkedOnce) {
    makeSong(music(), u"a/song.mp3"_s, {u"Looped"_s, {}, {}, 0});
    ASSERT_TRUE(QFile::link(music().path() + u"/a"_s, music().path() + u"/a/again"_s));
    ASSERT_TRUE(QFile::link(music().path(), music().path() + u"/a/root"_s));
    const ITunesPtr library = openMusic();
    EXPECT_EQ(trackNames(*library), QStringList({u"Looped"_s}));
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
    const QList<std::tuple<TrackPtr, std::function<void()>, int>> cases{
        {broken, [&] { broken->Artwork()->Count(); }, LibraryError::Unreadable},
        {broken, [&] { broken->Artwork()->Item(1); }, LibraryError::Unreadable},
        {broken, [&] { broken->AddArtworkFromFile(cover); }, LibraryError::Unreadable},
        {unhandled, [&] { unhandled->AddArtworkFromFile(cover); }, LibraryError::Unsupported},
    };
    for (const auto& [track, call, number] : cases) {
        const LibraryError error = libraryErrorOf(call);
        EXPECT_EQ(error.number(), number) << error.description().toStdString();
        EXPECT_TRUE(error.description().contains(track->Location()))
            << error.description().toStdString();
    }
}

// Paths below the music folder, written as files with the content given.
TEST_F(LibraryFolderTest, WhatCannotBeOpenedFailsWithADescriptionNamingThePath) {
    const QList<std::tuple<QString, QByteArray, int, QString>> paths{
        {u"nowhere"_s, {}, LibraryError::NotFound, u"does not exist"_s},
        {u"notes.txt"_s, "just some text", LibraryError::Unreadable,
         u"neither a music folder nor a library file"_s},
        {u"song.mp3"_s, QByteArray(512, '\x01'), LibraryError::Unreadable,
         u"neither a music folder nor a library file"_s},
        {u"library.xml"_s, "<?xml version=\"1.0\"?><plist><dict><key>", LibraryError::Unreadable,
         u"cannot be read"_s}};
    for (const auto& [relative, content, number, part] : paths) {
        const QString path = music().file(relative);
        SCOPED_TRACE(path.toStdString());
        if (!content.isEmpty())
            writeFile(path, content);
        const LibraryError error = libraryErrorOf([&] { open(path); });
        EXPECT_EQ(error.number(), number);
        EXPECT_TRUE(error.description().contains(path)) << error.description().toStdString();
        EXPECT_TRUE(error.description().contains(part)) << error.description().toStdString();
    }
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
        EXPECT_EQ(std::tie(tags.albumArtist, tags.releaseId, tags.releaseGroupId),
                  std::tie(expected.albumArtist, expected.releaseId, expected.releaseGroupId));
    }
}

// One line per track: its location, then each artwork's format, whether it
// is downloaded art, and its bytes.
QStringList contentsOf(IiTunes& library) {
    QStringList tracks;
    for (const TrackPtr& track : allTracks(library)) {
        QString line = track->Location();
        if (QFileInfo::exists(track->Location())) {
            const ArtworkCollectionPtr artwork = track->Artwork();
            const QList<QByteArray> data = track->ArtworkData();
            for (int i = 1; i <= artwork->Count(); ++i)
                line += u" %1:%2"_s.arg(artwork->Item(i)->Format())
                            .arg(artwork->Item(i)->IsDownloadedArtwork() ? u"d:"_s : QString()) +
                        QString::fromLatin1(data.value(i - 1).toBase64());
        }
        tracks.append(line);
    }
    return tracks;
}

TEST_F(LibraryFolderTest, TheDemoHoldsEveryPictureFormatAndRebuildingUndoesChanges) {
    const QString folder = music().path() + u"/Demo Library"_s;
    const QString libraryFile = buildDemoLibrary(folder, options());
    const QStringList built = contentsOf(*open(libraryFile));
    for (int format : {ITArtworkFormatJPEG, ITArtworkFormatPNG, ITArtworkFormatBMP})
        EXPECT_TRUE(built.join(u'\n').contains(u" %1:"_s.arg(format))) << format;

    const TrackPtr first = allTracks(*open(libraryFile))[0];
    first->AddArtworkFromFile(seedPath(u"cover-75.jpg"_s));
    first->SetDownloadedArtworkFromFile(seedPath(u"cover-75.jpg"_s));
    writeFile(folder + u"/stray.txt"_s, "left over");
    ASSERT_NE(contentsOf(*open(libraryFile)), built);

    EXPECT_EQ(buildDemoLibrary(folder, options()), libraryFile);
    EXPECT_EQ(contentsOf(*open(libraryFile)), built);
    EXPECT_FALSE(QFileInfo::exists(folder + u"/stray.txt"_s));
}

TEST_F(LibraryFolderTest, TheDemoRefusesToReplaceAnUnrelatedFolder) {
    writeFile(music().file(u"precious/keep.txt"_s), "mine");
    const QString folder = music().path() + u"/precious"_s;
    const LibraryError error = libraryErrorOf([&] { buildDemoLibrary(folder, options()); });
    EXPECT_EQ(error.number(), LibraryError::InvalidArgument);
    EXPECT_TRUE(error.description().contains(folder));
    EXPECT_TRUE(QFileInfo::exists(folder + u"/keep.txt"_s));
}

class PlaylistTest : public LibraryTest {
protected:
    void SetUp() override {
        makeSong(music(), u"1.mp3"_s, {u"One"_s, u"Ann"_s, {}, 0});
        makeSong(music(), u"2.mp3"_s, {u"Two"_s, {}, {}, 0});
        makeSong(music(), u"3.m4a"_s, {u"Three"_s, u"Cy"_s, {}, 0});
    }
    QString playlistFile(const QString& name) const {
        return dataFolder() + u"/playlists/"_s + name;
    }
};

TEST_F(PlaylistTest, CreateAddFindDeleteAndKeepAcrossRuns) {
    const QString name = u"Quillmoth - download artwork"_s;
    {
        const ITunesPtr library = openMusic();
        const QList<TrackPtr> tracks = allTracks(*library);
        const UserPlaylistPtr playlist = library->CreatePlaylist(name);
        playlist->AddTrack(tracks[2]);
        playlist->AddTrack(tracks[0]);
        library->CreatePlaylist(u"Other/Name"_s)->AddTrack(tracks[1]);
    }
    const ITunesPtr library = openMusic();
    const PlaylistCollectionPtr playlists = library->LibrarySource()->Playlists();
    ASSERT_EQ(playlists->Count(), 2);
    EXPECT_EQ(playlists->Item(2)->Name(), u"Other/Name"_s);
    const PlaylistPtr found = playlists->ItemByName(name);
    ASSERT_TRUE(found);
    const TrackCollectionPtr tracks = found->Tracks();
    ASSERT_EQ(tracks->Count(), 2);
    EXPECT_EQ(tracks->Item(1)->Name(), u"Three"_s);
    EXPECT_EQ(tracks->Item(2)->Name(), u"One"_s);
    int32_t high = 0, low = 0;
    library->GetITObjectPersistentIDs(allTracks(*library)[1], high, low);
    EXPECT_EQ(libraryErrorOf([&] { tracks->ItemByPersistentID(high, low); }).number(),
              LibraryError::NotFound);
    EXPECT_FALSE(playlists->ItemByName(u"quillmoth - download artwork"_s));

    const QString file = playlistFile(name + u".m3u8"_s);
    EXPECT_EQ(readFile(file), (u"#EXTM3U\n#EXTINF:-1,Cy - Three\n"_s + music().path() +
                               u"/3.m4a\n#EXTINF:-1,Ann - One\n"_s + music().path() + u"/1.mp3\n"_s)
                                  .toUtf8());
    EXPECT_TRUE(QFile::exists(playlistFile(u"Other_Name.m3u8"_s)));

    found->Delete();
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_EQ(playlists->Count(), 1);
    EXPECT_FALSE(playlists->ItemByName(name));
    EXPECT_EQ(libraryErrorOf([&] { found->Tracks(); }).number(), LibraryError::Deleted);
    EXPECT_EQ(libraryErrorOf([&] { found->Delete(); }).number(), LibraryError::Deleted);
    EXPECT_EQ(openMusic()->LibrarySource()->Playlists()->Count(), 1);
}

TEST_F(PlaylistTest, DuplicateNamesGetTheirOwnFiles) {
    const ITunesPtr library = openMusic();
    const UserPlaylistPtr first = library->CreatePlaylist(u"Same"_s);
    const UserPlaylistPtr second = library->CreatePlaylist(u"Same"_s);
    second->AddTrack(allTracks(*library)[0]);
    EXPECT_EQ(library->LibrarySource()->Playlists()->Count(), 2);
    first->Delete();
    const PlaylistPtr left = library->LibrarySource()->Playlists()->ItemByName(u"Same"_s);
    ASSERT_TRUE(left);
    EXPECT_EQ(left->Tracks()->Count(), 1);
}

TEST_F(PlaylistTest, LibraryPlaylistCannotBeDeleted) {
    const ITunesPtr library = openMusic();
    const PlaylistPtr all = library->LibraryPlaylist();
    EXPECT_EQ(libraryErrorOf([&] { all->Delete(); }).number(), LibraryError::Unsupported);
    EXPECT_EQ(libraryErrorOf([&] { all->Tracks()->Item(4); }).number(),
              LibraryError::InvalidArgument);
    EXPECT_EQ(libraryErrorOf([&] { library->CreatePlaylist(u"x"_s)->AddTrack(nullptr); }).number(),
              LibraryError::InvalidArgument);
}

} // namespace
