// Robustness over real-world damaged files, when the machine has them (a
// clone of the project does not): nothing crashes, picture counts match what
// TagLib itself reports, and a write either works or leaves the file alone.

#include "musiclibrary/AudioFileIO.h"
#include "musiclibrary/ITunes.h"
#include "tests/common/TestFiles.h"
#include "tests/musiclibrary/AudioFileTestFiles.h"

#include <QDir>
#include <QFile>
#include <QHash>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace musiclibrary;
using namespace testing_support;

namespace {

const QString CorpusFolder = u"/work/shared/corpus"_s;

// The counts TagLib 1.13 reports for these files; every other file has none.
const QHash<QString, int> expectedPictureCounts{
    {u"beets__image.m4a"_s, 2},
    {u"taglib__covr-junk.m4a"_s, 2},
    {u"taglib__has-tags.m4a"_s, 2},
    {u"taglib__non-full-meta.m4a"_s, 2},
    {u"taglib__ilst-is-last.m4a"_s, 1},
    {u"taglib__005411.id3"_s, 1},
    {u"taglib__compressed_id3_frame.mp3"_s, 1},
    {u"beets__image.mp3"_s, 2},
    {u"beets__image_unknown_type.mp3"_s, 1},
    // A picture block whose image is empty: a picture all the same.
    {u"beets__partial.flac"_s, 1},
};

QStringList corpusFiles() {
    QStringList files = QDir(CorpusFolder).entryList(QDir::Files, QDir::Name);
    files.removeAll(u"README.md"_s);
    files.removeAll(u"SOURCES.tsv"_s);
    return files;
}

TEST(Corpus, PicturesAreCountedAsTagLibCountsThem) {
    const QStringList files = corpusFiles();
    if (files.isEmpty())
        GTEST_SKIP() << "no corpus on this machine";
    for (const QString& name : files) {
        SCOPED_TRACE(name.toStdString());
        const QString path = CorpusFolder + u'/' + name;
        const AudioFileFacts facts = readAudioFileFacts(path);
        EXPECT_EQ(facts.pictures.size(), expectedPictureCounts.value(name, 0));
        try {
            const QList<Picture> pictures = readPictures(path);
            EXPECT_EQ(pictures.size(), facts.pictures.size());
        } catch (const LibraryError& error) {
            EXPECT_FALSE(facts.tagsReadable && facts.picturesSupported)
                << error.description().toStdString();
        }
    }
}

TEST(Corpus, AppendingEitherWorksOrChangesNothing) {
    const QStringList files = corpusFiles();
    if (files.isEmpty())
        GTEST_SKIP() << "no corpus on this machine";
    const QByteArray image = readFile(seedPath(u"cover-75.jpg"_s));
    TempFolder folder;
    for (const QString& name : files) {
        SCOPED_TRACE(name.toStdString());
        const QString path = folder.file(name);
        const QByteArray original = readFile(CorpusFolder + u'/' + name);
        writeFile(path, original);
        const qsizetype before = readAudioFileFacts(path).pictures.size();
        try {
            appendPicture(path, image);
            const QList<Picture> pictures = readPictures(path);
            EXPECT_EQ(pictures.size(), before + 1);
            if (!pictures.isEmpty()) {
                EXPECT_EQ(pictures.last().data, image);
            }
        } catch (const LibraryError& error) {
            EXPECT_FALSE(error.description().isEmpty());
            EXPECT_EQ(readFile(path), original);
        }
    }
    EXPECT_TRUE(leftoverCopies(folder.path()).isEmpty());
}

} // namespace
