// Failed writes leave the song file byte for byte as it was and no temporary
// copy behind: real refusals, and injected failures at every stage.

#include "musiclibrary/AudioFileIO.h"
#include "musiclibrary/ITunes.h"
#include "musiclibrary/SafeFileWrite.h"
#include "tests/common/TestFiles.h"
#include "tests/musiclibrary/AudioFileTestFiles.h"

#include <QDateTime>
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

QByteArray jpeg() {
    return readFile(seedPath(u"cover-300.jpg"_s));
}

// Expects the append to fail with number and the file and its folder to stay
// as they were.
void expectRefusedAndUnchanged(const QString& path, int number, const QString& reason = {}) {
    const QString folder = QFileInfo(path).absolutePath();
    const bool existed = QFile::exists(path);
    const QByteArray before = existed ? readFile(path) : QByteArray();
    try {
        appendPicture(path, jpeg());
        ADD_FAILURE() << "the write succeeded";
    } catch (const LibraryError& error) {
        EXPECT_EQ(error.number(), number) << error.description().toStdString();
        EXPECT_TRUE(
            error.description().startsWith(u"Cannot add artwork to \""_s + path + u"\": "_s))
            << error.description().toStdString();
        if (!reason.isEmpty()) {
            EXPECT_TRUE(error.description().endsWith(reason)) << error.description().toStdString();
        }
    }
    EXPECT_EQ(QFile::exists(path), existed);
    if (existed) {
        EXPECT_EQ(readFile(path), before);
    }
    EXPECT_TRUE(leftoverCopies(folder).isEmpty());
}

struct StageCase {
    SafeFileWrite::Stage stage;
    const char* seed;
};

std::ostream& operator<<(std::ostream& out, const StageCase& c) {
    return out << int(c.stage) << ' ' << c.seed;
}

class SafeWriteInjectedFailure : public ::testing::TestWithParam<StageCase> {
protected:
    void TearDown() override { SafeFileWrite::failAtForTesting(std::nullopt); }
};

TEST_P(SafeWriteInjectedFailure, LeavesTheOriginalAndNoCopy) {
    TempFolder folder;
    const QString seed = QString::fromLatin1(GetParam().seed);
    const QString path = folder.copySeed(seed, seed);
    appendPicture(path, readFile(seedPath(u"cover-75.jpg"_s))); // something to lose

    SafeFileWrite::failAtForTesting(GetParam().stage);
    expectRefusedAndUnchanged(path, LibraryError::WriteFailed);
    try {
        removePicture(path, 0);
        ADD_FAILURE() << "the removal succeeded";
    } catch (const LibraryError&) {
    }
    EXPECT_EQ(readPictures(path).size(), 1);

    SafeFileWrite::failAtForTesting(std::nullopt);
    appendPicture(path, jpeg());
    EXPECT_EQ(readPictures(path).size(), 2) << "a later write works again";
}

std::vector<StageCase> allStagesAndKinds() {
    std::vector<StageCase> cases;
    using Stage = SafeFileWrite::Stage;
    for (Stage stage : {Stage::Copy, Stage::Change, Stage::Verify, Stage::Flush, Stage::Replace}) {
        for (const char* seed : {"seed.mp3", "seed.m4a", "seed.aiff", "seed.wav"})
            cases.push_back({stage, seed});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Stages, SafeWriteInjectedFailure,
                         ::testing::ValuesIn(allStagesAndKinds()));

TEST(SafeWrite, ReadOnlyFileIsRefused) {
    TempFolder folder;
    const QString path = folder.copySeed(u"seed.mp3"_s, u"a.mp3"_s);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup);
    // The read-only attribute is the owner's write permission, even for root.
    expectRefusedAndUnchanged(path, LibraryError::WriteFailed, u"the file is read-only."_s);
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

TEST(SafeWrite, MissingFileIsReported) {
    TempFolder folder;
    expectRefusedAndUnchanged(folder.file(u"gone.mp3"_s), LibraryError::NotFound,
                              u"the file does not exist."_s);
    try {
        readPictures(folder.file(u"gone.m4a"_s));
        ADD_FAILURE() << "no error";
    } catch (const LibraryError& error) {
        EXPECT_EQ(error.number(), LibraryError::NotFound);
    }
    EXPECT_FALSE(readAudioFileFacts(folder.file(u"gone.mp3"_s)).tagsReadable);
}

// Files whose content is not what their name says, or cut short.
struct CorruptFile {
    const char* name;
    const char* fileName;
    std::function<QByteArray()> content;
};

std::ostream& operator<<(std::ostream& out, const CorruptFile& c) {
    return out << c.name;
}

class SafeWriteCorruptFile : public ::testing::TestWithParam<CorruptFile> {};

TEST_P(SafeWriteCorruptFile, IsRefusedAndLeftAsItWas) {
    TempFolder folder;
    const QString path = folder.file(QString::fromLatin1(GetParam().fileName));
    writeFile(path, GetParam().content());
    const AudioFileFacts facts = readAudioFileFacts(path);
    EXPECT_FALSE(facts.tagsReadable && facts.pictures.size() > 0);
    expectRefusedAndUnchanged(path, LibraryError::Unreadable);
}

QByteArray randomBytes(int size) {
    QByteArray bytes(size, '\0');
    // Fixed seed: no MPEG frame sync pair may turn up by chance.
    QRandomGenerator generator(20240601);
    for (char& b : bytes)
        b = char(generator.bounded(0xFF)); // never 0xFF: no frame sync
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Files, SafeWriteCorruptFile,
    ::testing::Values(
        CorruptFile{"RandomBytesNamedMp3", "noise.mp3", [] { return randomBytes(8192); }},
        CorruptFile{"EmptyMp3", "empty.mp3", [] { return QByteArray(); }},
        CorruptFile{"TagCutShort", "cut.mp3",
                    [] { return readFile(seedPath(u"seed.mp3"_s)).left(40); }},
        CorruptFile{"TextNamedM4a", "text.m4a", [] { return QByteArray("just some text\n"); }},
        CorruptFile{"M4aCutShort", "cut.m4a",
                    [] { return readFile(seedPath(u"seed.m4a"_s)).left(600); }},
        CorruptFile{"RandomBytesNamedWav", "noise.wav", [] { return randomBytes(4096); }},
        CorruptFile{"WavCutShort", "cut.wav",
                    [] { return readFile(seedPath(u"seed.wav"_s)).left(300); }},
        CorruptFile{"AiffCutShort", "cut.aiff",
                    [] { return readFile(seedPath(u"seed.aiff"_s)).left(2000); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SafeWrite, RawAacIsNotTakenForMp4) {
    TempFolder folder;
    const QString path = folder.file(u"raw.aac"_s);
    writeFile(path, QByteArray::fromHex("fff15080") + QByteArray(200, '\x11'));
    const AudioFileFacts facts = readAudioFileFacts(path);
    EXPECT_EQ(facts.kind, u"AAC audio file"_s);
    EXPECT_FALSE(facts.picturesSupported);
    expectRefusedAndUnchanged(path, LibraryError::Unsupported);
}

TEST(SafeWrite, SymbolicLinkStaysALinkAndItsTargetChanges) {
    TempFolder folder;
    const QString target = folder.copySeed(u"seed.mp3"_s, u"store/real.mp3"_s);
    const QString link = folder.file(u"album/link.mp3"_s);
    QDir().mkpath(folder.path() + u"/album"_s);
    ASSERT_TRUE(QFile::link(target, link));

    appendPicture(link, jpeg());

    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), target);
    EXPECT_EQ(readPictures(target).size(), 1);
    EXPECT_TRUE(leftoverCopies(folder.path() + u"/album"_s).isEmpty());
    EXPECT_TRUE(leftoverCopies(folder.path() + u"/store"_s).isEmpty());
}

TEST(SafeWrite, HardLinkedFileIsRefusedAndBothNamesStay) {
    TempFolder folder;
    const QString path = folder.copySeed(u"seed.mp3"_s, u"a.mp3"_s);
    const QString other = folder.file(u"b.mp3"_s);
    ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(other).constData()), 0);
    expectRefusedAndUnchanged(path, LibraryError::WriteFailed,
                              u"it has 2 hard links, and replacing it would separate them."_s);
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(other).constData(), &st), 0);
    EXPECT_EQ(st.st_nlink, 2u);
}

TEST(SafeWrite, OwnerGroupAndPermissionsAreKept) {
    TempFolder folder;
    const QString path = folder.copySeed(u"seed.m4a"_s, u"a.m4a"_s);
    const QByteArray name = QFile::encodeName(path);
    ASSERT_EQ(::chmod(name.constData(), 0640), 0);
    // Only root can give a file to someone else; others test their own file.
    const uid_t owner = ::geteuid() == 0 ? 4321 : ::geteuid();
    const gid_t group = ::geteuid() == 0 ? 4322 : ::getegid();
    ASSERT_EQ(::chown(name.constData(), owner, group), 0);

    appendPicture(path, jpeg());

    struct stat st {};
    ASSERT_EQ(::stat(name.constData(), &st), 0);
    EXPECT_EQ(st.st_uid, owner);
    EXPECT_EQ(st.st_gid, group);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(readPictures(path).size(), 1);
}

TEST(SafeWrite, UserExtendedAttributesAreKept) {
    TempFolder folder;
    const QString path = folder.copySeed(u"seed.mp3"_s, u"a.mp3"_s);
    const QByteArray name = QFile::encodeName(path);
    if (::setxattr(name.constData(), "user.quillmoth.test", "kept", 4, 0) != 0)
        GTEST_SKIP() << "the test folder's file system has no user attributes";

    appendPicture(path, jpeg());

    char value[16] = {};
    EXPECT_EQ(::getxattr(name.constData(), "user.quillmoth.test", value, sizeof value), 4);
    EXPECT_STREQ(value, "kept");
}

TEST(SafeWrite, ChangeByAnotherProgramBeforeTheRenameWins) {
    TempFolder folder;
    const QString path = folder.copySeed(u"seed.mp3"_s, u"a.mp3"_s);
    SafeFileWrite write(path);
    const QByteArray theirs = readFile(path) + QByteArray("their change");
    writeFile(path, theirs);
    try {
        write.commit();
        ADD_FAILURE() << "the rename went ahead";
    } catch (const FileFailure& failure) {
        EXPECT_EQ(failure.reason, u"another program changed the file at the same time."_s);
    }
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

    appendPicture(path, jpeg());

    EXPECT_FALSE(QFile::exists(left));
    EXPECT_TRUE(QFile::exists(held));
    EXPECT_TRUE(QFile::exists(lookalike));
    ::close(holder);
    EXPECT_EQ(SafeFileWrite::removeStaleCopies(folder.path()), 1) << "released: now it goes";
}

} // namespace
