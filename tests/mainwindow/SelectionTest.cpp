// Check marks per album and for all songs, album moves, and moving rows
// between the lists, over a fake library without any window.

#include "mainwindow/Selection.h"
#include "support/ScreenPointer.h"
#include "tests/common/ScriptedUi.h"
#include "tests/mainwindow/SelectionFixture.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace mainwindow;
using selection_testing::SessionBuilder;

namespace {

class SelectionTest : public ::testing::Test {
protected:
    SelectionContext context() {
        return {built.session, progress, ui.services(), [this](int tab, int row) {
                    scrolledTo.append({tab, row});
                }};
    }
    // Adds listed songs of these albums, all in folder node 1.
    void addAlbums(const QStringList& albums) {
        for (const QString& album : albums)
            built.add(album);
    }
    int selected(int tab = catalogue::TAB_ELIGIBLE) {
        return built.session.ListMain(tab).selectedRow();
    }
    void select(int row) { built.session.Eligible.selectRow(row); }
    bool move(int row, int from, int to, bool checkDuplicate) {
        return privMoveListItemBetweenTabs(built.session, row, from, to, checkDuplicate);
    }

    SessionBuilder built;
    catalogue::RecordingProgressPanel progress;
    testing_support::ScriptedUi ui;
    QList<QPair<int, int>> scrolledTo;
};

// Album grouping: the folder node and the album name, trimmed and without
// regard to case; two albums of one name in different folders stay apart.
TEST_F(SelectionTest, CheckAlbumMarksOnlyTheSelectedSongsAlbumInItsFolder) {
    built.add(u"Gold"_s, 1);      // row 0
    built.add(u"Gold"_s, 2);      // row 1: same name, other folder
    built.add(u" GOLD  "_s, 1);   // row 2: case and blanks differ
    built.add(u"Silver"_s, 1);    // row 3: other album, same folder
    built.add(u"Gold"_s, 1);      // row 4
    built.add(u"Gold Rush"_s, 1); // row 5
    select(4);

    SelectionContext ctx = context();
    SetAlbumChecks(ctx, true);
    EXPECT_EQ(built.checkedRows(), (QList<int>{0, 2, 4}));
    EXPECT_EQ(progress.doneCalls, 1);
    EXPECT_TRUE(ui.messages.shown.isEmpty());

    // Unchecking clears the album's marks and leaves everything else alone.
    built.session.Eligible.model().setChecked(3, true);
    SetAlbumChecks(ctx, false);
    EXPECT_EQ(built.checkedRows(), (QList<int>{3}));
}

TEST_F(SelectionTest, CheckAlbumUsesTheAlbumTheLibraryReportsNowForTheSelectedSong) {
    built.add(u"Old"_s);
    built.add(u"New"_s);
    built.track(1)->album = u"new"_s; // retagged after the scan
    select(0);
    SelectionContext ctx = context();
    SetAlbumChecks(ctx, true);
    EXPECT_EQ(built.checkedRows(), (QList<int>{1}));
}

// Without a selection, or with the selected song gone from the library, the
// album commands do nothing, silently.
TEST_F(SelectionTest, AlbumCommandsWithoutSelectionOrSongDoNothingSilently) {
    addAlbums({u"A"_s, u"A"_s, u"B"_s});
    SelectionContext ctx = context();
    SetAlbumChecks(ctx, true);
    EXPECT_FALSE(ItemEditNextAlbum(ctx, catalogue::TAB_ELIGIBLE));
    select(0);
    built.track(1)->name = u"gone"_s;
    SetAlbumChecks(ctx, true);
    EXPECT_FALSE(ItemEditNextAlbum(ctx, catalogue::TAB_ELIGIBLE));
    EXPECT_FALSE(ItemEditPreviousAlbum(ctx, catalogue::TAB_ELIGIBLE));
    EXPECT_TRUE(built.checkedRows().isEmpty());
    EXPECT_EQ(selected(), 0);
    EXPECT_TRUE(ui.messages.shown.isEmpty());
    EXPECT_EQ(ui.beeper.beeps, 0);
    EXPECT_EQ(progress.doneCalls, 0);
}

TEST_F(SelectionTest, CheckAlbumWithoutFolderNodeReportsTheFolderAndChangesNothing) {
    built.add(u"A"_s, 0);
    built.add(u"A"_s, 0);
    select(1);
    SelectionContext ctx = context();
    SetAlbumChecks(ctx, true);
    EXPECT_TRUE(built.checkedRows().isEmpty());
    ASSERT_EQ(ui.messages.shown.size(), 1);
    EXPECT_TRUE(ui.messages.shown[0].text.endsWith(u"\n\n/music/0/"_s));
    EXPECT_EQ(support::TheScreenPointer().depth(), 0);
}

TEST_F(SelectionTest, CheckAlbumStopsAtARowOutsideTheCatalogueKeepingEarlierMarks) {
    addAlbums({u"A"_s, u"A"_s, u"A"_s, u"A"_s});
    // The catalogue shrank under the list: rows 2 and 3 point past its end.
    built.session.Catalogue.SetCatalogueCount(2);
    select(0);
    SelectionContext ctx = context();
    SetAlbumChecks(ctx, true);
    EXPECT_EQ(built.checkedRows(), (QList<int>{0, 1}));
    ASSERT_EQ(ui.messages.shown.size(), 1);
    EXPECT_EQ(progress.doneCalls, 1);
    EXPECT_EQ(support::TheScreenPointer().depth(), 0);
}

struct AlbumMoveCase {
    const char* label;
    QStringList albums;
    QList<int> goneRows; // rows whose song is renamed in the library
    int from;
    bool next;
    int expected; // -1: beep, selection unchanged
};

class AlbumMoveTest : public SelectionTest, public ::testing::WithParamInterface<AlbumMoveCase> {};

TEST_P(AlbumMoveTest, MovesToTheAdjacentAlbumOrBeeps) {
    const AlbumMoveCase& c = GetParam();
    addAlbums(c.albums);
    for (int row : c.goneRows)
        built.track(row + 1)->name = u"gone"_s;
    select(c.from);

    SelectionContext ctx = context();
    const bool moved = c.next ? ItemEditNextAlbum(ctx, catalogue::TAB_ELIGIBLE)
                              : ItemEditPreviousAlbum(ctx, catalogue::TAB_ELIGIBLE);
    if (c.expected < 0) {
        EXPECT_FALSE(moved);
        EXPECT_EQ(ui.beeper.beeps, 1);
        EXPECT_EQ(selected(), c.from);
        EXPECT_TRUE(scrolledTo.isEmpty());
    } else {
        EXPECT_TRUE(moved);
        EXPECT_EQ(ui.beeper.beeps, 0);
        EXPECT_EQ(selected(), c.expected);
        EXPECT_EQ(scrolledTo, (QList<QPair<int, int>>{{catalogue::TAB_ELIGIBLE, c.expected}}));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Selection, AlbumMoveTest,
    ::testing::Values(
        AlbumMoveCase{"NextSkipsCaseDifferences", {u"A"_s, u"a"_s, u"A"_s, u"B"_s}, {}, 0, true, 3},
        AlbumMoveCase{"NextCountsOuterBlanks", {u"A"_s, u"A "_s, u"B"_s}, {}, 0, true, 1},
        AlbumMoveCase{"NextOnTheLastAlbumBeeps", {u"A"_s, u"B"_s, u"B"_s}, {}, 1, true, -1},
        AlbumMoveCase{"NextPassesOverGoneSongs", {u"A"_s, u"B"_s, u"C"_s}, {1}, 0, true, 2},
        AlbumMoveCase{"PreviousFromTheMiddleOfTheSecondAlbum",
                      {u"A"_s, u"A"_s, u"A"_s, u"B"_s, u"B"_s, u"B"_s},
                      {},
                      4,
                      false,
                      0},
        AlbumMoveCase{
            "PreviousStopsAtTheStartOfTheRun", {u"C"_s, u"A"_s, u"a"_s, u"B"_s}, {}, 3, false, 1},
        AlbumMoveCase{
            "PreviousPassesOverGoneSongs", {u"A"_s, u"X"_s, u"A"_s, u"B"_s}, {1}, 3, false, 0},
        AlbumMoveCase{"PreviousOnTheFirstAlbumBeeps", {u"A"_s, u"A"_s, u"B"_s}, {}, 1, false, -1}),
    [](const ::testing::TestParamInfo<AlbumMoveCase>& info) { return info.param.label; });

TEST_F(SelectionTest, AlbumMovesWorkOnTheGivenTabsList) {
    for (const QString& album : {u"A"_s, u"B"_s})
        built.listIneligible(built.add(album, 1, 2, false));
    built.session.Ineligible.selectRow(0);
    SelectionContext ctx = context();
    EXPECT_TRUE(ItemEditNextAlbum(ctx, catalogue::TAB_INELIGIBLE));
    EXPECT_EQ(selected(catalogue::TAB_INELIGIBLE), 1);
}

TEST_F(SelectionTest, MoveBetweenListsCarriesTheRowAndItsCounts) {
    addAlbums({u"A"_s, u"B"_s, u"C"_s});
    built.session.Eligible.model().setChecked(1, true);
    const catalogue::SongRow moved = built.session.Eligible.model().songRow(1);
    EXPECT_TRUE(move(1, catalogue::TAB_ELIGIBLE, catalogue::TAB_INELIGIBLE, true));
    ASSERT_EQ(built.session.Ineligible.rowCount(), 1);
    const catalogue::SongRow& copy = built.session.Ineligible.model().songRow(0);
    EXPECT_EQ(copy.key, moved.key);
    EXPECT_EQ(copy.texts, moved.texts);
    EXPECT_TRUE(copy.checked);

    // The Embedded tab has no list: the row only leaves the Eligible one.
    EXPECT_TRUE(move(0, catalogue::TAB_ELIGIBLE, catalogue::TAB_EMBEDDED, true));
    ASSERT_EQ(built.session.Eligible.rowCount(), 1);
    EXPECT_EQ(built.session.Eligible.model().text(0, catalogue::ColumnAlbum), u"C"_s);
    EXPECT_EQ(built.session.Ineligible.rowCount(), 1);
    EXPECT_EQ(built.session.Counts.gEligibleSongs(), 1);
    EXPECT_EQ(built.session.Counts.gInEligibleSongs(), 1);

    // No row, a row past the end, or a row of the Embedded tab: nothing moves.
    EXPECT_FALSE(move(-1, catalogue::TAB_ELIGIBLE, catalogue::TAB_INELIGIBLE, false));
    EXPECT_FALSE(move(1, catalogue::TAB_ELIGIBLE, catalogue::TAB_INELIGIBLE, false));
    EXPECT_FALSE(move(0, catalogue::TAB_EMBEDDED, catalogue::TAB_ELIGIBLE, false));
    EXPECT_EQ(built.session.Eligible.rowCount(), 1);
    EXPECT_EQ(built.session.Counts.gEligibleSongs(), 1);
}

TEST_F(SelectionTest, MoveWithDuplicateCheckAddsNoSecondCopy) {
    const int32_t index = built.add(u"A"_s);
    built.listIneligible(index); // the same song already on the other list
    EXPECT_TRUE(move(0, catalogue::TAB_ELIGIBLE, catalogue::TAB_INELIGIBLE, true));
    EXPECT_EQ(built.session.Eligible.rowCount(), 0);
    EXPECT_EQ(built.session.Ineligible.rowCount(), 1);
    EXPECT_EQ(built.session.Counts.gEligibleSongs(), 0);
    EXPECT_EQ(built.session.Counts.gInEligibleSongs(), 1);

    // Without the check, the copy is always added.
    built.session.Ineligible.selectRow(0);
    EXPECT_TRUE(move(0, catalogue::TAB_INELIGIBLE, catalogue::TAB_ELIGIBLE, false));
    EXPECT_EQ(built.session.Eligible.rowCount(), 1);
    EXPECT_EQ(built.session.Counts.gEligibleSongs(), 1);
    EXPECT_EQ(built.session.Counts.gInEligibleSongs(), 0);
}

} // namespace
