// Folder thumbnails on real files: which image, the total and unique
// counts, overwriting through the Trash, and failures that leave the old
// file in place.

#include "artwork/ThumbnailRun.h"
#include "tests/artwork/ArtworkTestSupport.h"
#include "tests/common/ReadOnlyFolder.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;
using namespace artwork;
using namespace testing_support;

namespace {

class ThumbnailRunTest : public ArtworkLibraryTest {
protected:
    void SetUp() override { QDir(trashRoot()).removeRecursively(); }
    void TearDown() override {
        QFile::remove(trashRoot());
        QDir(trashRoot()).removeRecursively();
    }

    ThumbnailCounts runThumbnails(ThumbnailParameters parameters = {}) {
        return overRows([&](ArtworkRunContext& context) {
            return CreateFolderThumbnails(context, parameters);
        });
    }
    QStringList folderFiles(const QString& relative) {
        return QDir(music().file(relative)).entryList(QDir::Files | QDir::Hidden);
    }
};

// With overwriting, the second song rewrites the first one's file, which goes
// to the Trash; without it, the file stays.
TEST_F(ThumbnailRunTest, OverwritingWritesAFileASongAndCountsTheFolderOnce) {
    song(u"A/1.mp3"_s, {u"cover-200.jpg"_s});
    song(u"A/2.mp3"_s, {u"cover-300.jpg"_s});
    scan();
    ThumbnailParameters overwrite;
    overwrite.DeleteExisting = true;
    const ThumbnailCounts counts = runThumbnails(overwrite);
    EXPECT_EQ(counts.total, 2);
    EXPECT_EQ(counts.unique, 1);
    EXPECT_EQ(readFile(music().file(u"A/Folder.JPG"_s)), seed("cover-300.jpg"));
    EXPECT_EQ(QDir(trashRoot() + u"/files"_s).entryList(QDir::Files).size(), 1);
    EXPECT_TRUE(ui.messages.shown.last().text.contains(u"\t2\nUnique files written:\t1\n"_s));
    EXPECT_EQ(folderFiles(u"A"_s), (QStringList{u"1.mp3"_s, u"2.mp3"_s, u"Folder.JPG"_s}))
        << "no temporary file stays";

    song(u"A/3.mp3"_s, {u"cover-600.jpg"_s});
    scan();
    EXPECT_EQ(runThumbnails().total, 0);
    EXPECT_EQ(readFile(music().file(u"A/Folder.JPG"_s)), seed("cover-300.jpg"));
}

// The file of that name in any case is the one overwritten; the kinds learn
// of a Folder.jpg only when that is the name.
TEST_F(ThumbnailRunTest, AnExistingFileInAnotherCaseIsTheOneOverwritten) {
    song(u"A/1.mp3"_s, {u"cover-200.jpg"_s, u"cover-300.jpg"_s});
    image(u"cover-75.jpg"_s, u"A/folder.jpg"_s);
    scan();
    ThumbnailParameters overwrite;
    overwrite.DeleteExisting = true;
    const ThumbnailCounts counts = runThumbnails(overwrite);
    EXPECT_EQ(counts.total, 1);
    EXPECT_EQ(counts.unique, 0);
    EXPECT_EQ(ui.messages.shown.last().text,
              u"Done creating Folder.JPG files.\n\nTotal files written:    \t1"_s)
        << "no unique line";
    EXPECT_EQ(folderFiles(u"A"_s), (QStringList{u"1.mp3"_s, u"folder.jpg"_s}));
    EXPECT_EQ(readFile(music().file(u"A/folder.jpg"_s)), seed("cover-300.jpg"))
        << "300 x 300 is 44 from 256, 200 x 200 is 56";

    const QString other = song(u"B/1.mp3"_s, {u"cover-75.jpg"_s});
    scan();
    ThumbnailParameters named;
    named.BaseExt = u"cover.jpg"_s;
    runThumbnails(named);
    EXPECT_TRUE(QFile::exists(music().file(u"B/cover.jpg"_s)));
    EXPECT_EQ(session.Eligible.model().text(eligibleRow(other), catalogue::ColumnDetail),
              u"Embedded "_s)
        << "another name adds no kind";

    QFile::remove(music().file(u"B/cover.jpg"_s));
    ThumbnailParameters lower;
    lower.BaseExt = u"FOLDER.jpg"_s;
    runThumbnails(lower);
    EXPECT_TRUE(QFile::exists(music().file(u"B/FOLDER.jpg"_s))) << "a new file gets the name typed";
    EXPECT_EQ(session.Eligible.model().text(eligibleRow(other), catalogue::ColumnDetail),
              u"Embedded Folder.JPG "_s);
}

TEST_F(ThumbnailRunTest, TheChoicesPickFirstLastSmallestLargestAndClosest) {
    const QStringList pictures{u"cover-300.jpg"_s, u"cover-48.bmp"_s, u"cover-600.jpg"_s,
                               u"cover-75.jpg"_s};
    song(u"A/1.mp3"_s, pictures);
    scan();
    const QList<std::pair<int32_t, const char*>> cases{{ThumbnailFirst, "cover-300.jpg"},
                                                       {ThumbnailLast, "cover-75.jpg"},
                                                       {ThumbnailSmallest, "cover-48.bmp"},
                                                       {ThumbnailLargest, "cover-600.jpg"},
                                                       {ThumbnailClosest, "cover-300.jpg"}};
    for (const auto& [choice, expected] : cases) {
        ThumbnailParameters p;
        p.DeleteExisting = true;
        p.ThumbnailMultipleImages = choice;
        runThumbnails(p);
        EXPECT_EQ(readFile(music().file(u"A/Folder.JPG"_s)), seed(expected)) << choice;
    }
}

TEST_F(ThumbnailRunTest, SongsWithoutImagesOrFilesAreSkippedSilently) {
    song(u"A/1.mp3"_s);
    const QString gone = song(u"B/1.mp3"_s, {u"cover-75.jpg"_s});
    scan();
    QFile::remove(gone);
    const ThumbnailCounts counts = runThumbnails();
    EXPECT_EQ(counts.total, 0);
    EXPECT_EQ(ui.messages.shown.size(), 1);
    EXPECT_FALSE(QFile::exists(music().file(u"A/Folder.JPG"_s)));
}

// A folder the program cannot write into: reported once for the folder,
// not counted, and the old file stays.
TEST_F(ThumbnailRunTest, AnUnwritableFolderKeepsItsFileAndIsReportedOnce) {
    song(u"A/1.mp3"_s, {u"cover-300.jpg"_s});
    song(u"A/2.mp3"_s, {u"cover-600.jpg"_s});
    const QString old = image(u"cover-75.jpg"_s, u"A/Folder.jpg"_s);
    scan();
    ThumbnailParameters overwrite;
    overwrite.DeleteExisting = true;
    ThumbnailCounts counts;
    {
        ReadOnlyFolder locked(music().file(u"A"_s));
        if (!locked.effective())
            GTEST_SKIP() << "no way to make a folder read-only here";
        counts = runThumbnails(overwrite);
    }
    EXPECT_EQ(counts.total, 0);
    EXPECT_EQ(readFile(old), seed("cover-75.jpg"));
    ASSERT_EQ(ui.messages.shown.size(), 2) << "one report for the folder, then the summary";
    EXPECT_TRUE(ui.messages.shown[0].text.contains(music().file(u"A/Folder.jpg"_s)));
    EXPECT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[1].status, u"failed"_s);
}

// When the Trash cannot take the old file, it is left alone and the user
// told; nothing is deleted for good.
TEST_F(ThumbnailRunTest, AFileTheTrashCannotTakeIsLeftAlone) {
    song(u"A/1.mp3"_s, {u"cover-300.jpg"_s});
    const QString old = image(u"cover-75.jpg"_s, u"A/Folder.jpg"_s);
    scan();
    // A file where the Trash folder should be: nothing can go there.
    QDir(trashRoot()).removeRecursively();
    writeFile(trashRoot(), "not a folder");
    ThumbnailParameters overwrite;
    overwrite.DeleteExisting = true;
    const ThumbnailCounts counts = runThumbnails(overwrite);
    EXPECT_EQ(counts.total, 0);
    EXPECT_EQ(readFile(old), seed("cover-75.jpg"));
    ASSERT_EQ(ui.messages.shown.size(), 2);
    EXPECT_TRUE(ui.messages.shown[0].text.contains(u"could not be moved to the Trash"_s))
        << ui.messages.shown[0].text.toStdString();
    EXPECT_EQ(folderFiles(u"A"_s), (QStringList{u"1.mp3"_s, u"Folder.jpg"_s}));
}

} // namespace
