#include "catalogue/SongList.h"

#include <QAbstractItemModelTester>
#include <QPersistentModelIndex>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace catalogue;

namespace {

SongRow row(const QString& path, const QString& artist = u"A"_s, const QString& key = {}) {
    SongRow result;
    result.texts[ColumnArtist] = artist;
    result.texts[ColumnFullPath] = path;
    result.key = key.isEmpty() ? path : key;
    result.checked = true;
    return result;
}

QStringList column(const SongListModel& model, int col) {
    QStringList texts;
    for (int r = 0; r < model.rowCount(); ++r)
        texts.append(model.text(r, col));
    return texts;
}

} // namespace

TEST(SongListModel, HeadersComeFromTheListsColumnTable) {
    SongListModel eligible(SongListModel::EligibleList);
    SongListModel ineligible(SongListModel::IneligibleList);
    const QStringList shared = {u"Artist"_s, u"Album"_s, u"Track"_s, u"Song name"_s,
                                u"Song full path"_s};
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(eligible.headerData(c, Qt::Horizontal).toString(), shared[c]);
        EXPECT_EQ(ineligible.headerData(c, Qt::Horizontal).toString(), shared[c]);
    }
    EXPECT_EQ(eligible.headerData(5, Qt::Horizontal).toString(), u"Types of artwork available"_s);
    EXPECT_EQ(ineligible.headerData(5, Qt::Horizontal).toString(), u"Reason"_s);
    EXPECT_FALSE(eligible.headerData(6, Qt::Horizontal).isValid());
    EXPECT_EQ(eligible.columnCount(), 6);
}

TEST(SongListModel, OnlyTheEligibleListHasCheckBoxesOnItsFirstColumn) {
    SongListModel eligible(SongListModel::EligibleList);
    SongListModel ineligible(SongListModel::IneligibleList);
    eligible.appendRow(row(u"/a"_s));
    ineligible.appendRow(row(u"/a"_s));
    EXPECT_EQ(eligible.data(eligible.index(0, 0), Qt::CheckStateRole), Qt::Checked);
    EXPECT_FALSE(eligible.data(eligible.index(0, 1), Qt::CheckStateRole).isValid());
    EXPECT_FALSE(ineligible.data(ineligible.index(0, 0), Qt::CheckStateRole).isValid());
    EXPECT_TRUE(eligible.flags(eligible.index(0, 0)) & Qt::ItemIsUserCheckable);
    EXPECT_FALSE(ineligible.flags(ineligible.index(0, 0)) & Qt::ItemIsUserCheckable);
    EXPECT_FALSE(ineligible.setData(ineligible.index(0, 0), Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_EQ(eligible.data(eligible.index(0, 0), SongListModel::RowKeyRole).toString(), u"/a"_s);
}

TEST(SongListModel, ReportsACheckMarkChangeOnlyWhenItChanges) {
    SongListModel model(SongListModel::EligibleList);
    model.appendRow(row(u"/a"_s));
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    EXPECT_FALSE(model.setChecked(0, true));
    EXPECT_EQ(changed.count(), 0);
    EXPECT_TRUE(model.setData(model.index(0, 0), Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_EQ(changed.count(), 1);
    EXPECT_FALSE(model.isChecked(0));
    EXPECT_FALSE(model.setChecked(0, false));
    EXPECT_FALSE(model.setChecked(5, true));
    EXPECT_EQ(changed.count(), 1);
}

TEST(SongListModel, AddsABatchWithOneNotification) {
    SongListModel model(SongListModel::EligibleList);
    QAbstractItemModelTester tester(&model,
                                    QAbstractItemModelTester::FailureReportingMode::Warning);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy inserts(&model, &QAbstractItemModel::rowsInserted);
    model.appendRows({row(u"/1"_s), row(u"/2"_s)});
    EXPECT_EQ(resets.count(), 1);
    model.appendRows({row(u"/3"_s), row(u"/4"_s), row(u"/5"_s)});
    ASSERT_EQ(inserts.count(), 1);
    EXPECT_EQ(inserts.at(0).at(1).toInt(), 2);
    EXPECT_EQ(inserts.at(0).at(2).toInt(), 4);
    EXPECT_EQ(model.rowCount(), 5);
    EXPECT_EQ(model.findRowByKey(u"/4"_s), 3);
    model.removeSongRow(3);
    EXPECT_EQ(model.findRowByKey(u"/4"_s), -1);
    EXPECT_EQ(model.rowCount(), 4);
}

TEST(SongListModel, SortsStablyWithoutRegardToCaseInOneLayoutChange) {
    SongListModel model(SongListModel::EligibleList);
    model.appendRows(
        {row(u"/b"_s, u"1"_s), row(u"/A"_s, u"2"_s), row(u"/a"_s, u"3"_s), row(u"/C"_s, u"4"_s)});
    const QPersistentModelIndex followed = model.index(0, 3); // "/b"
    QSignalSpy layouts(&model, &QAbstractItemModel::layoutChanged);

    model.sortRows(ColumnFullPath, Qt::AscendingOrder);
    EXPECT_EQ(layouts.count(), 1);
    EXPECT_EQ(column(model, ColumnFullPath), (QStringList{u"/A"_s, u"/a"_s, u"/b"_s, u"/C"_s}));
    EXPECT_EQ(followed.row(), 2);
    EXPECT_EQ(followed.column(), 3);

    model.sortRows(ColumnFullPath, Qt::DescendingOrder);
    EXPECT_EQ(column(model, ColumnFullPath), (QStringList{u"/C"_s, u"/b"_s, u"/A"_s, u"/a"_s}));
    EXPECT_EQ(followed.row(), 1);
    EXPECT_EQ(layouts.count(), 2);

    // Already in order: nothing to tell the views.
    model.sortRows(ColumnFullPath, Qt::DescendingOrder);
    EXPECT_EQ(layouts.count(), 2);
}

TEST(SongListModel, InsertsAtTheSortedPositionAfterEqualRows) {
    SongListModel model(SongListModel::EligibleList);
    model.appendRows({row(u"/a"_s), row(u"/b"_s, u"first"_s), row(u"/c"_s)});
    EXPECT_EQ(model.sortedPosition(ColumnFullPath, Qt::AscendingOrder, u"/B"_s), 2);
    EXPECT_EQ(model.sortedPosition(ColumnFullPath, Qt::AscendingOrder, u"/0"_s), 0);
    EXPECT_EQ(model.sortedPosition(ColumnFullPath, Qt::AscendingOrder, u"/z"_s), 3);
}

struct HeaderClickCase {
    const char* what;
    SortState before;
    int clicked;
    int column;
    Qt::SortOrder order;
    QString tag; // the clicked column's tag afterwards
};

class HeaderClickRuleTest : public ::testing::TestWithParam<HeaderClickCase> {};

TEST_P(HeaderClickRuleTest, FollowsTheRule) {
    const HeaderClickCase& c = GetParam();
    const SortState after = HeaderClickRule(c.before, c.clicked);
    EXPECT_EQ(after.column, c.column) << c.what;
    EXPECT_EQ(after.order, c.order) << c.what;
    if (c.clicked >= 0 && c.clicked < SongColumnCount) {
        EXPECT_EQ(after.tags[static_cast<size_t>(c.clicked)], c.tag) << c.what;
    }
}

namespace {
SortState state(int column, Qt::SortOrder order, int taggedColumn = -1) {
    SortState s;
    s.column = column;
    s.order = order;
    if (taggedColumn >= 0)
        s.tags[static_cast<size_t>(taggedColumn)] = u"D"_s;
    return s;
}
} // namespace

INSTANTIATE_TEST_SUITE_P(
    Clicks, HeaderClickRuleTest,
    ::testing::Values(HeaderClickCase{"sort column, no tag", state(4, Qt::AscendingOrder), 4, 4,
                                      Qt::DescendingOrder, u"D"_s},
                      HeaderClickCase{"sort column tagged", state(4, Qt::DescendingOrder, 4), 4, 4,
                                      Qt::AscendingOrder, QString()},
                      HeaderClickCase{"new column keeps direction",
                                      state(4, Qt::DescendingOrder, 4), 1, 1, Qt::DescendingOrder,
                                      QString()},
                      HeaderClickCase{"new column keeps its old tag",
                                      state(4, Qt::AscendingOrder, 2), 2, 2, Qt::AscendingOrder,
                                      u"D"_s},
                      HeaderClickCase{"outside the columns", state(4, Qt::AscendingOrder), 9, 4,
                                      Qt::AscendingOrder, QString()}));

TEST(SongList, HeaderClicksOnTheSortColumnGiveDescendingThenAscending) {
    SongList list(SongListModel::IneligibleList);
    list.addRows({row(u"/b"_s), row(u"/a"_s), row(u"/c"_s)});
    EXPECT_EQ(column(list.model(), ColumnFullPath), (QStringList{u"/a"_s, u"/b"_s, u"/c"_s}));
    list.headerClicked(ColumnFullPath);
    EXPECT_EQ(column(list.model(), ColumnFullPath), (QStringList{u"/c"_s, u"/b"_s, u"/a"_s}));
    list.headerClicked(ColumnFullPath);
    EXPECT_EQ(column(list.model(), ColumnFullPath), (QStringList{u"/a"_s, u"/b"_s, u"/c"_s}));
}

TEST(SongList, KeepsRowsInAddOrderWhileSortingIsOff) {
    SongList list(SongListModel::EligibleList);
    list.setSortingEnabled(false);
    list.addRows({row(u"/b"_s), row(u"/a"_s)});
    list.addRow(row(u"/0"_s));
    EXPECT_EQ(column(list.model(), ColumnFullPath), (QStringList{u"/b"_s, u"/a"_s, u"/0"_s}));
    list.setSortingEnabled(true);
    EXPECT_EQ(column(list.model(), ColumnFullPath), (QStringList{u"/0"_s, u"/a"_s, u"/b"_s}));
    list.addRow(row(u"/aa"_s));
    EXPECT_EQ(list.model().text(2, ColumnFullPath), u"/aa"_s);
}

TEST(SongList, AnswersTheCheckedAndSelectedQueries) {
    SongList list(SongListModel::EligibleList);
    EXPECT_TRUE(list.HasAtLeastNChecked(0));
    EXPECT_FALSE(list.HasAtLeastNChecked(1));
    EXPECT_TRUE(list.HasExactlyNSelected(0));
    EXPECT_FALSE(list.HasExactlyNSelected(1));
    EXPECT_EQ(list.selectedRow(), -1);

    list.addRows({row(u"/a"_s), row(u"/b"_s), row(u"/c"_s)});
    list.model().setChecked(1, false);
    EXPECT_TRUE(list.HasAtLeastNChecked(2));
    EXPECT_FALSE(list.HasAtLeastNChecked(3));

    list.selectRow(2);
    EXPECT_EQ(list.selectedRow(), 2);
    EXPECT_TRUE(list.HasExactlyNSelected(1));
    list.selection().select(list.model().index(0, 0),
                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
    list.selection().select(list.model().index(0, 0),
                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_TRUE(list.HasExactlyNSelected(2));
    EXPECT_FALSE(list.HasExactlyNSelected(1));
    EXPECT_EQ(list.selectedRow(), 2);

    list.clear();
    EXPECT_EQ(list.selectedRow(), -1);
    EXPECT_TRUE(list.HasExactlyNSelected(0));
}
