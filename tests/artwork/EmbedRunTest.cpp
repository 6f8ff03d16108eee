// The embedding runs over checked rows: what they do to the rows, and the
// run shape they share with every other run (progress, scrolling, Stop, a
// song gone, the closing message).

#include "artwork/EmbedRuns.h"
#include "catalogue/LibraryScan.h"
#include "catalogue/RowKey.h"
#include "tests/artwork/ArtworkTestSupport.h"
#include "tests/catalogue/FakeLibrary.h"

#include <QFile>

using namespace Qt::StringLiterals;
using namespace artwork;
using namespace testing_support;

namespace {

class EmbedRunTest : public ArtworkLibraryTest {
protected:
    int runEmbed(const QList<int32_t>& order, EmbedParameters parameters = {}) {
        engine().sourceOrder().assign(order);
        catalogue::RunEnvironment run = environment();
        ArtworkRunContext context{session, run, [this](const RowReport& row) { rows.append(row); }};
        return DoEmbed2(context, engine(), parameters);
    }
    int runEmbedChecked() {
        catalogue::RunEnvironment run = environment();
        ArtworkRunContext context{session, run, [this](const RowReport& row) { rows.append(row); }};
        return EmbedChecked(context, engine());
    }
    QString detailOf(const QString& location) const {
        return session.Eligible.model().text(eligibleRow(location), catalogue::ColumnDetail);
    }
    bool checkedOf(const QString& location) const {
        return session.Eligible.model().isChecked(eligibleRow(location));
    }

    QList<RowReport> rows;
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
    EXPECT_EQ(detailOf(covered), u"Embedded Folder.JPG "_s);
    EXPECT_FALSE(checkedOf(unchecked));
    EXPECT_TRUE(picturesOf(unchecked).isEmpty());
    const int32_t bareIndex =
        catalogue::RowCatalogueIndex(session.Eligible.model().key(eligibleRow(bare)));
    EXPECT_EQ(session.Catalogue[bareIndex].ArtTypes,
              catalogue::ArtKindEmbedded | catalogue::ArtKindFolderJpg);

    ASSERT_EQ(ui.messages.shown.size(), 1);
    EXPECT_EQ(ui.messages.shown[0].text,
              u"Done embedding artwork.\n\nNumber of song files processed: 1"_s);
    EXPECT_EQ(ui.messages.shown[0].icon, support::MbInformation);
    EXPECT_EQ(progress.value(), 3);
    EXPECT_EQ(progress.doneCalls, 1);
    EXPECT_FALSE(progress.active());
    EXPECT_EQ(view.shownAgain, 1);
    EXPECT_EQ(view.refreshed, 1);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].status, u"embedded"_s);
    EXPECT_EQ(rows[1].status, u"unchanged"_s);
}

TEST_F(EmbedRunTest, NothingCheckedOrNothingListedIsSaidAndNothingRuns) {
    song(u"A/song.mp3"_s);
    scan();
    checkOnly({});
    EXPECT_EQ(runEmbed({3}), -1);
    ASSERT_EQ(ui.messages.shown.size(), 1);
    EXPECT_EQ(ui.messages.shown[0].text,
              u"You have not chosen any eligible songs to have their cover art embedded.  Please "
              u"place a checkmark on at least one eligible song.\n\nClick the Step 2: Select "
              u"Tracks toolbar button for more information."_s);
    EXPECT_FALSE(progress.active());

    session.Eligible.clear();
    ui.messages.shown.clear();
    EXPECT_EQ(runEmbedChecked(), -1);
    ASSERT_EQ(ui.messages.shown.size(), 2);
    EXPECT_EQ(ui.messages.shown[0].text, u"EmbedChecked() should not have been called."_s);
    EXPECT_EQ(ui.messages.shown[0].icon, support::MbCritical);
    EXPECT_EQ(ui.messages.shown[1].text,
              u"There are no songs eligible to have cover art embedded.\n\nClick the Step 2: "
              u"Select Tracks toolbar button for more information."_s);
}

TEST_F(EmbedRunTest, StopMidRunLeavesTheLaterSongsAlone) {
    QStringList songs;
    for (int i = 1; i <= 6; ++i)
        songs.append(song(u"A/%1.mp3"_s.arg(i)));
    image(u"cover-300.jpg"_s, u"A/Folder.jpg"_s);
    scan();
    // The user presses Stop while the second song is being embedded.
    int embeddedSoFar = 0;
    ui.events.onProcess = [&](int) {
        int count = 0;
        for (const QString& path : songs)
            count += picturesOf(path).isEmpty() ? 0 : 1;
        embeddedSoFar = count;
        if (count == 2)
            session.CancelRequested = true;
    };
    EXPECT_EQ(runEmbed({3}), 2);
    EXPECT_EQ(embeddedSoFar, 2);
    for (int i = 2; i < 6; ++i)
        EXPECT_TRUE(picturesOf(songs[i]).isEmpty()) << i;
    EXPECT_TRUE(checkedOf(songs[4]));
    EXPECT_EQ(progress.doneCalls, 0) << "a stopped run does not fill the bar";
    EXPECT_FALSE(progress.active());
    EXPECT_EQ(ui.messages.shown.last().text,
              u"Done embedding artwork.\n\nNumber of song files processed: 2"_s);
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
    ASSERT_EQ(ui.messages.shown.size(), 2);
    EXPECT_EQ(ui.messages.shown[1].text,
              u"Done embedding artwork.\n\nNumber of song files processed: 1"_s);

    // OK instead goes on to the next song.
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner);
    QFile::setPermissions(first, QFile::ReadOwner);
    scan();
    ui.messages.answers = {support::IdOk};
    EXPECT_EQ(runEmbed({3}, {false, ExistingAdd, 320}), 2);
    EXPECT_EQ(picturesOf(last).size(), 1);
}

TEST_F(EmbedRunTest, TheListFollowsTheWorkOnceAScreenfulWhileItIsOnScreen) {
    for (int i = 0; i < 30; ++i)
        song(u"A/%1.mp3"_s.arg(i, 2, 10, QChar(u'0')));
    scan();
    view.rowsVisible = 12;
    EXPECT_EQ(runEmbed({3}), 0);
    EXPECT_EQ(view.scrolledRows, (QList<int>{0, 12, 24}));
    const int eventsOnScreen = ui.events.calls;

    // With the other tab in front the list is not scrolled, and events run
    // only once per row.
    scan();
    view.scrolledRows.clear();
    session.Ineligible.clear();
    view.tab = catalogue::TAB_INELIGIBLE;
    catalogue::RunEnvironment run = environment();
    ArtworkRunContext context{session, run};
    engine().sourceOrder().assign(QList<int32_t>{3});
    // DoEmbed2 works on the list in front; EmbedChecked always on the Eligible one.
    EmbedChecked(context, engine());
    EXPECT_TRUE(view.scrolledRows.isEmpty());
    EXPECT_EQ(ui.events.calls, 30);
    EXPECT_EQ(eventsOnScreen, 60);
}

TEST_F(EmbedRunTest, StepThreeXMovesEmbeddedRowsOffTheEligibleList) {
    const QString a1 = song(u"A/1.mp3"_s);
    const QString a2 = song(u"A/2.mp3"_s);
    const QString b1 = song(u"B/1.mp3"_s);
    const QString a3 = song(u"A/3.mp3"_s);
    image(u"cover-300.jpg"_s, u"A/Folder.jpg"_s);
    scan();
    ASSERT_EQ(session.Counts.gEligibleSongs(), 4);
    ui.messages.answers = {support::IdOk}; // the warning first
    EXPECT_EQ(runEmbedChecked(), 3);
    EXPECT_EQ(session.Eligible.rowCount(), 1);
    EXPECT_EQ(eligibleRow(b1), 0);
    EXPECT_TRUE(checkedOf(b1)) << "a song that failed stays checked";
    EXPECT_EQ(session.Counts.gEligibleSongs(), 1);
    for (const QString& path : {a1, a2, a3})
        EXPECT_EQ(picturesOf(path).size(), 1);
    ASSERT_EQ(ui.messages.shown.size(), 3);
    EXPECT_EQ(ui.messages.shown[0].text, u"EmbedChecked() should not have been called."_s);
    EXPECT_TRUE(ui.messages.shown[1].text.contains(music().file(u"B/Folder.jpg"_s)));
    EXPECT_EQ(ui.messages.shown[2].text,
              u"Done embedding artwork.\n\nNumber of song files processed: 3"_s);
    EXPECT_EQ(progress.value(), 4) << "the panel counts the rows looked at";
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

// A checked row whose song the library no longer has ends the run there.
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
    EXPECT_EQ(ui.messages.shown.last().text,
              u"Done embedding artwork.\n\nNumber of song files processed: 2"_s);
    session.UnInit();
}

} // namespace
