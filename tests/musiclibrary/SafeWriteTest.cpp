// Failed writes leave the song file byte for byte as it was and no temporary
// copy behind: real refusals, injected failures at every stage, and writes
// the operating system cuts short (a full disk, a quota, a file size limit).
// Cheap writes of MP3 tags, M4A movie atoms and FLAC metadata go in place
// under the rollback journal when the new tag fits, else a new version is
// written in one pass with room for the next change; a write cut off is
// rolled back the next time the engine comes to the folder.

#include "musiclibrary/AudioFileIO.h"
#include "musiclibrary/HeadWrite.h"
#include "musiclibrary/ITunes.h"
#include "musiclibrary/Library.h"
#include "musiclibrary/RollbackJournal.h"
#include "musiclibrary/SafeFileWrite.h"
#include "tests/common/FileSizeLimit.h"
#include "tests/common/TestFiles.h"
#include "tests/musiclibrary/AudioFileTestFiles.h"
#include "tests/musiclibrary/LibraryTestSupport.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace musiclibrary;
using namespace testing_support;

namespace {

// Expects the append to fail with number and the file and its folder to stay
// as they were.
void expectRefusedAndUnchanged(const QString& path, int number, const QString& reason = {},
                               const QByteArray& picture = seedBytes("cover-300.jpg")) {
    const bool existed = QFile::exists(path);
    const QByteArray before = existed ? readFile(path) : QByteArray();
    const LibraryError error = libraryErrorOf([&] { appendPicture(path, picture); });
    EXPECT_EQ(error.number(), number) << error.description().toStdString();
    EXPECT_TRUE(error.description().startsWith(u"Cannot add artwork to \""_s + path + u"\": "_s))
        << error.description().toStdString();
    EXPECT_TRUE(error.description().endsWith(reason)) << error.description().toStdString();
    EXPECT_EQ(QFile::exists(path), existed);
    EXPECT_EQ(existed ? readFile(path) : QByteArray(), before);
    EXPECT_TRUE(leftoverCopies(QFileInfo(path).absolutePath()).isEmpty());
}

// Every failure a test injects is put back after it.
class SongWriteTest : public ::testing::Test {
protected:
    void TearDown() override {
        stopInPlaceWriteForTesting(InPlaceStop::None);
        SafeFileWrite::failAtForTesting(std::nullopt);
        RollbackJournal::setListFolder({});
    }
    // Makes each stage of the next write fail in turn.
    static void expectEveryFailingStageRefused(const QString& path) {
        using Stage = SafeFileWrite::Stage;
        for (Stage stage :
             {Stage::Copy, Stage::Change, Stage::Verify, Stage::Flush, Stage::Replace}) {
            SCOPED_TRACE(int(stage));
            SafeFileWrite::failAtForTesting(stage);
            expectRefusedAndUnchanged(path, LibraryError::WriteFailed);
            SafeFileWrite::failAtForTesting(std::nullopt);
        }
    }
    // A song whose tag has room: written anew once (which leaves padding),
    // then a small picture goes in place.
    QString roomySong(const QString& seed = u"seed.mp3"_s) {
        const QString path = folder.copySeed(seed, u"Album/song."_s + seed.section(u'.', 1));
        appendPicture(path, seedBytes("cover-600.jpg"));
        return path;
    }
    TempFolder folder;
};

class SafeWriteOfKind : public SongWriteTest, public ::testing::WithParamInterface<const char*> {};

// The seeds have no room for a picture, so these are writes of a new version
// (the failures of writes in place are InPlaceWriteOfKind's). A failure at
// any stage, or a copy the operating system cuts short, leaves the song as it
// was; the process's file size limit makes the kernel refuse the copy's
// writes for real, without a disk that is actually full.
TEST_P(SafeWriteOfKind, AFailureAtAnyStageOrAWriteCutShortLeavesTheOriginalAndNoCopy) {
    const QString seed = QString::fromLatin1(GetParam());
    const QString path = folder.copySeed(seed, u"song."_s + QFileInfo(seed).suffix());
    expectEveryFailingStageRefused(path);

    // The song itself fits under the limit; the song with a cover does not.
    const QByteArray bigCover = seedBytes("cover-600.jpg") + QByteArray(64 * 1024, '\0');
    {
        FileSizeLimit limit(static_cast<rlim_t>(QFileInfo(path).size() + 1024));
        ASSERT_TRUE(limit.active());
        expectRefusedAndUnchanged(path, LibraryError::WriteFailed, {}, bigCover);
    }

    // With the failures gone the same write goes through.
    appendPicture(path, bigCover);
    EXPECT_EQ(readPictures(path).size(), 1);
}

INSTANTIATE_TEST_SUITE_P(Kinds, SafeWriteOfKind,
                         ::testing::Values("seed.mp3", "seed.m4a", "seed.aiff", "seed.wav"),
                         [](const auto& info) { return std::string(info.param).substr(5); });

QByteArray randomBytes(int size) {
    QByteArray bytes(size, '\0');
    // Fixed seed: no MPEG frame sync pair may turn up by chance.
    QRandomGenerator generator(20240601);
    for (char& b : bytes)
        b = char(generator.bounded(0xFF)); // never 0xFF: no frame sync
    return bytes;
}

// Files the write must refuse before it touches anything, and why: files it
// cannot replace, and files whose content is not what their name says, or
// cut short.
TEST(SafeWrite, FilesItCannotReplaceOrReadAreRefusedAndLeftAsTheyWere) {
    TempFolder folder;
    const auto file = [&folder](const char* name, const QByteArray& content) {
        const QString path = folder.file(QString::fromLatin1(name));
        writeFile(path, content);
        return path;
    };
    const QString readOnly = file("read-only.mp3", seedBytes("seed.mp3"));
    // The read-only attribute is the owner's write permission, even for root.
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadGroup);
    const QString linked = file("linked.mp3", seedBytes("seed.mp3"));
    const QByteArray otherName = QFile::encodeName(folder.file(u"other-name.mp3"_s));
    ASSERT_EQ(::link(QFile::encodeName(linked).constData(), otherName.constData()), 0);
    // Raw AAC, which is no MP4 file: its tags cannot hold pictures.
    const QString rawAac =
        file("raw.aac", QByteArray::fromHex("fff15080") + QByteArray(200, '\x11'));
    EXPECT_FALSE(readAudioFileFacts(rawAac).picturesSupported);
    const QList<std::tuple<QString, int, QString>> refused{
        {readOnly, LibraryError::WriteFailed, u"the file is read-only."_s},
        {linked, LibraryError::WriteFailed,
         u"it has 2 hard links, and replacing it would separate them."_s},
        {folder.file(u"gone.mp3"_s), LibraryError::NotFound, u"the file does not exist."_s},
        {rawAac, LibraryError::Unsupported, QString()},
        {file("noise.mp3", randomBytes(8192)), LibraryError::Unreadable, QString()},
        {file("empty.mp3", QByteArray()), LibraryError::Unreadable, QString()},
        {file("cut.mp3", seedBytes("seed.mp3").left(40)), LibraryError::Unreadable, QString()},
        {file("text.m4a", "just some text\n"), LibraryError::Unreadable, QString()},
        {file("cut.m4a", seedBytes("seed.m4a").left(600)), LibraryError::Unreadable, QString()},
        {file("noise.wav", randomBytes(4096)), LibraryError::Unreadable, QString()},
        {file("cut.wav", seedBytes("seed.wav").left(300)), LibraryError::Unreadable, QString()},
        {file("cut.aiff", seedBytes("seed.aiff").left(2000)), LibraryError::Unreadable, QString()}};
    for (const auto& [path, number, reason] : refused) {
        SCOPED_TRACE(path.toStdString());
        expectRefusedAndUnchanged(path, number, reason);
    }
    struct stat st {};
    ASSERT_EQ(::stat(otherName.constData(), &st), 0);
    EXPECT_EQ(st.st_nlink, 2u) << "both names stay";

    EXPECT_EQ(libraryErrorOf([&] { readPictures(folder.file(u"gone.m4a"_s)); }).number(),
              LibraryError::NotFound);
    EXPECT_FALSE(readAudioFileFacts(folder.file(u"gone.mp3"_s)).tagsReadable);
}

TEST(SafeWrite, ReadOnlyFolderIsRefused) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write into any folder; the injected Copy failure covers this";
    TempFolder folder;
    const QString path = folder.copySeed(u"seed.mp3"_s, u"locked/a.mp3"_s);
    const QString locked = folder.path() + u"/locked"_s;
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
    expectRefusedAndUnchanged(path, LibraryError::WriteFailed,
                              u"its folder is not writable, so no temporary copy can be made."_s);
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// A write of a new version keeps what the file is: a symbolic link stays a
// link to the file, whose owner, group, permissions and user attributes stay.
TEST(SafeWrite, ANewVersionKeepsLinksOwnerGroupPermissionsAndAttributes) {
    TempFolder folder;
    const QString path = folder.copySeed(u"seed.m4a"_s, u"store/real.m4a"_s);
    const QString link = folder.file(u"album/link.m4a"_s);
    QDir().mkpath(folder.path() + u"/album"_s);
    ASSERT_TRUE(QFile::link(path, link));
    const QByteArray name = QFile::encodeName(path);
    ASSERT_EQ(::chmod(name.constData(), 0640), 0);
    // Only root can give a file to someone else; others test their own file.
    const uid_t owner = ::geteuid() == 0 ? 4321 : ::geteuid();
    const gid_t group = ::geteuid() == 0 ? 4322 : ::getegid();
    ASSERT_EQ(::chown(name.constData(), owner, group), 0);
    // Not every file system the tests run on has user attributes.
    const bool attributes = ::setxattr(name.constData(), "user.quillmoth.test", "kept", 4, 0) == 0;

    appendPicture(link, seedBytes("cover-300.jpg"));

    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), path);
    EXPECT_EQ(readPictures(path).size(), 1);
    struct stat st {};
    ASSERT_EQ(::stat(name.constData(), &st), 0);
    EXPECT_EQ(st.st_uid, owner);
    EXPECT_EQ(st.st_gid, group);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (attributes) {
        char value[16] = {};
        EXPECT_EQ(::getxattr(name.constData(), "user.quillmoth.test", value, sizeof value), 4);
        EXPECT_STREQ(value, "kept");
    }
    EXPECT_TRUE(leftoverCopies(folder.path() + u"/album"_s).isEmpty());
    EXPECT_TRUE(leftoverCopies(folder.path() + u"/store"_s).isEmpty());
}

TEST(SafeWrite, ChangeByAnotherProgramBeforeTheRenameWins) {
    TempFolder folder;
    const QString path = folder.copySeed(u"seed.mp3"_s, u"a.mp3"_s);
    SafeFileWrite write(path);
    const QByteArray theirs = readFile(path) + QByteArray("their change");
    writeFile(path, theirs);
    EXPECT_THROW(write.commit(), FileFailure);
    EXPECT_EQ(readFile(path), theirs);
}

TEST(SafeWrite, CopiesThatAKilledRunLeftAreRemovedAndHeldOnesKept) {
    TempFolder folder;
    const QString path = folder.copySeed(u"seed.mp3"_s, u"a.mp3"_s);
    const QString left = folder.file(u".a.mp3"_s + SafeFileWrite::copyNameMarker() + u"Ab12Cd"_s);
    const QString held = folder.file(u".b.mp3"_s + SafeFileWrite::copyNameMarker() + u"Xy34Zw"_s);
    const QString lookalike =
        folder.file(u".notes"_s + SafeFileWrite::copyNameMarker() + u"keep-me.txt"_s);
    for (const QString& file : {left, held, lookalike})
        writeFile(file, "x");
    // Another process's write in progress holds its copy locked.
    const int holder = ::open(QFile::encodeName(held).constData(), O_RDONLY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);

    appendPicture(path, seedBytes("cover-300.jpg"));

    EXPECT_FALSE(QFile::exists(left));
    EXPECT_TRUE(QFile::exists(held));
    EXPECT_TRUE(QFile::exists(lookalike));
    ::close(holder);
    EXPECT_EQ(SafeFileWrite::removeStaleCopies(folder.path()), 1) << "released: now it goes";
}

QStringList journalsIn(const QString& folder) {
    QStringList names;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden))
        if (RollbackJournal::isJournalName(name))
            names.append(name);
    return names;
}

TEST_F(SongWriteTest, AWriteAnewLeavesRoomAndTheNextChangesGoInPlace) {
    const QString path = roomySong();
    const QByteArray audio = mpegAudioOfSeed();
    const qint64 size = QFileInfo(path).size();
    const ino_t inode = inodeOf(path);
    appendPicture(path, seedBytes("cover-300.jpg"));
    removePicture(path, 0);
    appendPicture(path, seedBytes("cover-75.jpg"));
    EXPECT_EQ(inodeOf(path), inode) << "the same file, written in place";
    EXPECT_EQ(QFileInfo(path).size(), size);
    EXPECT_EQ(afterId3v2Tag(readFile(path)), audio);
    EXPECT_EQ(readPictures(path).size(), 2);

    // More than the room holds: a new version again, and the audio still
    // byte for byte the same.
    appendPicture(path, seedBytes("cover-600.jpg") + QByteArray(40000, '\0'));
    EXPECT_NE(inodeOf(path), inode);
    EXPECT_EQ(afterId3v2Tag(readFile(path)), audio);
    EXPECT_TRUE(leftoverCopies(folder.file(u"Album"_s)).isEmpty());
}

// The same promises for each kind written in place: an MP3's tag, an M4A's
// movie atom, a FLAC file's metadata blocks.
class InPlaceWriteOfKind : public SongWriteTest,
                           public ::testing::WithParamInterface<const char*> {};

TEST_P(InPlaceWriteOfKind, AFailureAtAnyStageLeavesTheSongAsItWas) {
    const QString path = roomySong(QString::fromLatin1(GetParam()));
    const ino_t inode = inodeOf(path);
    expectEveryFailingStageRefused(path);
    QFile::setPermissions(path, QFile::ReadOwner);
    expectRefusedAndUnchanged(path, LibraryError::WriteFailed, u"the file is read-only."_s);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);

    // Hard links stay together when the write is in place (a new version
    // would separate them, so that way is refused).
    const QString link = folder.file(u"Album/link"_s);
    ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(link).constData()), 0);
    appendPicture(path, seedBytes("cover-75.jpg"));
    EXPECT_EQ(inodeOf(path), inode) << "the failures were of the write in place";
    EXPECT_EQ(readFile(link), readFile(path));
    EXPECT_EQ(readPictures(path).size(), 2);
}

// A write cut off after the journal, or after the song: the next opening of
// the folder gives the song back byte for byte.
TEST_P(InPlaceWriteOfKind, AWriteCutOffIsRolledBackWhenTheFolderIsNextOpened) {
    for (InPlaceStop stop : {InPlaceStop::AfterJournal, InPlaceStop::AfterSong}) {
        SCOPED_TRACE(int(stop));
        const QString path = roomySong(QString::fromLatin1(GetParam()));
        const QByteArray before = readFile(path);
        stopInPlaceWriteForTesting(stop);
        EXPECT_THROW(appendPicture(path, seedBytes("cover-75.jpg")), LibraryError);
        stopInPlaceWriteForTesting(InPlaceStop::None);
        EXPECT_EQ(readFile(path) != before, stop == InPlaceStop::AfterSong)
            << "after the song, the new tag is there, the journal too";
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

INSTANTIATE_TEST_SUITE_P(Kinds, InPlaceWriteOfKind,
                         ::testing::Values("seed.mp3", "seed.m4a", "seed.flac"),
                         [](const auto& info) { return std::string(info.param).substr(5); });

TEST_F(SongWriteTest, JournalsDamagedHeldOutOfDateOrOfTheEarlierFormat) {
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

    // A journal left by an earlier version (one record, no offset) is still
    // rolled back.
    QByteArray earlier = before;
    earlier[120] = char(earlier[120] ^ 0x33);
    writeFile(path, earlier);
    QByteArray body;
    QDataStream out(&body, QIODevice::WriteOnly);
    out.writeRawData("QMJ1", 4);
    out << QByteArray("song.mp3") << qint64(before.size()) << head << earlier.left(200);
    out << crc32Of(body);
    writeFile(journal, body);
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

// A write whose undo failed keeps its journal, never written over by the
// next write in the folder; the next start applies it, whatever library it
// opens, and a journal that cannot be applied yet is reported and kept.
TEST_F(SongWriteTest, AJournalThatCouldNotBeAppliedIsKeptUntilItIs) {
    TempFolder list;
    RollbackJournal::setListFolder(list.path());
    const QString path = roomySong();
    const QString other = folder.copySeed(u"seed.mp3"_s, u"Album/other.mp3"_s);
    appendPicture(other, seedBytes("cover-600.jpg"));
    const QByteArray before = readFile(path);

    stopInPlaceWriteForTesting(InPlaceStop::UndoFails);
    SafeFileWrite::failAtForTesting(SafeFileWrite::Stage::Verify);
    EXPECT_THROW(appendPicture(path, seedBytes("cover-75.jpg")), LibraryError);
    SafeFileWrite::failAtForTesting(std::nullopt);
    stopInPlaceWriteForTesting(InPlaceStop::None);
    ASSERT_NE(readFile(path), before) << "the undo was made to fail";
    const QStringList kept = journalsIn(folder.file(u"Album"_s));
    ASSERT_EQ(kept.size(), 1);

    appendPicture(other, seedBytes("cover-75.jpg"));
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

// The disk fills before a run of in-place writes, and in the middle of one
// sharing a journal: the write that could not be journalled leaves its song
// alone, and the journal stays whole for the writes after it.
TEST_F(SongWriteTest, ADiskFullBeforeOrDuringARunTearsNeitherSongNorJournal) {
    QStringList songs;
    QList<QByteArray> before;
    for (int i = 0; i < 4; ++i) {
        songs.append(folder.copySeed(u"seed.mp3"_s, u"Album/song-%1.mp3"_s.arg(i)));
        appendPicture(songs[i], seedBytes("cover-600.jpg"));
        before.append(readFile(songs[i]));
    }
    FinishWrites();
    const QByteArray cover = seedBytes("cover-75.jpg");
    // A journal record larger than the limit: only a write's changed bytes
    // are journalled, so the picture must be large.
    const QByteArray large = cover + QByteArray(20000, '\0');
    {
        // A journal that cannot even begin stops the write before the song.
        FileSizeLimit limit(1024);
        ASSERT_TRUE(limit.active());
        EXPECT_THROW(appendPicture(songs[2], large), LibraryError);
    }
    EXPECT_EQ(readFile(songs[2]), before[2]);
    EXPECT_TRUE(leftoverCopies(folder.file(u"Album"_s)).isEmpty());

    appendPicture(songs[0], cover);
    appendPicture(songs[1], cover);
    const QStringList journals = journalsIn(folder.file(u"Album"_s));
    ASSERT_EQ(journals.size(), 1);
    const qint64 journalSize = QFileInfo(folder.file(u"Album/"_s + journals[0])).size();
    {
        FileSizeLimit limit(journalSize + 1000);
        ASSERT_TRUE(limit.active());
        EXPECT_THROW(appendPicture(songs[2], large), LibraryError);
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

} // namespace
