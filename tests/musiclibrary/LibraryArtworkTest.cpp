// Artwork through the object model: embedded pictures of each kind of song
// file and downloaded artwork held outside the file. What a change removes is
// kept first and can be put back: the pictures of the file at their
// positions, downloaded art as downloaded art, refused when the song changed
// since; the store prunes itself and survives damage.

#include "musiclibrary/AudioFileIO.h"
#include "musiclibrary/RemovedArtwork.h"
#include "tests/common/FileSizeLimit.h"
#include "tests/musiclibrary/LibraryCaseSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <functional>
#include <tuple>

using namespace musiclibrary;
using namespace testing_support;
using namespace Qt::StringLiterals;

namespace {

// The library's only track; a failure when it holds another number.
TrackPtr onlyTrack(const ITunesPtr& library) {
    const QList<TrackPtr> tracks = allTracks(*library);
    EXPECT_EQ(tracks.size(), 1);
    return tracks.value(0);
}

class ArtworkTest : public LibraryTest {
protected:
    // The library's one song, of the kind, with these pictures (seed names).
    QString songFile(const QString& kind,
                     const QStringList& pictures = {u"cover-300.jpg"_s, u"cover-160x120.png"_s,
                                                    u"cover-48.bmp"_s}) {
        return makeSong(music(), u"Album/song."_s + kind, {u"Song"_s, {}, {}, 1}, pictures);
    }
    void editInRun(const ITunesPtr& library, const TrackPtr& track, const ArtworkEdit& edit) {
        library->StartArtworkRun(u"Delete artwork"_s);
        track->EditArtwork(edit);
        library->EndArtworkRun();
    }
};

class ArtworkOfKind : public ArtworkTest, public ::testing::WithParamInterface<QString> {};

TEST_P(ArtworkOfKind, AddSaveDeleteRoundTrip) {
    songFile(GetParam(), {u"cover-300.jpg"_s});
    ITunesPtr library = openMusic();
    TrackPtr track = onlyTrack(library);
    ASSERT_EQ(track->Artwork()->Count(), 1);

    const ArtworkPtr png = track->AddArtworkFromFile(seedPath(u"cover-160x120.png"_s));
    track->AddArtworkFromFile(seedPath(u"cover-48.bmp"_s));
    const ArtworkCollectionPtr artwork = track->Artwork();
    ASSERT_EQ(artwork->Count(), 3);

    const QString saved = music().file(u"out/saved.png"_s);
    artwork->Item(2)->SaveArtworkToFile(saved);
    EXPECT_EQ(readFile(saved), seedBytes("cover-160x120.png"));

    // Objects fetched before a delete keep addressing their own picture.
    const ArtworkPtr first = artwork->Item(1);
    const ArtworkPtr last = artwork->Item(3);
    artwork->Item(2)->Delete();
    EXPECT_EQ(artwork->Count(), 2);
    last->SaveArtworkToFile(saved);
    EXPECT_EQ(readFile(saved), seedBytes("cover-48.bmp"));
    EXPECT_EQ(libraryErrorOf([&] { png->Format(); }).number(), LibraryError::Deleted);
    EXPECT_EQ(libraryErrorOf([&] { png->Delete(); }).number(), LibraryError::Deleted);
    first->Delete();
    EXPECT_EQ(libraryErrorOf([&] { first->SaveArtworkToFile(saved); }).number(),
              LibraryError::Deleted);

    // The file holds exactly what the model says, also for a new opening.
    library = openMusic();
    track = onlyTrack(library);
    ASSERT_EQ(track->Artwork()->Count(), 1);
    EXPECT_EQ(track->Artwork()->Item(1)->Format(), ITArtworkFormatBMP);
}

TEST_P(ArtworkOfKind, DeleteAfterAnotherProgramChangedThePicturesDeletesNothing) {
    const QString path = songFile(GetParam(), {u"cover-300.jpg"_s, u"cover-75.jpg"_s});
    ITunesPtr library = openMusic();
    const ArtworkPtr first = onlyTrack(library)->Artwork()->Item(1);
    removePicture(path, 0); // another program takes the first picture away
    const QByteArray before = readFile(path);

    const LibraryError error = libraryErrorOf([&] { first->Delete(); });
    EXPECT_EQ(error.number(), LibraryError::Deleted);
    EXPECT_TRUE(error.description().contains(path)) << error.description().toStdString();
    EXPECT_EQ(readFile(path), before);
    EXPECT_EQ(onlyTrack(library)->Artwork()->Count(), 1);
}

TEST_P(ArtworkOfKind, EditArtworkChangesTheSongInOneStep) {
    const QString path =
        songFile(GetParam(), {u"cover-300.jpg"_s, u"cover-48.bmp"_s, u"cover-75.jpg"_s});
    ITunesPtr library = openMusic();
    TrackPtr track = onlyTrack(library);
    const ArtworkPtr kept = track->Artwork()->Item(2);

    track->EditArtwork({{3, 1}, {seedPath(u"cover-600.jpg"_s)}});
    const QList<QByteArray> expected{seedBytes("cover-48.bmp"), seedBytes("cover-600.jpg")};
    EXPECT_EQ(track->ArtworkData(), expected);
    EXPECT_EQ(kept->Format(), ITArtworkFormatBMP) << "a kept picture keeps its identity";
    EXPECT_EQ(onlyTrack(openMusic())->ArtworkData(), expected);

    // A missing image refuses the whole change: nothing is removed either.
    const QByteArray before = readFile(path);
    const LibraryError error = libraryErrorOf([&] {
        track->EditArtwork({{1, 2}, {music().file(u"gone.jpg"_s)}});
    });
    EXPECT_EQ(error.number(), LibraryError::NotFound);
    EXPECT_EQ(readFile(path), before);
    EXPECT_EQ(libraryErrorOf([&] {
                  track->EditArtwork({{3}, {}});
              }).number(),
              LibraryError::InvalidArgument);
    EXPECT_EQ(track->Artwork()->Count(), 2);
}

// Downloaded art hides the file's pictures; replacing it embeds the new
// image after them, and the downloaded art goes only once that write is done.
TEST_P(ArtworkOfKind, DownloadedArtGoesOnlyOnceItsReplacementIsEmbedded) {
    const QString path = songFile(GetParam(), {u"cover-75.jpg"_s});
    ITunesPtr library = openMusic();
    TrackPtr track = onlyTrack(library);
    track->SetDownloadedArtworkFromFile(seedPath(u"cover-300.jpg"_s));
    ASSERT_EQ(track->ArtworkData(), QList<QByteArray>{seedBytes("cover-300.jpg")});

    const QByteArray before = readFile(path);
    QFile::setPermissions(path, QFile::ReadOwner);
    EXPECT_EQ(libraryErrorOf([&] {
                  track->EditArtwork({{1}, {seedPath(u"cover-600.jpg"_s)}});
              }).number(),
              LibraryError::WriteFailed);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(readFile(path), before);
    ASSERT_EQ(track->Artwork()->Count(), 1);
    EXPECT_TRUE(track->Artwork()->Item(1)->IsDownloadedArtwork()) << "downloaded art kept";

    track->EditArtwork({{1}, {seedPath(u"cover-600.jpg"_s)}});
    EXPECT_TRUE(QDir(dataFolder() + u"/downloaded"_s).isEmpty());
    EXPECT_EQ(track->ArtworkData(),
              (QList<QByteArray>{seedBytes("cover-75.jpg"), seedBytes("cover-600.jpg")}));
}

TEST_F(ArtworkTest, BadImagesAreRefusedClearly) {
    const QString song = makeSong(music(), u"song.mp3"_s, {u"Song"_s, {}, {}, 0});
    const QByteArray before = readFile(song);
    const TrackPtr track = allTracks(*openMusic())[0];
    const QString empty = music().file(u"empty.jpg"_s);
    writeFile(empty, {});
    const QString text = music().file(u"text.jpg"_s);
    writeFile(text, "not an image at all");
    const QList<std::tuple<std::function<void()>, int, QString>> cases = {
        {[&] { track->AddArtworkFromFile(music().file(u"none.jpg"_s)); }, LibraryError::NotFound,
         u"none.jpg"_s},
        {[&] { track->AddArtworkFromFile(empty); }, LibraryError::InvalidArgument, u"is empty"_s},
        {[&] { track->SetDownloadedArtworkFromFile(text); }, LibraryError::InvalidArgument,
         u"not a JPEG, PNG or BMP image"_s},
        {[&] { track->Artwork()->Item(0); }, LibraryError::InvalidArgument, u"no artwork 0"_s},
    };
    for (const auto& [call, number, part] : cases) {
        const LibraryError error = libraryErrorOf(call);
        EXPECT_EQ(error.number(), number) << error.description().toStdString();
        EXPECT_TRUE(error.description().contains(part)) << error.description().toStdString();
    }
    EXPECT_EQ(readFile(song), before);
    EXPECT_EQ(track->Artwork()->Count(), 0);
}

TEST_P(ArtworkOfKind, RemovedPicturesComeBackByteForByteAtTheirPositions) {
    const QString song = songFile(GetParam());
    const QList<QByteArray> before = pictureBytes(song);
    ASSERT_EQ(before.size(), 3);
    ITunesPtr library = openMusic();
    editInRun(library, onlyTrack(library), {{1, 3}, {}});
    EXPECT_EQ(pictureBytes(song), QList<QByteArray>{before[1]});

    // Kept across openings of the library, with what it came from.
    library = openMusic();
    const QList<RemovedChange> kept = library->RemovedArtwork(std::nullopt);
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(std::tie(kept[0].runDescription, kept[0].path),
              std::tuple(u"Delete artwork"_s, song));
    EXPECT_EQ(kept[0].persistentId, persistentId(*library, onlyTrack(library)));
    ASSERT_EQ(kept[0].pictures.size(), 2);
    EXPECT_EQ(std::tuple(kept[0].pictures[0].position, kept[0].pictures[0].format,
                         kept[0].pictures[1].position, kept[0].pictures[1].format),
              std::tuple(0, int(ITArtworkFormatJPEG), 2, int(ITArtworkFormatBMP)));
    EXPECT_EQ(library->RemovedArtwork(kept[0].run).size(), 1);
    EXPECT_TRUE(library->RemovedArtwork(kept[0].run + 1).isEmpty());

    EXPECT_TRUE(library->RestoreRemovedArtwork(kept[0].id));
    EXPECT_EQ(pictureBytes(song), before);
    EXPECT_EQ(onlyTrack(library)->Artwork()->Count(), 3);
    // Restoring is not itself kept, and a change is restored only once.
    EXPECT_TRUE(library->RemovedArtwork(std::nullopt).isEmpty());
    EXPECT_EQ(libraryErrorOf([&] { library->RestoreRemovedArtwork(kept[0].id); }).number(),
              LibraryError::NotFound);

    // Undoing an embed that replaced everything gives the old list back.
    editInRun(library, onlyTrack(library), {{1, 2, 3}, {seedPath(u"cover-600.jpg"_s)}});
    EXPECT_EQ(pictureBytes(song), QList<QByteArray>{seedBytes("cover-600.jpg")});
    const QList<RemovedChange> replaced = library->RemovedArtwork(std::nullopt);
    ASSERT_EQ(replaced.size(), 1);
    EXPECT_EQ(replaced[0].addedPositions, QList<int>{0});
    EXPECT_TRUE(library->RestoreRemovedArtwork(replaced[0].id));
    EXPECT_EQ(pictureBytes(song), before);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ArtworkOfKind,
                         ::testing::Values(u"mp3"_s, u"m4a"_s, u"aiff"_s, u"wav"_s),
                         [](const auto& info) { return info.param.toStdString(); });

// Only what a change removes is kept; outside a run each change is a run of
// its own.
TEST_F(ArtworkTest, AddingKeepsNothingAndChangesOutsideARunAreRunsOfTheirOwn) {
    songFile(u"mp3"_s);
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

// Downloaded art that is replaced or deleted is kept and comes back as
// downloaded art, never into the file; it is refused while the song has
// other downloaded art, which restoring would lose.
TEST_F(ArtworkTest, DownloadedArtComesBackAsDownloadedArt) {
    const QString song = songFile(u"mp3"_s);
    const QByteArray filePictures = readFile(song);
    const ITunesPtr library = openMusic();
    TrackPtr track = onlyTrack(library);
    track->SetDownloadedArtworkFromFile(seedPath(u"cover-160x120.png"_s));
    track->SetDownloadedArtworkFromFile(seedPath(u"cover-300.jpg"_s));
    QList<RemovedChange> kept = library->RemovedArtwork(std::nullopt);
    ASSERT_EQ(kept.size(), 1);
    ASSERT_EQ(kept[0].pictures.size(), 1);
    EXPECT_TRUE(kept[0].pictures[0].downloaded);
    EXPECT_EQ(kept[0].pictures[0].data, seedBytes("cover-160x120.png"));
    EXPECT_TRUE(kept[0].beforeHash.isEmpty()) << "the file was not touched";
    const LibraryError refused =
        libraryErrorOf([&] { library->RestoreRemovedArtwork(kept[0].id); });
    EXPECT_EQ(refused.number(), LibraryError::Failed);
    EXPECT_TRUE(refused.description().contains(u"other downloaded artwork"_s));

    track->Artwork()->Item(1)->Delete();
    EXPECT_FALSE(track->Artwork()->Item(1)->IsDownloadedArtwork());
    kept = library->RemovedArtwork(std::nullopt);
    ASSERT_EQ(kept.size(), 2);
    EXPECT_TRUE(library->RestoreRemovedArtwork(kept[1].id));
    const ArtworkPtr back = track->Artwork()->Item(1);
    EXPECT_TRUE(back->IsDownloadedArtwork());
    const QString saved = music().file(u"out/saved.jpg"_s);
    back->SaveArtworkToFile(saved);
    EXPECT_EQ(readFile(saved), seedBytes("cover-300.jpg"));
    EXPECT_EQ(readFile(song), filePictures);
}

// A song changed since the removal (by another program) is refused and left
// as it is; one that has its pictures again (put back from a backup) is
// left alone and the change forgotten.
TEST_F(ArtworkTest, ASongChangedSinceIsRefusedAndOneWithItsPicturesAgainIsLeftAlone) {
    const QString song = songFile(u"mp3"_s);
    const QByteArray original = readFile(song);
    const ITunesPtr library = openMusic();
    editInRun(library, onlyTrack(library), {{2}, {}});
    appendPicture(song, seedBytes("cover-75.jpg"));
    const QByteArray changed = readFile(song);

    QList<RemovedChange> kept = library->RemovedArtwork(std::nullopt);
    ASSERT_EQ(kept.size(), 1);
    const LibraryError refused =
        libraryErrorOf([&] { library->RestoreRemovedArtwork(kept[0].id); });
    EXPECT_EQ(refused.number(), LibraryError::Failed);
    EXPECT_TRUE(refused.description().contains(u"changed after"_s))
        << refused.description().toStdString();
    EXPECT_EQ(readFile(song), changed);
    EXPECT_EQ(library->RemovedArtwork(std::nullopt).size(), 1) << "still kept";

    writeFile(song, original);
    EXPECT_FALSE(library->RestoreRemovedArtwork(kept[0].id));
    EXPECT_EQ(readFile(song), original);
    EXPECT_TRUE(library->RemovedArtwork(std::nullopt).isEmpty());
}

TEST_F(ArtworkTest, ADamagedStoreIsPutAsideAndANewOneKeepsTheChange) {
    songFile(u"mp3"_s);
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

TEST_F(ArtworkTest, WhenNothingCanBeKeptNothingIsRemoved) {
    // The picture is far larger than the song without it, so the store's
    // write hits the limit that the song's own write stays under.
    const QString song = music().file(u"Album/song.mp3"_s);
    QFile::copy(seedPath(u"seed.mp3"_s), song);
    const QByteArray bigPicture = seedBytes("cover-600.jpg") + QByteArray(512 * 1024, 0);
    writeSongTags(song, {u"Song"_s, {}, {}, 1}, {seedBytes("cover-75.jpg"), bigPicture});
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
