#pragma once

// One list of the main window: its model, its selection and its sort state.
// The view only shows it: header clicks come back through headerClicked(),
// and the view must use selection() as its selection model.

#include "catalogue/SongListModel.h"

#include <QItemSelectionModel>
#include <QObject>
#include <QString>

#include <array>

namespace catalogue {

// The sort state of a list: its column, its direction and a tag per column
// that records which column last switched the list to descending ("D").
struct SortState {
    int column = ColumnFullPath;
    Qt::SortOrder order = Qt::AscendingOrder;
    std::array<QString, SongColumnCount> tags;
};

// The header-click rule: a click on the sort column turns its direction
// (descending and tag "D" unless the tag already is "D", then ascending and
// the tag cleared); a click on another column makes it the sort column and
// keeps the direction and all tags.
SortState HeaderClickRule(SortState state, int clickedColumn);

class SongList : public QObject {
    Q_OBJECT
public:
    explicit SongList(SongListModel::Kind kind, QObject* parent = nullptr);

    SongListModel& model() { return m_model; }
    const SongListModel& model() const { return m_model; }
    QItemSelectionModel& selection() { return m_selection; }
    const QItemSelectionModel& selection() const { return m_selection; }
    int rowCount() const { return m_model.rowCount(); }

    const SortState& sortState() const { return m_sort; }
    int sortColumn() const { return m_sort.column; }
    Qt::SortOrder sortOrder() const { return m_sort.order; }
    void setSortColumn(int column);
    // While sorting is on, the rows are kept sorted by the sort column; a
    // change of column or direction, or switching it on, sorts at once.
    bool sortingEnabled() const { return m_sortingEnabled; }
    void setSortingEnabled(bool enabled);
    // Applies the header-click rule and re-sorts when sorting is on.
    void headerClicked(int column);

    // Removes every row (and with them the selection).
    void clear();
    // Adds rows at the end, or in their sorted places while sorting is on.
    void addRows(std::vector<SongRow>&& rows);
    void addRow(SongRow row);

    // The selected row: the current row when it is selected, else the first
    // selected row; -1 when none.
    int selectedRow() const;
    // Makes row the only selected row and the current one.
    void selectRow(int row);

    // Whether at least n rows are checked; stops counting at n. An empty
    // list answers true only for n <= 0.
    bool HasAtLeastNChecked(int n) const;
    // Whether exactly n rows are selected; stops once more than n are seen.
    bool HasExactlyNSelected(int n) const;

private:
    void applySort();

    SongListModel m_model;
    QItemSelectionModel m_selection;
    SortState m_sort;
    bool m_sortingEnabled = true;
};

} // namespace catalogue
