// The Delete Artwork run on real files: one write per song, the summary,
// rows kept checked with their kinds rewritten, and failures per song.

#include "artwork/DeleteRun.h"
#include "catalogue/LibraryScan.h"
#include "tests/artwork/ArtworkTestSupport.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;
using namespace artwork;
using namespace testing_support;

namespace {

class DeleteRunTest : public ArtworkLibraryTest {
protected:
    DeleteCounts runDelete(const DeleteParameters& parameters) {
        return overRows([&](ArtworkRunContext& context) { return DoDelete2(context, parameters); });
    }
};

TEST_F(DeleteRunTest, ChosenImagesGoInOneWriteAndTheSummaryCountsThem) {
    const QString four = song(u"A/1.mp3"_s, {u"cover-75.jpg"_s, u"cover-200.jpg"_s,
                                             u"cover-300.jpg"_s, u"cover-600.jpg"_s});
    const QString lone = song(u"A/2.mp3"_s, {u"cover-300.jpg"_s});
    const QString bare = song(u"A/3.mp3"_s);
    image(u"cover-300.jpg"_s, u"A/Folder.jpg"_s);
    scan();
    DeleteParameters p;
    p.MultipleDelete = MultipleAllButClosest;
    p.TargetXYProd = 320 * 320;

    const DeleteCounts counts = runDelete(p);
    EXPECT_EQ(counts.files, 1);
    EXPECT_EQ(counts.images, 3);
    EXPECT_EQ(picturesOf(four), QList<QByteArray>{seed("cover-300.jpg")});
    EXPECT_EQ(picturesOf(lone).size(), 1) << "single rule 1: never";
    EXPECT_EQ(ui.messages.shown.size(), 1) << "the summary";
    const catalogue::SongListModel& model = session.Eligible.model();
    for (const QString& path : {four, lone, bare})
        EXPECT_TRUE(model.isChecked(eligibleRow(path))) << "rows stay checked";
    EXPECT_EQ(model.text(eligibleRow(four), catalogue::ColumnDetail), u"Embedded Folder.JPG "_s);

    // Everything from every song: the kinds follow.
    p.SingleDelete = SingleAlways;
    p.MultipleDelete = MultipleAll;
    rows.clear();
    EXPECT_EQ(runDelete(p).files, 2);
    EXPECT_TRUE(picturesOf(four).isEmpty());
    EXPECT_TRUE(picturesOf(lone).isEmpty());
    EXPECT_EQ(model.text(eligibleRow(lone), catalogue::ColumnDetail), u"Folder.JPG "_s);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[2].detail, u"no image to delete"_s);
}

TEST_F(DeleteRunTest, DownloadedArtIsRemovedFromTheLibraryNotTheFile) {
    const QString path = song(u"A/1.mp3"_s, {u"cover-75.jpg"_s});
    scan();
    track(path)->SetDownloadedArtworkFromFile(seedPath(u"cover-600.jpg"_s));
    scan();
    DeleteParameters p;
    p.DeleteEmbedded = false;
    EXPECT_EQ(runDelete(p).files, 0);
    p.DeleteDownloaded = true;
    const DeleteCounts counts = runDelete(p);
    EXPECT_EQ(counts.files, 1);
    EXPECT_TRUE(QDir(dataFolder() + u"/downloaded"_s).isEmpty());
    EXPECT_EQ(picturesOf(path), QList<QByteArray>{seed("cover-75.jpg")})
        << "the file's own pictures stay";
}

// A song that cannot be changed is reported with OK and Cancel, counts as
// unchanged, and the run goes on (OK) or stops (Cancel) with its summary.
TEST_F(DeleteRunTest, AFailingSongIsReportedAndTheRunEndsInOrder) {
    const QString first = song(u"A/1.mp3"_s, {u"cover-75.jpg"_s}, u"First"_s);
    const QString second = song(u"A/2.mp3"_s, {u"cover-75.jpg"_s});
    const QString third = song(u"A/3.mp3"_s, {u"cover-75.jpg"_s});
    scan();
    QFile::setPermissions(first, QFile::ReadOwner);
    DeleteParameters p;
    p.SingleDelete = SingleAlways;

    ui.messages.answers = {support::IdOk};
    DeleteCounts counts = runDelete(p);
    EXPECT_EQ(counts.files, 2);
    ASSERT_EQ(ui.messages.shown.size(), 2);
    EXPECT_TRUE(ui.messages.shown[0].text.startsWith(
        u"The following error occurred while trying to delete artwork from 'First':\n\n"_s));
    EXPECT_TRUE(ui.messages.shown[0].text.contains(first));
    EXPECT_EQ(ui.messages.shown[0].buttons, support::MbOkCancel);
    EXPECT_EQ(picturesOf(first).size(), 1);
    EXPECT_TRUE(picturesOf(third).isEmpty());

    // Cancel stops after the failing song.
    ui.messages.shown.clear();
    QFile::setPermissions(first, QFile::ReadOwner | QFile::WriteOwner);
    song(u"A/2.mp3"_s, {u"cover-75.jpg"_s});
    song(u"A/3.mp3"_s, {u"cover-75.jpg"_s});
    scan();
    QFile::setPermissions(first, QFile::ReadOwner);
    ui.messages.answers = {support::IdCancel};
    counts = runDelete(p);
    EXPECT_EQ(counts.files, 0);
    EXPECT_EQ(picturesOf(second).size(), 1);
    EXPECT_EQ(ui.messages.shown.size(), 2) << "the error, then the summary";
}

TEST_F(DeleteRunTest, MissingSongsAreSkippedSilentlyAndStopEndsTheRun) {
    const QString gone = song(u"A/1.mp3"_s, {u"cover-75.jpg"_s});
    const QString kept = song(u"A/2.mp3"_s, {u"cover-75.jpg"_s});
    const QString later = song(u"A/3.mp3"_s, {u"cover-75.jpg"_s});
    scan();
    QFile::remove(gone);
    DeleteParameters p;
    p.SingleDelete = SingleAlways;
    ui.events.onProcess = [&](int) {
        if (picturesOf(kept).isEmpty())
            session.CancelRequested = true;
    };
    const DeleteCounts counts = runDelete(p);
    EXPECT_EQ(counts.files, 1);
    EXPECT_EQ(picturesOf(later).size(), 1) << "stopped before the third song";
    EXPECT_EQ(ui.messages.shown.size(), 1) << "only the summary: the missing song is silent";
    EXPECT_EQ(progress.doneCalls, 0);
}

// The window refuses every command that would refill or reorder the list
// during a run (WizardWindowTest); should the list change all the same (a
// refill, then a sort that reverses it), the run still acts on exactly the
// songs that were checked when it began, wherever they moved.
TEST_F(DeleteRunTest, AListChangedUnderTheRunChangesOnlyTheChosenSongs) {
    QStringList songs;
    for (int n = 1; n <= 8; ++n)
        songs.append(song(u"A/%1.mp3"_s.arg(n), {u"cover-75.jpg"_s}, u"Song %1"_s.arg(n)));
    const QStringList chosen{songs[1], songs[4], songs[6]};
    scan();
    checkOnly(chosen);
    ui.events.onProcess = [this](int call) {
        if (call != 1)
            return;
        catalogue::RefreshEligibleList(session);
        session.Eligible.headerClicked(catalogue::ColumnSongName);
        session.Eligible.headerClicked(catalogue::ColumnSongName);
    };
    DeleteParameters p;
    p.SingleDelete = SingleAlways;
    EXPECT_EQ(runDelete(p).files, chosen.size());
    for (const QString& path : songs)
        EXPECT_EQ(picturesOf(path).isEmpty(), chosen.contains(path)) << path.toStdString();
}

} // namespace
