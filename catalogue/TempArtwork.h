#pragma once

// Copies of library artwork as image files, so that they can be measured,
// shown or written elsewhere: "Temp-Downloaded." or "Temp-Embedded." plus
// the format name, in the application-data folder (a text ending in "/").
// Each copy overwrites the previous one of the same name.

#include "musiclibrary/ITunes.h"

#include <QString>

namespace catalogue {

// The path of a temporary copy: folder + prefix + "." + format name.
QString TempArtworkPath(const QString& appDataFolder, const QString& prefix, int format);

// When the track has exactly one artwork and it is downloaded art: saves it
// and returns the path; otherwise empty. Library failures are passed on.
QString SaveDownloadedArtworkToTemp(const musiclibrary::TrackPtr& track,
                                    const QString& appDataFolder);
// Artwork n (1-based) when the track has at least n; empty when it has
// fewer, or when the save fails.
QString SaveEmbeddedArtworkToTemp(const musiclibrary::TrackPtr& track, int n,
                                  const QString& appDataFolder);
// Saves one artwork; empty for none. Library failures are passed on.
QString SaveArtworkToTemp(const musiclibrary::ArtworkPtr& artwork, const QString& appDataFolder);

// The same three in the program's application-data folder.
QString SaveDownloadedArtworkToTemp(const musiclibrary::TrackPtr& track);
QString SaveEmbeddedArtworkToTemp(const musiclibrary::TrackPtr& track, int n);
QString SaveArtworkToTemp(const musiclibrary::ArtworkPtr& artwork);

} // namespace catalogue
