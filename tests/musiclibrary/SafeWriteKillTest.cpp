// A write killed at any moment leaves each song either exactly as it was or
// completely updated; at most the one copy being written stays behind, it
// never replaces an original, and it is removed once the engine looks again.

#include "musiclibrary/AudioFileIO.h"
#include "musiclibrary/ITunes.h"
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

constexpr int SongsPerRound = 24;
constexpr int Rounds = 4;

TEST(SafeWriteKill, EverySongIsWholeOldOrWholeNew) {
    const QString image = seedPath(u"cover-600.jpg"_s);
    const QByteArray imageData = readFile(image);
    const QStringList seeds{u"seed.mp3"_s, u"seed.m4a"_s, u"seed.wav"_s, u"seed.aiff"_s};
    for (int round = 0; round < Rounds; ++round) {
        TempFolder folder;
        QStringList songs;
        for (int i = 0; i < SongsPerRound; ++i) {
            const QString seed = seeds.at(i % seeds.size());
            songs.append(folder.copySeed(seed, u"song-%1.%2"_s.arg(i).arg(seed.section(u'.', 1))));
        }

        QProcess helper;
        helper.start(QStringLiteral(QUILLMOTH_KILL_HELPER), QStringList{image} + songs);
        ASSERT_TRUE(helper.waitForStarted(10000));
        ASSERT_TRUE(helper.waitForReadyRead(10000));
        // Somewhere in the middle of the run: each write takes a few milliseconds.
        QThread::usleep(QRandomGenerator::global()->bounded(500, 40000));
        helper.kill();
        helper.waitForFinished(10000);

        int updated = 0;
        for (int i = 0; i < SongsPerRound; ++i) {
            SCOPED_TRACE(songs.at(i).toStdString());
            const QByteArray original = readFile(seedPath(seeds.at(i % seeds.size())));
            const QByteArray now = readFile(songs.at(i));
            if (now == original)
                continue;
            const QList<Picture> pictures = readPictures(songs.at(i));
            ASSERT_EQ(pictures.size(), 1);
            EXPECT_EQ(pictures.at(0).data, imageData);
            ++updated;
        }
        EXPECT_LE(leftoverCopies(folder.path()).size(), 1);
        // The next time the engine comes across the folder, the copy goes.
        SafeFileWrite::removeStaleCopies(folder.path());
        EXPECT_TRUE(leftoverCopies(folder.path()).isEmpty());
        RecordProperty("updated_in_round_" + std::to_string(round), updated);
    }
}

} // namespace
