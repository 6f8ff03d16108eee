// The embedding runs over checked rows: what they do to the rows, and the
// run shape they share with every other run (progress, scrolling, Stop, a
// song gone, the closing message).

#include "artwork/DownloadRuns.h"
#include "artwork/EmbedRuns.h"
#include "catalogue/LibraryScan.h"
#include "tests/artwork/ArtworkTestSupport.h"
#include "tests/catalogue/FakeLibrary.h"

#include <QFile>

using namespace Qt::StringLiterals;
using namespace artwork;
using namespace testing_support;

namespace {

class EmbedRunTest : public ArtworkLibraryTest {
protected:
    int runEmbed(const QList<int32_t>& order) {
        engine().sourceOrder().assign(order);
        return overRows(
            [&](ArtworkRunContext& context) { return DoEmbed2(context, engine(), {}); });
    }
    int runEmbedChecked() {
        return overRows(
            [&](ArtworkRunContext& context) { return EmbedChecked(context, engine()); });
    }
    QString detailOf(const QString& location) const {
        return session.Eligible.model().text(eligibleRow(location), catalogue::ColumnDetail);
    }
    bool checkedOf(const QString& location) const {
        return session.Eligible.model().isChecked(eligibleRow(location));
    }
};

TEST_F(EmbedRunTest, RowsStayUncheckedWithTheirKindsRewrittenAndTheCountReported) {
    const QString bare = song(u"A/1 bare.mp3"_s);
    const QString covered = song(u"A/2 covered.mp3"_s, {u"cover-75.jpg"_s});
    const QString unchecked = song(u"A/3 unchecked.mp3"_s);
    image(u"cover-300.jpg"_s, u"A/Folder.jpg"_s);
    scan();
    checkOnly({bare, covered});
    ASSERT_EQ(detailOf(bare), u"Folder.JPG "_s);

    EXPECT_EQ(runEmbed({3}), 1);
    EXPECT_EQ(session.Eligible.rowCount(), 3) << "rows stay on their list";
    EXPECT_EQ(detailOf(bare), u"Embedded Folder.JPG "_s);
    EXPECT_FALSE(checkedOf(bare));
    EXPECT_FALSE(checkedOf(covered)) << "not embedded, still unchecked";
    EXPECT_TRUE(picturesOf(unchecked).isEmpty());
    EXPECT_EQ(ui.messages.shown.size(), 1) << "the summary";
    EXPECT_EQ(progress.doneCalls, 1);
    EXPECT_EQ(rows.size(), 2) << "a report for each checked row only";
}

TEST_F(EmbedRunTest, NothingCheckedOrNothingListedIsSaidAndNothingRuns) {
    const QString path = song(u"A/song.mp3"_s);
    image(u"cover-300.jpg"_s, u"A/Folder.jpg"_s);
    scan();
    checkOnly({});
    EXPECT_EQ(runEmbed({3}), -1);
    ASSERT_EQ(ui.messages.shown.size(), 1);
    EXPECT_TRUE(ui.messages.shown[0].text.startsWith(u"You have not chosen any eligible songs"_s));

    session.Eligible.clear();
    EXPECT_EQ(runEmbedChecked(), -1);
    EXPECT_TRUE(ui.messages.shown.last().text.startsWith(u"There are no songs eligible"_s));
    EXPECT_TRUE(picturesOf(path).isEmpty());
    EXPECT_FALSE(progress.active());
}

TEST_F(EmbedRunTest, StopMidRunLeavesTheLaterSongsAlone) {
    QStringList songs;
    for (int i = 1; i <= 6; ++i)
        songs.append(song(u"A/%1.mp3"_s.arg(i)));
    image(u"cover-300.jpg"_s, u"A/Folder.jpg"_s);
    scan();
    // The user presses Stop once the second song is embedded.
    ui.events.onProcess = [&](int) {
        if (!picturesOf(songs[1]).isEmpty())
            session.CancelRequested = true;
    };
    EXPECT_EQ(runEmbed({3}), 2);
    for (int i = 2; i < 6; ++i)
        EXPECT_TRUE(picturesOf(songs[i]).isEmpty()) << i;
    EXPECT_TRUE(checkedOf(songs[4]));
    EXPECT_EQ(progress.doneCalls, 0) << "a stopped run does not fill the bar";
    EXPECT_FALSE(progress.active());
}

TEST_F(EmbedRunTest, CancelInTheErrorMessageStopsAfterThatSong) {
    const QString first = song(u"A/1.mp3"_s);
    const QString locked = song(u"A/2.mp3"_s);
    const QString last = song(u"A/3.mp3"_s);
    image(u"cover-300.jpg"_s, u"A/Folder.jpg"_s);
    scan();
    QFile::setPermissions(locked, QFile::ReadOwner);
    ui.messages.answers = {support::IdCancel};
    EXPECT_EQ(runEmbed({3}), 1);
    EXPECT_FALSE(picturesOf(first).isEmpty());
    EXPECT_TRUE(picturesOf(locked).isEmpty());
    EXPECT_TRUE(picturesOf(last).isEmpty()) << "no further row is processed";
    EXPECT_TRUE(checkedOf(last));
    EXPECT_EQ(ui.messages.shown.size(), 2) << "the error, then the summary";
}

TEST_F(EmbedRunTest, TheListFollowsTheWorkOnceAScreenfulWhileItIsOnScreen) {
    for (int i = 0; i < 30; ++i)
        song(u"A/%1.mp3"_s.arg(i, 2, 10, QChar(u'0')));
    scan();
    view.rowsVisible = 12;
    EXPECT_EQ(runEmbed({3}), 0);
    EXPECT_EQ(view.scrolledRows, (QList<int>{0, 12, 24}));

    // With the other tab in front the list is not scrolled.
    scan();
    view.scrolledRows.clear();
    view.tab = catalogue::TAB_INELIGIBLE;
    runEmbedChecked();
    EXPECT_TRUE(view.scrolledRows.isEmpty());
}

TEST_F(EmbedRunTest, StepThreeXMovesEmbeddedRowsOffTheEligibleList) {
    const QString a1 = song(u"A/1.mp3"_s);
    const QString a2 = song(u"A/2.mp3"_s, {u"cover-75.jpg"_s});
    const QString b1 = song(u"B/1.mp3"_s);
    const QString a3 = song(u"A/3.mp3"_s);
    image(u"cover-300.jpg"_s, u"A/FOLDER.jpg"_s); // found whatever its case
    scan();
    ASSERT_EQ(session.Counts.gEligibleSongs(), 4);
    ui.messages.answers = {support::IdOk}; // the warning first
    EXPECT_EQ(runEmbedChecked(), 3);
    EXPECT_EQ(session.Eligible.rowCount(), 1);
    EXPECT_EQ(eligibleRow(b1), 0);
    EXPECT_TRUE(checkedOf(b1)) << "a song that failed stays checked";
    EXPECT_EQ(session.Counts.gEligibleSongs(), 1);
    for (const QString& path : {a1, a3})
        EXPECT_EQ(picturesOf(path), QList<QByteArray>{seed("cover-300.jpg")});
    EXPECT_EQ(picturesOf(a2), (QList<QByteArray>{seed("cover-75.jpg"), seed("cover-300.jpg")}))
        << "added after the song's own, without looking at sizes";
    ASSERT_EQ(ui.messages.shown.size(), 3) << "the warning, the failure, the summary";
    EXPECT_TRUE(ui.messages.shown[1].text.contains(music().file(u"B/Folder.jpg"_s)));
    EXPECT_EQ(ui.messages.shown[1].buttons, support::MbOk);
}

TEST_F(EmbedRunTest, ASongDeletedOrAnImageGoneDuringTheRunIsReportedOrSkipped) {
    const QString deleted = song(u"A/1.mp3"_s);
    const QString noImage = song(u"B/2.mp3"_s);
    const QString fine = song(u"A/3.mp3"_s);
    image(u"cover-300.jpg"_s, u"A/Folder.jpg"_s);
    const QString vanishing = image(u"cover-300.jpg"_s, u"B/Folder.jpg"_s);
    scan();
    QFile::remove(deleted);
    QFile::remove(vanishing);
    EXPECT_EQ(runEmbed({3}), 1);
    EXPECT_EQ(picturesOf(fine).size(), 1);
    ASSERT_EQ(ui.messages.shown.size(), 2);
    EXPECT_TRUE(ui.messages.shown[0].text.contains(u"does not exist"_s))
        << ui.messages.shown[0].text.toStdString();
    ASSERT_EQ(rows.size(), 3);
    // Rows in path order: A/1, A/3, B/2.
    EXPECT_EQ(rows[0].status, u"failed"_s);
    EXPECT_EQ(rows[1].status, u"embedded"_s);
    EXPECT_EQ(rows[2].status, u"unchanged"_s) << "a vanished folder image is no choice";
    EXPECT_EQ(rows[2].detail, u"no image to embed was found"_s);
}

// A checked row whose song the library no longer has ends an embedding run
// there, and a download playlist gets nothing from it.
TEST(EmbedRunShape, ASongNoLongerInTheLibraryEndsTheRun) {
    TempFolder folder;
    const auto library = std::make_shared<fake::FakeLibrary>();
    for (int i = 1; i <= 4; ++i)
        library->addTrack(u"Song %1"_s.arg(i),
                          folder.copySeed(u"seed.mp3"_s, u"A/%1.mp3"_s.arg(i)));
    folder.copySeed(u"cover-300.jpg"_s, u"A/Folder.jpg"_s);
    catalogue::CatalogueSession session;
    session.Kinds.Build();
    ASSERT_TRUE(session.Init([&] { return library; }));
    ScriptedUi ui;
    catalogue::RecordingProgressPanel progress;
    catalogue::ScanEnvironment scan{progress, ui.services()};
    catalogue::ScanLibrary(session, scan);
    ASSERT_EQ(session.Eligible.rowCount(), 4);

    library->tracks[2]->deleted = true; // gone from the library since the scan
    EmbeddingEngine engine(&ui.messages, &session.CancelRequested);
    engine.sourceOrder().assign(QList<int32_t>{3});
    catalogue::RunEnvironment run{progress, ui.services()};
    ArtworkRunContext context{session, run};
    EXPECT_EQ(DoEmbed2(context, engine, {}), 2);
    EXPECT_EQ(library->tracks[0]->artwork.size(), 1u);
    EXPECT_EQ(library->tracks[1]->artwork.size(), 1u);
    EXPECT_TRUE(library->tracks[3]->artwork.empty()) << "rows after the gone song are not reached";
    EXPECT_TRUE(session.Eligible.model().isChecked(3));

    // The gone song is the first one still checked.
    EXPECT_EQ(AddCheckedToDownloadPlaylist(context), 0);
    ASSERT_EQ(library->createdPlaylists.size(), 1u);
    EXPECT_TRUE(library->createdPlaylists[0]->added.empty());
    EXPECT_EQ(ui.messages.shown.last().text, PlaylistDoneText(0));
    session.UnInit();
}

} // namespace
