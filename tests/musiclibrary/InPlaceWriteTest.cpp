// Cheap safe writes of MP3 tags (and of M4A movie atoms): in place under the rollback journal when
// the new tag fits, else a new version written in one pass with room for the
// next change; a write cut off is rolled back the next time the engine
// comes to the folder.

#include "musiclibrary/AudioFileIO.h"
#include "musiclibrary/HeadWrite.h"
#include "musiclibrary/ITunes.h"
#include "musiclibrary/Library.h"
#include "musiclibrary/RollbackJournal.h"
#include "musiclibrary/SafeFileWrite.h"
#include "tests/common/FileSizeLimit.h"
#include "tests/musiclibrary/AudioFileTestFiles.h"
#include "tests/musiclibrary/LibraryTestSupport.h"

#include <QDataStream>
#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace musiclibrary;
using namespace testing_support;

namespace {

QByteArray seedImage(const char* name) {
    return readFile(seedPath(QString::fromLatin1(name)));
}

ino_t inodeOf(const QString& path) {
    struct stat info {};
    ::stat(QFile::encodeName(path).constData(), &info);
    return info.st_ino;
}

QStringList journalsIn(const QString& folder) {
    QStringList names;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden))
        if (RollbackJournal::isJournalName(name))
            names.append(name);
    return names;
}

// What follows the ID3v2 tag: the audio, which no write may touch.
QByteArray afterTag(const QByteArray& file) {
    const qint64 size = 10 + ((qint64(file[6]) & 0x7F) << 21 | (qint64(file[7]) & 0x7F) << 14 |
                              (qint64(file[8]) & 0x7F) << 7 | (qint64(file[9]) & 0x7F));
    return file.mid(size);
}

class InPlaceWriteTest : public ::testing::Test {
protected:
    void TearDown() override {
        stopInPlaceWriteForTesting(InPlaceStop::None);
        SafeFileWrite::failAtForTesting(std::nullopt);
        RollbackJournal::setListFolder({});
    }
    // A song whose tag has room: written anew once (which leaves padding),
    // then a small picture goes in place.
    QString roomySong(const QString& seed = u"seed.mp3"_s) {
        const QString path = folder.copySeed(seed, u"Album/song."_s + seed.section(u'.', 1));
        appendPicture(path, seedImage("cover-600.jpg"));
        return path;
    }
    TempFolder folder;
};

TEST_F(InPlaceWriteTest, AWriteAnewLeavesRoomAndTheNextChangeGoesInPlace) {
    const QString path = folder.copySeed(u"seed.mp3"_s, u"Album/song.mp3"_s);
    const QByteArray audio = afterTag(readFile(path));
    appendPicture(path, seedImage("cover-600.jpg"));
    const qint64 sizeAfterFirst = QFileInfo(path).size();
    EXPECT_GE(sizeAfterFirst, QFileInfo(seedPath(u"seed.mp3"_s)).size() + 16 * 1024)
        << "padding for the next change";
    EXPECT_EQ(afterTag(readFile(path)), audio);

    const ino_t inode = inodeOf(path);
    appendPicture(path, seedImage("cover-300.jpg"));
    removePicture(path, 0);
    appendPicture(path, seedImage("cover-75.jpg"));
    EXPECT_EQ(inodeOf(path), inode) << "the same file, written in place";
    EXPECT_EQ(QFileInfo(path).size(), sizeAfterFirst);
    EXPECT_EQ(afterTag(readFile(path)), audio);
    const QList<Picture> pictures = readPictures(path);
    ASSERT_EQ(pictures.size(), 2);
    EXPECT_EQ(pictures[0].data, seedImage("cover-300.jpg"));
    EXPECT_EQ(pictures[1].data, seedImage("cover-75.jpg"));
    EXPECT_EQ(readAudioFileFacts(path).title, u"Seed"_s);

    // More than the room holds: a new version again, and the audio still
    // byte for byte the same.
    appendPicture(path, QByteArray(seedImage("cover-600.jpg")) + QByteArray(40000, '\0'));
    EXPECT_NE(inodeOf(path), inode);
    EXPECT_EQ(afterTag(readFile(path)), audio);
    EXPECT_TRUE(leftoverCopies(folder.file(u"Album"_s)).isEmpty());
}

// Hard links stay together when the write is in place (a new version would
// separate them, so that way is refused).
TEST_F(InPlaceWriteTest, AnInPlaceWriteKeepsHardLinksTogether) {
    const QString path = roomySong();
    const QString link = folder.file(u"Album/link.mp3"_s);
    ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(link).constData()), 0);
    appendPicture(path, seedImage("cover-75.jpg"));
    EXPECT_EQ(readFile(link), readFile(path));
    EXPECT_EQ(readPictures(link).size(), 2);
}

// The same promises for each kind written in place: an MP3's tag, an M4A's
// movie atom.
class InPlaceWriteOfKind : public InPlaceWriteTest,
                           public ::testing::WithParamInterface<const char*> {
protected:
    QString roomySong() { return InPlaceWriteTest::roomySong(QString::fromLatin1(GetParam())); }
};

TEST_P(InPlaceWriteOfKind, AFailureAtAnyStageLeavesTheSongAsItWas) {
    const QString path = roomySong();
    const ino_t inode = inodeOf(path);
    using Stage = SafeFileWrite::Stage;
    for (Stage stage : {Stage::Copy, Stage::Change, Stage::Flush, Stage::Verify, Stage::Replace}) {
        const QByteArray before = readFile(path);
        SafeFileWrite::failAtForTesting(stage);
        EXPECT_THROW(appendPicture(path, seedImage("cover-75.jpg")), LibraryError) << int(stage);
        SafeFileWrite::failAtForTesting(std::nullopt);
        EXPECT_EQ(readFile(path), before) << int(stage);
        EXPECT_TRUE(leftoverCopies(folder.file(u"Album"_s)).isEmpty()) << int(stage);
    }
    QFile::setPermissions(path, QFile::ReadOwner);
    const QByteArray before = readFile(path);
    EXPECT_THROW(appendPicture(path, seedImage("cover-75.jpg")), LibraryError) << "read-only";
    EXPECT_EQ(readFile(path), before);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    appendPicture(path, seedImage("cover-75.jpg"));
    EXPECT_EQ(inodeOf(path), inode) << "the failures were of the write in place";
}

// A write cut off after the journal, or after the song: the next opening of
// the folder gives the song back byte for byte.
TEST_P(InPlaceWriteOfKind, AWriteCutOffIsRolledBackWhenTheFolderIsNextOpened) {
    for (InPlaceStop stop : {InPlaceStop::AfterJournal, InPlaceStop::AfterSong}) {
        SCOPED_TRACE(int(stop));
        const QString path = roomySong();
        const QByteArray before = readFile(path);
        stopInPlaceWriteForTesting(stop);
        EXPECT_THROW(appendPicture(path, seedImage("cover-75.jpg")), LibraryError);
        stopInPlaceWriteForTesting(InPlaceStop::None);
        if (stop == InPlaceStop::AfterSong) {
            EXPECT_NE(readFile(path), before) << "the new tag is there, the journal too";
        }
        // The process that wrote it is gone: its journal is no longer held.
        RollbackJournal::closeAllKeepingFilesForTesting();
        ASSERT_EQ(journalsIn(folder.file(u"Album"_s)).size(), 1);

        TempFolder data;
        const ITunesPtr library = openLibrary(folder.path(), {data.path()});
        EXPECT_EQ(readFile(path), before);
        EXPECT_TRUE(journalsIn(folder.file(u"Album"_s)).isEmpty());
        EXPECT_EQ(allTracks(*library)[0]->Artwork()->Count(), 1);
        QFile::remove(path);
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, InPlaceWriteOfKind, ::testing::Values("seed.mp3", "seed.m4a"),
                         [](const auto& info) { return std::string(info.param).substr(5); });

TEST_F(InPlaceWriteTest, JournalsThatAreDamagedHeldOrOutOfDateChangeNothing) {
    const QString path = roomySong();
    const QString album = folder.file(u"Album"_s);
    const QByteArray before = readFile(path);
    const QString journal = album + u"/.quillmoth-journal-Ab12Cd"_s;
    const auto record = [&](const QByteArray& oldHead, const QByteArray& newHead) {
        return journalRecord({u"song.mp3"_s, before.size(), 0, oldHead, newHead});
    };

    // Cut short: its write never finished, so the song was never touched.
    const QByteArray head = before.left(200);
    QByteArray changed = head;
    changed[100] = 'x';
    const QByteArray cut = record(changed, head);
    writeFile(journal, cut.left(cut.size() - 7));
    EXPECT_TRUE(SafeFileWrite::tidyLeftover(journal));
    EXPECT_FALSE(QFile::exists(journal));
    EXPECT_EQ(readFile(path), before);

    // Held by a running writer: left alone.
    writeFile(journal, record(changed, head));
    const int holder = ::open(QFile::encodeName(journal).constData(), O_RDONLY);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);
    EXPECT_FALSE(SafeFileWrite::tidyLeftover(journal));
    ::close(holder);
    EXPECT_EQ(readFile(path), before);

    // The song changed since by another program (its head is neither the
    // old nor the new bytes): it is left alone and the journal goes.
    QByteArray other = head;
    other[150] = char(other[150] ^ 0x5A);
    writeFile(journal, record(other, other));
    EXPECT_TRUE(SafeFileWrite::tidyLeftover(journal));
    EXPECT_EQ(readFile(path), before);
}

// Many writes share a journal; a mark after a flush settles the ones before
// it, and recovery undoes the rest, newest first.
TEST(JournalRecords, SettledMarksAndCutShortRecordsDecideWhatIsUndone) {
    const JournalRecord first{u"a.mp3"_s, 100, 0, "ab", "cd"};
    const JournalRecord second{u"b.m4a"_s, 100, 40, "ef", "gh"};
    const JournalRecord third{u"a.mp3"_s, 100, 0, "cd", "ij"};
    const QByteArray journal =
        journalRecord(first) + journalRecord(second) + settledMark(2) + journalRecord(third);
    QList<JournalRecord> left = unsettledRecords(journal);
    ASSERT_EQ(left.size(), 1);
    EXPECT_EQ(left[0].newHead, "ij");

    left = unsettledRecords(journalRecord(first) + journalRecord(second) + "QMJ2garbage" +
                            settledMark(2));
    ASSERT_EQ(left.size(), 2) << "nothing after a damaged record counts";
    EXPECT_EQ(left[1].offset, 40);

    for (const JournalRecord& bad : {JournalRecord{u"../x.mp3"_s, 100, 0, "ab", "cd"},
                                     JournalRecord{u"x.mp3"_s, 100, 0, "ab", "c"},
                                     JournalRecord{u"x.mp3"_s, 10, 9, "ab", "cd"}})
        EXPECT_TRUE(unsettledRecords(journalRecord(bad)).isEmpty()) << bad.fileName.toStdString();
    EXPECT_TRUE(unsettledRecords(journalRecord(first) + settledMark(1)).isEmpty());
}

// A journal left by an earlier version (one record, no offset) is still
// rolled back.
TEST_F(InPlaceWriteTest, AJournalOfTheEarlierFormatIsStillRolledBack) {
    const QString path = roomySong();
    const QByteArray before = readFile(path);
    QByteArray changed = before;
    changed[120] = char(changed[120] ^ 0x33);
    writeFile(path, changed);
    QByteArray body;
    QDataStream out(&body, QIODevice::WriteOnly);
    out.writeRawData("QMJ1", 4);
    out << QByteArray("song.mp3") << qint64(before.size()) << before.left(200) << changed.left(200);
    out << crc32Of(body);
    const QString journal = folder.file(u"Album/.quillmoth-journal-Old123"_s);
    writeFile(journal, body);
    EXPECT_TRUE(SafeFileWrite::tidyLeftover(journal));
    EXPECT_EQ(readFile(path), before);
}

// A write whose undo failed keeps its journal, never written over by the
// next write in the folder; the next start applies it, whatever library it
// opens, and a journal that cannot be applied yet is reported and kept.
TEST_F(InPlaceWriteTest, AJournalThatCouldNotBeAppliedIsKeptUntilItIs) {
    TempFolder list;
    RollbackJournal::setListFolder(list.path());
    const QString path = roomySong();
    const QString other = folder.copySeed(u"seed.mp3"_s, u"Album/other.mp3"_s);
    appendPicture(other, seedImage("cover-600.jpg"));
    const QByteArray before = readFile(path);

    stopInPlaceWriteForTesting(InPlaceStop::UndoFails);
    SafeFileWrite::failAtForTesting(SafeFileWrite::Stage::Verify);
    EXPECT_THROW(appendPicture(path, seedImage("cover-75.jpg")), LibraryError);
    SafeFileWrite::failAtForTesting(std::nullopt);
    stopInPlaceWriteForTesting(InPlaceStop::None);
    ASSERT_NE(readFile(path), before) << "the undo was made to fail";
    const QStringList kept = journalsIn(folder.file(u"Album"_s));
    ASSERT_EQ(kept.size(), 1);

    appendPicture(other, seedImage("cover-75.jpg"));
    FinishWrites();
    EXPECT_EQ(journalsIn(folder.file(u"Album"_s)), kept)
        << "the next write took a journal of its own";

    // The song cannot be written yet: the journal stays, with a message.
    QFile::rename(path, path + u".away"_s);
    ASSERT_TRUE(QDir().mkdir(path));
    QStringList messages = RecoverInterruptedWrites();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(kept[0])) << messages[0].toStdString();
    EXPECT_EQ(journalsIn(folder.file(u"Album"_s)), kept);

    QDir().rmdir(path);
    QFile::rename(path + u".away"_s, path);
    TempFolder elsewhere;
    TempFolder data;
    openLibrary(elsewhere.path(), {data.path()});
    EXPECT_EQ(readFile(path), before);
    EXPECT_TRUE(journalsIn(folder.file(u"Album"_s)).isEmpty());
    EXPECT_TRUE(QDir(list.path()).isEmpty()) << "the list forgets it";
    EXPECT_EQ(readPictures(other).size(), 2);
}

// A journal that cannot be written (a file-size limit, as a full disk does)
// stops the write before the song is touched.
TEST_F(InPlaceWriteTest, AJournalCutShortStopsTheWriteBeforeTheSong) {
    const QString path = roomySong();
    const QByteArray before = readFile(path);
    {
        // A journal record larger than the limit: only its changed bytes are
        // journalled, so the picture must be large.
        FileSizeLimit limit(1024);
        ASSERT_TRUE(limit.active());
        EXPECT_THROW(appendPicture(path, seedImage("cover-600.jpg") + QByteArray(20000, '\0')),
                     LibraryError);
    }
    EXPECT_EQ(readFile(path), before);
    EXPECT_TRUE(leftoverCopies(folder.file(u"Album"_s)).isEmpty());
}

// The disk fills in the middle of a run of in-place writes sharing one
// journal: the write that could not be journalled leaves its song alone,
// and the journal stays whole for the writes after it.
TEST_F(InPlaceWriteTest, ADiskFullInTheMiddleOfARunTearsNeitherSongNorJournal) {
    QStringList songs;
    QList<QByteArray> before;
    for (int i = 0; i < 4; ++i) {
        songs.append(folder.copySeed(u"seed.mp3"_s, u"Album/song-%1.mp3"_s.arg(i)));
        appendPicture(songs[i], seedImage("cover-600.jpg"));
        before.append(readFile(songs[i]));
    }
    FinishWrites();
    const QByteArray cover = seedImage("cover-75.jpg");
    appendPicture(songs[0], cover);
    appendPicture(songs[1], cover);
    const QStringList journals = journalsIn(folder.file(u"Album"_s));
    ASSERT_EQ(journals.size(), 1);
    const qint64 journalSize = QFileInfo(folder.file(u"Album/"_s + journals[0])).size();
    {
        FileSizeLimit limit(journalSize + 1000);
        ASSERT_TRUE(limit.active());
        EXPECT_THROW(appendPicture(songs[2], cover + QByteArray(20000, '\0')), LibraryError);
    }
    EXPECT_EQ(readFile(songs[2]), before[2]);
    appendPicture(songs[3], cover);
    EXPECT_EQ(readPictures(songs[3]).size(), 2);

    // Killed now: the last write is not yet known durable and goes back;
    // the ones a flush settled stay.
    RollbackJournal::closeAllKeepingFilesForTesting();
    SafeFileWrite::removeStaleCopies(folder.file(u"Album"_s));
    EXPECT_TRUE(journalsIn(folder.file(u"Album"_s)).isEmpty());
    EXPECT_EQ(readPictures(songs[0]).size(), 2);
    EXPECT_EQ(readPictures(songs[1]).size(), 2);
    EXPECT_EQ(readFile(songs[2]), before[2]);
    EXPECT_EQ(readFile(songs[3]), before[3]);
}

TEST(GenerousPadding, RoomForThePicturesOfTheTagWithinBounds) {
    const QByteArray small = id3v2Tag(3, id3v2Frame(3, "APIC", QByteArray(3000, 'p')));
    EXPECT_EQ(generousPadding(small), 16 * 1024);
    const QByteArray big = id3v2Tag(3, id3v2Frame(3, "APIC", QByteArray(100000, 'p')) +
                                           id3v2TextFrame(3, "TIT2", "t"));
    EXPECT_EQ(generousPadding(big), 100000);
    const QByteArray huge = id3v2Tag(4, id3v2Frame(4, "APIC", QByteArray(2000000, 'p')));
    EXPECT_EQ(generousPadding(huge), 512 * 1024);
}

} // namespace
