// The program's dealings with the desktop shell: the trash, file
// permissions, its own data folder, and what it asks the desktop to open.

#include "support/FileShell.h"
#include "support/AppData.h"
#include "support/ShellTargets.h"

#include "tests/common/ScriptedUi.h"
#include "tests/common/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUuid>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace support;
using testing_support::readFile;
using testing_support::ScriptedMessageBoxes;
using testing_support::TempFolder;
using testing_support::writeFile;

namespace {

// The home trash in the tests' own data folder (QStandardPaths test mode).
QString trashFilesFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           u"/Trash/files"_s;
}

QStringList trashEntries() {
    return QDir(trashFilesFolder())
        .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

// A file on the same volume as the home trash, so that it lands there.
class RecycleFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                 u"/recycle-test-"_s + QUuid::createUuid().toString(QUuid::WithoutBraces);
        ASSERT_TRUE(QDir().mkpath(folder));
        name = u"Folder "_s + QUuid::createUuid().toString(QUuid::WithoutBraces) + u".jpg"_s;
        path = folder + u'/' + name;
    }
    void TearDown() override {
        QDir(folder).removeRecursively();
        for (const QString& entry : trashEntries()) {
            if (entry.startsWith(QFileInfo(name).completeBaseName())) {
                QFile::remove(trashFilesFolder() + u'/' + entry);
                QFile::remove(trashFilesFolder() + u"/../info/"_s + entry + u".trashinfo"_s);
            }
        }
    }

    QString folder;
    QString name;
    QString path;
    ScriptedMessageBoxes boxes;
};

TEST_F(RecycleFileTest, MissingFileIsGoneWithoutAskingOrTouchingTheTrash) {
    const QStringList before = trashEntries();
    EXPECT_EQ(RecycleFile(path, true, &boxes), RecycleGone);
    EXPECT_EQ(RecycleFile(QString(), false), RecycleGone);
    EXPECT_TRUE(boxes.shown.isEmpty());
    EXPECT_EQ(trashEntries(), before);
}

// The file goes to the trash once the user has said yes, and stays where it
// is when they said no.
TEST_F(RecycleFileTest, FileMovesToTheTrashOnlyWhenConfirmed) {
    writeFile(path, "cover bytes");
    boxes.answers = {IdNo};
    EXPECT_EQ(RecycleFile(path, true, &boxes), RecycleAborted);
    EXPECT_TRUE(QFileInfo::exists(path));
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].buttons, MbYesNo);
    EXPECT_TRUE(boxes.shown[0].text.contains(name));

    boxes.answers = {IdYes};
    EXPECT_EQ(RecycleFile(path, true, &boxes), RecycleGone);
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_EQ(readFile(trashFilesFolder() + u'/' + name), QByteArray("cover bytes"));
}

TEST_F(RecycleFileTest, DanglingLinkIsRemovedToo) {
    ASSERT_TRUE(QFile::link(folder + u"/nowhere.jpg"_s, path));
    EXPECT_EQ(RecycleFile(path), RecycleGone);
    EXPECT_FALSE(QFileInfo(path).isSymLink());
}

// With no trash folder to be had, the file stays where it is: nothing is
// deleted, nor moved anywhere else.
TEST_F(RecycleFileTest, WithoutATrashTheFileStaysWhereItIs) {
    writeFile(path, "cover");
    const QString trash = QFileInfo(trashFilesFolder()).absolutePath();
    const bool hadTrash = QFileInfo(trash).isDir();
    const QString saved = trash + u".saved"_s;
    if (hadTrash) {
        ASSERT_TRUE(QDir().rename(trash, saved));
    }
    writeFile(trash, "a file where the trash folder should be");
    QString where;
    const int result = RecycleFile(path, false, nullptr, &where);
    QFile::remove(trash);
    if (hadTrash)
        QDir().rename(saved, trash);
    EXPECT_EQ(result, RecycleFailed);
    EXPECT_EQ(readFile(path), "cover");
    EXPECT_TRUE(where.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(QDir::currentPath() + u"/files/"_s + name));
}

// On a new account the folder the home trash lives in may not exist yet.
TEST(RecycleFileOnANewAccount, TheTrashIsMadeWhereNoneWasYet) {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    ASSERT_TRUE(data.contains(u".qttest"_s)) << "only the tests' own data folder may go";
    QDir(data).removeRecursively();
    TempFolder folder;
    const QString path = folder.file(u"Folder.jpg"_s);
    writeFile(path, "cover");
    QString where;
    EXPECT_EQ(RecycleFile(path, false, nullptr, &where), RecycleGone);
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_EQ(readFile(where), "cover");
    QDir(data).removeRecursively();
}

TEST(MakeFileWritable, ClearsReadOnlyAndRefusesWhatIsNoFile) {
    TempFolder temp;
    const QString readOnly = temp.file(u"read only.mp3"_s);
    writeFile(readOnly, "x");
    ASSERT_TRUE(QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadGroup));
    EXPECT_TRUE(MakeFileWritable(u"  "_s + readOnly + u" "_s));
    EXPECT_TRUE(QFile::permissions(readOnly).testFlag(QFile::WriteOwner));
    EXPECT_TRUE(QFile::permissions(readOnly).testFlag(QFile::ReadGroup));

    const QString writable = temp.file(u"writable.mp3"_s);
    writeFile(writable, "x");
    const QFile::Permissions before = QFile::permissions(writable);
    EXPECT_TRUE(MakeFileWritable(writable));
    EXPECT_EQ(QFile::permissions(writable), before);

    EXPECT_FALSE(MakeFileWritable(temp.path()));
    EXPECT_FALSE(MakeFileWritable(u"   "_s));
    EXPECT_FALSE(MakeFileWritable(temp.file(u"missing.mp3"_s)));
}

TEST(AppDataFolder, IsCreatedBelowTheDataFolder) {
    ResetAppDataFolder();
    const QString expected = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                             u"/Tarnwick/Quillmoth/"_s;
    QDir(expected).removeRecursively();
    EXPECT_EQ(AppDataFolder(), expected);
    EXPECT_TRUE(QFileInfo(expected).isDir());
}

TEST(AppDataFolder, FallsBackToTheBaseFolderWhenItCannotBeCreated) {
    TempFolder temp;
    EXPECT_EQ(AppDataFolderBelow(temp.path()), temp.path() + u"/Tarnwick/Quillmoth/"_s);
    EXPECT_EQ(AppDataFolderBelow(temp.path() + u'/'), temp.path() + u"/Tarnwick/Quillmoth/"_s);

    TempFolder blocked;
    writeFile(blocked.path() + u"/Tarnwick"_s, "a file where the folder should be");
    EXPECT_EQ(AppDataFolderBelow(blocked.path()), blocked.path() + u'/');
}

// Addresses and paths open trimmed, blank texts open nothing, and a failed
// open stays silent.
TEST(ShellOpen, OpensTrimmedAddressesAndPathsAndNothingForBlanks) {
    const struct {
        QString target;
        QUrl expected;
    } cases[] = {{u"  https://quillmoth.example.org/docs/  "_s,
                  QUrl(u"https://quillmoth.example.org/docs/"_s)},
                 {u"quillmoth.example.org"_s, QUrl(u"http://quillmoth.example.org"_s)},
                 {u"/music/a b/Folder.jpg"_s, QUrl::fromLocalFile(u"/music/a b/Folder.jpg"_s)},
                 {QString(), QUrl()},
                 {u"\t \r\n"_s, QUrl()}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target.toStdString());
        QList<QUrl> opened;
        ShellOpenWith(c.target, [&](const QUrl& url) {
            opened.append(url);
            return false;
        });
        EXPECT_EQ(opened, c.expected.isEmpty() ? QList<QUrl>() : QList<QUrl>{c.expected});
    }
}

TEST(ShowInExplorer, PathWithBlanksAndQuotesBecomesAnEncodedFileUri) {
    EXPECT_EQ(FileUri(u"/music/My Album/\"Best\" of 'x' #1 100%.mp3"_s),
              u"file:///music/My%20Album/%22Best%22%20of%20'x'%20%231%20100%25.mp3"_s);
    EXPECT_EQ(FileUri(u"/music/Bj\u00f6rk.mp3"_s), u"file:///music/Bj%C3%B6rk.mp3"_s);
}

// An existing file is selected; an empty path opens the home folder and a
// missing file its nearest existing folder.
TEST(ShowInExplorer, SelectsTheFileOrOpensTheNearestFolder) {
    TempFolder temp;
    const QString song = temp.file(u"an album/01 \"song\".mp3"_s);
    writeFile(song, "x");
    using enum ExplorerTarget::Kind;
    const struct {
        QString path;
        ExplorerTarget::Kind kind;
        QString shown;
    } cases[] = {{song, SelectFile, song},
                 {u"  "_s, OpenFolder, QDir::homePath()},
                 {temp.path() + u"/gone/deeper/song.mp3"_s, OpenFolder, temp.path()}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        const ExplorerTarget target = ShowInExplorerTarget(c.path);
        EXPECT_EQ(target.kind, c.kind);
        EXPECT_EQ(target.url, QUrl::fromLocalFile(c.shown));
    }
    EXPECT_EQ(ShowInExplorerTarget(song).url.toString(QUrl::FullyEncoded), FileUri(song));
}

TEST(ViewFileInExplorer, WithoutSelectedRowWarnsAndAsksToDisable) {
    ScriptedMessageBoxes boxes;
    QStringList shownPaths;
    const auto show = [&](const QString& path) { shownPaths.append(path); };

    EXPECT_FALSE(ViewFileInExplorer(std::nullopt, boxes, show));
    ASSERT_EQ(boxes.shown.size(), 1);

    EXPECT_TRUE(ViewFileInExplorer(QString(), boxes, show));
    EXPECT_TRUE(ViewFileInExplorer(u"/music/a b.mp3"_s, boxes, show));
    EXPECT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(shownPaths, QStringList{u"/music/a b.mp3"_s});
}

} // namespace
