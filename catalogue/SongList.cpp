#include "catalogue/SongList.h"

#include <QSet>

using namespace Qt::StringLiterals;

namespace catalogue {

SortState HeaderClickRule(SortState state, int clickedColumn) {
    if (clickedColumn < 0 || clickedColumn >= SongColumnCount)
        return state;
    if (clickedColumn != state.column) {
        state.column = clickedColumn;
        return state;
    }
    QString& tag = state.tags[static_cast<size_t>(clickedColumn)];
    if (tag == u"D"_s) {
        state.order = Qt::AscendingOrder;
        tag.clear();
    } else {
        state.order = Qt::DescendingOrder;
        tag = u"D"_s;
    }
    return state;
}

SongList::SongList(SongListModel::Kind kind, QObject* parent)
    : QObject(parent), m_model(kind), m_selection(&m_model) {}

void SongList::setSortColumn(int column) {
    if (column < 0 || column >= SongColumnCount || column == m_sort.column)
        return;
    m_sort.column = column;
    applySort();
}

void SongList::setSortingEnabled(bool enabled) {
    if (enabled == m_sortingEnabled)
        return;
    m_sortingEnabled = enabled;
    applySort();
}

void SongList::headerClicked(int column) {
    const SortState next = HeaderClickRule(m_sort, column);
    const bool resort = next.column != m_sort.column || next.order != m_sort.order;
    m_sort = next;
    if (resort)
        applySort();
}

void SongList::applySort() {
    if (m_sortingEnabled)
        m_model.sortRows(m_sort.column, m_sort.order);
}

void SongList::clear() {
    m_selection.clear();
    m_model.clearRows();
}

void SongList::addRows(std::vector<SongRow>&& rows) {
    if (rows.empty())
        return;
    m_model.appendRows(std::move(rows));
    applySort();
}

void SongList::addRow(SongRow row) {
    int position = m_model.rowCount();
    if (m_sortingEnabled) {
        position = m_model.sortedPosition(m_sort.column, m_sort.order,
                                          row.texts[static_cast<size_t>(m_sort.column)]);
    }
    m_model.insertSongRow(position, std::move(row));
}

int SongList::selectedRow() const {
    const QModelIndex current = m_selection.currentIndex();
    if (current.isValid() && m_selection.isRowSelected(current.row()))
        return current.row();
    const QModelIndexList rows = m_selection.selectedRows();
    int first = -1;
    for (const QModelIndex& index : rows) {
        if (first < 0 || index.row() < first)
            first = index.row();
    }
    return first;
}

void SongList::selectRow(int row) {
    if (row < 0 || row >= rowCount()) {
        m_selection.clear();
        return;
    }
    m_selection.setCurrentIndex(m_model.index(row, 0),
                                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

bool SongList::HasAtLeastNChecked(int n) const {
    if (n <= 0)
        return true;
    int count = 0;
    for (int row = 0; row < rowCount(); ++row) {
        if (m_model.isChecked(row) && ++count >= n)
            return true;
    }
    return false;
}

bool SongList::HasExactlyNSelected(int n) const {
    if (n < 0)
        return false;
    // A row counts as selected when its first cell is; ranges may overlap,
    // so rows are gathered, and the walk stops once more than n are seen.
    QSet<int> rows;
    for (const QItemSelectionRange& range : m_selection.selection()) {
        if (range.left() > 0)
            continue;
        for (int row = range.top(); row <= range.bottom(); ++row) {
            rows.insert(row);
            if (rows.size() > n)
                return false;
        }
    }
    return rows.size() == n;
}

} // namespace catalogue
