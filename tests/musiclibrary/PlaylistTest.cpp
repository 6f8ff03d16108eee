// User playlists: made, filled, found, deleted, kept across runs, and
// written as .m3u8 files.

#include "tests/musiclibrary/LibraryTestSupport.h"

#include <QFile>

using namespace musiclibrary;
using namespace testing_support;
using namespace Qt::StringLiterals;

namespace {

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
        EXPECT_EQ(playlist->Tracks()->Count(), 2);
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
    EXPECT_EQ(all->Tracks()->Count(), 3);
    EXPECT_EQ(libraryErrorOf([&] { all->Tracks()->Item(4); }).number(),
              LibraryError::InvalidArgument);
    EXPECT_EQ(libraryErrorOf([&] { library->CreatePlaylist(u"x"_s)->AddTrack(nullptr); }).number(),
              LibraryError::InvalidArgument);
}

} // namespace
