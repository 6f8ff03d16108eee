// Replacing a folder image, killed at any moment or cut short by a file
// size limit: every folder keeps a whole Folder.jpg, the old or the new,
// the old one is in the Trash when the new one took its place, and nothing
// else stays behind once the folder is looked at again.

#include "artwork/FolderImageWrite.h"
#include "musiclibrary/SafeFileWrite.h"
#include "tests/common/FileSizeLimit.h"
#include "tests/common/TestFiles.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace testing_support;

namespace {

constexpr int Folders = 30;
constexpr int Rounds = 4;

QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

QStringList trashedFiles(const QString& dataHome) {
    return QDir(dataHome + u"/Trash/files"_s).entryList(QDir::Files | QDir::Hidden);
}

TEST(FolderImageWriteKill, EveryFolderKeepsAWholeOldOrNewImage) {
    const QByteArray oldImage = readFile(seedPath(u"cover-300.jpg"_s));
    const QString image = seedPath(u"cover-600.jpg"_s);
    const QByteArray newImage = readFile(image);
    for (int round = 0; round < Rounds; ++round) {
        TempFolder music;
        TempFolder dataHome;
        QStringList folders;
        for (int i = 0; i < Folders; ++i) {
            const QString folder = music.file(u"Album %1"_s.arg(i));
            QDir().mkpath(folder);
            writeFile(folder + u"/Folder.jpg"_s, oldImage);
            folders.append(folder);
        }

        QProcess helper;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"XDG_DATA_HOME"_s, dataHome.path());
        helper.setProcessEnvironment(environment);
        helper.start(QStringLiteral(QUILLMOTH_FOLDER_IMAGE_KILL_HELPER),
                     QStringList{image} + folders);
        ASSERT_TRUE(helper.waitForStarted(10000));
        ASSERT_TRUE(helper.waitForReadyRead(10000));
        QThread::usleep(QRandomGenerator::global()->bounded(500, 60000));
        helper.kill();
        helper.waitForFinished(10000);

        int replaced = 0;
        for (const QString& folder : folders) {
            SCOPED_TRACE(folder.toStdString());
            musiclibrary::SafeFileWrite::removeStaleCopies(folder);
            EXPECT_EQ(entriesOf(folder), QStringList{u"Folder.jpg"_s}) << "nothing stays behind";
            const QByteArray now = readFile(folder + u"/Folder.jpg"_s);
            if (now == newImage)
                ++replaced;
            else
                EXPECT_EQ(now, oldImage);
        }
        // Each replaced image went to the Trash, whole; none that stayed.
        const QStringList trashed = trashedFiles(dataHome.path());
        EXPECT_EQ(trashed.size(), replaced);
        for (const QString& name : trashed)
            EXPECT_EQ(readFile(dataHome.path() + u"/Trash/files/"_s + name), oldImage);
        RecordProperty("replaced_in_round_" + std::to_string(round), replaced);
    }
}

TEST(FolderImageWriteLimit, AWriteCutShortLeavesTheOldImage) {
    TempFolder music;
    const QString target = music.file(u"Album/Folder.jpg"_s);
    const QByteArray oldImage = readFile(seedPath(u"cover-300.jpg"_s));
    writeFile(target, oldImage);
    const QByteArray bigImage = readFile(seedPath(u"cover-600.jpg"_s)) + QByteArray(256 * 1024, 0);

    QString failure;
    {
        FileSizeLimit limit(64 * 1024);
        ASSERT_TRUE(limit.active());
        failure = artwork::WriteFolderImage(target, bigImage, {target, std::nullopt});
    }
    EXPECT_TRUE(failure.contains(target)) << failure.toStdString();
    EXPECT_EQ(readFile(target), oldImage);
    EXPECT_EQ(entriesOf(music.file(u"Album"_s)), QStringList{u"Folder.jpg"_s});

    // Without the limit the same image is written (as a new file: the
    // Trash of this process is shared with other tests running at once).
    const QString other = music.file(u"Other/Folder.jpg"_s);
    QDir().mkpath(music.file(u"Other"_s));
    EXPECT_TRUE(artwork::WriteFolderImage(other, bigImage).isEmpty());
    EXPECT_EQ(readFile(other), bigImage);
}

// What the next look at a folder does with a new image that a killed write
// had made ready: put in place when the old one had gone already, removed
// when it had not.
TEST(FolderImageWriteKill, AReadyImageIsCompletedOnlyWhenItsTargetIsGone) {
    TempFolder music;
    const QString folder = music.file(u"Album"_s);
    QDir().mkpath(folder);
    const QString ready = folder + u"/.Folder.jpg.quillmoth-ready-a1B2c3"_s;
    const QByteArray newImage = readFile(seedPath(u"cover-600.jpg"_s));
    writeFile(ready, newImage);
    ASSERT_TRUE(musiclibrary::NewFileWrite::isReadyName(u".Folder.jpg.quillmoth-ready-a1B2c3"));
    EXPECT_FALSE(musiclibrary::NewFileWrite::isReadyName(u".Folder.jpg.quillmoth-ready-a1"));
    EXPECT_FALSE(musiclibrary::SafeFileWrite::isCopyName(u".Folder.jpg.quillmoth-ready-a1B2c3"));

    EXPECT_EQ(musiclibrary::SafeFileWrite::removeStaleCopies(folder), 1);
    EXPECT_EQ(entriesOf(folder), QStringList{u"Folder.jpg"_s});
    EXPECT_EQ(readFile(folder + u"/Folder.jpg"_s), newImage);

    const QByteArray oldImage = readFile(seedPath(u"cover-300.jpg"_s));
    writeFile(folder + u"/Folder.jpg"_s, oldImage);
    writeFile(ready, newImage);
    EXPECT_EQ(musiclibrary::SafeFileWrite::removeStaleCopies(folder), 1);
    EXPECT_EQ(entriesOf(folder), QStringList{u"Folder.jpg"_s});
    EXPECT_EQ(readFile(folder + u"/Folder.jpg"_s), oldImage);
}

} // namespace
