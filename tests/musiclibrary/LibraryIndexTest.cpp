// The index: reopening an unchanged library reads no song file, a changed
// file is read again, persistent ids stay, a damaged index is set aside.

#include "tests/musiclibrary/LibraryCaseSupport.h"

#include <QDir>
#include <QFile>

using namespace musiclibrary;
using namespace testing_support;
using namespace Qt::StringLiterals;

namespace {

class LibraryIndexTest : public LibraryTest {};

// Reading a file again is what the index saves: a file of the same size and
// time keeps its row, also one whose kind its content refined (an Opus
// stream named .ogg); a changed file is read again.
TEST_F(LibraryIndexTest, UnchangedFilesKeepTheirFactsAndChangedOnesAreReadAgain) {
    const QString path = makeSong(music(), u"a.mp3"_s, {u"Indexed"_s, u"Artist"_s, {}, 3},
                                  {u"cover-75.jpg"_s, u"cover-48.bmp"_s});
    const QString opus = music().copySeed(u"seed.opus"_s, u"b.ogg"_s);
    const QList<TrackPtr> first = allTracks(*openMusic());
    ASSERT_EQ(first.size(), 2);
    ASSERT_EQ(first[0]->Artwork()->Count(), 2);
    ASSERT_EQ(first[1]->KindAsString(), u"Opus audio file"_s);

    // Unreadable garbage now, but with the same size and time: only opening
    // the files could notice.
    replaceContentKeepingStamp(path);
    replaceContentKeepingStamp(opus);
    const QList<TrackPtr> tracks = allTracks(*openMusic());
    ASSERT_EQ(tracks.size(), 2);
    EXPECT_EQ(tracks[0]->Name(), u"Indexed"_s);
    EXPECT_EQ(tracks[0]->Artist(), u"Artist"_s);
    EXPECT_EQ(tracks[0]->TrackNumber(), 3);
    ASSERT_EQ(tracks[0]->Artwork()->Count(), 2);
    EXPECT_EQ(tracks[0]->Artwork()->Item(1)->Format(), ITArtworkFormatJPEG);
    EXPECT_EQ(tracks[0]->Artwork()->Item(2)->Format(), ITArtworkFormatBMP);
    EXPECT_EQ(tracks[1]->KindAsString(), u"Opus audio file"_s);

    makeSong(music(), u"a.mp3"_s, {u"After"_s, {}, {}, 0}, {u"cover-75.jpg"_s});
    const TrackPtr changed = allTracks(*openMusic())[0];
    EXPECT_EQ(changed->Name(), u"After"_s);
    EXPECT_EQ(changed->Artwork()->Count(), 1);
}

TEST_F(LibraryIndexTest, PersistentIdsStayAndVanishedTracksAreNotFound) {
    makeSong(music(), u"a.mp3"_s, {u"A"_s, {}, {}, 0});
    const QString doomed = makeSong(music(), u"b.mp3"_s, {u"B"_s, {}, {}, 0});
    const ITunesPtr first = openMusic();
    const QList<TrackPtr> tracks = allTracks(*first);
    ASSERT_EQ(tracks.size(), 2);
    int32_t highA = 0, lowA = 0, highB = 0, lowB = 0;
    first->GetITObjectPersistentIDs(tracks[0], highA, lowA);
    first->GetITObjectPersistentIDs(tracks[1], highB, lowB);

    ASSERT_TRUE(QFile::remove(doomed));
    const ITunesPtr second = openMusic();
    const TrackCollectionPtr all = second->LibraryPlaylist()->Tracks();
    EXPECT_EQ(all->ItemByPersistentID(highA, lowA)->Name(), u"A"_s);
    const LibraryError error = libraryErrorOf([&] { all->ItemByPersistentID(highB, lowB); });
    EXPECT_EQ(error.number(), LibraryError::NotFound);
    // A track object of another library is not one of this library's.
    EXPECT_EQ(libraryErrorOf([&] {
                  int32_t h, l;
                  second->GetITObjectPersistentIDs(tracks[0], h, l);
              }).number(),
              LibraryError::InvalidArgument);
}

// An index a newer version wrote is refused and left byte for byte.
TEST_F(LibraryIndexTest, AnIndexOfANewerVersionIsRefusedAndLeftAlone) {
    makeSong(music(), u"a.mp3"_s, {u"A"_s, {}, {}, 0});
    openMusic();
    const QString indexPath = dataFolder() + u"/index.sqlite"_s;
    runSql(indexPath, "PRAGMA journal_mode=DELETE; PRAGMA user_version = 9");
    const QByteArray before = readFile(indexPath);

    EXPECT_EQ(libraryErrorOf([&] { openMusic(); }).number(), LibraryError::Unsupported);
    EXPECT_EQ(readFile(indexPath), before);
    EXPECT_EQ(QDir(dataFolder()).entryList({u"index.sqlite*"_s}), QStringList{u"index.sqlite"_s});
}

struct DamagedRow {
    const char* label;
    const char* change; // the SET part of an UPDATE of the one files row
};

class DamagedIndexRowTest : public LibraryIndexTest,
                            public ::testing::WithParamInterface<DamagedRow> {};

// Every damaged row also claims another title: were the row believed, the
// track would show it.
TEST_P(DamagedIndexRowTest, IsNotBelievedAndTheFileIsReadAgain) {
    makeSong(music(), u"a.mp3"_s, {u"Real"_s, {}, {}, 2}, {u"cover-75.jpg"_s});
    openMusic();
    runSql(dataFolder() + u"/index.sqlite"_s,
           std::string("UPDATE files SET title = 'Misleading', ") + GetParam().change);

    const QList<TrackPtr> tracks = allTracks(*openMusic());
    ASSERT_EQ(tracks.size(), 1);
    EXPECT_EQ(tracks[0]->Name(), u"Real"_s);
    EXPECT_EQ(tracks[0]->TrackNumber(), 2);
    EXPECT_EQ(tracks[0]->KindAsString(), u"MPEG audio file"_s);
    ASSERT_EQ(tracks[0]->Artwork()->Count(), 1);
    EXPECT_EQ(tracks[0]->Artwork()->Item(1)->Format(), ITArtworkFormatJPEG);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DamagedIndexRowTest,
    ::testing::Values(
        DamagedRow{"pictureLargerThanFile", "pictures = '1:99999999999'"},
        DamagedRow{"picturesTogetherLargerThanFile", "pictures = '1:900000,1:900000'"},
        DamagedRow{"unknownPictureFormat", "pictures = '9:10'"},
        DamagedRow{"pictureFormatAsText", "pictures = 'x:3'"},
        DamagedRow{"pictureWithoutSize", "pictures = '1:'"},
        DamagedRow{"negativePictureSize", "pictures = '1:-4'"},
        DamagedRow{"emptyPictureEntry", "pictures = '1:2,,'"},
        DamagedRow{"tooManyPictures",
                   "pictures = substr(replace(hex(zeroblob(5000)), '00', '1:1,'), 1, 19999)"},
        DamagedRow{"picturesWhereNoneCanBe", "pictures_supported = 0, pictures = '1:10'"},
        // As an earlier version wrote for FLAC, Ogg and Opus songs.
        DamagedRow{"picturesNotReadWhereTheyCanBe", "pictures_supported = 0, pictures = ''"},
        DamagedRow{"flagOutOfRange", "tags_readable = 7"},
        DamagedRow{"negativeTrackNumber", "track_number = -5"},
        DamagedRow{"trackNumberAsText", "track_number = 'seven'"},
        DamagedRow{"hugeTrackNumber", "track_number = 9000000000"},
        DamagedRow{"foreignKind", "kind = 'Portable Document'"},
        DamagedRow{"titleAsBlob", "artist = randomblob(16)"},
        DamagedRow{"hugeText", "album = hex(zeroblob(40000))"},
        DamagedRow{"sizeAsText", "size = 'large'"},
        DamagedRow{"timeAsReal", "mtime_ns = mtime_ns + 0.5"}),
    [](const auto& info) { return std::string(info.param.label); });

// Damaged rows of the engine's own records are left out; the library opens.
TEST_F(LibraryIndexTest, DamagedPlaylistAndIdRowsAreIgnored) {
    makeSong(music(), u"a.mp3"_s, {u"A"_s, {}, {}, 0});
    {
        const ITunesPtr library = openMusic();
        const UserPlaylistPtr playlist = library->CreatePlaylist(u"Good"_s);
        playlist->AddTrack(allTracks(*library)[0]);
        library->CreatePlaylist(u"Bad"_s)->AddTrack(allTracks(*library)[0]);
    }
    const QString indexPath = dataFolder() + u"/records.sqlite"_s;
    runSql(indexPath, "UPDATE playlist_tracks SET persistent_id = 'x' WHERE playlist_id ="
                      " (SELECT id FROM playlists WHERE name = 'Bad');"
                      "UPDATE playlists SET name = randomblob(8) WHERE name = 'Bad';");
    {
        const ITunesPtr library = openMusic();
        const PlaylistCollectionPtr playlists = library->LibrarySource()->Playlists();
        const PlaylistPtr good = playlists->ItemByName(u"Good"_s);
        ASSERT_TRUE(good);
        EXPECT_EQ(good->Tracks()->Count(), 1);
        for (int i = 1; i <= playlists->Count(); ++i)
            EXPECT_FALSE(playlists->Item(i)->Name().contains(QChar(0xFFFD)));
    }
    // A damaged id is handed out anew rather than taken as 0.
    runSql(indexPath, "UPDATE ids SET persistent_id = 'x'");
    const ITunesPtr library = openMusic();
    ASSERT_EQ(allTracks(*library).size(), 1);
    EXPECT_NE(persistentId(*library, allTracks(*library)[0]), 0u);
}

// An unreadable cache of the song files' facts is set aside as it is, with a
// word to the user, and a new one begun. The ids and playlists are not a
// cache: the damage cannot take them along, nor can the move out of an index
// of the earlier single-file form.
TEST_F(LibraryIndexTest, AnUnreadableIndexIsSetAsideAndIdsAndPlaylistsOutliveIt) {
    makeSong(music(), u"a.mp3"_s, {u"A"_s, {}, {}, 0}, {u"cover-75.jpg"_s});
    quint64 id = 0;
    {
        const ITunesPtr library = openMusic();
        id = persistentId(*library, allTracks(*library)[0]);
        library->CreatePlaylist(u"Mine"_s)->AddTrack(allTracks(*library)[0]);
    }
    const auto expectKept = [&](const char* step) {
        SCOPED_TRACE(step);
        const ITunesPtr library = openMusic();
        EXPECT_EQ(persistentId(*library, allTracks(*library)[0]), id);
        const PlaylistPtr mine = library->LibrarySource()->Playlists()->ItemByName(u"Mine"_s);
        ASSERT_TRUE(mine);
        EXPECT_EQ(mine->Tracks()->Count(), 1);
    };
    const QString indexPath = dataFolder() + u"/index.sqlite"_s;
    const QString recordsPath = dataFolder() + u"/records.sqlite"_s;
    for (const QString& suffix : {u"-wal"_s, u"-shm"_s})
        QFile::remove(indexPath + suffix);
    const QByteArray damaged(8192, '\x5a');
    writeFile(indexPath, damaged);

    {
        QStringList notices;
        LibraryOptions options(dataFolder());
        options.notify = [&notices](const QString& notice) { notices.append(notice); };
        const ITunesPtr library = openLibrary(music().path(), options);
        ASSERT_EQ(allTracks(*library).size(), 1);
        EXPECT_EQ(allTracks(*library)[0]->Artwork()->Count(), 1);
        ASSERT_EQ(notices.size(), 1);
        const QStringList keptFiles =
            QDir(dataFolder()).entryList({u"index.sqlite.unreadable-*"_s});
        ASSERT_EQ(keptFiles.size(), 1);
        EXPECT_EQ(readFile(dataFolder() + u'/' + keptFiles[0]), damaged);
        EXPECT_TRUE(notices[0].contains(keptFiles[0])) << notices[0].toStdString();
    }
    expectKept("damaged cache");

    // The earlier form: every table in index.sqlite, version 1.
    runSql(indexPath, "PRAGMA journal_mode=DELETE");
    const std::string merge = "ATTACH DATABASE '" + recordsPath.toStdString() +
                              "' AS r; CREATE TABLE ids AS SELECT * FROM r.ids;"
                              " CREATE TABLE downloaded AS SELECT * FROM r.downloaded;"
                              " CREATE TABLE playlists AS SELECT * FROM r.playlists;"
                              " CREATE TABLE playlist_tracks AS SELECT * FROM r.playlist_tracks;"
                              " PRAGMA user_version = 1;";
    runSql(indexPath, merge);
    for (const QString& suffix : {QString(), u"-wal"_s, u"-shm"_s})
        QFile::remove(recordsPath + suffix);
    expectKept("earlier form");
    EXPECT_TRUE(QFile::exists(recordsPath));
    expectKept("after the move");
}

} // namespace
