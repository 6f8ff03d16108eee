#pragma once

// One song list (Eligible or Ineligible) as a table model: six column texts
// per row, a check mark (Eligible list only) and the row's key, the RowKey
// text that leads back to the catalogue record and the library track.
//
// Row numbers are 0-based, as everywhere in Qt's models.

#include <QAbstractTableModel>
#include <QString>

#include <array>
#include <vector>

namespace catalogue {

enum SongColumn : int {
    ColumnArtist = 0,
    ColumnAlbum = 1,
    ColumnTrack = 2,
    ColumnSongName = 3,
    ColumnFullPath = 4,
    // "Types of artwork available" on the Eligible list, "Reason" on the other.
    ColumnDetail = 5,
    SongColumnCount = 6,
};

struct SongRow {
    std::array<QString, SongColumnCount> texts;
    QString key;
    bool checked = false;
};

class SongListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Kind { EligibleList, IneligibleList };
    // The RowKey of a row, under this role.
    static constexpr int RowKeyRole = Qt::UserRole + 1;

    explicit SongListModel(Kind kind, QObject* parent = nullptr);

    Kind kind() const { return m_kind; }
    bool hasCheckBoxes() const { return m_kind == EligibleList; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    // Sorts rows by the column's text; see sortRows().
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    static QString columnHeader(Kind kind, int column);

    // Bulk changes: one insert (or reset) notification for the whole batch.
    void appendRows(std::vector<SongRow>&& rows);
    void appendRow(SongRow row);
    // Inserts before position (0..rowCount).
    void insertSongRow(int position, SongRow row);
    void clearRows();
    void removeSongRow(int row);

    // A stable sort by the column's text, compared without regard to case
    // as report-style list views do; ties keep their order. One layout
    // change; persistent indexes follow their rows.
    void sortRows(int column, Qt::SortOrder order);
    // Where a row with text in column belongs in rows sorted that way: after
    // every row that compares equal, as a stable sort would put it.
    int sortedPosition(int column, Qt::SortOrder order, const QString& text) const;

    const SongRow& songRow(int row) const { return m_rows[static_cast<size_t>(row)]; }
    const QString& text(int row, int column) const;
    const QString& key(int row) const { return songRow(row).key; }
    // The first row whose key equals key, or -1.
    int findRowByKey(const QString& key) const;

    bool isChecked(int row) const { return songRow(row).checked; }
    // Returns true when the mark changed; dataChanged is sent only then.
    bool setChecked(int row, bool checked);
    // Rewrites one column text (e.g. the artwork kinds after an embedding run).
    void setText(int row, int column, const QString& text);

private:
    bool validRow(int row) const { return row >= 0 && row < rowCount(); }

    Kind m_kind;
    std::vector<SongRow> m_rows;
};

} // namespace catalogue
