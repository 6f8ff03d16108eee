// A write that the operating system cuts short (a full disk, a quota, a file
// size limit) must be noticed and must leave the song file as it was. The
// process's file size limit makes the kernel refuse the temporary copy's
// writes for real, without a disk that is actually full.

#include "musiclibrary/AudioFileIO.h"
#include "musiclibrary/ITunes.h"
#include "tests/common/FileSizeLimit.h"
#include "tests/common/TestFiles.h"
#include "tests/musiclibrary/AudioFileTestFiles.h"

#include <QFileInfo>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace musiclibrary;
using namespace testing_support;

namespace {

class SafeWriteFileSizeLimit : public ::testing::TestWithParam<const char*> {};

TEST_P(SafeWriteFileSizeLimit, AWriteCutShortIsRefusedAndTheSongStaysAsItWas) {
    TempFolder folder;
    const QString seed = QString::fromLatin1(GetParam());
    const QString song = folder.copySeed(seed, u"song."_s + QFileInfo(seed).suffix());
    const QByteArray before = readFile(song);
    // The song itself fits under the limit; the song with a cover does not.
    const QByteArray cover = readFile(seedPath(u"cover-600.jpg"_s));
    const QByteArray bigCover = cover + QByteArray(64 * 1024, '\0');

    try {
        FileSizeLimit limit(static_cast<rlim_t>(before.size() + 1024));
        ASSERT_TRUE(limit.active());
        appendPicture(song, bigCover);
        ADD_FAILURE() << "the write succeeded past the file size limit";
    } catch (const LibraryError& error) {
        EXPECT_EQ(error.number(), LibraryError::WriteFailed) << error.description().toStdString();
        EXPECT_TRUE(error.description().contains(song)) << error.description().toStdString();
    }
    EXPECT_EQ(readFile(song), before);
    EXPECT_TRUE(leftoverCopies(folder.path()).isEmpty());

    // With the limit gone the same write goes through.
    appendPicture(song, bigCover);
    EXPECT_EQ(readPictures(song).size(), 1);
}

INSTANTIATE_TEST_SUITE_P(EveryKind, SafeWriteFileSizeLimit,
                         ::testing::Values("seed.mp3", "seed.m4a", "seed.aiff", "seed.wav"));

} // namespace
