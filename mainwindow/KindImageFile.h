#pragma once

// Which file in a song's folder shows one kind of artwork in the details
// panel. Named files are found whatever their case, so that the panel shows
// the very file that discovery counted.

#include "catalogue/TrackCatalogue.h"

#include <QString>

namespace mainwindow {

// The name the panel looks for, for the kinds held in the song's folder
// (Folder.JPG, AlbumArtSmall, the two Windows Media Player images, Backup);
// empty for the other kinds. A record without a GUID gives a name with
// empty braces, which simply is not found.
QString NamedKindFile(const catalogue::TrackRecord& record, int kind);

// The full path of the file that shows kind: the folder of the record's
// Location plus the named file as the folder spells it (the name itself
// when no such file is there), or, for Other, the name at otherPosition
// (1-based) of the record's OtherImages. Empty for the kinds that are no
// file of the folder (Downloaded, Embedded), for a record without location
// and for a position outside OtherImages.
QString FolderKindFile(const catalogue::TrackRecord& record, int kind, int otherPosition);

} // namespace mainwindow
