// What a change removes is kept first and can be put back: the pictures of
// the file at their positions, downloaded art as downloaded art, refused
// when the song changed since; the store prunes itself and survives damage.

#include "musiclibrary/RemovedArtwork.h"
#include "musiclibrary/AudioFileIO.h"
#include "tests/common/FileSizeLimit.h"
#include "tests/musiclibrary/LibraryCaseSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace musiclibrary;
using namespace testing_support;
using namespace Qt::StringLiterals;

namespace {

QList<QByteArray> pictureData(const QString& path) {
    QList<QByteArray> data;
    for (const Picture& picture : readPictures(path))
        data.append(picture.data);
    return data;
}

class RemovedArtworkTest : public LibraryTest {
protected:
    // A song of the kind with three pictures of three formats.
    QString songWithThreePictures(const QString& kind) {
        return makeSong(music(), u"Album/song."_s + kind, {u"Song"_s, {}, {}, 1},
                        {u"cover-300.jpg"_s, u"cover-160x120.png"_s, u"cover-48.bmp"_s});
    }
    void editInRun(const ITunesPtr& library, const TrackPtr& track, const ArtworkEdit& edit) {
        library->StartArtworkRun(u"Delete artwork"_s);
        track->EditArtwork(edit);
        library->EndArtworkRun();
    }
};

class RemovedArtworkKinds : public RemovedArtworkTest,
                            public ::testing::WithParamInterface<QString> {};

TEST_P(RemovedArtworkKinds, RemovedPicturesComeBackByteForByteAtTheirPositions) {
    const QString song = songWithThreePictures(GetParam());
    const QList<QByteArray> before = pictureData(song);
    ASSERT_EQ(before.size(), 3);
    ITunesPtr library = openMusic();
    editInRun(library, onlyTrack(library), {{1, 3}, {}});
    EXPECT_EQ(pictureData(song), QList<QByteArray>{before[1]});

    // Kept across openings of the library, with what it came from.
    library = openMusic();
    const QList<RemovedChange> kept = library->RemovedArtwork(std::nullopt);
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(kept[0].runDescription, u"Delete artwork"_s);
    EXPECT_EQ(kept[0].path, song);
    EXPECT_EQ(kept[0].persistentId, persistentId(*library, onlyTrack(library)));
    ASSERT_EQ(kept[0].pictures.size(), 2);
    EXPECT_EQ(kept[0].pictures[0].position, 0);
    EXPECT_EQ(kept[0].pictures[0].format, ITArtworkFormatJPEG);
    EXPECT_EQ(kept[0].pictures[1].position, 2);
    EXPECT_EQ(kept[0].pictures[1].format, ITArtworkFormatBMP);
    EXPECT_EQ(library->RemovedArtwork(kept[0].run).size(), 1);
    EXPECT_TRUE(library->RemovedArtwork(kept[0].run + 1).isEmpty());

    EXPECT_TRUE(library->RestoreRemovedArtwork(kept[0].id));
    EXPECT_EQ(pictureData(song), before);
    EXPECT_EQ(onlyTrack(library)->Artwork()->Count(), 3);
    // Restoring is not itself kept, and a change is restored only once.
    EXPECT_TRUE(library->RemovedArtwork(std::nullopt).isEmpty());
    EXPECT_EQ(libraryErrorOf([&] { library->RestoreRemovedArtwork(kept[0].id); }).number(),
              LibraryError::NotFound);

    // Undoing an embed that replaced everything gives the old list back.
    editInRun(library, onlyTrack(library), {{1, 2, 3}, {seedPath(u"cover-600.jpg"_s)}});
    EXPECT_EQ(pictureData(song), QList<QByteArray>{seedBytes(u"cover-600.jpg"_s)});
    const QList<RemovedChange> replaced = library->RemovedArtwork(std::nullopt);
    ASSERT_EQ(replaced.size(), 1);
    EXPECT_EQ(replaced[0].addedPositions, QList<int>{0});
    EXPECT_TRUE(library->RestoreRemovedArtwork(replaced[0].id));
    EXPECT_EQ(pictureData(song), before);
}

INSTANTIATE_TEST_SUITE_P(Kinds, RemovedArtworkKinds,
                         ::testing::Values(u"mp3"_s, u"m4a"_s, u"aiff"_s, u"wav"_s),
                         [](const auto& info) { return info.param.toStdString(); });

// Only what a change removes is kept; outside a run each change is a run of
// its own.
TEST_F(RemovedArtworkTest, AddingKeepsNothingAndChangesOutsideARunAreRunsOfTheirOwn) {
    songWithThreePictures(u"mp3"_s);
    const ITunesPtr library = openMusic();
    const TrackPtr track = onlyTrack(library);
    track->AddArtworkFromFile(seedPath(u"cover-600.jpg"_s));
    EXPECT_TRUE(library->RemovedArtwork(std::nullopt).isEmpty());
    track->Artwork()->Item(1)->Delete();
    track->Artwork()->Item(1)->Delete();
    const QList<RemovedChange> kept = library->RemovedArtwork(std::nullopt);
    ASSERT_EQ(kept.size(), 2);
    EXPECT_NE(kept[0].run, kept[1].run);
    EXPECT_TRUE(kept[0].runDescription.isEmpty());
}

TEST_F(RemovedArtworkTest, DownloadedArtComesBackAsDownloadedArt) {
    const QString song = songWithThreePictures(u"mp3"_s);
    const QList<QByteArray> filePictures = pictureData(song);
    const ITunesPtr library = openMusic();
    TrackPtr track = onlyTrack(library);
    track->SetDownloadedArtworkFromFile(seedPath(u"cover-160x120.png"_s));
    track->Artwork()->Item(1)->Delete();
    EXPECT_FALSE(track->Artwork()->Item(1)->IsDownloadedArtwork());

    const QList<RemovedChange> kept = library->RemovedArtwork(std::nullopt);
    ASSERT_EQ(kept.size(), 1);
    ASSERT_EQ(kept[0].pictures.size(), 1);
    EXPECT_TRUE(kept[0].pictures[0].downloaded);
    EXPECT_TRUE(kept[0].beforeHash.isEmpty()) << "the file was not touched";
    EXPECT_TRUE(library->RestoreRemovedArtwork(kept[0].id));

    const ArtworkPtr back = track->Artwork()->Item(1);
    EXPECT_TRUE(back->IsDownloadedArtwork());
    const QString saved = music().file(u"out/saved.png"_s);
    back->SaveArtworkToFile(saved);
    EXPECT_EQ(readFile(saved), seedBytes(u"cover-160x120.png"_s));
    EXPECT_EQ(pictureData(song), filePictures);
}

TEST_F(RemovedArtworkTest, ReplacedDownloadedArtIsKeptToo) {
    songWithThreePictures(u"mp3"_s);
    const ITunesPtr library = openMusic();
    const TrackPtr track = onlyTrack(library);
    track->SetDownloadedArtworkFromFile(seedPath(u"cover-160x120.png"_s));
    track->SetDownloadedArtworkFromFile(seedPath(u"cover-300.jpg"_s));
    const QList<RemovedChange> kept = library->RemovedArtwork(std::nullopt);
    ASSERT_EQ(kept.size(), 1);
    ASSERT_EQ(kept[0].pictures.size(), 1);
    EXPECT_EQ(kept[0].pictures[0].data, seedBytes(u"cover-160x120.png"_s));
    // The song has other downloaded art now: restoring would lose it.
    const LibraryError refused =
        libraryErrorOf([&] { library->RestoreRemovedArtwork(kept[0].id); });
    EXPECT_EQ(refused.number(), LibraryError::Failed);
    EXPECT_TRUE(refused.description().contains(u"other downloaded artwork"_s));
}

TEST_F(RemovedArtworkTest, ASongChangedSinceIsRefusedAndLeftAsItIs) {
    const QString song = songWithThreePictures(u"mp3"_s);
    const ITunesPtr library = openMusic();
    const TrackPtr track = onlyTrack(library);
    editInRun(library, track, {{2}, {}});
    appendPicture(song, seedBytes(u"cover-75.jpg"_s)); // another program's change
    const QByteArray changed = readFile(song);

    const QList<RemovedChange> kept = library->RemovedArtwork(std::nullopt);
    ASSERT_EQ(kept.size(), 1);
    const LibraryError refused =
        libraryErrorOf([&] { library->RestoreRemovedArtwork(kept[0].id); });
    EXPECT_EQ(refused.number(), LibraryError::Failed);
    EXPECT_TRUE(refused.description().contains(u"changed after"_s))
        << refused.description().toStdString();
    EXPECT_EQ(readFile(song), changed);
    EXPECT_EQ(library->RemovedArtwork(std::nullopt).size(), 1) << "still kept";
}

TEST_F(RemovedArtworkTest, ASongThatHasItsPicturesAgainIsLeftAlone) {
    const QString song = songWithThreePictures(u"mp3"_s);
    const QByteArray original = readFile(song);
    const ITunesPtr library = openMusic();
    editInRun(library, onlyTrack(library), {{1}, {}});
    writeFile(song, original); // put back from a backup
    const QList<RemovedChange> kept = library->RemovedArtwork(std::nullopt);
    ASSERT_EQ(kept.size(), 1);
    EXPECT_FALSE(library->RestoreRemovedArtwork(kept[0].id));
    EXPECT_EQ(readFile(song), original);
    EXPECT_TRUE(library->RemovedArtwork(std::nullopt).isEmpty());
}

TEST_F(RemovedArtworkTest, ADamagedStoreIsPutAsideAndANewOneKeepsTheChange) {
    songWithThreePictures(u"mp3"_s);
    QDir().mkpath(dataFolder());
    const QByteArray garbage(8192, 'x');
    writeFile(dataFolder() + u"/removed.sqlite"_s, garbage);
    const ITunesPtr library = openMusic();
    onlyTrack(library)->Artwork()->Item(1)->Delete();
    EXPECT_EQ(library->RemovedArtwork(std::nullopt).size(), 1);
    const QStringList aside =
        QDir(dataFolder()).entryList({u"removed.sqlite.damaged-*"_s}, QDir::Files);
    ASSERT_EQ(aside.size(), 1);
    EXPECT_EQ(readFile(dataFolder() + u'/' + aside[0]), garbage);
}

TEST_F(RemovedArtworkTest, WhenNothingCanBeKeptNothingIsRemoved) {
    // The picture is far larger than the song without it, so the store's
    // write hits the limit that the song's own write stays under.
    const QString song = music().file(u"Album/song.mp3"_s);
    QFile::copy(seedPath(u"seed.mp3"_s), song);
    const QByteArray bigPicture = seedBytes(u"cover-600.jpg"_s) + QByteArray(512 * 1024, 0);
    writeSongTags(song, {u"Song"_s, {}, {}, 1}, {seedBytes(u"cover-75.jpg"_s), bigPicture});
    const QByteArray before = readFile(song);
    const ITunesPtr library = openMusic();
    const TrackPtr track = onlyTrack(library);
    ASSERT_EQ(track->Artwork()->Count(), 2);

    LibraryError refused(0, QString());
    {
        FileSizeLimit limit(rlim_t(before.size() / 4));
        ASSERT_TRUE(limit.active());
        refused = libraryErrorOf([&] { track->Artwork()->Item(2)->Delete(); });
    }
    EXPECT_EQ(refused.number(), LibraryError::WriteFailed);
    EXPECT_TRUE(refused.description().contains(u"cannot be kept"_s))
        << refused.description().toStdString();
    EXPECT_EQ(readFile(song), before);
    EXPECT_EQ(track->Artwork()->Count(), 2);
    EXPECT_TRUE(library->RemovedArtwork(std::nullopt).isEmpty());

    // Without the limit the same change goes through and is kept.
    track->Artwork()->Item(2)->Delete();
    ASSERT_EQ(library->RemovedArtwork(std::nullopt).size(), 1);
    EXPECT_EQ(library->RemovedArtwork(std::nullopt)[0].pictures[0].data, bigPicture);
}

// The store on its own: pruning by age and by size, oldest first.
class RemovedStoreTest : public ::testing::Test {
protected:
    RemovedChange changeOf(qint64 run, const QDateTime& when, int bytes) {
        RemovedChange change;
        change.run = run;
        change.time = when;
        change.persistentId = ++m_lastId;
        change.path = u"/music/%1.mp3"_s.arg(m_lastId);
        change.beforeHash = "before";
        change.afterHash = "after";
        change.pictures.append({0, false, ITArtworkFormatJPEG, QByteArray(bytes, 'p')});
        return change;
    }
    QList<quint64> keptIds(const RemovedArtworkStore& store) {
        QList<quint64> ids;
        for (const RemovedChange& change : store.changes(std::nullopt))
            ids.append(change.persistentId);
        return ids;
    }
    QString path() const { return m_folder.file(u"removed.sqlite"_s); }

private:
    TempFolder m_folder;
    quint64 m_lastId = 0;
};

TEST_F(RemovedStoreTest, OldChangesGoFirstByAgeThenBySize) {
    const QDateTime now = QDateTime::currentDateTimeUtc();
    std::unique_ptr<RemovedArtworkStore> store =
        RemovedArtworkStore::open(path(), {30, 100 * 1024});
    ASSERT_TRUE(store);
    const qint64 run = store->startRun(u"Delete artwork"_s, now);
    ASSERT_GT(store->record(changeOf(run, now.addDays(-31), 1000)), 0);
    ASSERT_GT(store->record(changeOf(run, now.addDays(-29), 1000)), 0);
    store->prune(now);
    EXPECT_EQ(keptIds(*store), (QList<quint64>{2}));

    // 40 KB each against 100 KB: the third pushes the oldest out.
    ASSERT_GT(store->record(changeOf(run, now, 40 * 1024)), 0);
    ASSERT_GT(store->record(changeOf(run, now, 40 * 1024)), 0);
    EXPECT_EQ(keptIds(*store), (QList<quint64>{2, 3, 4}));
    ASSERT_GT(store->record(changeOf(run, now, 40 * 1024)), 0);
    EXPECT_EQ(keptIds(*store), (QList<quint64>{4, 5}));

    // One change larger than the whole limit is still kept: its song is
    // about to lose it.
    ASSERT_GT(store->record(changeOf(run, now, 150 * 1024)), 0);
    EXPECT_EQ(keptIds(*store), (QList<quint64>{6}));
    EXPECT_EQ(store->changes(std::nullopt)[0].pictures[0].data.size(), 150 * 1024);
}

TEST_F(RemovedStoreTest, TheFileGivesBackWhatWasPruned) {
    const QDateTime now = QDateTime::currentDateTimeUtc();
    std::unique_ptr<RemovedArtworkStore> store =
        RemovedArtworkStore::open(path(), {30, 64 * 1024 * 1024});
    ASSERT_TRUE(store);
    const qint64 run = store->startRun(u"Delete artwork"_s, now);
    for (int i = 0; i < 20; ++i)
        ASSERT_GT(store->record(changeOf(run, now.addDays(-40), 256 * 1024)), 0);
    store.reset();
    const qint64 full = QFileInfo(path()).size() + QFileInfo(path() + u"-wal"_s).size();
    store = RemovedArtworkStore::open(path(), {30, 64 * 1024 * 1024}); // prunes on opening
    ASSERT_TRUE(store);
    EXPECT_TRUE(keptIds(*store).isEmpty());
    store.reset();
    const qint64 pruned = QFileInfo(path()).size() + QFileInfo(path() + u"-wal"_s).size();
    EXPECT_LT(pruned, full / 4) << full << " bytes before, " << pruned << " after";
}

// A store written before records were kept opens, keeps what it held
// (given back as it was then), and takes records from now on.
TEST_F(RemovedStoreTest, AStoreOfTheFirstVersionOpensAndKeepsItsChanges) {
    runSql(path(), R"sql(
CREATE TABLE runs(id INTEGER PRIMARY KEY AUTOINCREMENT, started TEXT NOT NULL, description TEXT);
CREATE TABLE changes(id INTEGER PRIMARY KEY AUTOINCREMENT, run INTEGER NOT NULL,
    time TEXT NOT NULL, persistent_id INTEGER NOT NULL, path TEXT NOT NULL,
    before_hash BLOB NOT NULL, after_hash BLOB NOT NULL, added TEXT NOT NULL);
CREATE TABLE pictures(change_id INTEGER NOT NULL, position INTEGER NOT NULL,
    downloaded INTEGER NOT NULL, format INTEGER NOT NULL, size INTEGER NOT NULL,
    data BLOB NOT NULL, PRIMARY KEY(change_id, downloaded, position));
INSERT INTO runs(started, description) VALUES('2026-12-01T10:00:00Z', 'Delete artwork');
INSERT INTO changes(run, time, persistent_id, path, before_hash, after_hash, added)
    VALUES(1, '2099-12-01T10:00:00Z', 7, '/music/old.mp3', x'01', x'02', '');
INSERT INTO pictures VALUES(1, 0, 0, 1, 4, x'FFD8FFE0');
PRAGMA user_version = 1;
)sql");
    std::unique_ptr<RemovedArtworkStore> store = RemovedArtworkStore::open(path(), {});
    ASSERT_TRUE(store);
    QList<RemovedChange> kept = store->changes(std::nullopt);
    ASSERT_EQ(kept.size(), 1);
    ASSERT_EQ(kept[0].pictures.size(), 1);
    EXPECT_EQ(kept[0].pictures[0].data, QByteArray::fromHex("FFD8FFE0"));
    EXPECT_TRUE(kept[0].pictures[0].record.isEmpty());

    RemovedChange change = changeOf(kept[0].run, QDateTime::currentDateTimeUtc(), 10);
    change.pictures[0].record = "ID3APIC1 the frame's fields";
    ASSERT_GT(store->record(change), 0);
    store.reset();
    store = RemovedArtworkStore::open(path(), {});
    ASSERT_TRUE(store);
    kept = store->changes(std::nullopt);
    ASSERT_EQ(kept.size(), 2);
    EXPECT_EQ(kept[1].pictures[0].record, QByteArray("ID3APIC1 the frame's fields"));
}

} // namespace
