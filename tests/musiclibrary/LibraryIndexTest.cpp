// The index: reopening an unchanged library reads no song file, a changed
// file is read again, persistent ids stay, a damaged index is replaced.

#include "tests/musiclibrary/LibraryTestSupport.h"

#include "musiclibrary/LibraryIndex.h"

#include <QFile>

using namespace musiclibrary;
using namespace testing_support;
using namespace Qt::StringLiterals;

namespace {

class LibraryIndexTest : public LibraryTest {};

TEST_F(LibraryIndexTest, ReopeningUnchangedLibraryUsesRememberedFacts) {
    const QString path = makeSong(music(), u"a.mp3"_s, {u"Indexed"_s, u"Artist"_s, {}, 3},
                                  {u"cover-75.jpg"_s, u"cover-48.bmp"_s});
    ASSERT_EQ(allTracks(*openMusic())[0]->Artwork()->Count(), 2);

    // Unreadable garbage now, but with the same size and time: only opening
    // the file could notice.
    replaceContentKeepingStamp(path);
    const ITunesPtr library = openMusic();
    const TrackPtr track = allTracks(*library)[0];
    EXPECT_EQ(track->Name(), u"Indexed"_s);
    EXPECT_EQ(track->Artist(), u"Artist"_s);
    EXPECT_EQ(track->TrackNumber(), 3);
    const ArtworkCollectionPtr artwork = track->Artwork();
    ASSERT_EQ(artwork->Count(), 2);
    EXPECT_EQ(artwork->Item(1)->Format(), ITArtworkFormatJPEG);
    EXPECT_EQ(artwork->Item(2)->Format(), ITArtworkFormatBMP);
}

TEST_F(LibraryIndexTest, ChangedFileIsReadAgain) {
    const QString path = makeSong(music(), u"a.mp3"_s, {u"Before"_s, {}, {}, 0});
    ASSERT_EQ(allTracks(*openMusic())[0]->Name(), u"Before"_s);
    makeSong(music(), u"a.mp3"_s, {u"After"_s, {}, {}, 0}, {u"cover-75.jpg"_s});
    const TrackPtr track = allTracks(*openMusic())[0];
    EXPECT_EQ(track->Name(), u"After"_s);
    EXPECT_EQ(track->Artwork()->Count(), 1);
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
    EXPECT_NE(persistentId(*first, tracks[0]), persistentId(*first, tracks[1]));

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

TEST_F(LibraryIndexTest, DamagedIndexIsReplacedAndLibraryStillOpens) {
    makeSong(music(), u"a.mp3"_s, {u"A"_s, {}, {}, 0}, {u"cover-75.jpg"_s});
    openMusic();
    const QString indexPath = dataFolder() + u"/index.sqlite"_s;
    ASSERT_TRUE(QFile::exists(indexPath));
    for (const QString& suffix : {u"-wal"_s, u"-shm"_s})
        QFile::remove(indexPath + suffix);
    writeFile(indexPath, QByteArray(8192, '\x5a'));

    const ITunesPtr library = openMusic();
    ASSERT_EQ(allTracks(*library).size(), 1);
    EXPECT_EQ(allTracks(*library)[0]->Artwork()->Count(), 1);
    auto index = LibraryIndex::open(indexPath);
    ASSERT_TRUE(index);
    EXPECT_EQ(index->loadFiles().size(), 1);
}

TEST(PictureFactsTextTest, RoundTripsAndRejectsDamagedText) {
    const QList<PictureFacts> pictures = {{1, 2048}, {3, 17}, {0, 5}};
    bool ok = false;
    const QList<PictureFacts> back = decodePictureFacts(encodePictureFacts(pictures), &ok);
    EXPECT_TRUE(ok);
    ASSERT_EQ(back.size(), 3);
    EXPECT_EQ(back[1].format, 3);
    EXPECT_EQ(back[1].byteSize, 17);
    for (const QString& damaged : {u"1:"_s, u"x:3"_s, u"1:-4"_s, u"1:2,,"_s}) {
        EXPECT_TRUE(decodePictureFacts(damaged, &ok).isEmpty()) << damaged.toStdString();
        EXPECT_FALSE(ok) << damaged.toStdString();
    }
    EXPECT_TRUE(decodePictureFacts(QString(), &ok).isEmpty());
    EXPECT_TRUE(ok);
}

} // namespace
