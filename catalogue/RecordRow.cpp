#include "catalogue/RecordRow.h"

#include <utility>

namespace catalogue {

SongRow MakeSongRow(const TrackRecord& record, const QString& detail, QString key, bool checked) {
    SongRow row;
    row.texts[ColumnArtist] = record.Artist;
    row.texts[ColumnAlbum] = record.Album;
    row.texts[ColumnTrack] = TwoDigitTrackNumber(record.TrackNumber);
    row.texts[ColumnSongName] = record.Name;
    row.texts[ColumnFullPath] = record.Location;
    row.texts[ColumnDetail] = detail;
    row.key = std::move(key);
    row.checked = checked;
    return row;
}

} // namespace catalogue
