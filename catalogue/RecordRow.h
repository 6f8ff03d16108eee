#pragma once

// A list row from a catalogue record: the five shared columns and the
// list's own sixth (artwork kinds or reason).

#include "catalogue/SongListModel.h"
#include "catalogue/TrackCatalogue.h"

namespace catalogue {

SongRow MakeSongRow(const TrackRecord& record, const QString& detail, QString key, bool checked);

} // namespace catalogue
