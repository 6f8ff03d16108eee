#include "tests/mainwindow/SelectionFixture.h"

#include "catalogue/RecordRow.h"
#include "catalogue/RowKey.h"

using namespace Qt::StringLiterals;

namespace selection_testing {

SessionBuilder::SessionBuilder() : library(std::make_shared<fake::FakeLibrary>()) {
    session.Library = library;
    // Rows stay in the order they were added.
    session.Eligible.setSortingEnabled(false);
    session.Ineligible.setSortingEnabled(false);
}

int32_t SessionBuilder::add(const QString& album, int32_t pathNode, int32_t artTypes, bool listed) {
    const auto index = static_cast<int32_t>(library->tracks.size() + 1);
    const QString name = u"Song %1"_s.arg(index);
    const QString location = u"/music/%1/%2.mp3"_s.arg(pathNode).arg(index);
    const fake::FakeTrackPtr track = library->addTrack(name, location, u"Artist"_s, album, index);

    session.Catalogue.EnsureCapacity(64);
    session.Catalogue.SetCatalogueCount(index);
    catalogue::TrackRecord& record = session.Catalogue[index];
    record.Album = album;
    record.Artist = u"Artist"_s;
    record.Name = name;
    record.Location = location;
    record.Folder = u"/music/%1/"_s.arg(pathNode);
    record.PathNode = pathNode;
    record.ArtTypes = artTypes;
    record.Status = catalogue::StatusEligible;
    record.FileExists = true;
    record.FormatOk = true;
    record.PersistentIdHigh = track->high;
    record.PersistentIdLow = track->low;

    if (listed) {
        session.Counts.UpdateTabCounts(1, 0);
        session.Eligible.addRow(
            catalogue::MakeSongRow(record, catalogue::ArtTypeNames(record.ArtTypes),
                                   catalogue::MakeRowKey(*library, track, index), false));
    }
    return index;
}

void SessionBuilder::listIneligible(int32_t index) {
    const catalogue::TrackRecord& record = session.Catalogue[index];
    session.Counts.UpdateTabCounts(0, 1);
    session.Ineligible.addRow(
        catalogue::MakeSongRow(record, catalogue::StatusText(catalogue::StatusFileMissing),
                               catalogue::MakeRowKey(*library, track(index), index), false));
}

fake::FakeTrackPtr SessionBuilder::track(int32_t index) const {
    return library->tracks.at(static_cast<size_t>(index - 1));
}

QList<int> SessionBuilder::checkedRows() const {
    QList<int> rows;
    for (int row = 0; row < session.Eligible.rowCount(); ++row) {
        if (session.Eligible.model().isChecked(row))
            rows.append(row);
    }
    return rows;
}

} // namespace selection_testing
