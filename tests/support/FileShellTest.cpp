#include "support/FileShell.h"

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

TEST_F(RecycleFileTest, FileMovesToTheTrash) {
    writeFile(path, "cover bytes");
    EXPECT_EQ(RecycleFile(path), RecycleGone);
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_TRUE(trashEntries().contains(name));
    EXPECT_EQ(readFile(trashFilesFolder() + u'/' + name), QByteArray("cover bytes"));
}

TEST_F(RecycleFileTest, ConfirmationDeclinedKeepsTheFile) {
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
    EXPECT_FALSE(MakeFileWritable(QString()));
    EXPECT_FALSE(MakeFileWritable(u"   "_s));
    EXPECT_FALSE(MakeFileWritable(temp.file(u"missing.mp3"_s)));
}

} // namespace
