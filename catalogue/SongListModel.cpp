#include "catalogue/SongListModel.h"

#include <algorithm>
#include <numeric>

using namespace Qt::StringLiterals;

namespace catalogue {

namespace {

// Whether a sorts before b in the given direction.
bool sortsBefore(const QString& a, const QString& b, Qt::SortOrder order) {
    const int c = QString::compare(a, b, Qt::CaseInsensitive);
    return order == Qt::AscendingOrder ? c < 0 : c > 0;
}

} // namespace

SongListModel::SongListModel(Kind kind, QObject* parent)
    : QAbstractTableModel(parent), m_kind(kind) {}

int SongListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int SongListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : SongColumnCount;
}

QVariant SongListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !validRow(index.row()) || index.column() < 0 ||
        index.column() >= SongColumnCount)
        return {};
    const SongRow& row = songRow(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return row.texts[static_cast<size_t>(index.column())];
    case Qt::CheckStateRole:
        if (hasCheckBoxes() && index.column() == ColumnArtist)
            return row.checked ? Qt::Checked : Qt::Unchecked;
        return {};
    case RowKeyRole:
        return row.key;
    default:
        return {};
    }
}

bool SongListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || !hasCheckBoxes() || !index.isValid() ||
        index.column() != ColumnArtist || !validRow(index.row()))
        return false;
    setChecked(index.row(), value.value<Qt::CheckState>() == Qt::Checked);
    return true;
}

Qt::ItemFlags SongListModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (hasCheckBoxes() && index.column() == ColumnArtist)
        result |= Qt::ItemIsUserCheckable;
    return result;
}

QString SongListModel::columnHeader(Kind kind, int column) {
    switch (column) {
    case ColumnArtist:
        return u"Artist"_s;
    case ColumnAlbum:
        return u"Album"_s;
    case ColumnTrack:
        return u"Track"_s;
    case ColumnSongName:
        return u"Song name"_s;
    case ColumnFullPath:
        return u"Song full path"_s;
    case ColumnDetail:
        return kind == EligibleList ? u"Types of artwork available"_s : u"Reason"_s;
    default:
        return {};
    }
}

QVariant SongListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    const QString header = columnHeader(m_kind, section);
    return header.isEmpty() ? QVariant() : QVariant(header);
}

void SongListModel::sort(int column, Qt::SortOrder order) {
    sortRows(column, order);
}

void SongListModel::appendRows(std::vector<SongRow>&& rows) {
    if (rows.empty())
        return;
    if (m_rows.empty()) {
        // A reset is far cheaper for views than inserting into an empty model.
        beginResetModel();
        m_rows = std::move(rows);
        endResetModel();
        return;
    }
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
    m_rows.insert(m_rows.end(), std::make_move_iterator(rows.begin()),
                  std::make_move_iterator(rows.end()));
    endInsertRows();
    rows.clear();
}

void SongListModel::appendRow(SongRow row) {
    insertSongRow(rowCount(), std::move(row));
}

void SongListModel::insertSongRow(int position, SongRow row) {
    position = std::clamp(position, 0, rowCount());
    beginInsertRows({}, position, position);
    m_rows.insert(m_rows.begin() + position, std::move(row));
    endInsertRows();
}

void SongListModel::clearRows() {
    if (m_rows.empty())
        return;
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

void SongListModel::removeSongRow(int row) {
    if (!validRow(row))
        return;
    beginRemoveRows({}, row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
}

void SongListModel::sortRows(int column, Qt::SortOrder order) {
    if (column < 0 || column >= SongColumnCount || m_rows.size() < 2)
        return;
    const auto col = static_cast<size_t>(column);
    // Folding each text once and comparing the folded texts exactly orders
    // the rows as a case-insensitive comparison does (which folds character
    // by character), at a fraction of the cost: a scan sorts every row.
    std::vector<QString> keys;
    keys.reserve(m_rows.size());
    for (const SongRow& row : m_rows)
        keys.push_back(row.texts[col].toCaseFolded());
    std::vector<int> permutation(m_rows.size());
    std::iota(permutation.begin(), permutation.end(), 0);
    std::stable_sort(permutation.begin(), permutation.end(), [&](int a, int b) {
        const int c = QString::compare(keys[static_cast<size_t>(a)], keys[static_cast<size_t>(b)],
                                       Qt::CaseSensitive);
        return order == Qt::AscendingOrder ? c < 0 : c > 0;
    });
    if (std::is_sorted(permutation.begin(), permutation.end()))
        return;

    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newRowOf(permutation.size());
    std::vector<SongRow> sorted;
    sorted.reserve(m_rows.size());
    for (size_t to = 0; to < permutation.size(); ++to) {
        const int from = permutation[to];
        newRowOf[static_cast<size_t>(from)] = static_cast<int>(to);
        sorted.push_back(std::move(m_rows[static_cast<size_t>(from)]));
    }
    m_rows.swap(sorted);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before)
        after.append(this->index(newRowOf[static_cast<size_t>(index.row())], index.column()));
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int SongListModel::sortedPosition(int column, Qt::SortOrder order, const QString& text) const {
    if (column < 0 || column >= SongColumnCount)
        return rowCount();
    const auto col = static_cast<size_t>(column);
    const auto at = std::upper_bound(m_rows.begin(), m_rows.end(), text,
                                     [&](const QString& value, const SongRow& row) {
                                         return sortsBefore(value, row.texts[col], order);
                                     });
    return static_cast<int>(at - m_rows.begin());
}

const QString& SongListModel::text(int row, int column) const {
    return songRow(row).texts[static_cast<size_t>(column)];
}

int SongListModel::findRowByKey(const QString& key) const {
    for (size_t row = 0; row < m_rows.size(); ++row) {
        if (m_rows[row].key == key)
            return static_cast<int>(row);
    }
    return -1;
}

bool SongListModel::setChecked(int row, bool checked) {
    if (!validRow(row) || m_rows[static_cast<size_t>(row)].checked == checked)
        return false;
    m_rows[static_cast<size_t>(row)].checked = checked;
    const QModelIndex cell = index(row, ColumnArtist);
    Q_EMIT dataChanged(cell, cell, {Qt::CheckStateRole});
    return true;
}

void SongListModel::setText(int row, int column, const QString& text) {
    if (!validRow(row) || column < 0 || column >= SongColumnCount)
        return;
    QString& cell = m_rows[static_cast<size_t>(row)].texts[static_cast<size_t>(column)];
    if (cell == text)
        return;
    cell = text;
    const QModelIndex changed = index(row, column);
    Q_EMIT dataChanged(changed, changed, {Qt::DisplayRole, Qt::ToolTipRole});
}

} // namespace catalogue
