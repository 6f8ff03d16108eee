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

TEST(SongListModel, OnlyTheEligibleListHasCheckBoxesOnItsFirstColumn) {
    SongListModel eligible(SongListModel::EligibleList);
    SongListModel ineligible(SongListModel::IneligibleList);
    eligible.appendRow(row(u"/a"_s));
    ineligible.appendRow(row(u"/a"_s));
    EXPECT_EQ(eligible.data(eligible.index(0, 0), Qt::CheckStateRole), Qt::Checked);
    EXPECT_FALSE(eligible.data(eligible.index(0, 1), Qt::CheckStateRole).isValid());
    EXPECT_FALSE(ineligible.data(ineligible.index(0, 0), Qt::CheckStateRole).isValid());
    EXPECT_FALSE(ineligible.flags(ineligible.index(0, 0)) & Qt::ItemIsUserCheckable);
    EXPECT_FALSE(ineligible.setData(ineligible.index(0, 0), Qt::Unchecked, Qt::CheckStateRole));

    QSignalSpy changed(&eligible, &QAbstractItemModel::dataChanged);
    EXPECT_FALSE(eligible.setChecked(0, true));
    EXPECT_TRUE(eligible.setData(eligible.index(0, 0), Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_FALSE(eligible.isChecked(0));
    EXPECT_FALSE(eligible.setChecked(0, false));
    EXPECT_FALSE(eligible.setChecked(5, true));
    EXPECT_EQ(changed.count(), 1);
}

// The model tester stops the run on any notification that would mislead a view.
TEST(SongListModel, AddsFindsAndRemovesRowsByKey) {
    SongListModel model(SongListModel::EligibleList);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.appendRows({row(u"/1"_s), row(u"/2"_s)});
    model.appendRows({row(u"/3"_s), row(u"/4"_s), row(u"/5"_s)});
    EXPECT_EQ(model.rowCount(), 5);
    EXPECT_EQ(model.findRowByKey(u"/4"_s), 3);
    model.removeSongRow(3);
    EXPECT_EQ(model.findRowByKey(u"/4"_s), -1);
    EXPECT_EQ(model.findRowByKey(u"/5"_s), 3);
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

    model.sortRows(ColumnFullPath, Qt::DescendingOrder);
    EXPECT_EQ(column(model, ColumnFullPath), (QStringList{u"/C"_s, u"/b"_s, u"/A"_s, u"/a"_s}));
    EXPECT_EQ(followed.row(), 1);
    EXPECT_EQ(layouts.count(), 2);
}

// Turning the sort column and keeping the direction for a new one are seen
// in the main window's list; these are the cases it does not show.
TEST(HeaderClickRule, KeepsANewColumnsTagAndIgnoresClicksOutsideTheColumns) {
    SortState before;
    before.column = ColumnSongName;
    before.tags[ColumnArtist] = u"D"_s;
    const SortState onNew = HeaderClickRule(before, ColumnArtist);
    EXPECT_EQ(onNew.column, ColumnArtist);
    EXPECT_EQ(onNew.order, Qt::AscendingOrder);
    EXPECT_EQ(onNew.tags[ColumnArtist], u"D"_s);
    for (int outside : {-1, int(SongColumnCount)})
        EXPECT_EQ(HeaderClickRule(before, outside).column, ColumnSongName) << outside;
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
    list.addRow(row(u"/A"_s, u"after its equal"_s));
    EXPECT_EQ(column(list.model(), ColumnFullPath),
              (QStringList{u"/0"_s, u"/a"_s, u"/A"_s, u"/aa"_s, u"/b"_s}));
}
