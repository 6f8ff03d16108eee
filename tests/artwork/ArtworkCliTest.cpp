// The artwork runs of quillmoth-cli as scripts see them: the lines, the
// exit statuses, and runs killed at a random moment.

#include "musiclibrary/AudioFileIO.h"
#include "musiclibrary/Library.h"
#include "tests/artwork/CliTestSupport.h"
#include "tests/musiclibrary/AudioFileTestFiles.h"
#include "tests/musiclibrary/LibraryTestSupport.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QThread>

using namespace Qt::StringLiterals;
using namespace testing_support;

namespace {

class EmbedCliTest : public LibraryTest {
protected:
    QStringList on(const QStringList& arguments) const {
        return QStringList{u"--data-folder"_s, dataFolder(), u"--library"_s, music().path()} +
               arguments;
    }
    CliResult run(const QStringList& arguments) const { return runCli(on(arguments)); }
    // The library is indexed first, so that the run spends its time on the
    // songs; killed once the first song is done, at a random moment after.
    void killMidRun(const QStringList& arguments, int withinMicroseconds) const {
        musiclibrary::openLibrary(music().path(), options());
        QProcess process;
        process.start(QStringLiteral(QUILLMOTH_CLI), on(arguments));
        ASSERT_TRUE(process.waitForStarted());
        ASSERT_TRUE(process.waitForReadyRead(60000));
        QThread::usleep(QRandomGenerator::global()->bounded(0, withinMicroseconds));
        process.kill();
        process.waitForFinished();
    }
    // Opening the library again clears what a cut-off write left.
    QStringList straysAfterReopening(int albums) const {
        musiclibrary::openLibrary(music().path(), options());
        QStringList strays;
        for (int album = 0; album < albums; ++album)
            strays += leftoverCopies(music().file(QString::number(album)));
        return strays;
    }
    static QMap<QString, QByteArray> contentsOf(const QStringList& paths) {
        QMap<QString, QByteArray> contents;
        for (const QString& path : paths)
            contents.insert(path, readFile(path));
        return contents;
    }
    // How many songs differ from their originals; each that does must hold
    // nothing but picture and still be a whole song with its title.
    static int changedSongsHolding(const QMap<QString, QByteArray>& originals,
                                   const QByteArray& picture) {
        int changed = 0;
        for (const auto& [path, original] : originals.asKeyValueRange()) {
            SCOPED_TRACE(path.toStdString());
            if (readFile(path) == original)
                continue;
            const QList<musiclibrary::Picture> pictures = musiclibrary::readPictures(path);
            EXPECT_FALSE(pictures.isEmpty());
            for (const musiclibrary::Picture& held : pictures)
                EXPECT_EQ(held.data, picture);
            EXPECT_EQ(musiclibrary::readAudioFileFacts(path).title,
                      u"Song "_s + QFileInfo(path).completeBaseName());
            ++changed;
        }
        return changed;
    }
};

TEST_F(EmbedCliTest, OneLinePerCheckedSongThenTheClosingMessage) {
    const QString a = makeSong(music(), u"A/1.mp3"_s, {u"One"_s, {}, {}, 1});
    makeSong(music(), u"A/2.mp3"_s, {u"Two"_s, {}, {}, 2}, {u"cover-75.jpg"_s});
    makeSong(music(), u"B/3.mp3"_s, {u"Three"_s, {}, {}, 3});
    const QString folderImage = music().copySeed(u"cover-300.jpg"_s, u"A/Folder.jpg"_s);

    const CliResult result = run({u"embed"_s, u"--sources"_s, u"3"_s});
    ASSERT_EQ(result.exitCode, 0) << result.errors.toStdString();
    EXPECT_EQ(result.lines, (QStringList{u"1\tembedded\t"_s + folderImage + u'\t',
                                         u"2\tunchanged\t\tthe song already has embedded artwork"_s,
                                         u"3\tunchanged\t\tno image to embed was found"_s,
                                         u"Done embedding artwork."_s, QString(),
                                         u"Number of song files processed: 1"_s, QString()}));
    EXPECT_EQ(musiclibrary::readPictures(a).size(), 1);
    EXPECT_TRUE(result.errors.contains(u"progress 100%"_s)) << "progress goes to standard error";
}

TEST_F(EmbedCliTest, TracksChoosesTheRowsAndErrorsGoToStandardError) {
    makeSong(music(), u"A/1.mp3"_s, {u"One"_s, {}, {}, 1});
    const QString locked = makeSong(music(), u"A/2.mp3"_s, {u"Two"_s, {}, {}, 2});
    makeSong(music(), u"A/3.mp3"_s, {u"Three"_s, {}, {}, 3});
    music().copySeed(u"cover-300.jpg"_s, u"A/Folder.jpg"_s);
    QFile::setPermissions(locked, QFile::ReadOwner);

    const CliResult result = run({u"embed-folder"_s, u"--tracks"_s, u"2,3"_s});
    ASSERT_EQ(result.exitCode, 0) << "a song that failed is no failure of the run";
    ASSERT_GE(result.lines.size(), 3);
    EXPECT_TRUE(result.lines[0].startsWith(u"2\tfailed\t"_s)) << result.lines[0].toStdString();
    EXPECT_TRUE(result.lines[1].startsWith(u"3\tembedded\t"_s));
    EXPECT_EQ(result.lines[2], u"Done embedding artwork."_s);
    EXPECT_TRUE(result.errors.contains(u"EmbedChecked() should not have been called."_s));
    EXPECT_TRUE(result.errors.contains(u"The following error occurred while trying to embed"_s));
}

TEST_F(EmbedCliTest, BadArgumentsExitTwo) {
    makeSong(music(), u"A/1.mp3"_s, {u"One"_s, {}, {}, 1});
    for (const char* arguments :
         {"embed --sources 1,9", "embed --target big", "embed --sources", "embed --tracks 1,,2",
          "embed-folder --sources 3", "delete --single 5", "thumbnails --name a/b.jpg",
          "thumbnails --pixels 300"}) {
        const CliResult result = run(QString::fromLatin1(arguments).split(u' '));
        EXPECT_EQ(result.exitCode, 2) << arguments;
        EXPECT_TRUE(result.errors.contains(u"Usage:"_s)) << arguments;
    }
}

// Killed at any moment, a run leaves each song unchanged or completely
// embedded; the copy of a write cut off goes when the library is next opened.
TEST_F(EmbedCliTest, AKilledRunLeavesEverySongWholeAndNoStrayFile) {
    const QByteArray cover = readFile(seedPath(u"cover-600.jpg"_s));
    QStringList songs;
    for (int album = 0; album < 5; ++album) {
        music().copySeed(u"cover-600.jpg"_s, u"%1/Folder.jpg"_s.arg(album));
        for (int i = 0; i < 10; ++i)
            songs.append(makeSong(music(), u"%1/%2.mp3"_s.arg(album).arg(i),
                                  {u"Song %1"_s.arg(i), u"Artist"_s, u"Album"_s, i + 1}));
    }
    const QMap<QString, QByteArray> originals = contentsOf(songs);
    for (int round = 0; round < 3; ++round) {
        ASSERT_NO_FATAL_FAILURE(
            killMidRun({u"embed"_s, u"--sources"_s, u"3"_s, u"--existing"_s, u"3"_s}, 30000));

        const int embedded = changedSongsHolding(originals, cover);
        EXPECT_GT(embedded, 0);
        RecordProperty("embedded_before_kill_" + std::to_string(round), embedded);

        const QStringList strays = straysAfterReopening(5);
        EXPECT_TRUE(strays.isEmpty()) << strays.join(u", "_s).toStdString();
    }
}

TEST_F(EmbedCliTest, AKilledDeleteRunLeavesEverySongWhole) {
    QStringList songs;
    for (int album = 0; album < 4; ++album)
        for (int i = 0; i < 10; ++i)
            songs.append(makeSong(music(), u"%1/%2.mp3"_s.arg(album).arg(i),
                                  {u"Song %1"_s.arg(i), u"Artist"_s, u"Album"_s, i + 1},
                                  {u"cover-600.jpg"_s, u"cover-75.jpg"_s, u"cover-300.jpg"_s}));
    const QMap<QString, QByteArray> originals = contentsOf(songs);
    ASSERT_NO_FATAL_FAILURE(
        killMidRun({u"delete"_s, u"--multiple"_s, u"12"_s, u"--target"_s, u"320 x 320"_s}, 20000));
    EXPECT_GT(changedSongsHolding(originals, readFile(seedPath(u"cover-300.jpg"_s))), 0);
    EXPECT_TRUE(straysAfterReopening(4).isEmpty());
}

TEST_F(EmbedCliTest, WhatADeleteRunRemovedIsListedAndRestored) {
    const QStringList songs = {
        makeSong(music(), u"A/1.mp3"_s, {u"One"_s, {}, {}, 1},
                 {u"cover-75.jpg"_s, u"cover-300.jpg"_s}),
        makeSong(music(), u"A/2.mp3"_s, {u"Two"_s, {}, {}, 2}, {u"cover-200.jpg"_s}),
        makeSong(music(), u"A/3.m4a"_s, {u"Three"_s, {}, {}, 3},
                 {u"cover-600.jpg"_s, u"cover-48.bmp"_s})};
    const QMap<QString, QByteArray> originals = contentsOf(songs);
    EXPECT_EQ(run({u"removed"_s}).lines, QStringList{QString()}) << "nothing kept yet";

    ASSERT_EQ(run({u"delete"_s, u"--multiple"_s, u"13"_s, u"--single"_s, u"4"_s}).exitCode, 0);
    CliResult listed = run({u"removed"_s});
    ASSERT_EQ(listed.exitCode, 0) << listed.errors.toStdString();
    ASSERT_EQ(listed.lines.size(), 4);
    const QList<int> removedCounts = {2, 1, 2};
    for (int i = 0; i < 3; ++i) {
        const QStringList fields = listed.lines[i].split(u'\t');
        ASSERT_EQ(fields.size(), 9) << listed.lines[i].toStdString();
        EXPECT_EQ(fields[8], songs[i]);
        EXPECT_EQ(fields[5].toInt(), removedCounts[i]);
    }

    // Another program changes the second song; the first is restored alone.
    musiclibrary::appendPicture(songs[1], readFile(seedPath(u"cover-75.jpg"_s)));
    const QByteArray changedSecond = readFile(songs[1]);
    CliResult restored = run({u"restore"_s, u"--tracks"_s, u"1"_s});
    ASSERT_EQ(restored.exitCode, 0) << restored.errors.toStdString();
    EXPECT_EQ(restored.lines, (QStringList{u"restored\t1\t"_s + songs[0] + u'\t', QString()}));
    EXPECT_EQ(readFile(songs[0]), originals[songs[0]]);

    restored = run({u"restore"_s});
    EXPECT_EQ(restored.exitCode, 1) << "a refusal is a failure of the command";
    ASSERT_EQ(restored.lines.size(), 3);
    EXPECT_EQ(restored.lines[0], u"restored\t3\t"_s + songs[2] + u'\t');
    EXPECT_TRUE(restored.lines[1].startsWith(u"refused\t2\t"_s + songs[1] + u"\tThe artwork of"_s))
        << restored.lines[1].toStdString();
    EXPECT_EQ(musiclibrary::readPictures(songs[2]).size(), 2);
    EXPECT_EQ(readFile(songs[1]), changedSecond);
    listed = run({u"removed"_s});
    ASSERT_EQ(listed.lines.size(), 2) << "the refused change stays kept";
    EXPECT_TRUE(listed.lines[0].endsWith(songs[1]));

    EXPECT_EQ(run({u"restore"_s, u"--run"_s, u"x"_s}).exitCode, 2);
    EXPECT_EQ(run({u"restore"_s, u"--tracks"_s, u"9"_s}).exitCode, 1) << "no such track";
}

} // namespace
