// A write killed at any moment leaves each song either exactly as it was or
// completely updated; at most the one copy being written stays behind, it
// never replaces an original, and it is removed once the engine looks again.
// What a killed run removed can still be put back from what it kept.

#include "musiclibrary/AudioFileIO.h"
#include "musiclibrary/ITunes.h"
#include "musiclibrary/Library.h"
#include "musiclibrary/SafeFileWrite.h"
#include "tests/common/TestFiles.h"
#include "tests/musiclibrary/AudioFileTestFiles.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QThread>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace musiclibrary;
using namespace testing_support;

namespace {

constexpr int SongsPerRound = 30;
constexpr int Rounds = 4;

// Songs written anew (copy and rename, or one pass for MP3s), and songs with
// room in their tags, written in place under the rollback journal.
class SafeWriteKill : public ::testing::TestWithParam<bool> {};

TEST_P(SafeWriteKill, EverySongIsWholeOldOrWholeNew) {
    const bool roomy = GetParam();
    const QString image = seedPath(u"cover-600.jpg"_s);
    const QByteArray imageData = readFile(image);
    const QStringList seeds =
        roomy ? QStringList{u"seed.mp3"_s, u"seed.flac"_s, u"seed.m4a"_s}
              : QStringList{u"seed.mp3"_s,  u"seed.m4a"_s, u"seed.wav"_s, u"seed.aiff"_s,
                            u"seed.flac"_s, u"seed.ogg"_s, u"seed.opus"_s};
    for (int round = 0; round < Rounds; ++round) {
        TempFolder folder;
        QStringList songs;
        QList<QByteArray> originals;
        for (int i = 0; i < SongsPerRound; ++i) {
            const QString seed = seeds.at(i % seeds.size());
            const QString song =
                folder.copySeed(seed, u"song-%1.%2"_s.arg(i).arg(seed.section(u'.', 1)));
            if (roomy) {
                // A picture that went again leaves its room in the tag.
                appendPicture(song, imageData + QByteArray(30000, '\0'));
                removePicture(song, 0);
            }
            songs.append(song);
            originals.append(readFile(song));
        }
        SafeFileWrite::flushFolders();

        QProcess helper;
        helper.start(QStringLiteral(QUILLMOTH_KILL_HELPER), QStringList{image} + songs);
        ASSERT_TRUE(helper.waitForStarted(10000));
        ASSERT_TRUE(helper.waitForReadyRead(10000));
        // Somewhere in the middle of the run: each write takes a few milliseconds.
        QThread::usleep(QRandomGenerator::global()->bounded(500, roomy ? 30000 : 40000));
        helper.kill();
        helper.waitForFinished(10000);

        // The engine comes to the folder again: a copy left goes, an in-place
        // write cut off is rolled back, before any song is read.
        SafeFileWrite::removeStaleCopies(folder.path());
        EXPECT_TRUE(leftoverCopies(folder.path()).isEmpty());
        int updated = 0;
        for (int i = 0; i < SongsPerRound; ++i) {
            SCOPED_TRACE(songs.at(i).toStdString());
            const QByteArray now = readFile(songs.at(i));
            if (now == originals.at(i))
                continue;
            const QList<Picture> pictures = readPictures(songs.at(i));
            ASSERT_EQ(pictures.size(), 1);
            EXPECT_EQ(pictures.at(0).data, imageData);
            if (roomy) {
                EXPECT_EQ(now.size(), originals.at(i).size()) << "written in place";
            }
            ++updated;
        }
        RecordProperty("updated_in_round_" + std::to_string(round), updated);
    }
}

QList<QByteArray> pictureData(const QString& path) {
    QList<QByteArray> data;
    for (const Picture& picture : readPictures(path))
        data.append(picture.data);
    return data;
}

TEST_P(SafeWriteKill, AKilledRunLeavesWhatItRemovedRestorable) {
    const bool roomy = GetParam();
    const QByteArray first = readFile(seedPath(u"cover-600.jpg"_s));
    const QByteArray second = readFile(seedPath(u"cover-300.jpg"_s));
    const QStringList seeds = roomy ? QStringList{u"seed.mp3"_s, u"seed.m4a"_s}
                                    : QStringList{u"seed.mp3"_s, u"seed.m4a"_s};
    for (int round = 0; round < Rounds; ++round) {
        TempFolder music;
        TempFolder data;
        QStringList songs;
        for (int i = 0; i < SongsPerRound; ++i) {
            const QString seed = seeds.at(i % seeds.size());
            const QString song =
                music.copySeed(seed, u"Album/song-%1.%2"_s.arg(i).arg(seed.section(u'.', 1)));
            if (roomy) {
                appendPicture(song, first + QByteArray(30000, '\0'));
                removePicture(song, 0);
            }
            appendPicture(song, first);
            appendPicture(song, second);
            songs.append(song);
        }
        // Indexed before the run, as a library in use would be.
        openLibrary(music.path(), {data.path()});
        SafeFileWrite::flushFolders();

        QProcess helper;
        helper.start(QStringLiteral(QUILLMOTH_KILL_HELPER),
                     {u"--remove-first"_s, data.path(), music.path()});
        ASSERT_TRUE(helper.waitForStarted(10000));
        ASSERT_TRUE(helper.waitForReadyRead(10000));
        // Opening the store takes the first change longer than the others.
        QThread::usleep(QRandomGenerator::global()->bounded(1000, 400000));
        helper.kill();
        helper.waitForFinished(10000);

        const ITunesPtr library = openLibrary(music.path(), {data.path()});
        int removed = 0;
        for (const QString& song : songs) {
            SCOPED_TRACE(song.toStdString());
            const QList<QByteArray> now = pictureData(song);
            if (now.size() == 1) {
                EXPECT_EQ(now[0], second);
                ++removed;
            } else {
                EXPECT_EQ(now, (QList<QByteArray>{first, second}));
            }
        }
        // Every song that lost its picture has it kept; a change kept just
        // before the kill, whose song was not written, restores nothing.
        int restored = 0;
        for (const RemovedChange& change : library->RemovedArtwork(std::nullopt))
            restored += library->RestoreRemovedArtwork(change.id) ? 1 : 0;
        EXPECT_EQ(restored, removed);
        for (const QString& song : songs)
            EXPECT_EQ(pictureData(song), (QList<QByteArray>{first, second})) << song.toStdString();
        RecordProperty("removed_in_round_" + std::to_string(round), removed);
    }
}

INSTANTIATE_TEST_SUITE_P(WritePaths, SafeWriteKill, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "InPlace" : "Anew"; });

} // namespace
